#pragma once
// The bundle's LV2 UI hosted as an LV2 host hosts it: instantiated with a
// parent window, a write function, resize and touch (and, when a scale factor
// is given, the URID map and that option), and idled through its idle
// interface.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bundle_module.h"
#include "lv2/lv2_identity.h"

namespace lv2test
{
struct PortWrite
{
    std::uint32_t port;
    float value;
};

class Lv2UiHost
{
public:
    Lv2UiHost() = default;
    ~Lv2UiHost()
    {
        close();
        // The module stays loaded (nodelete), as it does in a host.
        if (library)
            dlclose(library);
    }
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    void load()
    {
        ASSERT_NO_FATAL_FAILURE(loadDescriptor("velmora_ui.so", "lv2ui_descriptor", library, descriptor));
        EXPECT_STREQ(descriptor->URI, velmora::lv2::kUiUri);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idleInterface, nullptr);
    }

    void open(unsigned long parent, std::optional<float> scaleFactor = std::nullopt)
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
        ui = descriptor->instantiate(descriptor, velmora::lv2::kPluginUri, VELMORA_LV2_BUNDLE, write, this, &widget,
                                     features.data());
        ASSERT_NE(ui, nullptr);
    }
    void close()
    {
        if (ui)
            descriptor->cleanup(ui);
        ui = nullptr;
    }
    void idle() { EXPECT_EQ(idleInterface->idle(ui), 0); }
    void hostSets(std::uint32_t port, float value) { descriptor->port_event(ui, port, sizeof value, 0, &value); }

    LV2UI_Widget widget = nullptr;
    std::vector<PortWrite> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    int width = 0, height = 0;  // as ui:resize last heard them

private:
    static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
    {
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(protocol, 0u);
        static_cast<Lv2UiHost*>(controller)->writes.push_back({port, *static_cast<const float*>(buffer)});
    }
    static int resized(LV2UI_Feature_Handle handle, int newWidth, int newHeight)
    {
        static_cast<Lv2UiHost*>(handle)->width = newWidth;
        static_cast<Lv2UiHost*>(handle)->height = newHeight;
        return 0;
    }
    static void touched(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed)
    {
        static_cast<Lv2UiHost*>(handle)->touches.emplace_back(port, grabbed);
    }
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri)
    {
        std::map<std::string, LV2_URID>& uris = static_cast<Lv2UiHost*>(handle)->mappedUris;
        return uris.try_emplace(uri, uris.size() + 1).first->second;
    }

    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Handle ui = nullptr;
    LV2UI_Resize resize{this, resized};
    LV2UI_Touch touch{this, touched};
    LV2_URID_Map uridMap{this, map};
    std::map<std::string, LV2_URID> mappedUris;
};
}  // namespace lv2test
