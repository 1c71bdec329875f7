#pragma once
// A value that moves from where it is to a target over a number of frames,
// along a cubic that starts with the slope the value had and arrives flat:
// no step and no kink, whatever the value was doing when the target came, so
// nothing of the move spreads into high frequencies. From rest it is the
// smoothstep 3x^2 - 2x^3.
//
// Frame k of the glide (k = 1 for its first frame) has the cubic's value at
// x = k / length, and the target itself from the glide's last frame on: a
// value that depends on k alone, so any split of the frames into chunks
// gives the same samples.

#include <algorithm>

namespace velmora
{
struct Glide
{
    // value(x) = from + x (slope + x (square + x cube)), x from 0 to 1.
    float from = 0.0f;
    float to = 0.0f;
    float slope = 0.0f;
    float square = 0.0f;
    float cube = 0.0f;
    float perFrame = 0.0f;  // 1 / length
    int length = 0;         // frames from `from` to `to`
    int elapsed = 0;        // frames of the glide already processed

    bool moving() const noexcept { return elapsed < length; }
    int remaining() const noexcept { return length - elapsed; }
    float at(int frame) const noexcept
    {
        if (frame >= length)
            return to;
        const float x = static_cast<float>(frame) * perFrame;
        return from + x * (slope + x * (square + x * cube));
    }
    // The value of the last frame processed, and of the frame after it.
    float current() const noexcept { return at(elapsed); }
    float next() const noexcept { return at(elapsed + 1); }

    void jumpTo(float value) noexcept { *this = {value, value, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0}; }
    // From the value sounding now and its slope; frames is at least 1.
    void start(float target, int frames) noexcept
    {
        // The slope now, per frame, as a change over the new glide's length.
        float startSlope = 0.0f;
        if (moving())
        {
            const float x = static_cast<float>(elapsed) * perFrame;
            startSlope = (slope + x * (2.0f * square + x * 3.0f * cube)) * perFrame * static_cast<float>(frames);
        }
        const float sounding = current();
        const float change = target - sounding;
        *this = {sounding,
                 target,
                 startSlope,
                 3.0f * change - 2.0f * startSlope,
                 startSlope - 2.0f * change,
                 1.0f / static_cast<float>(frames),
                 frames,
                 0};
    }
    void advance(int frames) noexcept { elapsed = std::min(length, elapsed + frames); }
};
}  // namespace velmora
