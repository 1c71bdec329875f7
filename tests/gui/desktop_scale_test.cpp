// How the panel's scale is chosen from the desktop's settings.

#include <gtest/gtest.h>

#include <cmath>

#include "gui/desktop_scale.h"
#include "support/scoped_variable.h"

namespace
{
using testsupport::ScopedVariable;

TEST(DesktopScale, RequestsRoundToTheScalesTheArtIsDrawnAt)
{
    const std::pair<double, double> cases[] = {{0.5, 1.0},  {1.0, 1.0}, {1.24, 1.0}, {1.25, 1.5}, {1.74, 1.5},
                                               {1.75, 2.0}, {2.0, 2.0}, {3.0, 2.0},  {NAN, 1.0}};
    for (const auto& [requested, drawn] : cases)
        EXPECT_EQ(gui::roundToArtScale(requested), drawn) << "asked for " << requested;
}

TEST(DesktopScale, VariablesDecideInTheirOrderAndWhatIsNoPositiveNumberIsPassedOver)
{
    ScopedVariable own("VELMORA_UI_SCALE", "2");
    ScopedVariable gdk("GDK_SCALE", "1");
    ScopedVariable qt("QT_SCALE_FACTOR", "1.3");
    EXPECT_EQ(gui::scaleFromEnvironment(), 2.0);
    {
        ScopedVariable notANumber("VELMORA_UI_SCALE", "big");
        EXPECT_EQ(gui::scaleFromEnvironment(), 1.0) << "GDK_SCALE comes next";
        ScopedVariable zero("GDK_SCALE", "0");
        EXPECT_EQ(gui::scaleFromEnvironment(), 1.3);
        ScopedVariable display("DISPLAY", std::nullopt);
        EXPECT_EQ(gui::desktopScale(), 1.5) << "1.3 is drawn at 1.5";
    }
    ScopedVariable noOwn("VELMORA_UI_SCALE", std::nullopt);
    ScopedVariable noGdk("GDK_SCALE", std::nullopt);
    ScopedVariable noQt("QT_SCALE_FACTOR", std::nullopt);
    EXPECT_EQ(gui::scaleFromEnvironment(), std::nullopt);
    ScopedVariable noDisplay("DISPLAY", std::nullopt);
    EXPECT_EQ(gui::desktopScale(), 1.0) << "nothing asks: today's size";
}

TEST(DesktopScale, XftDpiOfTheServerResourcesCountsNinetySixAsOne)
{
    EXPECT_EQ(gui::scaleFromXResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 2.0);
    EXPECT_EQ(gui::scaleFromXResources("*dpi: 144\n"), 1.5) << "a wildcard entry reaches Xft.dpi";
    EXPECT_EQ(gui::scaleFromXResources("Xft.rgba: rgb\n"), std::nullopt);
    EXPECT_EQ(gui::scaleFromXResources("Xft.dpi: -96\n"), std::nullopt);
    EXPECT_EQ(gui::scaleFromXResources(nullptr), std::nullopt) << "a server without resources";
}
}  // namespace
