#include "effect/width_motion.h"

#include "effect/widening_gains.h"

#include <bit>
#include <cstdint>

namespace velmora
{
namespace
{
// Whole frames of a span at a rate, at least one; an unusable rate gives one.
int framesOf(float seconds, float sampleRate)
{
    const float frames = seconds * sampleRate + 0.5f;
    constexpr float kLongest = 1 << 20;
    if (!(frames >= 1.0f))
        return 1;
    return static_cast<int>(std::min(frames, kLongest));
}

// Values that must not start a glide again at every block: NaN is itself.
bool sameValue(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
}  // namespace

void WidthMotion::prepare(float sampleRate) noexcept
{
    glideFrames = framesOf(kWetGlideSeconds, sampleRate);
    fadeFrames = framesOf(kSizeFadeSeconds, sampleRate);
    settle();
}

void WidthMotion::setTargets(bool on, float size, float dryWet) noexcept
{
    targetWet = on ? dryWet * kWetScale : 0.0f;
    targetSize = size;
}

void WidthMotion::startBlock() noexcept
{
    if (!settled)
    {
        settled = true;
        wetGain.jumpTo(targetWet);
        incomingShare.jumpTo(0.0f);
        sounding = incoming = targetSize;
        return;
    }
    if (!sameValue(targetWet, wetGain.to))
        wetGain.start(targetWet, glideFrames);
    startCrossfadeIfDue();
}

void WidthMotion::startCrossfadeIfDue() noexcept
{
    if (crossfading() || sameValue(targetSize, sounding))
        return;
    incoming = targetSize;
    incomingShare.jumpTo(0.0f);
    incomingShare.start(1.0f, fadeFrames);
}

int WidthMotion::framesBeforeChange(int limit) const noexcept
{
    if (wetGain.moving())
        limit = std::min(limit, wetGain.remaining());
    if (crossfading())
        limit = std::min(limit, incomingShare.remaining());
    return limit;
}

void WidthMotion::advance(int frames) noexcept
{
    wetGain.advance(frames);
    if (!crossfading())
        return;
    incomingShare.advance(frames);
    if (crossfading())
        return;
    sounding = incoming;
    incomingShare.jumpTo(0.0f);
    startCrossfadeIfDue();
}
}  // namespace velmora
