// The controls moved as hosts move them, measured as a mixing engineer
// listens: the energy above 8 kHz around each change against the output, the
// mono sum through every change, and a steady tone that must never tick
// however long it runs. Each figure is printed, so a run shows the margins.
#include "band_energy.h"
#include "effect/scalar_widener.h"
#include "effect/widening_engine.h"
#include "support/automation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

using testsupport::ControlChange;
using testsupport::ControlValues;
using testsupport::StereoBuffer;

namespace
{
constexpr double kRate = 44100.0;
constexpr int kHostBlock = 512;
constexpr std::size_t kFrames = 2 * 44100;

// -12 dBFS of 220 Hz and 1 kHz, the right channel 10 degrees ahead.
StereoBuffer twoTones(std::size_t frames, double rate)
{
    StereoBuffer tones(frames);
    const double amplitude = 0.5 * std::pow(10.0, -12.0 / 20.0);
    const double ahead = 10.0 * std::numbers::pi / 180.0;
    for (std::size_t n = 0; n < frames; ++n)
    {
        const double t = static_cast<double>(n) / rate;
        const double left = std::sin(2 * std::numbers::pi * 220 * t) + std::sin(2 * std::numbers::pi * 1000 * t);
        const double right = std::sin(2 * std::numbers::pi * 220 * t + ahead) +
                             std::sin(2 * std::numbers::pi * 1000 * t + ahead);
        tones.left[n] = static_cast<float>(amplitude * left);
        tones.right[n] = static_cast<float>(amplitude * right);
    }
    return tones;
}

template <class Path>
StereoBuffer render(Path& path, double rate, const StereoBuffer& input, ControlValues start,
                    const std::vector<ControlChange>& changes)
{
    path.prepare(static_cast<float>(rate));
    const auto apply = [&](const ControlValues& values) { path.setValues(values.on, values.size, values.dryWet); };
    apply(start);
    return testsupport::renderWithChanges(
        input, kHostBlock, changes,
        [&](float** in, float** out, int frames) { path.process(in[0], in[1], out[0], out[1], frames); }, apply);
}

double worstMonoError(const StereoBuffer& input, const StereoBuffer& output)
{
    double worst = 0.0;
    for (std::size_t n = 0; n < input.frames(); ++n)
        worst = std::max(worst, std::fabs((static_cast<double>(output.left[n]) + output.right[n]) -
                                          (static_cast<double>(input.left[n]) + input.right[n])));
    return worst;
}

// Energy above 8 kHz from `from` to `to` seconds, in dB against the output.
double aboveEightKilohertz(const StereoBuffer& output, double from, double to)
{
    return bandenergy::worstWindowDb(output, bandenergy::BiquadCascade::highPass(8000.0, kRate, 8), kRate,
                                     static_cast<std::size_t>(from * kRate), static_cast<std::size_t>(to * kRate));
}

void report(const std::string& what, double decibels, double limit)
{
    std::printf("  %-44s %7.1f dBr (limit %.0f)\n", what.c_str(), decibels, limit);
    EXPECT_LE(decibels, limit) << what;
}
}  // namespace

// Each step lands inside a host block, at four places that meet other sine
// and LFO phases; the worst of the four counts.
TEST(SoundInMotion, StepsOfEachControlNeitherClickNorMoveTheMonoSum)
{
    struct Step
    {
        const char* name;
        ControlValues before;
        ControlValues after;
        double limit;
    };
    const Step steps[] = {
        {"on to off", {true, 0.5f, 0.5f}, {false, 0.5f, 0.5f}, -80.0},
        {"off to on", {false, 0.5f, 0.5f}, {true, 0.5f, 0.5f}, -80.0},
        {"Dry/Wet 0.2 to 1", {true, 0.5f, 0.2f}, {true, 0.5f, 1.0f}, -80.0},
        {"Size 0.2 to 0.8", {true, 0.2f, 0.5f}, {true, 0.8f, 0.5f}, -70.0},
    };
    const double places[] = {0.5 + 123 / kRate, 0.83 + 300 / kRate, 1.21 + 7 / kRate, 1.62 + 411 / kRate};
    const StereoBuffer input = twoTones(kFrames, kRate);
    for (const Step& step : steps)
    {
        double worst = -400.0;
        for (double place : places)
        {
            velmora::WideningEngine engine;
            const auto frame = static_cast<std::size_t>(place * kRate);
            const StereoBuffer output = render(engine, kRate, input, step.before, {{frame, step.after}});
            ASSERT_LE(worstMonoError(input, output), 1e-6) << step.name << " at " << place << " s";
            worst = std::max(worst, aboveEightKilohertz(output, place - 0.02, place + 0.1));
            if (place == places[0])
                report(std::string("still, before ") + step.name, aboveEightKilohertz(output, 0.3, place), -110.0);
        }
        report(step.name, worst, step.limit);
    }
}

