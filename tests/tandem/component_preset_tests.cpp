// Presets as hosts and users meet them: the ClassInfo dictionary and its
// restore, factory presets written on first open, the current preset, and
// VST preset files converted in the preset folders. Preset files must read
// back in other tools, and files other tools wrote must load.

#include "component_test_support.h"
#include "support/lsp_plugins.h"
#include "support/python_output.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>

namespace
{
using namespace componenttest;

constexpr int kVelmoraID = 0x516E566D;  // 'QnVm'
constexpr char kBankMode[] = "<key>PresetIsFXB</key>\n\t\t<true/>";
constexpr char kProgramMode[] = "<key>PresetIsFXB</key>\n\t\t<false/>";

struct Released
{
    void operator()(const void* ref) const { CFRelease(ref); }
};
template <typename Ref>
using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, Released>;

std::string text(CFStringRef string)
{
    char buffer[512];
    return string && CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<none>";
}

void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// Big-endian program ("FxCk") and bank ("FxBk") records of an effect.
void put(std::string& bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<char>(value >> shift));
}

std::string programRecord(const std::string& name, const std::vector<float>& values)
{
    std::string record = "CcnK";
    put(record, 48 + 4 * static_cast<uint32_t>(values.size()));
    record += "FxCk";
    for (uint32_t field : {1u, static_cast<uint32_t>(kVelmoraID), 1u, static_cast<uint32_t>(values.size())})
        put(record, field);
    record += name + std::string(28 - name.size(), '\0');
    for (float value : values)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        put(record, bits);
    }
    return record;
}

std::string bankRecord(const std::vector<std::string>& names, const std::vector<float>& values)
{
    std::string programs;
    for (size_t index = 0; index < names.size(); ++index)
        programs += programRecord(names[index], {values[index], 0.5f, 0.5f});
    std::string bank = "CcnK";
    put(bank, static_cast<uint32_t>(148 + programs.size()));
    bank += "FxBk";
    for (uint32_t field : {1u, static_cast<uint32_t>(kVelmoraID), 1u, static_cast<uint32_t>(names.size())})
        put(bank, field);
    return bank + std::string(128, '\0') + programs;
}

Owned<CFDictionaryRef> classInfo(AudioUnit unit)
{
    CFPropertyListRef value = nullptr;
    UInt32 size = sizeof value;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &value, &size),
              noErr);
    return Owned<CFDictionaryRef>(static_cast<CFDictionaryRef>(value));
}

OSStatus restore(AudioUnit unit, CFPropertyListRef value)
{
    return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &value, sizeof value);
}

SInt32 numberIn(CFDictionaryRef dictionary, CFStringRef key)
{
    SInt32 number = -99;
    const auto value = static_cast<CFNumberRef>(CFDictionaryGetValue(dictionary, key));
    return value && CFNumberGetValue(value, kCFNumberSInt32Type, &number) ? number : -99;
}

// A copy with key set to value, or without key when value is null; the copy owns the value.
Owned<CFDictionaryRef> edited(CFDictionaryRef dictionary, CFStringRef key, CFTypeRef value)
{
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    CFMutableDictionaryRef copy = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                            &kCFTypeDictionaryValueCallBacks);
    for (CFIndex index = 0; index < count; ++index)
        if (!CFEqual(keys[static_cast<size_t>(index)], key))
            CFDictionarySetValue(copy, keys[static_cast<size_t>(index)], values[static_cast<size_t>(index)]);
    if (value)
    {
        CFDictionarySetValue(copy, key, value);
        CFRelease(value);
    }
    return Owned<CFDictionaryRef>(copy);
}

CFNumberRef number(SInt32 value) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value); }

AUPreset currentPreset(AudioUnit unit)
{
    AUPreset preset{};
    UInt32 size = sizeof preset;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &preset, &size),
              noErr);
    EXPECT_EQ(size, sizeof preset);
    return preset;
}

OSStatus setCurrentPreset(AudioUnit unit, SInt32 number, CFStringRef name = nullptr, UInt32 size = sizeof(AUPreset))
{
    const AUPreset preset = {number, name};
    return AudioUnitSetProperty(unit, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &preset, size);
}

