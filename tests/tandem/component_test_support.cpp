#include "component_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "support/velmora_bundle.h"

namespace componenttest
{
namespace
{
constexpr OSType kManufacturer = 0x516E5263;  // 'QnRc', as the built Info.plist declares

std::string nextSubtype()
{
    static unsigned made = 0;
    char text[8];
    std::snprintf(text, sizeof text, "T%03u", ++made % 1000);
    return text;
}
}  // namespace

ComponentBundle::ComponentBundle(const BundleOptions& options) : subtype(nextSubtype())
{
    if (folder.path().empty())
        return;
    bundlePath = folder.path() / "Velmora.vst";
    // A real copy: a link to the built module would lead the component back
    // to the built bundle.
    fs::copy(testsupport::velmoraBundlePath(), bundlePath, fs::copy_options::recursive);
    // The resources the component writes on first open start out missing.
    for (const std::string& name : namesIn(resources()))
        if (name == "TDParameters.txt" || name == "TDFactoryPresets.txt" || name.ends_with(".aupreset"))
            fs::remove(resources() / name);
    std::string info = testsupport::fileContents(bundlePath / "Contents/Info.plist");
    std::vector<std::pair<std::string, std::string>> edits = {
        {"<string>QnVm</string>", "<string>" + subtype + "</string>"}};
    edits.insert(edits.end(), options.infoEdits.begin(), options.infoEdits.end());
    for (const auto& [from, to] : edits)
    {
        const size_t at = info.find(from);
        if (at == std::string::npos)
        {
            ADD_FAILURE() << "Info.plist holds no \"" << from << "\"";
            continue;
        }
        info.replace(at, from.size(), to);
    }
    writeFile(bundlePath / "Contents/Info.plist", info);
    for (const fs::path& resource : options.vstResources)
        fs::create_symlink(resource, resources() / (resource.stem().string() + ".vst"));
}

Component ComponentBundle::component()
{
    if (!registered)
    {
        FSRef ref;
        EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(bundlePath.c_str()), &ref, nullptr), noErr);
        EXPECT_EQ(RegisterComponentFileRef(&ref, 0), noErr);
        registered = true;
    }
    OSType code = 0;
    for (const char character : subtype)
        code = code << 8 | static_cast<unsigned char>(character);
    ComponentDescription looking = {kAudioUnitType_Effect, code, kManufacturer, 0, 0};
    return FindNextComponent(nullptr, &looking);
}

OSErr ComponentBundle::open(AudioUnit& unit)
{
    const Component found = component();
    if (!found)
    {
        ADD_FAILURE() << "the bundle's component is not registered";
        return invalidComponentID;
    }
    return OpenAComponent(found, &unit);
}

FakeEffectControl& resetComponentTestEffect() { return resetFakeEffect(FAKE_EFFECT); }

BundleOptions hostingTestEffect() { return {{}, {FAKE_EFFECT}}; }

OpenUnit::OpenUnit(ComponentBundle& bundle) { EXPECT_EQ(bundle.open(unit), noErr); }

OpenUnit::~OpenUnit() { EXPECT_EQ(unit ? CloseComponent(unit) : OSErr{noErr}, noErr); }

BusBuffers::BusBuffers(int channels, int frames, bool withMemory)
    : bytes(offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer) * static_cast<size_t>(channels)),
      memory(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)))
{
    list()->mNumberBuffers = static_cast<UInt32>(channels);
    for (int index = 0; index < channels; ++index)
    {
        list()->mBuffers[index] = {1, static_cast<UInt32>(frames * sizeof(float)),
                                   withMemory ? memory[static_cast<size_t>(index)].data() : nullptr};
    }
}

AudioTimeStamp timeStamp(double sampleTime)
{
    AudioTimeStamp stamp{};
    stamp.mSampleTime = sampleTime;
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    return stamp;
}

OSStatus render(AudioUnit unit, double sampleTime, BusBuffers& buffers, int frames, UInt32 bus,
                AudioUnitRenderActionFlags* flags)
{
    const AudioTimeStamp stamp = timeStamp(sampleTime);
    AudioUnitRenderActionFlags none = 0;
    return AudioUnitRender(unit, flags ? flags : &none, &stamp, bus, static_cast<UInt32>(frames), buffers.list());
}

std::string text(CFStringRef string)
{
    char buffer[4096];
    return string && CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<none>";
}

Owned<CFDictionaryRef> classInfo(AudioUnit unit)
{
    CFPropertyListRef value = nullptr;
    EXPECT_EQ(getProperty(unit, kAudioUnitProperty_ClassInfo, value), noErr);
    return Owned<CFDictionaryRef>(static_cast<CFDictionaryRef>(value));
}

std::string vstData(CFDictionaryRef classInfo)
{
    const auto data = static_cast<CFDataRef>(classInfo ? CFDictionaryGetValue(classInfo, CFSTR("vstdata")) : nullptr);
    if (!data)
        return "";
    return {reinterpret_cast<const char*>(CFDataGetBytePtr(data)), static_cast<size_t>(CFDataGetLength(data))};
}

void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::set<std::string> namesIn(const fs::path& folder, const std::string& extension)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (extension.empty() || entry.path().extension() == extension)
            names.insert(fs::relative(entry.path(), folder).string());
    return names;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

OSStatus setStreamFormat(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element, UInt32 channels,
                         double sampleRate)
{
    const UInt32 flags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
    const AudioStreamBasicDescription format = {sampleRate, kAudioFormatLinearPCM, flags, 4, 1, 4, channels, 32, 0};
    return setProperty(unit, kAudioUnitProperty_StreamFormat, format, scope, element);
}

namespace
{
OSStatus provideSignal(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp* stamp, UInt32, UInt32 frames,
                       AudioBufferList* ioData)
{
    auto& signal = *static_cast<InputSignal*>(refCon);
    ++signal.pulls;
    const auto start = static_cast<size_t>(stamp->mSampleTime);
    for (UInt32 channel = 0; channel < ioData->mNumberBuffers; ++channel)
    {
        auto* samples = static_cast<float*>(ioData->mBuffers[channel].mData);
        const std::vector<float>& source = signal.channels[channel % signal.channels.size()];
        for (UInt32 frame = 0; frame < frames; ++frame)
            samples[frame] = start + frame < source.size() ? source[start + frame] : 0.0f;
    }
    return noErr;
}
}  // namespace

OSStatus setInputSignal(AudioUnit unit, AudioUnitElement bus, InputSignal& signal)
{
    return setProperty(unit, kAudioUnitProperty_SetRenderCallback, AURenderCallbackStruct{provideSignal, &signal},
                       kAudioUnitScope_Input, bus);
}
}  // namespace componenttest
