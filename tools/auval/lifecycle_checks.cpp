// Initialize, uninitialize and reset as hosts call them: repeated, in
// cycles with renders between, and a reset before playing from the start.

#include "auval/auval_checks.h"
#include "auval/sliced_render.h"
#include "auval/unit_status.h"

#include "auhost/unit_renderer.h"

namespace auval
{
namespace
{
constexpr int kCycles = 10;
constexpr UInt32 kFrames = 4096;

std::string checkCycles(Component component)
{
    auhost::AudioUnitInstance unit(component);
    unit.uninitialize();
    unit.initialize();
    unit.initialize();
    unit.uninitialize();
    unit.uninitialize();
    expectStatus(AudioUnitReset(unit.unit(), kAudioUnitScope_Input, 0), kAudioUnitErr_InvalidScope,
                 "reset in input scope");
    const UInt32 channels = unit.streamFormat(kAudioUnitScope_Output, 0).mChannelsPerFrame;
    const PlanarAudio input = testSignal(channels, kFrames, 44100.0);
    PlanarAudio output = input;
    std::vector<const float*> in;
    std::vector<float*> out;
    for (UInt32 channel = 0; channel < channels; ++channel)
    {
        in.push_back(input[channel].data());
        out.push_back(output[channel].data());
    }
    for (int cycle = 0; cycle < kCycles; ++cycle)
    {
        {
            auhost::UnitRenderer renderer({&unit}, {channels, 44100.0, 512});
            renderer.render(in.data(), out.data(), kFrames);
            unit.reset();
            renderer.render(in.data(), out.data(), kFrames);
        }
        unit.uninitialize();
    }
    return std::to_string(kCycles) + " cycles of initialize, render, reset, render, uninitialize";
}

// A host that stops and plays again from the start renders sample time 0
// once more after a reset: the unit must run its effect for it, not hand
// back what it rendered for that time before.
std::string checkResetRestartsTime(Component component)
{
    auhost::AudioUnitInstance unit(component);
    const UInt32 channels = unit.streamFormat(kAudioUnitScope_Output, 0).mChannelsPerFrame;
    const PlanarAudio first = testSignal(channels, 512, 44100.0);
    PlanarAudio second = first;
    for (std::vector<float>& channel : second)
        for (float& sample : channel)
            sample = -sample;
    const PlanarAudio before = renderSliced(unit, first, {44100.0, 512, 512});
    unit.reset();
    const PlanarAudio after = renderSliced(unit, second, {44100.0, 512, 512});
    expect(after != before, "after a reset, a render at sample time 0 gave the output of the render before it");
    return "time 0 rendered anew after a reset";
}
}  // namespace

void checkLifecycle(CheckTable& table, Component component)
{
    table.check("lifecycle", "initialize, uninitialize, reset", [&] { return checkCycles(component); });
    table.check("lifecycle", "reset restarts the time line", [&] { return checkResetRestartsTime(component); });
}
}  // namespace auval
