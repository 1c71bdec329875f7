// The LV2 UI in a real X server, hosted as an LV2 host hosts it; real
// pointer input comes through XTest.
#include "lv2_ui_host.h"
#include "x11_server_test.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace
{
using namespace velmora;

using lv2test::PortWrite;

class PanelInX11 : public editortest::X11ServerTest
{
protected:
    void setUpWithServer() override
    {
        host.load();
        parent = hostWindow(400, 300);
    }
    void tearDownWithServer() override { host.close(); }

    void openPanel(std::optional<float> scaleFactor = std::nullopt)
    {
        host.open(parent, scaleFactor);
        pump();
    }
    void idle() override { host.idle(); }
    void hostSets(std::uint32_t port, float value)
    {
        host.hostSets(port, value);
        pump();
    }

    lv2test::Lv2UiHost host;
};

TEST_F(PanelInX11, DragWritesTheSizePortAndStartsFromWhereTheHostMovedIt)
{
    openPanel();
    EXPECT_GT(host.width, 0) << "the panel's images are missing, or the host heard no size";
    EXPECT_EQ(childWindows(parent).size(), 1u) << "the panel is not a child of the host's window";
    EXPECT_NE(host.widget, nullptr);

    drag(126, 46, 166);  // 40 pixels right from the middle of the Size knob at (110, 30)
    ASSERT_FALSE(host.writes.empty()) << "the drag reached no port";
    const float dragged = host.writes.back().value;
    for (const PortWrite& written : host.writes)
        EXPECT_EQ(written.port, static_cast<std::uint32_t>(kSize));
    EXPECT_GT(dragged, kParameters[kSize].defaultValue) << "dragging right lowered Size";
    const std::vector<std::pair<std::uint32_t, bool>> gesture{{kSize, true}, {kSize, false}};
    EXPECT_EQ(host.touches, gesture) << "one drag, one touch and one release";

    // The host moves Size back down; the same drag now starts from there.
    constexpr float kHostSize = 0.1f;
    hostSets(kSize, kHostSize);
    host.writes.clear();
    drag(126, 46, 166);
    ASSERT_FALSE(host.writes.empty());
    EXPECT_NEAR(host.writes.back().value, kHostSize + (dragged - kParameters[kSize].defaultValue), 1e-4)
        << "the knob did not follow the host's value";

    host.close();
    EXPECT_EQ(childWindows(parent).size(), 0u) << "cleanup left the panel's window behind";
}
TEST_F(PanelInX11, HostsScaleFactorSizesThePanelAboveTheDesktopsAndDragsCountInPanelUnits)
{
    scale = 2.0;
    openPanel(2.0f);  // the desktop asks for 1
    EXPECT_EQ(std::pair(host.width, host.height), std::pair(360, 320)) << "ui:resize hears the scaled size";
    EXPECT_EQ(pluginWindowSize(parent), std::pair(360, 320));

    drag(126, 46, 166);  // 40 panel units, 80 pixels
    ASSERT_FALSE(host.writes.empty());
    EXPECT_NEAR(host.writes.back().value, kParameters[kSize].defaultValue + 0.2f, 1e-4) << "1/200 per panel unit";
}
}  // namespace
