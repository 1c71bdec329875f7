#pragma once
// The component tests drive the Audio Unit as a Mac host does, through the
// Component Manager and the AudioUnit calls, on copies of the built bundle in
// temporary folders (the component writes its resources on first open).

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include "fake_effect_control.h"
#include "support/file_contents.h"
#include "support/scoped_variable.h"
#include "support/temporary_folder.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace componenttest
{
namespace fs = std::filesystem;

// Info.plist edits between the program and the bank mode of preset files.
inline constexpr char kBankMode[] = "<key>PresetIsFXB</key>\n\t\t<true/>";
inline constexpr char kProgramMode[] = "<key>PresetIsFXB</key>\n\t\t<false/>";

struct BundleOptions
{
    // Text replacements in the copy's Info.plist, applied in order.
    std::vector<std::pair<std::string, std::string>> infoEdits;
    // Files or bundles linked into the copy's resources as "<name>.vst".
    std::vector<fs::path> vstResources;
};

// A copy of the built bundle whose component has a subtype of its own, so
// that it is found apart from every other copy registered in the process.
class ComponentBundle
{
public:
    explicit ComponentBundle(const BundleOptions& options = {});
    ComponentBundle(const ComponentBundle&) = delete;
    ComponentBundle& operator=(const ComponentBundle&) = delete;

    const fs::path& path() const { return bundlePath; }
    fs::path resources() const { return bundlePath / "Contents/Resources"; }
    // Registered on first use; null when registering fails the test.
    Component component();
    OSErr open(AudioUnit& unit);

private:
    testsupport::TemporaryFolder folder;
    fs::path bundlePath;
    std::string subtype;
    bool registered = false;
};

// The user and local domains' preset folders in a temporary folder, for the
// object's life.
struct PresetFolders
{
    PresetFolders()
    {
        fs::create_directories(user());
        fs::create_directories(root.path() / "local/audio");
    }
    fs::path user() const { return root.path() / "user/audio/Presets/Quarn Records/Velmora"; }
    fs::path local() const { return root.path() / "local/audio/Presets/Quarn Records/Velmora"; }

    testsupport::TemporaryFolder root;
    testsupport::ScopedVariable userDomain{"XDG_DATA_HOME", (root.path() / "user").string()};
    testsupport::ScopedVariable localDomain{"VELMORA_LOCAL_DOMAIN_DIR", (root.path() / "local").string()};
};

// A bundle copy that hosts the component test effect, and that effect's
// control block reset to its defaults before the test changes it.
FakeEffectControl& resetComponentTestEffect();
BundleOptions hostingTestEffect();

// An open unit closed at the end of the scope.
class OpenUnit
{
public:
    explicit OpenUnit(ComponentBundle& bundle);
    ~OpenUnit();
    OpenUnit(const OpenUnit&) = delete;
    OpenUnit& operator=(const OpenUnit&) = delete;
    AudioUnit get() const { return unit; }
    operator AudioUnit() const { return unit; }

private:
    AudioUnit unit = nullptr;
};

// Non-interleaved float buffers for one bus, as hosts hand them to
// AudioUnitRender; a null data pointer asks the unit for its own memory.
class BusBuffers
{
public:
    BusBuffers(int channels, int frames, bool withMemory = true);
    AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(bytes.data()); }
    float* channel(int index) { return static_cast<float*>(list()->mBuffers[index].mData); }

private:
    std::vector<unsigned char> bytes;
    std::vector<std::vector<float>> memory;
};

// Properties of element 0 of the global scope unless told otherwise.
template <typename Value>
OSStatus setProperty(AudioUnit unit, AudioUnitPropertyID id, const Value& value,
                     AudioUnitScope scope = kAudioUnitScope_Global, AudioUnitElement element = 0)
{
    return AudioUnitSetProperty(unit, id, scope, element, &value, sizeof value);
}
template <typename Value>
OSStatus getProperty(AudioUnit unit, AudioUnitPropertyID id, Value& value,
                     AudioUnitScope scope = kAudioUnitScope_Global, AudioUnitElement element = 0)
{
    UInt32 size = sizeof value;
    return AudioUnitGetProperty(unit, id, scope, element, &value, &size);
}

struct CFReleaser
{
    void operator()(const void* ref) const { CFRelease(ref); }
};
template <typename Ref>
using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, CFReleaser>;
std::string text(CFStringRef string);  // "<none>" for null
// The unit's saved state, and the effect's preset record in it.
Owned<CFDictionaryRef> classInfo(AudioUnit unit);
std::string vstData(CFDictionaryRef classInfo);

void writeFile(const fs::path& path, const std::string& content);  // making its folders
// The paths below a folder, relative to it, of files with that extension or of everything.
std::set<std::string> namesIn(const fs::path& folder, const std::string& extension = "");
bool contains(const std::string& text, const std::string& part);

AudioTimeStamp timeStamp(double sampleTime);
OSStatus render(AudioUnit unit, double sampleTime, BusBuffers& buffers, int frames, UInt32 bus = 0,
                AudioUnitRenderActionFlags* flags = nullptr);
OSStatus setStreamFormat(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element, UInt32 channels,
                         double sampleRate = 44100.0);
// Input for a bus from a vector per channel, as a host's render callback.
struct InputSignal
{
    std::vector<std::vector<float>> channels;
    int pulls = 0;
};
OSStatus setInputSignal(AudioUnit unit, AudioUnitElement bus, InputSignal& signal);
}  // namespace componenttest