std::vector<AUPreset> factoryPresets(AudioUnit unit)
{
    CFArrayRef array = nullptr;
    UInt32 size = sizeof array;
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, &array, &size) !=
        noErr)
        return {};
    std::vector<AUPreset> presets;
    for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
        presets.push_back(*static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array, index)));
    CFRelease(array);
    return presets;
}

std::string bytes(CFDataRef data)
{
    return {reinterpret_cast<const char*>(CFDataGetBytePtr(data)), static_cast<size_t>(CFDataGetLength(data))};
}

// The effect's state as the component saves it: the program record without its header.
std::string programState(AudioUnit unit)
{
    return bytes(static_cast<CFDataRef>(CFDictionaryGetValue(classInfo(unit).get(), CFSTR("vstdata")))).substr(24);
}

std::set<std::string> presetFilesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".aupreset")
            names.insert(entry.path().filename().string());
    return names;
}

constexpr char kReadPreset[] = R"(import plistlib, sys
preset = plistlib.load(open(sys.argv[1], 'rb'))
print(preset['name'], preset['version'], preset.get('ProgramNumber'), len(preset['vstdata']))
)";

TEST(ComponentPresets, ClassInfoRoundTripRestoresParametersAndProgramName)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    Owned<CFDictionaryRef> saved = classInfo(unit);
    const std::string before = programState(unit);
    Owned<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, saved.get()));
    writeFile(bundle.path() / "saved.aupreset", bytes(xml.get()));
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, bundle.path() / "saved.aupreset"), "Init 1 1 0 68\n");

    // Values beyond the range are clamped to its end.
    for (UInt32 id = 1; id < 3; ++id)
        ASSERT_EQ(AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, 1.0e6f, 0), noErr);
    ASSERT_EQ(setCurrentPreset(unit, -1, CFSTR("Changed")), noErr);
    ASSERT_NE(programState(unit), before);

    ASSERT_EQ(restore(unit, saved.get()), noErr);
    EXPECT_EQ(programState(unit), before);
    EXPECT_EQ(currentPreset(unit).presetNumber, -1);
    EXPECT_EQ(text(currentPreset(unit).presetName), "Init 1");
}

TEST(ComponentPresets, MalformedDictionariesAreRefusedAndTheUnitStaysUsable)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    Owned<CFDictionaryRef> saved = classInfo(unit);
    const CFDataRef data = static_cast<CFDataRef>(CFDictionaryGetValue(saved.get(), CFSTR("vstdata")));
    const std::pair<CFStringRef, CFTypeRef> refused[] = {
        {CFSTR("version"), number(0)},
        {CFSTR("subtype"), number(0)},
        {CFSTR("name"), number(1)},
        {CFSTR("ProgramNumber"), CFSTR("one")},
        {CFSTR("vstdata"), CFDataCreate(nullptr, nullptr, 0)},
        {CFSTR("vstdata"), CFDataCreate(nullptr, CFDataGetBytePtr(data), 20)},
        {CFSTR("vstdata"), CFDataCreate(nullptr, CFDataGetBytePtr(data), 60)},
    };
    for (const auto& [key, value] : refused)
        EXPECT_EQ(restore(unit, edited(saved.get(), key, value).get()), kAudioUnitErr_InvalidPropertyValue)
            << text(key);
    EXPECT_EQ(restore(unit, CFSTR("not a dictionary")), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(restore(unit, nullptr), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(restore(unit, edited(saved.get(), CFSTR("name"), nullptr).get()), -32767)
        << "a missing key is a plain exception";
    EXPECT_EQ(restore(unit, saved.get()), noErr);
}

TEST(ComponentPresets, ProgramNumberAbsentOrOutOfRangeSelectsProgramZero)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    Owned<CFDictionaryRef> saved = classInfo(unit);
    const auto selected = [&](SInt32 programNumber, bool present) {
        EXPECT_EQ(restore(unit, edited(saved.get(), CFSTR("ProgramNumber"), number(5)).get()), noErr);
        EXPECT_EQ(numberIn(classInfo(unit).get(), CFSTR("ProgramNumber")), 5);
        EXPECT_EQ(
            restore(unit, edited(saved.get(), CFSTR("ProgramNumber"), present ? number(programNumber) : nullptr).get()),
            noErr);
        return numberIn(classInfo(unit).get(), CFSTR("ProgramNumber"));
    };
    EXPECT_EQ(selected(7, true), 7);
    EXPECT_EQ(selected(0, false), 0);
    EXPECT_EQ(selected(8, true), 0);
    EXPECT_EQ(selected(-1, true), 0);
}

