// The widening path, one block at a time.
#include "effect/velmora.h"

namespace
{
// A host that hands over missing buffers gets nothing processed rather than a crash.
bool hasStereoBuffers(float** channels) { return channels && channels[0] && channels[1]; }
}  // namespace

void Velmora::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (sampleFrames <= 0 || !hasStereoBuffers(inputs) || !hasStereoBuffers(outputs))
        return;
    // The three values hold for the whole block.
    engine.setValues(onOff.load(std::memory_order_relaxed), size.load(std::memory_order_relaxed),
                     dryWet.load(std::memory_order_relaxed));
    engine.process(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames);
}
