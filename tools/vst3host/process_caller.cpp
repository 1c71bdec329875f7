#include "vst3host/process_caller.h"

#include <type_traits>

namespace vst3host
{
ProcessCaller::ProcessCaller(vst3::IAudioProcessor& processor, const vst3::ProcessSetup& setup)
    : processor(processor), setup(setup)
{
    context.sampleRate = setup.sampleRate;
}

void ProcessCaller::addChange(vst3::ParamID id, vst3::int32 sampleOffset, vst3::ParamValue value)
{
    inputList->add(id, sampleOffset, value);
}

template <typename Sample>
vst3::tresult ProcessCaller::processBuses(Sample** inputs, vst3::int32 inputChannels, Sample** outputs,
                                          vst3::int32 outputChannels, vst3::int32 frames)
{
    vst3::AudioBusBuffers input{};
    vst3::AudioBusBuffers output{};
    input.numChannels = inputChannels;
    output.numChannels = outputChannels;
    if constexpr (std::is_same_v<Sample, float>)
    {
        input.channelBuffers32 = inputs;
        output.channelBuffers32 = outputs;
    }
    else
    {
        input.channelBuffers64 = inputs;
        output.channelBuffers64 = outputs;
    }
    vst3::ProcessData data{};
    data.symbolicSampleSize = std::is_same_v<Sample, float> ? vst3::kSample32 : vst3::kSample64;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &input;
    data.outputs = &output;
    return process(data);
}

vst3::tresult ProcessCaller::process(float** inputs, vst3::int32 inputChannels, float** outputs,
                                     vst3::int32 outputChannels, vst3::int32 frames)
{
    return processBuses(inputs, inputChannels, outputs, outputChannels, frames);
}

vst3::tresult ProcessCaller::process(double** inputs, vst3::int32 inputChannels, double** outputs,
                                     vst3::int32 outputChannels, vst3::int32 frames)
{
    return processBuses(inputs, inputChannels, outputs, outputChannels, frames);
}

vst3::tresult ProcessCaller::flush(bool withBuses)
{
    vst3::AudioBusBuffers input{};
    vst3::AudioBusBuffers output{};
    vst3::ProcessData data{};
    data.symbolicSampleSize = setup.symbolicSampleSize;
    if (withBuses)
    {
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &input;
        data.outputs = &output;
    }
    return process(data);
}

vst3::tresult ProcessCaller::process(vst3::ProcessData& data)
{
    data.processMode = setup.processMode;
    data.inputParameterChanges = inputList.get();
    data.outputParameterChanges = outputList.get();
    data.processContext = &context;
    outputList->clear();
    const vst3::tresult result = processor.process(data);
    inputList->clear();
    if (data.numSamples > 0)
    {
        context.projectTimeSamples += data.numSamples;
        context.continousTimeSamples += data.numSamples;
    }
    return result;
}

bool ProcessCaller::changesStillHeld() const
{
    return inputList->referenceCount() > 1 || outputList->referenceCount() > 1 || inputList->queuesStillHeld() > 0 ||
           outputList->queuesStillHeld() > 0;
}
}  // namespace vst3host
