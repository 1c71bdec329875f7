// The bundle's VST 2 entry: the only symbol a VST host looks up.
#include "vst/plugin_effect.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    // The host is C and cannot unwind: an effect that cannot be built (out of
    // memory, a panel that failed) is no effect. Whatever was built is
    // released on the way out of createEffectInstance.
    try
    {
        // A host that answers 0 to the version query is not a VST 2 host.
        if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;
        PluginEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    }
    catch (...)
    {
        return nullptr;
    }
}
