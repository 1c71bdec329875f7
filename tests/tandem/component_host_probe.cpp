// A host program for the host identity tests, run from inside an application
// bundle whose Info.plist is the identity the component reads. It opens a
// copy of the built bundle hosting the component test effect made mono,
// offers a stereo stream to the effect's one-pin input and output buses,
// renders twice (into its own memory, then into the unit's) and prints one
// line: the product name the effect hears, the two format statuses and the
// samples of each render.

#include "component_test_support.h"

#include <cstdio>

using namespace componenttest;

int main()
{
    FakeEffectControl& effect = resetComponentTestEffect();
    effect.numInputs = 1;
    effect.numOutputs = 1;
    ComponentBundle bundle(hostingTestEffect());
    AudioUnit unit = nullptr;
    if (bundle.open(unit) != noErr)
        return 1;
    char product[64] = {};
    effect.audioMaster(effect.effect, audioMasterGetProductString, 0, 0, product, 0.0f);
    const OSStatus input = setStreamFormat(unit, kAudioUnitScope_Input, 0, 2);
    const OSStatus output = setStreamFormat(unit, kAudioUnitScope_Output, 0, 2);
    InputSignal signal{{{0.25f, 0.25f}, {0.75f, 0.75f}}};
    if (setInputSignal(unit, 0, signal) != noErr || AudioUnitInitialize(unit) != noErr)
        return 1;
    std::printf("product=%s input=%d output=%d out=", product, static_cast<int>(input), static_cast<int>(output));
    const int channels = output == noErr ? 2 : 1;
    for (int sampleTime = 0; sampleTime < 2; ++sampleTime)
    {
        BusBuffers buffers(channels, 1, sampleTime == 0);
        if (const OSStatus status = render(unit, sampleTime, buffers, 1); status != noErr)
            std::printf("failed(%d)", static_cast<int>(status));
        for (int channel = 0; channel < channels; ++channel)
            std::printf(channel == 0 ? "%g" : ",%g", static_cast<double>(buffers.channel(channel)[0]));
        std::printf(sampleTime == 0 ? " " : "\n");
    }
    return CloseComponent(unit) == noErr ? 0 : 1;
}
