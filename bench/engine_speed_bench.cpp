// The widening engine on each instruction-set path this processor runs, side
// by side with the one-sample-at-a-time path, at 48 kHz: nanoseconds and
// frames per second of processing, and how many times faster than the plain
// path. Then the same engine when every block brings a new Size and Dry/Wet,
// against itself at fixed settings. Each figure is the best of several timed
// runs.
#include "effect/scalar_widener.h"
#include "effect/widening_engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{
constexpr float kSampleRate = 48000.0f;
constexpr double kSecondsPerRun = 0.1;
constexpr int kRuns = 7;

struct Signal
{
    explicit Signal(int frames)
        : left(static_cast<std::size_t>(frames)), right(left.size()), outLeft(left.size()), outRight(left.size())
    {
        // Quiet noise, so the work is that of real material rather than silence.
        unsigned seed = 1;
        for (std::size_t n = 0; n < left.size(); ++n)
        {
            seed = seed * 1664525u + 1013904223u;
            left[n] = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
            right[n] = -0.5f * left[n];
        }
    }
    std::vector<float> left, right, outLeft, outRight;
};

// Nanoseconds per frame of one timed run, blocks of the signal's length.
template <class Path>
double timedRun(Path& path, Signal& signal)
{
    const int frames = static_cast<int>(signal.left.size());
    long long processed = 0;
    const auto start = std::chrono::steady_clock::now();
    double elapsed = 0.0;
    do
    {
        for (int repeat = 0; repeat < 64; ++repeat)
            path.process(signal.left.data(), signal.right.data(), signal.outLeft.data(), signal.outRight.data(),
                         frames);
        processed += 64LL * frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (elapsed < kSecondsPerRun);
    return elapsed * 1e9 / static_cast<double>(processed);
}

template <class Path>
void prepare(Path& path)
{
    path.prepare(kSampleRate);
    path.setValues(true, 0.5f, 0.5f);
}

// A new Size and Dry/Wet with every block, so that each block runs a glide
// and a crossfade: the dearest block the engine has.
class MovingEngine
{
public:
    explicit MovingEngine(const velmora::WideningKernel& kernel) : engine(kernel) {}
    void prepare(float sampleRate) { engine.prepare(sampleRate); }
    void setValues(bool on, float size, float dryWet) { engine.setValues(on, size, dryWet); }
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames)
    {
        flipped = !flipped;
        engine.setValues(true, flipped ? 0.4f : 0.6f, flipped ? 0.3f : 0.7f);
        engine.process(inLeft, inRight, outLeft, outRight, frames);
    }

private:
    velmora::WideningEngine engine;
    bool flipped = false;
};

void compareMovingWithSteady()
{
    std::printf("\nBlocks in which Size and Dry/Wet move, against blocks at fixed settings:\n");
    std::printf("%-10s %6s %12s %12s %8s\n", "path", "block", "steady ns/f", "moving ns/f", "ratio");
    const velmora::WideningKernel* kernels = velmora::wideningKernels();
    for (int block : {64, 512})
        for (int index = 0; index < velmora::kNumWideningKernels; ++index)
        {
            if (!kernels[index].isSupported())
                continue;
            Signal signal(block);
            velmora::WideningEngine steady(kernels[index]);
            MovingEngine moving(kernels[index]);
            prepare(steady);
            prepare(moving);
            double steadyTime = 1e300;
            double movingTime = 1e300;
            for (int run = 0; run < kRuns; ++run)
            {
                steadyTime = std::min(steadyTime, timedRun(steady, signal));
                movingTime = std::min(movingTime, timedRun(moving, signal));
            }
            std::printf("%-10s %6d %12.3f %12.3f %7.2fx\n", kernels[index].name, block, steadyTime, movingTime,
                        movingTime / steadyTime);
        }
}

// Largest difference from the plain path over two seconds of full-scale noise.
double deviationFromPlainPath(const velmora::WideningKernel& kernel)
{
    const int frames = 96000;
    Signal signal(frames);
    for (float& sample : signal.left)
        sample *= 2.0f;
    for (std::size_t n = 0; n < signal.left.size(); ++n)
        signal.right[n] = signal.left[(n * 7919) % signal.left.size()];  // uncorrelated with the left
    velmora::ScalarWidener plain;
    velmora::WideningEngine engine(kernel);
    plain.prepare(kSampleRate);
    plain.setValues(true, 0.5f, 1.0f);
    engine.prepare(kSampleRate);
    engine.setValues(true, 0.5f, 1.0f);
    std::vector<float> left(signal.left.size()), right(left.size());
    plain.process(signal.left.data(), signal.right.data(), left.data(), right.data(), frames);
    engine.process(signal.left.data(), signal.right.data(), signal.outLeft.data(), signal.outRight.data(), frames);
    double worst = 0.0;
    for (std::size_t n = 0; n < left.size(); ++n)
        worst = std::max({worst, std::fabs(static_cast<double>(left[n]) - signal.outLeft[n]),
                          std::fabs(static_cast<double>(right[n]) - signal.outRight[n])});
    return worst;
}
}  // namespace

int main()
{
    std::printf("Widening path at %.0f Hz, Size 0.5, Dry/Wet 0.5; best of %d runs of %.1f s\n\n", kSampleRate, kRuns,
                kSecondsPerRun);
    std::printf("%-10s %6s %10s %14s %8s\n", "path", "block", "ns/frame", "frames/s", "speed-up");
    const velmora::WideningKernel* kernels = velmora::wideningKernels();
    for (int block : {32, 64, 512, 4096})
    {
        // The paths take turns, each keeping its best run, so that a busy
        // moment on the machine weighs on all of them alike.
        Signal signal(block);
        velmora::ScalarWidener plain;
        prepare(plain);
        std::vector<std::unique_ptr<velmora::WideningEngine>> engines;
        for (int index = 0; index < velmora::kNumWideningKernels; ++index)
        {
            engines.push_back(std::make_unique<velmora::WideningEngine>(kernels[index]));
            prepare(*engines.back());
        }
        double plainTime = 1e300;
        std::vector<double> engineTimes(engines.size(), 1e300);
        for (int run = 0; run < kRuns; ++run)
        {
            plainTime = std::min(plainTime, timedRun(plain, signal));
            for (std::size_t index = 0; index < engines.size(); ++index)
                if (kernels[index].isSupported())
                    engineTimes[index] = std::min(engineTimes[index], timedRun(*engines[index], signal));
        }

        std::printf("%-10s %6d %10.3f %14.4g %8s\n", "plain", block, plainTime, 1e9 / plainTime, "1.0");
        for (std::size_t index = 0; index < engines.size(); ++index)
        {
            if (!kernels[index].isSupported())
                std::printf("%-10s %6d   not available on this processor\n", kernels[index].name, block);
            else
                std::printf("%-10s %6d %10.3f %14.4g %7.1fx\n", kernels[index].name, block, engineTimes[index],
                            1e9 / engineTimes[index], plainTime / engineTimes[index]);
        }
    }
    std::printf("\nLargest difference from the plain path (full-scale noise, Dry/Wet 1):\n");
    for (int index = 0; index < velmora::kNumWideningKernels; ++index)
        if (kernels[index].isSupported())
            std::printf("  %-10s %.3g\n", kernels[index].name, deviationFromPlainPath(kernels[index]));
    compareMovingWithSteady();
    return 0;
}
