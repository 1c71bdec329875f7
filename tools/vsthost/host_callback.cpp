// The host's side of the audioMaster protocol: records each call and answers it.
#include "vsthost/loaded_effect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vsthost
{
namespace
{
// Room the protocol gives for vendor and product strings, terminator included.
constexpr std::size_t kHostStringSize = 64;
constexpr double kTempo = 120.0;

VstIntPtr copyHostString(const std::string& text, void* ptr)
{
    if (!ptr)
        return 0;
    const std::size_t length = std::min(text.size(), kHostStringSize - 1);
    std::memcpy(ptr, text.data(), length);
    static_cast<char*>(ptr)[length] = '\0';
    return 1;
}

bool hostCanDo(const std::string& capability) { return capability == "sendVstTimeInfo" || capability == "sizeWindow"; }
}  // namespace

VstIntPtr LoadedEffect::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt)
{
    LoadedEffect* host = (effect && effect->resvd1) ? reinterpret_cast<LoadedEffect*>(effect->resvd1) : beingLoaded;
    // A call from a thread the effect started while loading cannot be told
    // apart from a stray one: it gets the answer of a host that knows nothing.
    if (!host)
        return 0;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr LoadedEffect::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    HostCall call{opcode, index, value, opt, {}};
    if (opcode == audioMasterCanDo && ptr)
        call.text = static_cast<const char*>(ptr);
    {
        std::lock_guard lock(callsMutex);
        recordedCalls.push_back(call);
    }
    const auto custom = answers.find(opcode);
    if (custom != answers.end())
        return custom->second(call, ptr);
    return defaultAnswer(call, ptr);
}

VstIntPtr LoadedEffect::defaultAnswer(const HostCall& call, void* ptr)
{
    switch (call.opcode)
    {
    case audioMasterVersion: return hostSettings.versionAnswer;
    case audioMasterGetSampleRate: return static_cast<VstIntPtr>(hostSettings.sampleRate);
    case audioMasterGetBlockSize: return hostSettings.blockSize;
    case audioMasterGetVendorString: return copyHostString(hostSettings.vendor, ptr);
    case audioMasterGetProductString: return copyHostString(hostSettings.product, ptr);
    case audioMasterGetVendorVersion: return 1;
    case audioMasterCanDo: return hostCanDo(call.text) ? 1 : 0;
    case audioMasterGetTime:
    {
        // A transport at 120 beats per minute in 4/4 that has played exactly
        // the frames processed so far.
        const double samples = static_cast<double>(samplePosition.load(std::memory_order_relaxed));
        const double quarterNotes = samples / hostSettings.sampleRate * kTempo / 60.0;
        timeInfo = VstTimeInfo{};
        timeInfo.samplePos = samples;
        timeInfo.sampleRate = hostSettings.sampleRate;
        timeInfo.ppqPos = quarterNotes;
        timeInfo.tempo = kTempo;
        timeInfo.barStartPos = std::floor(quarterNotes / 4.0) * 4.0;
        timeInfo.timeSigNumerator = 4;
        timeInfo.timeSigDenominator = 4;
        timeInfo.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
        return reinterpret_cast<VstIntPtr>(&timeInfo);
    }
    default:
        // audioMasterCurrentId and everything this host does not offer.
        return 0;
    }
}
}  // namespace vsthost
