// The bundle's LV2 UI entry: the descriptor hosts find through
// lv2ui_descriptor, with the idle interface through which the host gives the
// panel its time (window events, the panel's redraw timer). The panel is drawn
// at the host's ui:scaleFactor when it gives one, and sized for it in pixels.
// Else it is drawn at the desktop's scale; in a GTK 3 or Qt 5 host it is sized
// in that toolkit's units, since suil hands ui:resize to the toolkit as it is
// (gtk_widget_set_size_request, QWidget::resize), which scales it again.
// Its window carries no size hints: suil would read those in toolkit units too.
// Nothing thrown leaves these functions.
#include "gui/toolkit_unit.h"
#include "lv2/lv2_panel.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace
{
using velmora::lv2::Lv2Panel;

const void* findFeature(const LV2_Feature* const* features, std::string_view uri)
{
    for (; features && *features; ++features)
        if (uri == (*features)->URI)
            return (*features)->data;
    return nullptr;
}

// The ui:scaleFactor among the host's options, a float; the URIs need the host's map.
std::optional<float> hostScaleFactor(const LV2_Feature* const* features)
{
    const auto* options = static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    if (!options || !map)
        return std::nullopt;
    const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (; options->key != 0 || options->value; ++options)
        if (options->key == scaleFactor && options->type == floatType && options->size == sizeof(float) &&
            options->value)
            return *static_cast<const float*>(options->value);
    return std::nullopt;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    const void* parent = findFeature(features, LV2_UI__parent);
    if (!parent || !write || !widget)
        return nullptr;
    try
    {
        auto panel = std::make_unique<Lv2Panel>(write, controller,
                                                static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch)));
        if (const std::optional<float> scale = hostScaleFactor(features))
            panel->setUiScale(*scale);
        else if (const gui::EmbeddingToolkit toolkit = gui::loadedToolkit(); toolkit != gui::EmbeddingToolkit::other)
            panel->setHostUnit(gui::toolkitUnit(toolkit));
        const unsigned long window = panel->openIn(reinterpret_cast<std::uintptr_t>(parent));
        if (window == 0)
            return nullptr;
        if (const auto* resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize)))
            resize->ui_resize(resize->handle, panel->width(), panel->height());
        *widget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(window));
        return panel.release();
    }
    catch (...)
    {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle ui) { delete static_cast<Lv2Panel*>(ui); }

void portEvent(LV2UI_Handle ui, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer)
{
    if (format != 0 || bufferSize != sizeof(float) || !buffer)
        return;
    try
    {
        static_cast<Lv2Panel*>(ui)->portChanged(port, *static_cast<const float*>(buffer));
    }
    catch (...)
    {
        // A control left unredrawn, nothing worse.
    }
}

// Always 0: the panel never closes its window by itself.
int idle(LV2UI_Handle ui)
{
    try
    {
        static_cast<Lv2Panel*>(ui)->idle();
    }
    catch (...)
    {
        // A redraw missed; the next idle tries again.
    }
    return 0;
}

const LV2UI_Idle_Interface kIdleInterface{idle};

const void* extensionData(const char* uri)
{
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor{velmora::lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};
}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
