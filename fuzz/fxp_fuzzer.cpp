// Arbitrary bytes as FXP/FXB data: read by the parser as Velmora takes them,
// a bank's programs walked as a loader walks them, every value read. Data
// the parser reads goes on to VSTPlugIn::loadFXPOrFXB on one Velmora
// instance, which must refuse exactly the banks whose programs the parser
// refuses (with FormatException or EOFException) and stay usable: a bank can
// still be written after every input.

#include "fuzz_stop.h"

#include "plughost/plug_host.h"
#include "plughost/plugin_loading.h"
#include "tandem/tandem_exceptions.h"
#include "vst/fx_data.h"

#include <algorithm>
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
    fx::Receiver receiver;
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
        const AEffect& record = opened->plugIn->getAEffect();
        opened->receiver = {record.uniqueID, record.numParams, opened->plugIn->hasProgramChunks()};
        return opened;
    }();
    return *effect;
}

void checkValues(const fx::Program& program)
{
    for (std::size_t index = 0; index < program.valueCount(); ++index)
    {
        const float value = program.value(index);
        if (!(value >= 0.0f && value <= 1.0f))
        {
            fuzzing::stop("value", "a program value read outside 0..1");
        }
    }
}

// A bank's programs as far as Velmora has programs, as its loader walks them.
fx::Fault readPrograms(const FuzzedEffect& effect, const fx::Bank& bank)
{
    fx::Bytes programs = bank.programs;
    for (int index = 0; index < std::min(bank.programCount, effect.plugIn->getProgramCount()); ++index)
    {
        fx::Program program;
        if (const fx::Fault fault = fx::readParameterProgram(programs, effect.receiver, program);
            fault != fx::Fault::none)
        {
            return fault;
        }
        checkValues(program);
        programs = programs.subspan(program.size);
    }
    return fx::Fault::none;
}

bool refusedByTheComponent(FuzzedEffect& effect, const std::uint8_t* data, std::size_t size)
{
    try
    {
        effect.plugIn->loadFXPOrFXB(size, data);
    }
    catch (const FormatException&)
    {
        return true;
    }
    catch (const EOFException&)
    {
        return true;
    }
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedEffect& effect = fuzzedEffect();
    // The chunk records Velmora refuses, read as by an effect that takes them.
    fx::Data chunked;
    fx::read({data, size}, {effect.receiver.effectId, effect.receiver.parameterCount, true}, chunked);
    fx::Data parsed;
    // Data refused here the component refuses before it calls the effect, so
    // only the rest goes on to it: most inputs run at the parser's speed.
    if (fx::read({data, size}, effect.receiver, parsed) != fx::Fault::none)
    {
        return 0;
    }
    checkValues(parsed.program);
    const bool refused = parsed.header.formatMagic == fx::kParameterBankMagic &&
                         readPrograms(effect, parsed.bank) != fx::Fault::none;
    if (refusedByTheComponent(effect, data, size) != refused)
    {
        fuzzing::stop("verdict", "the component and the parser disagree on the data");
    }
    unsigned long bankSize = 0;
    delete[] effect.plugIn->createFXB(bankSize);
    if (bankSize != effect.bankSize)
    {
        fuzzing::stop("bank", "the effect's bank changed size with the input");
    }
    return 0;
}
