// The VST3 face: the bundle's module loaded through the VST3 host library
// as a Linux host loads it, the settings sent to the processor as parameter
// changes at the start of the first block, as a host sends what its session
// holds.
#include "effect/velmora_identity.h"
#include "render/render_face.h"
#include "vst3host/effect_instance.h"
#include "vst3host/process_caller.h"
#include "vst3host/text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

namespace render
{
namespace
{
class Vst3Face : public RenderFace
{
public:
    Vst3Face(std::unique_ptr<vst3host::Module> loadedModule, std::unique_ptr<vst3host::EffectInstance> instance,
             const vst3::ProcessSetup& setup)
        : module(std::move(loadedModule)), effect(std::move(instance)), audio(effect->processor(), setup)
    {}

    ~Vst3Face() override
    {
        effect->processor().setProcessing(0);
        effect->component().setActive(0);
    }

    bool process(float** inputs, float** outputs, int frames, std::string& error) override
    {
        if (audio.process(inputs, 2, outputs, 2, frames) == vst3::kResultOk)
            return true;
        error = "the VST3 effect refused a block of " + std::to_string(frames) + " frames";
        return false;
    }

    std::string effectName() override
    {
        const auto processor = module->findClass("Audio Module Class");
        return (processor ? vst3host::fieldText(processor->info.name) : std::string("the plug-in")) + " (VST3)";
    }

    // What the processor holds, in the controller's words after it is handed
    // the processor's state, e.g.
    // program 0 "Init 1": on/off on, Size 50.00 %, Dry/Wet 50.00, Bypass off
    std::string describeSettings() override
    {
        audio.flush(false);  // settings still waiting for a first block
        vst3host::Bytes state;
        if (effect->componentState(state) != vst3::kResultOk || effect->syncController(state) != vst3::kResultOk)
            return "unreadable (the processor's state did not reach its controller)";
        std::string program, values;
        for (const vst3::ParameterInfo& info : effect->parameters())
        {
            const vst3::ParamValue value = effect->controller().getParamNormalized(info.id);
            const std::string text = effect->parameterText(info.id, value).value_or("?");
            if (info.flags & vst3::ParameterInfo::kIsProgramChange)
            {
                program = "program " + std::to_string(std::lround(value * info.stepCount)) + " \"" + text + "\": ";
                continue;
            }
            const std::string units = vst3host::utf8(info.units);
            values += (values.empty() ? "" : ", ") + vst3host::utf8(info.title) + " " + text +
                      (units.empty() ? "" : " " + units);
        }
        return program + values;
    }

    std::string listPresets() override
    {
        std::string text = "Programs of " + effectName() + ":\n";
        const vst3::UnitInfo root = rootUnit();
        const std::vector<std::string> names = effect->programNames(root.programListId);
        for (std::size_t program = 0; program < names.size(); ++program)
            text += "  " + std::to_string(program) + "  " + names[program] + "\n";
        return text;
    }

    // The options' program and settings, as changes at the first block's
    // first frame; the program first, so that the settings land in it.
    bool queueSettings(const RenderOptions& options, std::string& error)
    {
        const std::vector<vst3::ParameterInfo> infos = effect->parameters();
        const auto has = [&infos](vst3::ParamID id) {
            return std::any_of(infos.begin(), infos.end(),
                               [id](const vst3::ParameterInfo& info) { return info.id == id; });
        };
        if (options.program)
        {
            const auto choice = std::find_if(infos.begin(), infos.end(), [](const vst3::ParameterInfo& info) {
                return (info.flags & vst3::ParameterInfo::kIsProgramChange) != 0;
            });
            if (choice == infos.end() || *options.program > choice->stepCount)
            {
                error = "the plug-in has no program " + std::to_string(*options.program);
                return false;
            }
            audio.addChange(choice->id, 0, static_cast<double>(*options.program) / choice->stepCount);
        }
        const std::tuple<std::optional<float>, vst3::ParamID, const char*> settings[] = {
            {options.size, velmora::kSize, "--size"},
            {options.dryWet, velmora::kDryWet, "--dry-wet"},
            {options.on ? std::optional<float>(*options.on ? 1.0f : 0.0f) : std::nullopt, velmora::kOnOff,
             "--on/--off"},
        };
        for (const auto& [value, id, option] : settings)
        {
            if (!value)
                continue;
            if (!has(id))
            {
                error = std::string("the plug-in has no parameter for ") + option;
                return false;
            }
            audio.addChange(id, 0, *value);
        }
        return true;
    }

private:
    vst3::UnitInfo rootUnit() const
    {
        vst3::UnitInfo root{};
        root.programListId = vst3::kNoProgramListId;
        if (effect->unitInfo())
            effect->unitInfo()->getUnitInfo(0, root);
        return root;
    }

    std::unique_ptr<vst3host::Module> module;
    std::unique_ptr<vst3host::EffectInstance> effect;
    vst3host::ProcessCaller audio;
};
}  // namespace

std::unique_ptr<RenderFace> openVst3Face(const FaceSettings& settings, const RenderOptions& options, std::string& error)
{
    if (settings.preset)
    {
        error = "--preset loads .fxp, .fxb and .aupreset files through the VST and Audio Unit faces; the VST3 face "
                "takes none of them";
        return nullptr;
    }
    auto module = vst3host::Module::load(settings.bundlePath, error);
    auto effect = module ? vst3host::EffectInstance::create(*module, error) : nullptr;
    if (!effect)
        return nullptr;
    vst3::ProcessSetup setup{vst3::kOffline, vst3::kSample32, settings.blockSize,
                             static_cast<double>(settings.sampleRate)};
    vst3::SpeakerArrangement stereo[] = {vst3::speaker::kStereo};
    if (effect->processor().setBusArrangements(stereo, 1, stereo, 1) != vst3::kResultTrue ||
        effect->processor().setupProcessing(setup) != vst3::kResultOk ||
        effect->component().setActive(1) != vst3::kResultOk || effect->processor().setProcessing(1) != vst3::kResultOk)
    {
        error = "the VST3 effect cannot process stereo at " + std::to_string(settings.sampleRate) +
                " Hz in blocks of " + std::to_string(settings.blockSize) + " frames";
        return nullptr;
    }
    auto face = std::make_unique<Vst3Face>(std::move(module), std::move(effect), setup);
    if (!face->queueSettings(options, error))
        return nullptr;
    return face;
}
}  // namespace render
