#pragma once
// A host's audio thread for one processor: blocks handed over with the
// parameter changes queued for them, a process context whose time runs on
// with every block, and a list the plug-in may write output changes to. The
// setupProcessing, setActive and setProcessing calls are the caller's, in
// whatever order it tests. Used by one thread at a time.

#include "vst3host/parameter_changes.h"

#include "vst3/abi/processing.h"

namespace vst3host
{
class ProcessCaller
{
public:
    // setup: what was, or will be, given to setupProcessing.
    ProcessCaller(vst3::IAudioProcessor& processor, const vst3::ProcessSetup& setup);

    // A point for the next block; points of one parameter in increasing offset.
    void addChange(vst3::ParamID id, vst3::int32 sampleOffset, vst3::ParamValue value);

    // One block on one input and one output bus, 32 or 64 bits by the type of
    // the channel pointers.
    vst3::tresult process(float** inputs, vst3::int32 inputChannels, float** outputs, vst3::int32 outputChannels,
                          vst3::int32 frames);
    vst3::tresult process(double** inputs, vst3::int32 inputChannels, double** outputs, vst3::int32 outputChannels,
                          vst3::int32 frames);
    // The flush a host sends to pass parameter changes without audio: no
    // samples, on buses of no channels or on no buses at all.
    vst3::tresult flush(bool withBuses);
    // A block assembled by the caller (its buses, sample size and count): the
    // changes, the output list, the context and the mode are filled in.
    vst3::tresult process(vst3::ProcessData& data);

    ParameterChanges& outputChanges() const { return *outputList; }
    // Whether the plug-in kept references to the change lists or their queues.
    bool changesStillHeld() const;

private:
    template <typename Sample>
    vst3::tresult processBuses(Sample** inputs, vst3::int32 inputChannels, Sample** outputs, vst3::int32 outputChannels,
                               vst3::int32 frames);

    vst3::IAudioProcessor& processor;
    vst3::ProcessSetup setup;
    Ref<ParameterChanges> inputList = makeHostObject<ParameterChanges>();
    Ref<ParameterChanges> outputList = makeHostObject<ParameterChanges>();
    vst3::ProcessContext context{};
};
}  // namespace vst3host
