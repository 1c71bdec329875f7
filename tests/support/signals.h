#pragma once
// Test signals shared by every suite. All deterministic: the same call gives
// the same samples on every run and machine.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace testsupport
{
std::vector<float> silence(std::size_t frames);
// amplitude at frame position, zeros elsewhere.
std::vector<float> impulse(std::size_t frames, std::size_t position = 0, float amplitude = 1.0f);
std::vector<float> sine(std::size_t frames, double frequency, double sampleRate, float amplitude = 0.5f);
// Uniform white noise in -amplitude..amplitude from a fixed generator.
std::vector<float> noise(std::size_t frames, std::uint32_t seed = 1, float amplitude = 0.5f);

// Two channels of equal length with the pointer arrays a process call takes.
struct StereoBuffer
{
    StereoBuffer(std::vector<float> leftChannel, std::vector<float> rightChannel);
    explicit StereoBuffer(std::size_t frames);

    std::size_t frames() const { return left.size(); }
    // Pointers to both channels, starting at frame offset; valid until the
    // next call or until the buffer changes.
    float** channels(std::size_t offset = 0);

    std::vector<float> left;
    std::vector<float> right;

private:
    float* pointers[2] = {};
};

// Runs input through process(in, out, frames) in blocks whose sizes cycle
// through blocks; in place, out is in.
using BlockProcess = std::function<void(float** in, float** out, int frames)>;
StereoBuffer renderInBlocks(const StereoBuffer& input, const std::vector<int>& blocks, const BlockProcess& process,
                            bool inPlace = false);
}  // namespace testsupport
