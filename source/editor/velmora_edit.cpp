#include "editor/velmora_edit.h"

#include "editor/ad_editor.h"

#include <cstdio>
#include <memory>

namespace
{
void copyText(const char* source, char* text)
{
    std::snprintf(text, velmora::kParameterTextBytes, "%s", source);
}
}  // namespace

VelmoraEdit::VelmoraEdit(audioMasterCallback audioMaster) : Velmora(audioMaster)
{
}

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

bool VelmoraEdit::getEffectName(char* name)
{
    copyText(velmora::kEffectName, name);
    return true;
}

bool VelmoraEdit::getProductString(char* text)
{
    copyText(velmora::kProductString, text);
    return true;
}

VstInt32 VelmoraEdit::getNumMidiInputChannels() { return 0; }
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
