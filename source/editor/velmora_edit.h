#pragma once
// The effect the plug-in entry builds: Velmora plus the binding to its editor
// panel, so that host parameter changes move the panel's controls.

#include "effect/velmora.h"

class VelmoraEdit : public Velmora
{
public:
    explicit VelmoraEdit(audioMasterCallback audioMaster);

    // Any thread: the value reaches the effect, then the attached editor.
    void setParameter(VstInt32 index, float value) override;
    // Names and MIDI channels are Velmora's; only the version differs.
    VstInt32 getVendorVersion() override;

private:
    // Mirrors a parameter on the editor's control; nothing while no editor is attached.
    void showOnEditor(VstInt32 index, float value);
};
