// Feeds arbitrary bytes to VSTPlugIn::loadFXPOrFXB on one Velmora instance.
// Malformed data must end in FormatException or EOFException, and the
// effect must stay usable: a bank can still be written after every input.

#include "fuzz_stop.h"

#include "plughost/plug_host.h"
#include "plughost/plugin_loading.h"
#include "tandem/tandem_exceptions.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace
{
constexpr float kSampleRate = 44100.0f;
constexpr int kBlockSize = 512;

struct FuzzedEffect
{
    PlugHost host{kSampleRate};
    std::unique_ptr<VSTPlugIn> plugIn;
    unsigned long bankSize = 0;
};

// VELMORA_BUNDLE overrides the bundle of the build tree this was built in.
const char* bundlePath()
{
    const char* path = std::getenv("VELMORA_BUNDLE");
    return path != nullptr ? path : VELMORA_BUNDLE_DIR;
}

FuzzedEffect& fuzzedEffect()
{
    static FuzzedEffect* effect = [] {
        auto* opened = new FuzzedEffect;
        opened->plugIn = openPlugIn(bundlePath(), opened->host, kSampleRate, kBlockSize);
        delete[] opened->plugIn->createFXB(opened->bankSize);
        return opened;
    }();
    return *effect;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedEffect& effect = fuzzedEffect();
    if (size == 0)
    {
        return 0;
    }
    try
    {
        effect.plugIn->loadFXPOrFXB(size, data);
    }
    catch (const FormatException&)
    {}
    catch (const EOFException&)
    {}
    unsigned long bankSize = 0;
    delete[] effect.plugIn->createFXB(bankSize);
    if (bankSize != effect.bankSize)
    {
        fuzzing::stop("bank", "the effect's bank changed size with the input");
    }
    return 0;
}
