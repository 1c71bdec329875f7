#include "editor/velmora_edit.h"

#include "editor/ad_editor.h"

#include <cstdio>

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
    auto* effect = new VelmoraEdit(audioMaster);
    effect->setUniqueID(velmora::kUniqueId);
    effect->resume();
    new ADEditor(effect);  // attaches itself; the effect owns and deletes it
    return effect;
}
