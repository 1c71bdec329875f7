#pragma once
// How the width signal follows the values a host sets, so that no change
// clicks or zips. The wet gain W (on/off and Dry/Wet in one: Dry/Wet / 2, or
// 0 when off) glides to each new value from wherever it is heading. A new Size
// crossfades from the lines sounding to lines at the new lengths rather than
// moving the read positions, which would sweep the pitch; a Size that arrives
// during a crossfade waits for its end and then fades in from the lines that
// sound by then. Only the width signal moves, so the mono sum stays the
// input's throughout.
//
// Nothing has sounded before the first block after settle(), so that block
// takes its values at once: an offline render from the first sample, and
// every output at fixed settings, are those of a path without any glide.
//
// Threads: belongs to the audio thread, like the path that owns it.

#include "effect/glide.h"

namespace velmora
{
class WidthMotion
{
public:
    // W glides over 10 ms; a Size crossfade lasts 30 ms.
    static constexpr float kWetGlideSeconds = 0.01f;
    static constexpr float kSizeFadeSeconds = 0.03f;

    // Glide and crossfade lengths at this rate; then as settle().
    void prepare(float sampleRate) noexcept;
    // The next startBlock takes the targets at once.
    void settle() noexcept { settled = false; }

    void setTargets(bool on, float size, float dryWet) noexcept;
    // Starts a glide toward a changed W and a crossfade toward a changed Size.
    void startBlock() noexcept;
    // How many of the next frames (at most limit) pass before a glide or a
    // crossfade ends; limit while nothing moves.
    int framesBeforeChange(int limit) const noexcept;
    // Ends what has run its course, and starts a crossfade that waited.
    void advance(int frames) noexcept;

    const Glide& wet() const noexcept { return wetGain; }
    // 0 while no crossfade runs, else the incoming lines' share, 0 to 1.
    const Glide& fade() const noexcept { return incomingShare; }
    bool crossfading() const noexcept { return incomingShare.moving(); }
    float soundingSize() const noexcept { return sounding; }
    float incomingSize() const noexcept { return incoming; }

private:
    void startCrossfadeIfDue() noexcept;

    int glideFrames = 1;
    int fadeFrames = 1;
    bool settled = false;
    float targetWet = 0.0f;
    float targetSize = 0.0f;
    Glide wetGain;
    Glide incomingShare;
    float sounding = 0.0f;  // the Size of the lines sounding
    float incoming = 0.0f;  // the Size faded in, while crossfading
};
}  // namespace velmora