TEST(ComponentFactoryPresets, OurEffectWritesInit1ToInit8ListedAndSelectable)
{
    ComponentBundle bundle;
    {
        OpenUnit unit(bundle);
        const std::vector<AUPreset> presets = factoryPresets(unit);
        ASSERT_EQ(presets.size(), 8u);
        for (int index = 0; index < 8; ++index)
        {
            EXPECT_EQ(presets[index].presetNumber, index);
            EXPECT_EQ(text(presets[index].presetName), "Init " + std::to_string(index + 1));
        }
        ASSERT_EQ(setCurrentPreset(unit, 3, nullptr, 4), noErr);
        EXPECT_EQ(currentPreset(unit).presetNumber, 3);
        EXPECT_EQ(text(currentPreset(unit).presetName), "Init 4");
        EXPECT_EQ(setCurrentPreset(unit, 8, nullptr, 4), kAudioUnitErr_InvalidPropertyValue);
    }
    std::string list;
    for (int index = 1; index <= 8; ++index)
        list += "Init " + std::to_string(index) + ".aupreset\r";
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, bundle.resources() / "Init 8.aupreset"), "Init 8 1 None 68\n");
    EXPECT_EQ(testsupport::fileContents(bundle.resources() / "TDFactoryPresets.txt"), list);
}

TEST(ComponentFactoryPresets, AListOf130LinesGives128PresetsFromFilesAnotherToolWrote)
{
    ComponentBundle bundle;
    ComponentDescription description{};
    ASSERT_EQ(GetComponentInfo(bundle.component(), &description, nullptr, nullptr, nullptr), noErr);
    writeFile(bundle.path() / "Other.fxp", programRecord("Other", {1.0f, 1.0f, 1.0f}));
    const std::string writer = "import plistlib, sys\n"
                               "preset = {'version': 1, 'type': " +
                               std::to_string(description.componentType) +
                               ", 'subtype': " + std::to_string(description.componentSubType) +
                               ", 'manufacturer': " + std::to_string(description.componentManufacturer) +
                               ", 'name': 'Other', 'vstdata': open(sys.argv[1], 'rb').read()}\n"
                               "plistlib.dump(preset, open('" +
                               (bundle.resources() / "Other.aupreset").string() + "', 'wb'))\n";
    ASSERT_EQ(testsupport::pythonOutput(writer, bundle.path() / "Other.fxp"), "");
    std::string list = "; written by hand\r\n\r\n";
    for (int line = 0; line < 130; ++line)
        list += "  Other.aupreset\n";
    writeFile(bundle.resources() / "TDFactoryPresets.txt", list);

    OpenUnit unit(bundle);
    const std::vector<AUPreset> presets = factoryPresets(unit);
    ASSERT_EQ(presets.size(), 128u);
    EXPECT_EQ(presets.back().presetNumber, 127);
    ASSERT_EQ(setCurrentPreset(unit, 127, nullptr, 4), noErr);
    EXPECT_EQ(text(currentPreset(unit).presetName), "Other");
    EXPECT_EQ(programState(unit), testsupport::fileContents(bundle.path() / "Other.fxp").substr(24));

    const std::string file = testsupport::fileContents(bundle.resources() / "Other.aupreset");
    Owned<CFDataRef> xml(
        CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(file.data()), static_cast<CFIndex>(file.size())));
    Owned<CFPropertyListRef> preset(CFPropertyListCreateFromXMLData(nullptr, xml.get(), 0, nullptr));
    ASSERT_EQ(setCurrentPreset(unit, -1, CFSTR("Elsewhere")), noErr);
    EXPECT_EQ(restore(unit, preset.get()), noErr);
    EXPECT_EQ(text(currentPreset(unit).presetName), "Other");
}

