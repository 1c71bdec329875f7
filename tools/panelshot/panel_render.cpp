#include "panelshot/panel_render.h"

#include <memory>

#include "editor/ad_editor.h"
#include "effect/velmora_identity.h"
#include "gui/bitmap.h"
#include "gui/frame.h"
#include "gui/offscreen_frame_view.h"
#include "vst/plugin_effect.h"

namespace panelshot
{
cairo_surface_t* renderPanel(const std::string& bundlePath, const PanelValues& values, std::string& error)
{
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(bundlePath.c_str()),
                                                           static_cast<CFIndex>(bundlePath.size()), true);
    CFBundleRef bundle = url ? CFBundleCreate(nullptr, url) : nullptr;
    if (url)
        CFRelease(url);
    if (!bundle)
    {
        error = "not a bundle: " + bundlePath;
        return nullptr;
    }
    // The first editor adopts this reference and releases it after the last.
    gui::gBundleRef = bundle;
    std::unique_ptr<PluginEffect> effect(createEffectInstance(nullptr));
    auto* editor = dynamic_cast<ADEditor*>(effect->getEditor());
    if (editor)
        editor->setUiScale(values.scale);
    ERect* rect = nullptr;
    if (!editor || !editor->getRect(&rect) || rect->right <= 0 || rect->bottom <= 0)
    {
        error = "the panel images are missing from " + bundlePath;
        return nullptr;
    }
    effect->setParameter(velmora::kOnOff, values.onOff);
    effect->setParameter(velmora::kSize, values.size);
    effect->setParameter(velmora::kDryWet, values.dryWet);
    editor->open(nullptr);
    gui::Frame* frame = editor->getFrame();
    if (values.splashShown)
    {
        frame->onMouseDown({118, 110}, gui::kLButton);
        frame->onMouseUp({118, 110}, gui::kLButton);
    }
    // Drawn once and kept apart from the frame: closing the editor takes the
    // splash away and would draw that area again into a surface it knows.
    cairo_surface_t* image = cairo_surface_reference(gui::OffscreenFrameView(frame).getSurface());
    editor->close();
    return image;
}
}  // namespace panelshot