// A host's automation lane read every 64 frames: half a second of sweep.
TEST(SoundInMotion, ControlsAutomatedEvery64FramesDoNotZip)
{
    using testsupport::Control;
    struct Lane
    {
        const char* name;
        Control control;
        float first;
        float last;
        double limit;
    };
    const Lane lanes[] = {{"Dry/Wet automated every 64 frames", Control::dryWet, 0.2f, 1.0f, -90.0},
                          {"Size automated every 64 frames", Control::size, 0.2f, 0.8f, -65.0}};
    const StereoBuffer input = twoTones(kFrames, kRate);
    for (const Lane& lane : lanes)
    {
        const ControlValues base{true, 0.5f, 0.5f};
        const std::size_t start = static_cast<std::size_t>(0.5 * kRate) + 100;
        const auto changes = testsupport::sweep(lane.control, base, lane.first, lane.last, start, 64, 345);
        velmora::WideningEngine engine;
        ControlValues before = changes.front().values;
        const StereoBuffer output = render(engine, kRate, input, before, changes);
        ASSERT_LE(worstMonoError(input, output), 1e-6) << lane.name;
        report(lane.name, aboveEightKilohertz(output, 0.48, 1.1), lane.limit);
    }
}

// Read positions move through 2^20 samples and wrap; a 10 kHz tone, whose
// slope makes any jump of the delay loud, must come out clean all along:
// after a notch at 10 kHz nothing is left above -100 dB, by the engine and
// by the plain path.
TEST(SoundInMotion, ASteadyToneNeverTicksHoweverLongItRuns)
{
    for (double rate : {44100.0, 192000.0})
    {
        const std::size_t frames = (1u << 20) + static_cast<std::size_t>(0.3 * rate);
        StereoBuffer input(testsupport::sine(frames, 10000.0, rate, 0.25f), std::vector<float>(frames));
        const std::vector<float> ahead = testsupport::sine(frames + 1, 10000.0, rate, 0.25f);
        const auto fadeIn = static_cast<std::size_t>(0.1 * rate);
        for (std::size_t n = 0; n < frames; ++n)
        {
            // 10 degrees ahead is close enough to one sample at 44.1 kHz for
            // the tone to be off centre; a raised-cosine onset keeps its
            // start from spreading energy of its own.
            const double onset = n < fadeIn ? 0.5 - 0.5 * std::cos(std::numbers::pi * n / fadeIn) : 1.0;
            input.left[n] = static_cast<float>(input.left[n] * onset);
            input.right[n] = static_cast<float>(ahead[n + 1] * onset);
        }
        const auto notch = bandenergy::BiquadCascade::notch(10000.0, rate, 0.5, 2);
        const auto from = static_cast<std::size_t>(0.5 * rate);
        const ControlValues values{true, 0.5f, 1.0f};

        velmora::WideningEngine engine;
        const StereoBuffer fast = render(engine, rate, input, values, {});
        report("10 kHz for 2^20 frames at " + std::to_string(static_cast<int>(rate)) + " Hz, engine",
               bandenergy::worstWindowDb(fast, notch, rate, from, frames), -100.0);
        velmora::ScalarWidener plain;
        const StereoBuffer reference = render(plain, rate, input, values, {});
        report("10 kHz for 2^20 frames at " + std::to_string(static_cast<int>(rate)) + " Hz, plain path",
               bandenergy::worstWindowDb(reference, notch, rate, from, frames), -100.0);
    }
}