TEST(ComponentFactoryPresets, ProgramModeWritesOneFilePerNameAndSkipsBlankNames)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    const char* names[] = {"Init", "Init", " Pad ", "Init", "   ", "Bass/Lead"};
    effect.numPrograms = 6;
    for (int program = 0; program < 6; ++program)
    {
        std::snprintf(effect.programNames[program], 25, "%s", names[program]);
        effect.programValues[program][0] = 0.1f * static_cast<float>(program + 1);
    }
    effect.currentProgram = 2;
    ComponentBundle bundle(hostingTestEffect());
    OpenUnit unit(bundle);
    ASSERT_NE(unit.get(), nullptr) << "a program name with a slash still makes a file";
    EXPECT_EQ(effect.currentProgram, 2);
    EXPECT_EQ(testsupport::fileContents(bundle.resources() / "TDFactoryPresets.txt"),
              "Init.aupreset\rPad.aupreset\rInit.aupreset\rBass:Lead.aupreset\r");
    EXPECT_EQ(presetFilesIn(bundle.resources()),
              (std::set<std::string>{"Init.aupreset", "Pad.aupreset", "Bass:Lead.aupreset"}));
    const std::vector<AUPreset> presets = factoryPresets(unit);
    ASSERT_EQ(presets.size(), 4u);
    EXPECT_EQ(text(presets[3].presetName), "Bass/Lead");
    ASSERT_EQ(setCurrentPreset(unit, 0, nullptr, 4), noErr);
    EXPECT_FLOAT_EQ(effect.programValues[2][0], 0.4f) << "the fourth program overwrote the first one's file";
}

// Broken preset files in the list end the loading with the presets read so
// far; the unit opens and uses them.
TEST(ComponentFactoryPresets, BrokenPresetFilesAreLeftOut)
{
    ComponentBundle bundle;
    {
        OpenUnit first(bundle);
    }
    std::string nulInName = testsupport::fileContents(bundle.resources() / "Init 2.aupreset");
    nulInName.replace(nulInName.find("Init 2</string>"), 6, std::string("Init\0 2", 7));
    writeFile(bundle.resources() / "Broken.aupreset", nulInName);
    writeFile(bundle.resources() / "TDFactoryPresets.txt", "Init 1.aupreset\rBroken.aupreset\rInit 3.aupreset\r");

    OpenUnit unit(bundle);
    const std::vector<AUPreset> presets = factoryPresets(unit);
    ASSERT_EQ(presets.size(), 1u);
    EXPECT_EQ(text(presets[0].presetName), "Init 1");
    EXPECT_EQ(setCurrentPreset(unit, 0, nullptr, 4), noErr);
}

TEST(ComponentCurrentPreset, SizesOtherThanFourOrSixteenAreRefusedAndNamesReachTheEffect)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    effect.numPrograms = 1;
    std::snprintf(effect.programNames[0], 25, "First");
    ComponentBundle bundle(hostingTestEffect());
    OpenUnit unit(bundle);

    AUPreset preset = {7, nullptr};
    UInt32 size = 4;
    ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &preset, &size),
              noErr);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(preset.presetNumber, -1);
    EXPECT_EQ(preset.presetName, nullptr) << "four bytes carry the number only";
    for (UInt32 wrong : {2u, 5u, 8u, 15u})
    {
        size = wrong;
        EXPECT_EQ(
            AudioUnitGetProperty(unit, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &preset, &size),
            kAudioUnitErr_InvalidPropertyValue)
            << wrong;
        EXPECT_EQ(setCurrentPreset(unit, -1, CFSTR("Half"), wrong), kAudioUnitErr_InvalidPropertyValue) << wrong;
    }
    EXPECT_STREQ(effect.programNames[0], "First");

    EXPECT_EQ(setCurrentPreset(unit, -1, nullptr), noErr) << "a whole record without a name";
    EXPECT_EQ(setCurrentPreset(unit, -1, CFSTR("A name of thirty characters!!!")), noErr);
    EXPECT_STREQ(effect.programNames[0], "A name of thirty charact");
    const Owned<CFStringRef> longName(
        CFStringCreateWithCString(nullptr, std::string(3000, 'L').c_str(), kCFStringEncodingASCII));
    EXPECT_EQ(setCurrentPreset(unit, -1, longName.get()), noErr);
    EXPECT_EQ(std::string(effect.programNames[0]), std::string(24, 'L')) << "however long the host's name is";
    EXPECT_EQ(setCurrentPreset(unit, 1, nullptr, 4), kAudioUnitErr_InvalidPropertyValue);
}

