// The three functions a VST3 host looks up in the module, and nothing else
// leaves it. The module keeps no state that entry or exit would have to set
// up or tear down; a host may enter it more than once.
#include "vst3/plugin_factory.h"

#define VELMORA_VST3_EXPORT extern "C" __attribute__((visibility("default")))

VELMORA_VST3_EXPORT bool ModuleEntry(void*) { return true; }

VELMORA_VST3_EXPORT bool ModuleExit() { return true; }

VELMORA_VST3_EXPORT vst3::IPluginFactory* GetPluginFactory() { return velmora::vst3face::PluginFactory::acquire(); }
