#include "editor/velmora_edit.h"

#include "editor/ad_editor.h"

#include <memory>

VelmoraEdit::VelmoraEdit(audioMasterCallback audioMaster) : Velmora(audioMaster) {}

void VelmoraEdit::setParameter(VstInt32 index, float value)
{
    Velmora::setParameter(index, value);
    if (editor)
        showOnEditor(index, value);
}

void VelmoraEdit::showOnEditor(VstInt32 index, float value)
{
    if (auto* panel = dynamic_cast<ToolkitEditor*>(editor))
        panel->setParameter(index, value);
}

VstInt32 VelmoraEdit::getVendorVersion() { return velmora::kEditVendorVersion; }

PluginEffect* createEffectInstance(audioMasterCallback audioMaster)
{
    std::unique_ptr<VelmoraEdit> effect = std::make_unique<VelmoraEdit>(audioMaster);
    effect->setUniqueID(velmora::kUniqueId);
    try
    {
        new ADEditor(effect.get());  // attaches itself; the effect owns and deletes it
    }
    catch (...)
    {
        // A panel that failed half-way may already have attached itself.
        effect->setEditor(nullptr);
        throw;
    }
    effect->resume();
    return effect.release();
}
