#include "support/signals.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace testsupport
{
std::vector<float> silence(std::size_t frames) { return std::vector<float>(frames, 0.0f); }

std::vector<float> impulse(std::size_t frames, std::size_t position, float amplitude)
{
    std::vector<float> samples(frames, 0.0f);
    if (position < frames)
        samples[position] = amplitude;
    return samples;
}

std::vector<float> sine(std::size_t frames, double frequency, double sampleRate, float amplitude)
{
    std::vector<float> samples(frames);
    for (std::size_t n = 0; n < frames; ++n)
        samples[n] = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * frequency *
                                                             static_cast<double>(n) / sampleRate));
    return samples;
}

std::vector<float> noise(std::size_t frames, std::uint32_t seed, float amplitude)
{
    // xorshift32: small, fast and identical everywhere, unlike the standard
    // library's distributions.
    std::uint32_t state = seed != 0 ? seed : 1;
    std::vector<float> samples(frames);
    for (auto& sample : samples)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double unit = static_cast<double>(state) / 4294967295.0;  // 0..1
        sample = amplitude * static_cast<float>(unit * 2.0 - 1.0);
    }
    return samples;
}

StereoBuffer::StereoBuffer(std::vector<float> leftChannel, std::vector<float> rightChannel)
    : left(std::move(leftChannel)), right(std::move(rightChannel))
{
    if (left.size() != right.size())
        throw std::invalid_argument("StereoBuffer channels differ in length");
}

StereoBuffer::StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

float** StereoBuffer::channels(std::size_t offset)
{
    pointers[0] = left.data() + offset;
    pointers[1] = right.data() + offset;
    return pointers;
}

StereoBuffer renderInBlocks(const StereoBuffer& input, const std::vector<int>& blocks, const BlockProcess& process,
                            bool inPlace)
{
    StereoBuffer source(input);
    StereoBuffer output(input.frames());
    std::size_t done = 0;
    for (std::size_t block = 0; done < input.frames(); ++block)
    {
        const int frames = static_cast<int>(
            std::min<std::size_t>(static_cast<std::size_t>(blocks[block % blocks.size()]), input.frames() - done));
        float** in = source.channels(done);
        process(in, inPlace ? in : output.channels(done), frames);
        done += static_cast<std::size_t>(frames);
    }
    return inPlace ? source : output;
}
}  // namespace testsupport
