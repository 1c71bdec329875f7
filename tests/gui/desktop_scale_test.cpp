// How the panel's scale is chosen from the desktop's settings.

#include <gtest/gtest.h>

#include <cmath>

#include "gui/desktop_scale.h"
#include "gui/toolkit_unit.h"
#include "gui/xsettings.h"
#include "support/scoped_variable.h"
#include "support/xsettings_bytes.h"

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

TEST(DesktopScale, XSettingsGiveTheIntegerNamedPastOtherTypesInEitherByteOrder)
{
    for (const bool msbFirst : {false, true})
    {
        testsupport::XSettingsBytes settings(msbFirst);
        settings.string("Net/ThemeName", "Adwaita").color("Gtk/Color").integer("Gdk/WindowScalingFactor", 2);
        settings.integer("Xft/DPI", 196608);
        const std::vector<unsigned char>& bytes = settings.data();
        EXPECT_EQ(gui::xsettingsInteger(bytes, "Gdk/WindowScalingFactor"), 2) << "most significant first: " << msbFirst;
        EXPECT_EQ(gui::xsettingsInteger(bytes, "Xft/DPI"), 196608) << "after the one asked before";
        EXPECT_EQ(gui::xsettingsInteger(bytes, "Net/ThemeName"), std::nullopt) << "a string is no integer";
        EXPECT_EQ(gui::xsettingsInteger(bytes, "Gdk/UnscaledDPI"), std::nullopt);
        for (std::size_t cut = 0; cut < bytes.size(); ++cut)
            EXPECT_EQ(gui::xsettingsInteger(std::span(bytes).first(cut), "Xft/DPI"), std::nullopt)
                << "read past " << cut << " bytes";
    }
}

// GTK counts whole pixels per unit and prefers its variable to the desktop's
// setting; Qt takes a fraction; other hosts count pixels.
TEST(DesktopScale, ToolkitUnitsFollowWhatEachToolkitReads)
{
    ScopedVariable noDisplay("DISPLAY", std::nullopt);
    ScopedVariable qt("QT_SCALE_FACTOR", "1.5");
    const std::pair<const char*, double> gdkScales[] = {{"2", 2.0}, {"1.5", 1.0}, {"0", 1.0}, {"big", 1.0}};
    for (const auto& [variable, unit] : gdkScales)
    {
        ScopedVariable gdk("GDK_SCALE", variable);
        EXPECT_EQ(gui::toolkitUnit(gui::EmbeddingToolkit::gtk3), unit) << "GDK_SCALE=" << variable;
        EXPECT_EQ(gui::toolkitUnit(gui::EmbeddingToolkit::qt5), 1.5);
        EXPECT_EQ(gui::toolkitUnit(gui::EmbeddingToolkit::other), 1.0);
    }
    ScopedVariable noGdk("GDK_SCALE", std::nullopt);
    EXPECT_EQ(gui::toolkitUnit(gui::EmbeddingToolkit::gtk3), 1.0) << "no variable and no desktop setting";
    ScopedVariable noQt("QT_SCALE_FACTOR", std::nullopt);
    EXPECT_EQ(gui::toolkitUnit(gui::EmbeddingToolkit::qt5), 1.0);
    EXPECT_EQ(gui::loadedToolkit(), gui::EmbeddingToolkit::other) << "this program loads neither toolkit";
}
}  // namespace
