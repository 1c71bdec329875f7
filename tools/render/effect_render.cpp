#include "render/effect_render.h"

#include "effect/velmora_identity.h"

#include <vector>

namespace render
{
namespace
{
bool setParameterOption(vsthost::LoadedEffect& effect, VstInt32 index, const char* option, float value,
                        std::string& error)
{
    if (index >= effect.effect()->numParams)
    {
        error = std::string("the plug-in has no parameter for ") + option;
        return false;
    }
    effect.setParameter(index, value);
    return true;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}
}  // namespace

bool prepareEffect(vsthost::LoadedEffect& effect, const RenderOptions& options, std::string& error)
{
    const AEffect& record = *effect.effect();
    if (record.numInputs != 2 || record.numOutputs != 2 || !(record.flags & effFlagsCanReplacing))
    {
        error = "the plug-in is not a stereo effect with replacing processing (it has " +
                std::to_string(record.numInputs) + " inputs and " + std::to_string(record.numOutputs) + " outputs)";
        return false;
    }
    if (options.program && *options.program >= record.numPrograms)
    {
        error = "the plug-in has no program " + std::to_string(*options.program);
        return false;
    }

    effect.openAndResume();
    // Settings go in while the effect is suspended, as a host changing a
    // running effect does; the suspend is also where the effect takes up the
    // sample rate. Selecting the program, even the current one, recomputes the
    // rate-dependent delay lengths.
    effect.dispatch(effMainsChanged, 0, 0);
    effect.dispatch(effSetProgram, 0, options.program.value_or(static_cast<int>(effect.dispatch(effGetProgram))));
    if ((options.size && !setParameterOption(effect, velmora::kSize, "--size", *options.size, error)) ||
        (options.dryWet && !setParameterOption(effect, velmora::kDryWet, "--dry-wet", *options.dryWet, error)) ||
        (options.on && !setParameterOption(effect, velmora::kOnOff, "--on/--off", *options.on ? 1.0f : 0.0f, error)))
        return false;
    effect.dispatch(effMainsChanged, 0, 1);
    return true;
}

std::string describeSettings(vsthost::LoadedEffect& effect)
{
    const auto program = effect.dispatch(effGetProgram);
    std::string text = "program " + std::to_string(program) + " \"" + effect.dispatchForText(effGetProgramName) + "\"";
    for (VstInt32 index = 0; index < effect.effect()->numParams; ++index)
    {
        const std::string label = trimmed(effect.dispatchForText(effGetParamLabel, index));
        text += (index == 0 ? ": " : ", ") + trimmed(effect.dispatchForText(effGetParamName, index)) + " " +
                trimmed(effect.dispatchForText(effGetParamDisplay, index)) + (label.empty() ? "" : " " + label);
    }
    return text;
}

std::int64_t renderFile(vsthost::LoadedEffect& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
                        ProgressBar& progress, WidthMeter& meter, std::string& error)
{
    const int channels = reader.channels();
    const auto block = static_cast<std::size_t>(blockSize);
    std::vector<float> interleavedIn(block * channels), interleavedOut(block * 2);
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    float* inputs[] = {inLeft.data(), channels == 1 ? inLeft.data() : inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};

    std::int64_t framesDone = 0;
    for (;;)
    {
        const std::int64_t frameCount = reader.read(interleavedIn.data(), blockSize);
        if (frameCount <= 0)
            break;
        for (std::int64_t frame = 0; frame < frameCount; ++frame)
        {
            inLeft[frame] = interleavedIn[frame * channels];
            inRight[frame] = interleavedIn[frame * channels + channels - 1];
        }
        effect.processReplacing(inputs, outputs, static_cast<VstInt32>(frameCount));
        meter.add(inputs[0], inputs[1], outLeft.data(), outRight.data(), frameCount);
        for (std::int64_t frame = 0; frame < frameCount; ++frame)
        {
            interleavedOut[2 * frame] = outLeft[frame];
            interleavedOut[2 * frame + 1] = outRight[frame];
        }
        if (!writer.write(interleavedOut.data(), frameCount, error))
            return -1;
        framesDone += frameCount;
        progress.update(framesDone);
    }
    if (const std::string damage = reader.readError(); !damage.empty())
    {
        error = "reading the input stopped after " + std::to_string(framesDone) + " frames: " + damage;
        return -1;
    }
    return framesDone;
}
}  // namespace render
