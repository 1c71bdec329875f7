// The VST3 component's process call: the block cut at each parameter change,
// each stretch rendered through the engine in the arranged layout.
#include "vst3/face_parameters.h"
#include "vst3/velmora_processor.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace velmora::vst3face
{
// The changes of one call, one cursor per queue, taken in the order of their
// offsets. Holds no more queues than the parameters there are, in place, so
// that reading allocates nothing; queues of ids it does not know are passed by.
class VelmoraProcessor::ChangeReader
{
public:
    explicit ChangeReader(vst3::IParameterChanges* changes) noexcept
    {
        const vst3::int32 queues = changes ? changes->getParameterCount() : 0;
        for (vst3::int32 index = 0; index < queues && used < cursors.size(); ++index)
        {
            vst3::IParamValueQueue* queue = changes->getParameterData(index);
            if (!queue || !isParameter(queue->getParameterId()))
                continue;
            cursors[used] = {queue, queue->getParameterId(), queue->getPointCount(), 0};
            ++used;
        }
    }

    // Applies every change due at or before frame, in queue order.
    template <class Apply>
    void applyUpTo(vst3::int32 frame, Apply&& apply) noexcept
    {
        for (std::size_t index = 0; index < used; ++index)
        {
            Cursor& cursor = cursors[index];
            for (; cursor.next < cursor.points; ++cursor.next)
            {
                vst3::int32 offset = 0;
                vst3::ParamValue value = 0.0;
                if (cursor.queue->getPoint(cursor.next, offset, value) != vst3::kResultOk)
                    continue;
                if (offset > frame)
                    break;
                apply(cursor.id, value);
            }
        }
    }

    // The offset of the first change after frame, or end.
    vst3::int32 nextAfter(vst3::int32 frame, vst3::int32 end) const noexcept
    {
        vst3::int32 next = end;
        for (std::size_t index = 0; index < used; ++index)
        {
            const Cursor& cursor = cursors[index];
            vst3::int32 offset = 0;
            vst3::ParamValue value = 0.0;
            if (cursor.next < cursor.points && cursor.queue->getPoint(cursor.next, offset, value) == vst3::kResultOk &&
                offset > frame)
                next = std::min(next, offset);
        }
        return next;
    }

private:
    struct Cursor
    {
        vst3::IParamValueQueue* queue;
        vst3::ParamID id;
        vst3::int32 points;
        vst3::int32 next;
    };
    std::array<Cursor, kParameterCount> cursors{};
    std::size_t used = 0;
};

void VelmoraProcessor::applyChange(vst3::ParamID id, vst3::ParamValue value) noexcept
{
    switch (id)
    {
    case kBypassId: bypassed.store(stepOf(id, value) != 0, std::memory_order_relaxed); break;
    case kProgramId: bank.current.store(stepOf(id, value), std::memory_order_relaxed); break;
    default:
        programValue(bank.currentProgram(), static_cast<ParameterIndex>(id))
            .store(effectValueOf(id, value), std::memory_order_relaxed);
        break;
    }
}

// Most blocks come without changes and in the arranged layout: those go
// straight to the engine.
vst3::tresult VelmoraProcessor::process(vst3::ProcessData& data)
{
    if (data.inputParameterChanges && data.inputParameterChanges->getParameterCount() > 0)
        return processWithChanges(data);
    if (data.numSamples <= 0)
        return vst3::kResultOk;
    if (!canRender(data))
        return vst3::kInvalidArgument;
    renderStretch(data, 0, data.numSamples);
    data.outputs[0].silenceFlags = 0;
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::processWithChanges(vst3::ProcessData& data) noexcept
{
    ChangeReader changes(data.inputParameterChanges);
    const auto apply = [this](vst3::ParamID id, vst3::ParamValue value) { applyChange(id, value); };
    if (data.numSamples <= 0 || !canRender(data))
    {
        // A flush, or a block that cannot be rendered: the changes hold all the same.
        changes.applyUpTo(INT32_MAX, apply);
        return data.numSamples <= 0 ? vst3::kResultOk : vst3::kInvalidArgument;
    }
    for (vst3::int32 done = 0; done < data.numSamples;)
    {
        changes.applyUpTo(done, apply);
        const vst3::int32 next = changes.nextAfter(done, data.numSamples);
        renderStretch(data, done, next - done);
        done = next;
    }
    changes.applyUpTo(INT32_MAX, apply);
    data.outputs[0].silenceFlags = 0;
    return vst3::kResultOk;
}

namespace
{
bool busReady(const vst3::AudioBusBuffers* buses, vst3::int32 count, int channels)
{
    if (count < 1 || !buses || buses->numChannels != channels || !buses->channelBuffers32)
        return false;
    return buses->channelBuffers32[0] && (channels == 1 || buses->channelBuffers32[1]);
}
}  // namespace

bool VelmoraProcessor::canRender(const vst3::ProcessData& data) const noexcept
{
    return data.numSamples <= maxFrames && data.symbolicSampleSize == sampleSize &&
           busReady(data.inputs, data.numInputs, inputChannels.load(std::memory_order_relaxed)) &&
           busReady(data.outputs, data.numOutputs, outputChannels.load(std::memory_order_relaxed));
}

void VelmoraProcessor::renderStretch(const vst3::ProcessData& data, vst3::int32 from, vst3::int32 frames) noexcept
{
    const VelmoraPrg& program = bank.currentProgram();
    const bool on = program.onOff.load(std::memory_order_relaxed) != 0.0f && !bypassed.load(std::memory_order_relaxed);
    engine.setValues(on, program.size.load(std::memory_order_relaxed), program.dryWet.load(std::memory_order_relaxed));
    if (data.symbolicSampleSize == vst3::kSample32 && data.inputs[0].numChannels == 2 &&
        data.outputs[0].numChannels == 2)
    {
        float* const* in = data.inputs[0].channelBuffers32;
        float* const* out = data.outputs[0].channelBuffers32;
        engine.process(in[0] + from, in[1] + from, out[0] + from, out[1] + from, frames);
        return;
    }
    renderConverted(data, from, frames);
}

namespace
{
// A mono bus hears the mono of the stereo pair: the mean of its two sides.
template <class Sample>
void writeMono(const float* left, const float* right, Sample* out, vst3::int32 frames)
{
    for (vst3::int32 frame = 0; frame < frames; ++frame)
        out[frame] = static_cast<Sample>(0.5f * (left[frame] + right[frame]));
}

template <class Sample>
void copyInto(const Sample* from, float* to, vst3::int32 frames)
{
    for (vst3::int32 frame = 0; frame < frames; ++frame)
        to[frame] = static_cast<float>(from[frame]);
}

template <class Sample>
void copyFrom(const float* from, Sample* to, vst3::int32 frames)
{
    for (vst3::int32 frame = 0; frame < frames; ++frame)
        to[frame] = static_cast<Sample>(from[frame]);
}
}  // namespace

// A mono input feeds both sides; a mono output hears their mean; 64-bit
// samples are converted on the way in and out.
void VelmoraProcessor::renderConverted(const vst3::ProcessData& data, vst3::int32 from, vst3::int32 frames) noexcept
{
    const vst3::AudioBusBuffers& input = data.inputs[0];
    const vst3::AudioBusBuffers& output = data.outputs[0];
    const bool wide = data.symbolicSampleSize == vst3::kSample64;
    float* const scratchIn[2] = {scratch.get(), scratch.get() + maxFrames};
    float* const scratchOut[2] = {scratch.get() + 2 * maxFrames, scratch.get() + 3 * maxFrames};

    const float* in[2];
    for (int side = 0; side < 2; ++side)
    {
        const int channel = side < input.numChannels ? side : 0;
        if (wide)
        {
            copyInto(input.channelBuffers64[channel] + from, scratchIn[side], frames);
            in[side] = scratchIn[side];
        }
        else
            in[side] = input.channelBuffers32[channel] + from;
    }
    // 32-bit stereo output takes the engine's samples directly.
    const bool direct = !wide && output.numChannels == 2;
    float* out[2];
    for (int side = 0; side < 2; ++side)
        out[side] = direct ? output.channelBuffers32[side] + from : scratchOut[side];
    engine.process(in[0], in[1], out[0], out[1], frames);
    if (direct)
        return;

    if (output.numChannels == 1)
        wide ? writeMono(out[0], out[1], output.channelBuffers64[0] + from, frames)
             : writeMono(out[0], out[1], output.channelBuffers32[0] + from, frames);
    else
        for (int side = 0; side < 2; ++side)
            copyFrom(out[side], output.channelBuffers64[side] + from, frames);
}
}  // namespace velmora::vst3face
