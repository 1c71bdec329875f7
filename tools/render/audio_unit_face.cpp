// The Audio Unit face: the bundle's component registered, found and opened
// through the Audio Unit host library as a Mac host does, fed from a render
// callback and pulled with AudioUnitRender in slices of the block size.
#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "auhost/unit_renderer.h"
#include "common/component_trace.h"
#include "effect/velmora_identity.h"
#include "render/render_face.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace render
{
namespace
{
constexpr UInt32 kOutputChannels = 2;

std::string numberText(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

class AudioUnitFace : public RenderFace
{
public:
    AudioUnitFace(const auhost::ComponentEntry& entry, const FaceSettings& settings, const RenderOptions& options)
        : name(entry.name), unit(entry.component)
    {
        if (settings.preset)
            restorePreset(*settings.preset, entry.description);
        if (options.program)
            selectFactoryPreset(*options.program);
        if (options.size)
            setParameterOption(velmora::kSize, "--size", *options.size, options.quiet);
        if (options.dryWet)
            setParameterOption(velmora::kDryWet, "--dry-wet", *options.dryWet, options.quiet);
        if (options.on)
            setParameterOption(velmora::kOnOff, "--on/--off", *options.on ? 1.0f : 0.0f, options.quiet);
        renderer.emplace(std::vector<auhost::AudioUnitInstance*>{&unit},
                         auhost::RenderFormat{static_cast<UInt32>(settings.inputChannels),
                                              static_cast<Float64>(settings.sampleRate),
                                              static_cast<UInt32>(settings.blockSize), kOutputChannels});
    }

    bool process(float** inputs, float** outputs, int frames, std::string& error) override
    {
        try
        {
            renderer->render(inputs, outputs, static_cast<UInt32>(frames));
            return true;
        }
        catch (const auhost::AUHostError& failure)
        {
            error = std::string("the Audio Unit stopped rendering: ") + failure.what();
            return false;
        }
    }

    std::string effectName() override { return name + " (Audio Unit)"; }

    // Every parameter in its Audio Unit range, e.g.
    // Audio Unit parameters: on/off 1, Size 50 %, Dry/Wet 50
    std::string describeSettings() override
    {
        std::string text;
        try
        {
            for (AudioUnitParameterID id : unit.parameterList())
            {
                const auhost::ParameterDescription info = unit.parameterInfo(id);
                text += (text.empty() ? "" : ", ") + info.name + " " + numberText(unit.parameter(id)) +
                        (info.unitName.empty() ? "" : " " + info.unitName);
            }
        }
        catch (const auhost::AUHostError& failure)
        {
            text = std::string("unreadable (") + failure.what() + ")";
        }
        return "Audio Unit parameters: " + (text.empty() ? std::string("none") : text);
    }

    std::string listPresets() override
    {
        std::string text = "Factory presets of " + effectName() + ":\n";
        const FactoryPresets presets = factoryPresets();
        for (CFIndex index = 0; index < CFArrayGetCount(presets.get()); ++index)
        {
            const AUPreset& preset = presetAt(presets, index);
            text += "  " + std::to_string(preset.presetNumber) + "  " + utf8(preset.presetName) + "\n";
        }
        return text;
    }

private:
    using FactoryPresets = std::unique_ptr<const __CFArray, CFReleaser>;

    FactoryPresets factoryPresets() const
    {
        return FactoryPresets(unit.property<CFArrayRef>(kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0));
    }

    static const AUPreset& presetAt(const FactoryPresets& presets, CFIndex index)
    {
        return *static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets.get(), index));
    }

    // The dictionary of an .aupreset goes in as the file has it; FXP or FXB
    // data is wrapped first as the component wraps what it saves.
    void restorePreset(const PresetFile& preset, const ComponentDescription& description)
    {
        const CFOwned wrapped(preset.dictionary ? nullptr : wrapVstData(preset, description));
        const CFPropertyListRef classInfo = preset.dictionary ? preset.dictionary.get() : wrapped.get();
        try
        {
            unit.setProperty(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, classInfo);
        }
        catch (const auhost::AUHostError& failure)
        {
            if (failure.status() != kAudioUnitErr_InvalidPropertyValue)
                throw;
            throw std::runtime_error("cannot load the preset '" + preset.path +
                                     "': the Audio Unit refuses it as not its own or damaged");
        }
    }

    static CFPropertyListRef wrapVstData(const PresetFile& preset, const ComponentDescription& description)
    {
        CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
            kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
        const auto addNumber = [dictionary](CFStringRef key, SInt32 value) {
            const CFOwned number(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value));
            CFDictionarySetValue(dictionary, key, number.get());
        };
        addNumber(CFSTR("version"), 1);
        addNumber(CFSTR("type"), static_cast<SInt32>(description.componentType));
        addNumber(CFSTR("subtype"), static_cast<SInt32>(description.componentSubType));
        addNumber(CFSTR("manufacturer"), static_cast<SInt32>(description.componentManufacturer));
        const CFOwned name(CFStringCreateWithCString(kCFAllocatorDefault, preset.name.c_str(), kCFStringEncodingUTF8));
        CFDictionarySetValue(dictionary, CFSTR("name"), name ? name.get() : CFSTR(""));
        const CFOwned data(
            CFDataCreate(kCFAllocatorDefault, preset.vstData.data(), static_cast<CFIndex>(preset.vstData.size())));
        CFDictionarySetValue(dictionary, CFSTR("vstdata"), data.get());
        return dictionary;
    }

    void selectFactoryPreset(int number)
    {
        const FactoryPresets presets = factoryPresets();
        if (number >= CFArrayGetCount(presets.get()))
            throw std::runtime_error("the Audio Unit has no factory preset " + std::to_string(number) + " (it has " +
                                     std::to_string(CFArrayGetCount(presets.get())) + ")");
        unit.setProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, presetAt(presets, number));
    }

    // `normalised` (0..1, as the VST face takes it) goes in as the value of
    // the same place in the parameter's Audio Unit range. The unit scales it
    // back in single precision: a few values have no Audio Unit value that
    // lands on them exactly, and reach the effect one step off.
    void setParameterOption(AudioUnitParameterID id, const char* option, float normalised, bool quiet)
    {
        const std::vector<AudioUnitParameterID> ids = unit.parameterList();
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            throw std::runtime_error(std::string("the Audio Unit has no parameter for ") + option);
        const auhost::ParameterDescription info = unit.parameterInfo(id);
        const double range = static_cast<double>(info.maxValue) - info.minValue;
        const auto value = static_cast<float>(info.minValue + static_cast<double>(normalised) * range);
        unit.setParameter(id, value);
        const float arriving = (value - info.minValue) / (info.maxValue - info.minValue);
        if (arriving != normalised && !quiet)
            std::fprintf(tools::userErrors(),
                         "velmora-render: note: %s %.9g has no exact value in the Audio Unit range %g..%g; the "
                         "effect receives %.9g\n",
                         option, normalised, info.minValue, info.maxValue, arriving);
    }

    std::string name;
    auhost::AudioUnitInstance unit;
    std::optional<auhost::UnitRenderer> renderer;  // after the settings, which go in before Initialize
};
}  // namespace

std::unique_ptr<RenderFace> openAudioUnitFace(const FaceSettings& settings, const RenderOptions& options,
                                              std::string& error)
{
    try
    {
        auhost::registerComponentBundle(settings.bundlePath);
        const std::vector<auhost::ComponentEntry> effects = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
        if (effects.empty())
        {
            error = "'" + settings.bundlePath + "' holds no Audio Unit effect";
            return nullptr;
        }
        return std::make_unique<AudioUnitFace>(effects.front(), settings, options);
    }
    catch (const auhost::AUHostError& failure)
    {
        error = "cannot open the Audio Unit in '" + settings.bundlePath + "': " + failure.what();
    }
    catch (const std::runtime_error& failure)
    {
        error = failure.what();
    }
    return nullptr;
}
}  // namespace render
