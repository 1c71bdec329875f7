// The LV2 UI in a real X server, hosted as an LV2 host hosts it: instantiated
// with a parent window, a write function, resize and touch, and idled
// through its idle interface; real pointer input comes through XTest.
#include "lv2/lv2_identity.h"
#include "x11_server_test.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{
using namespace velmora;

struct PortWrite
{
    std::uint32_t port;
    float value;
};

class PanelInX11 : public editortest::X11ServerTest
{
protected:
    void setUpWithServer() override
    {
        const std::string module = std::string(VELMORA_LV2_BUNDLE) + "/Contents/x86_64-linux/velmora_ui.so";
        library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_STREQ(descriptor->URI, lv2::kUiUri);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);

        parent = hostWindow(400, 300);
    }
    void tearDownWithServer() override
    {
        if (ui)
            descriptor->cleanup(ui);
        // The module stays loaded (nodelete), as it does in a host.
        if (library)
            dlclose(library);
    }

    void closePanel()
    {
        descriptor->cleanup(ui);
        ui = nullptr;
    }

    // With a scale factor the host also offers its URID map and the options.
    void openPanel(std::optional<float> scaleFactor = std::nullopt)
    {
        LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))};
        LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        LV2_Feature touchFeature{LV2_UI__touch, &touch};
        LV2_Feature mapFeature{LV2_URID__map, &uridMap};
        const float factor = scaleFactor.value_or(1.0f);
        LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, map(this, LV2_UI__scaleFactor), sizeof factor,
                                         map(this, LV2_ATOM__Float), &factor},
                                        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
        std::vector<const LV2_Feature*> features{&parentFeature, &resizeFeature, &touchFeature};
        if (scaleFactor)
            features.insert(features.end(), {&mapFeature, &optionsFeature});
        features.push_back(nullptr);
        ui = descriptor->instantiate(descriptor, lv2::kPluginUri, VELMORA_LV2_BUNDLE, write, this, &widget,
                                     features.data());
        ASSERT_NE(ui, nullptr);
        pump();
    }

    void idle() override { EXPECT_EQ(idleInterface->idle(ui), 0); }
    void hostSets(std::uint32_t port, float value)
    {
        descriptor->port_event(ui, port, sizeof value, 0, &value);
        pump();
    }

    LV2UI_Handle ui = nullptr;
    LV2UI_Widget widget = nullptr;
    std::vector<PortWrite> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    int width = 0, height = 0;

private:
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
    {
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(protocol, 0u);
        static_cast<PanelInX11*>(controller)->writes.push_back({port, *static_cast<const float*>(buffer)});
    }
    static int resized(LV2UI_Feature_Handle handle, int newWidth, int newHeight)
    {
        static_cast<PanelInX11*>(handle)->width = newWidth;
        static_cast<PanelInX11*>(handle)->height = newHeight;
        return 0;
    }
    static void touched(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
    {
        static_cast<PanelInX11*>(handle)->touches.emplace_back(port, grabbed);
    }
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri)
    {
        std::map<std::string, LV2_URID>& uris = static_cast<PanelInX11*>(handle)->mappedUris;
        return uris.try_emplace(uri, uris.size() + 1).first->second;
    }

    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Resize resize{this, resized};
    LV2UI_Touch touch{this, touched};
    LV2_URID_Map uridMap{this, map};
    std::map<std::string, LV2_URID> mappedUris;
};

TEST_F(PanelInX11, DragWritesTheSizePortAndStartsFromWhereTheHostMovedIt)
{
    openPanel();
    EXPECT_GT(width, 0) << "the panel's images are missing, or the host heard no size";
    EXPECT_EQ(childWindows(parent).size(), 1u) << "the panel is not a child of the host's window";
    EXPECT_NE(widget, nullptr);

    drag(126, 46, 166);  // 40 pixels right from the middle of the Size knob at (110, 30)
    ASSERT_FALSE(writes.empty()) << "the drag reached no port";
    const float dragged = writes.back().value;
    for (const PortWrite& written : writes)
        EXPECT_EQ(written.port, static_cast<std::uint32_t>(kSize));
    EXPECT_GT(dragged, kParameters[kSize].defaultValue) << "dragging right lowered Size";
    const std::vector<std::pair<std::uint32_t, bool>> gesture{{kSize, true}, {kSize, false}};
    EXPECT_EQ(touches, gesture) << "one drag, one touch and one release";

    // The host moves Size back down; the same drag now starts from there.
    constexpr float kHostSize = 0.1f;
    hostSets(kSize, kHostSize);
    writes.clear();
    drag(126, 46, 166);
    ASSERT_FALSE(writes.empty());
    EXPECT_NEAR(writes.back().value, kHostSize + (dragged - kParameters[kSize].defaultValue), 1e-4)
        << "the knob did not follow the host's value";

    closePanel();
    EXPECT_EQ(childWindows(parent).size(), 0u) << "cleanup left the panel's window behind";
}
TEST_F(PanelInX11, HostsScaleFactorSizesThePanelAboveTheDesktopsAndDragsCountInPanelUnits)
{
    scale = 2.0;
    openPanel(2.0f);  // the desktop asks for 1
    EXPECT_EQ(std::pair(width, height), std::pair(360, 320)) << "ui:resize hears the scaled size";
    EXPECT_EQ(pluginWindowSize(parent), std::pair(360, 320));

    drag(126, 46, 166);  // 40 panel units, 80 pixels
    ASSERT_FALSE(writes.empty());
    EXPECT_NEAR(writes.back().value, kParameters[kSize].defaultValue + 0.2f, 1e-4) << "1/200 per panel unit";
}
}  // namespace
