// The VST face: the bundle's executable loaded as a Linux VST host loads it,
// processReplacing called directly.
#include "effect/velmora_identity.h"
#include "render/render_face.h"
#include "render/vst_preset.h"
#include "vsthost/loaded_effect.h"

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

// As the Audio Unit restores a preset: its program number selected (0 when
// it has none or one the effect lacks), then its data loaded.
bool loadPreset(vsthost::LoadedEffect& effect, const PresetFile& preset, std::string& error)
{
    const VstInt32 programs = effect.effect()->numPrograms;
    const int program = preset.programNumber.value_or(0);
    effect.dispatch(effSetProgram, 0, program >= 0 && program < programs ? program : 0);
    if (loadVstPreset(effect, preset.vstData, error))
        return true;
    error = "cannot load the preset '" + preset.path + "': " + error;
    return false;
}

// Opens the effect and applies the preset, the program and then the explicit
// settings. False with a reason when the effect is not a stereo effect with
// the parameters asked for, or the preset is not one of its own.
bool prepareEffect(vsthost::LoadedEffect& effect, const PresetFile* preset, const RenderOptions& options,
                   std::string& error)
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
    if (preset && !loadPreset(effect, *preset, error))
        return false;
    effect.dispatch(effSetProgram, 0, options.program.value_or(static_cast<int>(effect.dispatch(effGetProgram))));
    if ((options.size && !setParameterOption(effect, velmora::kSize, "--size", *options.size, error)) ||
        (options.dryWet && !setParameterOption(effect, velmora::kDryWet, "--dry-wet", *options.dryWet, error)) ||
        (options.on && !setParameterOption(effect, velmora::kOnOff, "--on/--off", *options.on ? 1.0f : 0.0f, error)))
        return false;
    effect.dispatch(effMainsChanged, 0, 1);
    return true;
}

class VstFace : public RenderFace
{
public:
    explicit VstFace(std::unique_ptr<vsthost::LoadedEffect> loaded) : effect(std::move(loaded)) {}

    bool process(float** inputs, float** outputs, int frames, std::string&) override
    {
        effect->processReplacing(inputs, outputs, frames);
        return true;
    }

    std::string effectName() override
    {
        const std::string name = effect->dispatchForText(effGetEffectName);
        return name.empty() ? "the plug-in" : name;
    }

    // The current program and every parameter as the effect shows them, e.g.
    // program 0 "Init 1": on/off on, Size 50.00 %, Dry/Wet 50.00
    std::string describeSettings() override
    {
        const auto program = effect->dispatch(effGetProgram);
        std::string text = "program " + std::to_string(program) + " \"" + effect->dispatchForText(effGetProgramName) +
                           "\"";
        for (VstInt32 index = 0; index < effect->effect()->numParams; ++index)
        {
            const std::string label = trimmed(effect->dispatchForText(effGetParamLabel, index));
            text += (index == 0 ? ": " : ", ") + trimmed(effect->dispatchForText(effGetParamName, index)) + " " +
                    trimmed(effect->dispatchForText(effGetParamDisplay, index)) + (label.empty() ? "" : " " + label);
        }
        return text;
    }

    // Each program selected in turn and named as the effect names the current
    // one: its indexed names leave out the number an untouched program shows.
    std::string listPresets() override
    {
        std::string text = "Programs of " + effectName() + ":\n";
        const VstIntPtr current = effect->dispatch(effGetProgram);
        for (VstInt32 program = 0; program < effect->effect()->numPrograms; ++program)
        {
            effect->dispatch(effSetProgram, 0, program);
            text += "  " + std::to_string(program) + "  " + effect->dispatchForText(effGetProgramName) + "\n";
        }
        effect->dispatch(effSetProgram, 0, current);
        return text;
    }

private:
    std::unique_ptr<vsthost::LoadedEffect> effect;
};
}  // namespace

std::unique_ptr<RenderFace> openVstFace(const FaceSettings& settings, const RenderOptions& options, std::string& error)
{
    vsthost::HostSettings host;
    host.sampleRate = settings.sampleRate;
    host.blockSize = settings.blockSize;
    auto effect = vsthost::LoadedEffect::load(settings.bundlePath, error, host);
    if (!effect || !prepareEffect(*effect, settings.preset, options, error))
        return nullptr;
    return std::make_unique<VstFace>(std::move(effect));
}
}  // namespace render
