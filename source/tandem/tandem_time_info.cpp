// The transport record the effect reads during a run: the time stamp and
// rate always, the rest from whichever of the host's callbacks it installed;
// and those callbacks as the host sets them.

#include "tandem/tandem_render_path.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace
{
// From here on (and for NaN) a time signature's numerator has no int form.
constexpr float kLargestNumerator = 2147483648.0f;

// A host's transport answer holding a value that is not finite is not used,
// as if the call had failed: the effect could not work with it.
bool allFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double value) { return std::isfinite(value); });
}
}  // namespace

void TandemRenderPath::updateVSTTimeInfo(const AudioTimeStamp* timeStamp) noexcept
{
    // Only the host's callbacks fill the other fields: without them, and with
    // nothing left over from an earlier run that had them, they are zero.
    const bool hostGivesTime = hostCallbacks.beatAndTempoProc != nullptr ||
                               hostCallbacks.musicalTimeLocationProc != nullptr ||
                               hostCallbacks.transportStateProc != nullptr;
    if (hostGivesTime || vstTimeInfoFromHost)
    {
        vstTimeInfo = VstTimeInfo{};
    }
    vstTimeInfoFromHost = hostGivesTime;
    vstTimeInfo.samplePos = timeStamp->mSampleTime;
    vstTimeInfo.sampleRate = streamFormat.mSampleRate;
    vstTimeInfo.flags = 0;
    if (!hostGivesTime)
    {
        return;
    }
    readBeatAndTempo();
    readMusicalTimeLocation();
    readTransportState();
}

void TandemRenderPath::readBeatAndTempo() noexcept
{
    if (hostCallbacks.beatAndTempoProc == nullptr)
    {
        return;
    }
    Float64 beat = 0.0;
    Float64 tempo = 120.0;
    if (hostCallbacks.beatAndTempoProc(hostCallbacks.hostUserData, &beat, &tempo) == noErr && allFinite({beat, tempo}))
    {
        vstTimeInfo.ppqPos = beat;
        vstTimeInfo.tempo = tempo;
        vstTimeInfo.flags |= kVstPpqPosValid | kVstTempoValid;
    }
}

void TandemRenderPath::readMusicalTimeLocation() noexcept
{
    if (hostCallbacks.musicalTimeLocationProc == nullptr)
    {
        return;
    }
    UInt32 offsetToNextBeat = 0;
    Float32 numerator = 4.0f;
    UInt32 denominator = 4;
    Float64 downBeat = 0.0;
    if (hostCallbacks.musicalTimeLocationProc(hostCallbacks.hostUserData, &offsetToNextBeat, &numerator, &denominator,
                                              &downBeat) == noErr &&
        allFinite({downBeat}) && std::fabs(numerator) < kLargestNumerator)
    {
        vstTimeInfo.timeSigNumerator = static_cast<VstInt32>(numerator);
        vstTimeInfo.timeSigDenominator = static_cast<VstInt32>(denominator);
        vstTimeInfo.barStartPos = downBeat;
        vstTimeInfo.flags |= kVstBarsValid | kVstTimeSigValid;
    }
}

void TandemRenderPath::readTransportState() noexcept
{
    if (hostCallbacks.transportStateProc == nullptr)
    {
        return;
    }
    Boolean playing = false;
    Boolean changed = false;
    Float64 sampleInTimeLine = 0.0;
    Boolean cycling = false;
    Float64 cycleStart = 0.0;
    Float64 cycleEnd = 0.0;
    if (hostCallbacks.transportStateProc(hostCallbacks.hostUserData, &playing, &changed, &sampleInTimeLine, &cycling,
                                         &cycleStart, &cycleEnd) != noErr ||
        !allFinite({sampleInTimeLine, cycleStart, cycleEnd}))
    {
        return;
    }
    vstTimeInfo.flags |= (playing ? kVstTransportPlaying : 0) | (changed ? kVstTransportChanged : 0) |
                         (cycling ? kVstTransportCycleActive : 0) | kVstCyclePosValid;
    vstTimeInfo.samplePos = sampleInTimeLine;
    vstTimeInfo.cycleStartPos = cycleStart;
    vstTimeInfo.cycleEndPos = cycleEnd;
}

void TandemRenderPath::setHostCallbacks(UInt32 size, const void* data)
{
    // No data (size 0) is a record of no callbacks.
    HostCallbackInfo callbacks{};
    if (size > 0)
    {
        std::memcpy(&callbacks, data, std::min<UInt32>(size, sizeof callbacks));
    }
    if (std::memcmp(&callbacks, &hostCallbacks, sizeof callbacks) == 0)
    {
        return;
    }
    hostCallbacks = callbacks;
    listeners.propertyChanged(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0);
}
