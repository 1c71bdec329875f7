#include "fuzzed_component.h"

#include "auhost/au_error.h"
#include "auhost/component_bundle.h"

#include <CoreFoundation/CoreFoundation.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fuzzing
{
namespace
{
constexpr UInt32 kChannels = 2;
constexpr UInt32 kFrames = 64;
constexpr std::size_t kMostParametersChecked = 64;

// Runs `step`; a failure means the unit is no longer usable.
template <typename Step>
void orStop(const char* what, Step step)
{
    try
    {
        step();
    }
    catch (const std::exception& failure)
    {
        stop(what, failure.what());
    }
}

// The copy's resources are rewritten for every input: in memory where the
// machine has a memory file system and no other folder is asked for.
fs::path scratchFolder()
{
    if (std::getenv("TMPDIR") == nullptr && fs::is_directory("/dev/shm"))
    {
        return "/dev/shm";
    }
    return fs::temp_directory_path();
}

void checkParameter(auhost::AudioUnitInstance& unit, AudioUnitParameterID id)
{
    const auhost::ParameterDescription info = unit.parameterInfo(id);
    const AudioUnitParameterValue before = unit.parameter(id);
    for (const AudioUnitParameterValue value : {info.minValue, info.maxValue, info.defaultValue, before})
    {
        unit.setParameter(id, value);
        if (!std::isfinite(unit.parameter(id)))
        {
            throw std::runtime_error("a parameter value read is not finite");
        }
    }
    if (info.unit == kAudioUnitParameterUnit_Indexed)
    {
        const auto choices = unit.property<CFArrayRef>(kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global,
                                                       id);
        if (choices != nullptr)
        {
            CFRelease(choices);
        }
    }
}
}  // namespace

FuzzedBundle::FuzzedBundle()
{
    const char* named = std::getenv("VELMORA_BUNDLE");
    const fs::path original = named != nullptr ? named : VELMORA_BUNDLE_DIR;
    std::string pattern = (scratchFolder() / "velmora-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        stop("temporary folder", "mkdtemp failed");
    }
    folder = pattern;
    bundle = folder / original.filename();
    // Both preset domains in the folder: the component converts preset files there when it opens.
    for (const auto& [variable, domain] : {std::pair{"XDG_DATA_HOME", "user"}, {"VELMORA_LOCAL_DOMAIN_DIR", "local"}})
    {
        fs::create_directories(folder / domain);
        setenv(variable, (folder / domain).c_str(), 1);
    }
    // A real copy: a link would lead the component back to the built bundle.
    fs::copy(original, bundle, fs::copy_options::recursive);
    orStop("registering the bundle copy", [&] {
        auhost::registerComponentBundle(bundle.string());
        const std::vector<auhost::ComponentEntry> found = auhost::findComponents({});
        if (found.size() != 1)
        {
            throw std::runtime_error("the copy must hold one component");
        }
        registered = found.front().component;
    });
    resident = openUnit(registered).release();
    if (resident == nullptr)
    {
        stop("the bundle copy's component", "it does not open");
    }
    for (const char* name : {"TDParameters.txt", "TDFactoryPresets.txt"})
    {
        std::ifstream file(resources() / name, std::ios::binary);
        firstWritten[name].assign(std::istreambuf_iterator<char>(file), {});
    }
}

FuzzedBundle::~FuzzedBundle()
{
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void FuzzedBundle::writeResource(const char* name, std::string_view content) const
{
    std::ofstream file(resources() / name, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file.flush())
    {
        stop(name, "cannot be written");
    }
}

void FuzzedBundle::restoreResource(const char* name) const { writeResource(name, firstWritten.at(name)); }

std::unique_ptr<RenderingUnit> openUnit(Component component)
{
    auto unit = std::make_unique<RenderingUnit>();
    try
    {
        unit->instance = std::make_unique<auhost::AudioUnitInstance>(component);
    }
    catch (const auhost::AUHostError&)
    {
        return nullptr;
    }
    orStop("initializing the unit", [&] {
        unit->renderer = std::make_unique<auhost::UnitRenderer>(std::vector{unit->instance.get()},
                                                                auhost::RenderFormat{kChannels, 44100.0, kFrames});
    });
    return unit;
}

void requireUsable(RenderingUnit& unit)
{
    auhost::AudioUnitInstance& instance = *unit.instance;
    orStop("parameters", [&] {
        const std::vector<AudioUnitParameterID> ids = instance.parameterList();
        for (std::size_t index = 0; index < ids.size() && index < kMostParametersChecked; ++index)
        {
            checkParameter(instance, ids[index]);
        }
    });
    float input[kChannels][kFrames];
    float output[kChannels * kFrames];
    for (UInt32 frame = 0; frame < kFrames; ++frame)
    {
        input[0][frame] = std::sin(0.1f * static_cast<float>(frame));
        input[1][frame] = -input[0][frame];
    }
    const float* inputs[kChannels] = {input[0], input[1]};
    float* outputs[kChannels] = {output, output + kFrames};
    orStop("rendering", [&] { unit.renderer->render(inputs, outputs, kFrames); });
    if (!std::all_of(std::begin(output), std::end(output), [](float sample) { return std::isfinite(sample); }))
    {
        stop("rendering", "the output is not finite");
    }
}

void selectFactoryPresets(RenderingUnit& unit)
{
    const AudioUnit au = unit.instance->unit();
    CFArrayRef presets = nullptr;
    UInt32 size = sizeof presets;
    // A unit without factory presets answers that the property is not there.
    if (AudioUnitGetProperty(au, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, &presets, &size) !=
        noErr)
    {
        return;
    }
    for (CFIndex index = 0; index < CFArrayGetCount(presets); ++index)
    {
        const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, index));
        AudioUnitSetProperty(au, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, preset, sizeof *preset);
        AUPreset current{};
        size = sizeof current;
        if (AudioUnitGetProperty(au, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &current, &size) !=
            noErr)
        {
            stop("factory presets", "the present preset cannot be read");
        }
        CFRelease(current.presetName);
    }
    CFRelease(presets);
}
}  // namespace fuzzing
