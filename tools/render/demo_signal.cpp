#include "render/demo_signal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace render
{
namespace
{
constexpr double kBeatSeconds = 0.5;  // 120 beats per minute
constexpr int kBars = 4;
constexpr int kBeatsPerBar = 4;
constexpr double kPeak = 0.5;  // -6 dBFS
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Noise that is the same on every machine and every run.
class NoiseSource
{
public:
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }

private:
    std::uint32_t state = 0x2545F491u;
};

double noteFrequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

std::size_t frameAt(double seconds) { return static_cast<std::size_t>(seconds * kDemoSampleRate); }

// Frames a sound of the given duration starting at first may use; a sound
// near the end of the piece is cut off there.
std::size_t framesFor(const std::vector<float>& buffer, std::size_t first, double seconds)
{
    return first >= buffer.size() ? 0 : std::min(frameAt(seconds), buffer.size() - first);
}

// A plucked string: a noise burst recirculating through a damped delay loop.
void addPluck(std::vector<float>& centre, double start, int midiNote, float level, NoiseSource& noise)
{
    const auto period = static_cast<std::size_t>(kDemoSampleRate / noteFrequency(midiNote));
    // A smoothed burst: a softer pick, and fewer peaks for the same loudness.
    std::vector<float> loop(period);
    float smoothed = 0.0f;
    for (float& sample : loop)
        sample = smoothed = 0.5f * (smoothed + noise.next());
    const std::size_t first = frameAt(start);
    const std::size_t length = framesFor(centre, first, 1.6);
    float previous = 0.0f;
    for (std::size_t frame = 0; frame < length; ++frame)
    {
        float& slot = loop[frame % period];
        const float output = slot;
        slot = 0.497f * (output + previous);
        previous = output;
        centre[first + frame] += level * output;
    }
}

void addKick(std::vector<float>& centre, double start)
{
    const std::size_t first = frameAt(start);
    const std::size_t length = framesFor(centre, first, 0.35);
    double phase = 0.0;
    for (std::size_t frame = 0; frame < length; ++frame)
    {
        const double time = static_cast<double>(frame) / kDemoSampleRate;
        phase += kTwoPi * (50.0 + 110.0 * std::exp(-time * 30.0)) / kDemoSampleRate;
        centre[first + frame] += static_cast<float>(0.6 * std::exp(-time * 9.0) * std::sin(phase));
    }
}

void addSnare(std::vector<float>& centre, double start, NoiseSource& noise)
{
    const std::size_t first = frameAt(start);
    const std::size_t length = framesFor(centre, first, 0.2);
    for (std::size_t frame = 0; frame < length; ++frame)
    {
        const double time = static_cast<double>(frame) / kDemoSampleRate;
        const double tone = std::sin(kTwoPi * 190.0 * time) * std::exp(-time * 30.0);
        const double rattle = noise.next() * std::exp(-time * 22.0);
        centre[first + frame] += static_cast<float>(0.3 * tone + 0.35 * rattle);
    }
}

// Bright noise (first difference of white noise), a little to the left.
void addHat(std::vector<float>& left, std::vector<float>& right, double start, NoiseSource& noise)
{
    const std::size_t first = frameAt(start);
    const std::size_t length = framesFor(left, first, 0.06);
    float previous = 0.0f;
    for (std::size_t frame = 0; frame < length; ++frame)
    {
        const float white = noise.next();
        const auto level = static_cast<float>(0.12 * std::exp(-static_cast<double>(frame) / kDemoSampleRate * 70.0));
        left[first + frame] += 0.55f * level * (white - previous);
        right[first + frame] += 0.45f * level * (white - previous);
        previous = white;
    }
}
}  // namespace

std::vector<float> synthesizeDemo()
{
    // A minor, F major, C major, G major: one chord a bar, picked in eighths.
    constexpr std::array<std::array<int, 4>, kBars> kChords = {{
        {57, 60, 64, 69},
        {53, 57, 60, 65},
        {48, 55, 60, 64},
        {55, 59, 62, 67},
    }};
    constexpr std::array<int, 8> kPickOrder = {0, 2, 1, 3, 2, 1, 3, 2};

    const double barSeconds = kBeatsPerBar * kBeatSeconds;
    const std::size_t frameCount = frameAt(kBars * barSeconds + 1.0);  // one second to ring out
    std::vector<float> centre(frameCount), left(frameCount), right(frameCount);
    NoiseSource noise;

    for (int bar = 0; bar < kBars; ++bar)
    {
        const double barStart = bar * barSeconds;
        addPluck(centre, barStart, kChords[bar][0] - 12, 0.7f, noise);
        for (int eighth = 0; eighth < 8; ++eighth)
        {
            const double time = barStart + eighth * kBeatSeconds / 2.0;
            addPluck(centre, time, kChords[bar][kPickOrder[eighth]] + 12, 0.6f, noise);
            if (eighth % 2 == 1)
                addHat(left, right, time, noise);
        }
        for (int beat = 0; beat < kBeatsPerBar; ++beat)
        {
            const double time = barStart + beat * kBeatSeconds;
            if (beat % 2 == 0)
                addKick(centre, time);
            else
                addSnare(centre, time, noise);
        }
    }

    float loudest = 0.0f;
    for (std::size_t frame = 0; frame < frameCount; ++frame)
        loudest = std::max({loudest, std::fabs(centre[frame] + left[frame]), std::fabs(centre[frame] + right[frame])});
    const float gain = loudest > 0.0f ? static_cast<float>(kPeak) / loudest : 1.0f;

    std::vector<float> interleaved(2 * frameCount);
    for (std::size_t frame = 0; frame < frameCount; ++frame)
    {
        interleaved[2 * frame] = gain * (centre[frame] + left[frame]);
        interleaved[2 * frame + 1] = gain * (centre[frame] + right[frame]);
    }
    return interleaved;
}
}  // namespace render