TEST(ComponentPresets, AnEffectWithoutProgramsOpensSavesAndRestores)
{
    if (!fs::exists(testsupport::kLspCompressor))
        GTEST_SKIP() << "lsp-plugins-vst is not installed";
    testsupport::keepLspCoreMapped();
    ComponentBundle bundle({{}, {testsupport::kLspCompressor}});
    OpenUnit unit(bundle);
    ASSERT_NE(unit.get(), nullptr);
    Owned<CFDictionaryRef> saved = classInfo(unit);
    EXPECT_EQ(restore(unit, saved.get()), noErr);
    EXPECT_EQ(restore(unit, edited(saved.get(), CFSTR("ProgramNumber"), number(3)).get()), noErr);
    EXPECT_EQ(currentPreset(unit).presetNumber, -1);
    EXPECT_TRUE(factoryPresets(unit).empty());
}

TEST(ComponentPresetConversion, ProgramAndBankFilesBecomePresetsOnce)
{
    PresetFolders folders;
    const std::string lead = programRecord("Lead", {1.0f, 0.25f, 0.75f});
    writeFile(folders.user() / "Lead.fxp", lead);
    writeFile(folders.user() / "Bank1.FXB", bankRecord({"Warm", "Warm", "Wide", "Warm", "Room", "Room", "  ", "Hall"},
                                                       {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f}));
    for (const char* skipped : {"Empty.fxp", "Empty.fxb", ".Hidden.fxp", "Notes.txt"})
        writeFile(folders.user() / skipped, skipped[0] == 'E' ? "" : lead);
    ComponentBundle bundle;
    {
        OpenUnit unit(bundle);
        ASSERT_NE(unit.get(), nullptr) << "empty preset files leave the component able to open";
    }
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, folders.user() / "Lead.aupreset"),
              "Lead 1 None " + std::to_string(lead.size()) + "\n");
    EXPECT_EQ(presetFilesIn(folders.user()), (std::set<std::string>{"Lead.aupreset", "Empty.aupreset"}));
    EXPECT_EQ(presetFilesIn(folders.user() / "Bank1"),
              (std::set<std::string>{"Warm.aupreset", "Wide.aupreset", "Room.aupreset", "Hall.aupreset"}));
    EXPECT_TRUE(fs::is_directory(folders.local())) << "the local domain gets its folders too";

    writeFile(folders.user() / "Lead.aupreset", "kept");
    fs::remove(folders.user() / "Bank1/Wide.aupreset");
    {
        OpenUnit again(bundle);
    }
    EXPECT_EQ(testsupport::fileContents(folders.user() / "Lead.aupreset"), "kept");
    EXPECT_FALSE(fs::exists(folders.user() / "Bank1/Wide.aupreset"));
}

TEST(ComponentPresetConversion, BankModeConvertsBanksWholeAndLeavesProgramFiles)
{
    PresetFolders folders;
    const std::string bank = bankRecord({"Warm", "Wide"}, {0.1f, 0.2f});
    writeFile(folders.user() / "Bank1.fxb", bank);
    writeFile(folders.user() / "Lead.fxp", programRecord("Lead", {1.0f, 0.25f, 0.75f}));
    ComponentBundle bundle({{{kProgramMode, kBankMode}}, {}});
    OpenUnit unit(bundle);
    EXPECT_EQ(presetFilesIn(folders.user()), std::set<std::string>{"Bank1.aupreset"});
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, folders.user() / "Bank1.aupreset"),
              "Bank1 1 None " + std::to_string(bank.size()) + "\n");
    EXPECT_EQ(testsupport::fileContents(bundle.resources() / "TDFactoryPresets.txt"), "FactoryPreset.aupreset\r");
}
}  // namespace
