#pragma once
// Sample helpers the render path shares between pulling the input and
// running the effect.

namespace tandem
{
// Whether any of the samples is not zero.
inline bool carriesSignal(const float* samples, int frames)
{
    for (int frame = 0; frame < frames; ++frame)
    {
        if (samples[frame] != 0.0f)
        {
            return true;
        }
    }
    return false;
}

// out = the mean of the sources, frame by frame; out may be one of them.
inline void averageInto(float* out, const float* const* sources, int count, int frames)
{
    const float scale = 1.0f / static_cast<float>(count);
    for (int frame = 0; frame < frames; ++frame)
    {
        float sum = 0.0f;
        for (int source = 0; source < count; ++source)
        {
            sum += sources[source][frame];
        }
        out[frame] = sum * scale;
    }
}
}  // namespace tandem
