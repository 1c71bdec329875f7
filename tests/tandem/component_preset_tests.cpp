// Presets as hosts and users meet them: the ClassInfo dictionary and its
// restore, factory presets written on first open, the current preset, and
// VST preset files converted in the preset folders. Preset files must read
// back in other tools, and files other tools wrote must load.

#include "component_test_support.h"
#include "support/lsp_plugins.h"
#include "support/python_output.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>

namespace
{
using namespace componenttest;

// Big-endian program ("FxCk") and bank ("FxBk") records of our effect.
std::string bigEndian(std::initializer_list<uint32_t> fields)
{
    std::string bytes;
    for (uint32_t field : fields)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<char>(field >> shift));
    return bytes;
}

constexpr uint32_t kVelmoraID = 0x516E566D;  // 'QnVm'

std::string programRecord(const std::string& name, float onOff = 1.0f)
{
    return "CcnK" + bigEndian({60}) + "FxCk" + bigEndian({1, kVelmoraID, 1, 3}) + name +
           std::string(28 - name.size(), '\0') + bigEndian({std::bit_cast<uint32_t>(onOff), 0x3F000000, 0x3F000000});
}

std::string bankRecord(const std::vector<std::string>& names)
{
    std::string programs;
    for (const std::string& name : names)
        programs += programRecord(name);
    const auto count = static_cast<uint32_t>(names.size());
    return "CcnK" + bigEndian({148 + 68 * count}) + "FxBk" + bigEndian({1, kVelmoraID, 1, count}) +
           std::string(128, '\0') + programs;
}

OSStatus restore(AudioUnit unit, CFPropertyListRef value)
{
    return setProperty(unit, kAudioUnitProperty_ClassInfo, value);
}

// A copy with key set to value, or without key when value is null; the copy owns the value.
Owned<CFDictionaryRef> edited(CFDictionaryRef dictionary, CFStringRef key, CFTypeRef value)
{
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    CFMutableDictionaryRef copy = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                            &kCFTypeDictionaryValueCallBacks);
    for (size_t index = 0; index < keys.size(); ++index)
        if (!CFEqual(keys[index], key))
            CFDictionarySetValue(copy, keys[index], values[index]);
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
    EXPECT_EQ(getProperty(unit, kAudioUnitProperty_CurrentPreset, preset), noErr);
    return preset;
}

OSStatus setCurrentPreset(AudioUnit unit, SInt32 number, CFStringRef name = nullptr, UInt32 size = 4)
{
    const AUPreset preset = {number, name};
    return AudioUnitSetProperty(unit, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &preset, size);
}

std::vector<std::string> factoryPresetNames(AudioUnit unit)
{
    CFArrayRef array = nullptr;
    if (getProperty(unit, kAudioUnitProperty_FactoryPresets, array) != noErr)
        return {};
    std::vector<std::string> names;
    for (CFIndex index = 0; index < CFArrayGetCount(array); ++index)
    {
        const auto& preset = *static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array, index));
        EXPECT_EQ(preset.presetNumber, index);
        names.push_back(text(preset.presetName));
    }
    CFRelease(array);
    return names;
}

// The effect's state as the component saves it: the program record without its header.
std::string programState(AudioUnit unit) { return vstData(classInfo(unit).get()).substr(24); }

constexpr char kReadPreset[] = R"(import plistlib, sys
preset = plistlib.load(open(sys.argv[1], 'rb'))
print(preset['name'], preset['version'], preset.get('ProgramNumber'), len(preset['vstdata']))
)";

TEST(ComponentPresets, ClassInfoReadsInOtherToolsRefusesMalformedDictionariesAndBoundsProgramNumbers)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    Owned<CFDictionaryRef> saved = classInfo(unit);
    Owned<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, saved.get()));
    writeFile(bundle.path() / "saved.aupreset", {reinterpret_cast<const char*>(CFDataGetBytePtr(xml.get())),
                                                 static_cast<size_t>(CFDataGetLength(xml.get()))});
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, bundle.path() / "saved.aupreset"), "Init 1 1 0 68\n");

    const std::string data = vstData(saved.get());
    const auto dataOf = [&](size_t size) {
        return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(data.data()), size);
    };
    const std::pair<CFStringRef, CFTypeRef> refused[] = {
        {CFSTR("version"), number(0)},          {CFSTR("subtype"), number(0)}, {CFSTR("name"), number(1)},
        {CFSTR("ProgramNumber"), CFSTR("one")}, {CFSTR("vstdata"), dataOf(0)}, {CFSTR("vstdata"), dataOf(20)},
        {CFSTR("vstdata"), dataOf(60)},
    };
    for (const auto& [key, value] : refused)
        EXPECT_EQ(restore(unit, edited(saved.get(), key, value).get()), kAudioUnitErr_InvalidPropertyValue)
            << text(key);
    EXPECT_EQ(restore(unit, CFSTR("not a dictionary")), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(restore(unit, nullptr), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(restore(unit, edited(saved.get(), CFSTR("name"), nullptr).get()), -32767)
        << "a missing key is a plain exception";

    // Each restore starts from program 5, so that selecting program 0 is a change.
    for (const auto& [given, selected] : {std::pair{7, 7}, {8, 0}, {-1, 0}, {-99, 0}})
    {
        EXPECT_EQ(restore(unit, edited(saved.get(), CFSTR("ProgramNumber"), number(5)).get()), noErr);
        EXPECT_EQ(
            restore(unit, edited(saved.get(), CFSTR("ProgramNumber"), given == -99 ? nullptr : number(given)).get()),
            noErr);
        SInt32 number = -99;
        CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(classInfo(unit).get(), CFSTR("ProgramNumber"))),
                         kCFNumberSInt32Type, &number);
        EXPECT_EQ(number, selected) << "given " << given << " (-99: none)";
    }
}

TEST(ComponentFactoryPresets, OurEffectWritesInit1ToInit8AndABrokenFileEndsTheList)
{
    ComponentBundle bundle;
    {
        OpenUnit unit(bundle);
    }
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, bundle.resources() / "Init 8.aupreset"), "Init 8 1 None 68\n");
    EXPECT_EQ(testsupport::fileContents(bundle.resources() / "TDFactoryPresets.txt"),
              "Init 1.aupreset\rInit 2.aupreset\rInit 3.aupreset\rInit 4.aupreset\rInit 5.aupreset\r"
              "Init 6.aupreset\rInit 7.aupreset\rInit 8.aupreset\r");

    // A broken file in the list ends the loading with the presets read so far.
    std::string nulInName = testsupport::fileContents(bundle.resources() / "Init 2.aupreset");
    nulInName.replace(nulInName.find("Init 2</string>"), 6, std::string("Init\0 2", 7));
    writeFile(bundle.resources() / "Broken.aupreset", nulInName);
    writeFile(bundle.resources() / "TDFactoryPresets.txt", "Init 1.aupreset\rBroken.aupreset\rInit 3.aupreset\r");
    OpenUnit unit(bundle);
    EXPECT_EQ(factoryPresetNames(unit), std::vector<std::string>{"Init 1"});
    EXPECT_EQ(setCurrentPreset(unit, 0), noErr);
}

TEST(ComponentFactoryPresets, AListOf130LinesGives128PresetsFromFilesAnotherToolWrote)
{
    ComponentBundle bundle;
    writeFile(bundle.path() / "Other.fxp", programRecord("Other"));
    const char writer[] = R"(import plistlib, sys
unit = plistlib.load(open(sys.argv[1] + '/Contents/Info.plist', 'rb'))['AudioComponents'][0]
code = lambda key: int.from_bytes(unit[key].encode(), 'big')
preset = {'version': 1, 'type': code('type'), 'subtype': code('subtype'), 'manufacturer': code('manufacturer'),
          'name': 'Other', 'vstdata': open(sys.argv[1] + '/Other.fxp', 'rb').read()}
plistlib.dump(preset, open(sys.argv[1] + '/Contents/Resources/Other.aupreset', 'wb'))
)";
    ASSERT_EQ(testsupport::pythonOutput(writer, bundle.path()), "");
    std::string list = "; written by hand\r\n\r\n";
    for (int line = 0; line < 130; ++line)
        list += "  Other.aupreset\n";
    writeFile(bundle.resources() / "TDFactoryPresets.txt", list);

    OpenUnit unit(bundle);
    EXPECT_EQ(factoryPresetNames(unit).size(), 128u);
    ASSERT_EQ(setCurrentPreset(unit, 127), noErr);
    EXPECT_EQ(text(currentPreset(unit).presetName), "Other");
    EXPECT_EQ(programState(unit), programRecord("Other").substr(24));

    const std::string file = testsupport::fileContents(bundle.resources() / "Other.aupreset");
    Owned<CFDataRef> xml(
        CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(file.data()), static_cast<CFIndex>(file.size())));
    Owned<CFPropertyListRef> preset(CFPropertyListCreateFromXMLData(nullptr, xml.get(), 0, nullptr));
    ASSERT_EQ(setCurrentPreset(unit, -1, CFSTR("Elsewhere"), sizeof(AUPreset)), noErr);
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
    EXPECT_EQ(namesIn(bundle.resources(), ".aupreset"),
              (std::set<std::string>{"Init.aupreset", "Pad.aupreset", "Bass:Lead.aupreset"}));
    EXPECT_EQ(factoryPresetNames(unit), (std::vector<std::string>{"Init", "Pad", "Init", "Bass/Lead"}));
    ASSERT_EQ(setCurrentPreset(unit, 0), noErr);
    EXPECT_FLOAT_EQ(effect.programValues[2][0], 0.4f) << "the fourth program overwrote the first one's file";
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

    EXPECT_EQ(setCurrentPreset(unit, -1, nullptr, sizeof(AUPreset)), noErr) << "a whole record without a name";
    EXPECT_EQ(setCurrentPreset(unit, -1, CFSTR("A name of thirty characters!!!"), sizeof(AUPreset)), noErr);
    EXPECT_STREQ(effect.programNames[0], "A name of thirty charact");
    const Owned<CFStringRef> longName(
        CFStringCreateWithCString(nullptr, std::string(3000, 'L').c_str(), kCFStringEncodingASCII));
    EXPECT_EQ(setCurrentPreset(unit, -1, longName.get(), sizeof(AUPreset)), noErr);
    EXPECT_EQ(std::string(effect.programNames[0]), std::string(24, 'L')) << "however long the host's name is";
    EXPECT_EQ(setCurrentPreset(unit, 1), kAudioUnitErr_InvalidPropertyValue);
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
    EXPECT_TRUE(factoryPresetNames(unit).empty());
}

TEST(ComponentPresetConversion, ProgramAndBankFilesBecomePresetsOnce)
{
    PresetFolders folders;
    const std::string lead = programRecord("Lead");
    writeFile(folders.user() / "Lead.fxp", lead);
    writeFile(folders.user() / "Bank1.FXB", bankRecord({"Warm", "Warm", "Wide", "Warm", "Room", "Room", "  ", "Hall"}));
    for (const char* skipped : {"Empty.fxp", "Empty.fxb", ".Hidden.fxp", "Notes.txt"})
        writeFile(folders.user() / skipped, skipped[0] == 'E' ? "" : lead);
    ComponentBundle bundle;
    {
        OpenUnit unit(bundle);
        ASSERT_NE(unit.get(), nullptr) << "empty preset files leave the component able to open";
    }
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, folders.user() / "Lead.aupreset"),
              "Lead 1 None " + std::to_string(lead.size()) + "\n");
    EXPECT_EQ(namesIn(folders.user(), ".aupreset"),
              (std::set<std::string>{"Lead.aupreset", "Empty.aupreset", "Bank1/Warm.aupreset", "Bank1/Wide.aupreset",
                                     "Bank1/Room.aupreset", "Bank1/Hall.aupreset"}));
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
    const std::string bank = bankRecord({"Warm", "Wide"});
    writeFile(folders.user() / "Bank1.fxb", bank);
    writeFile(folders.user() / "Lead.fxp", programRecord("Lead"));
    ComponentBundle bundle({{{kProgramMode, kBankMode}}, {}});
    OpenUnit unit(bundle);
    EXPECT_EQ(namesIn(folders.user(), ".aupreset"), std::set<std::string>{"Bank1.aupreset"});
    EXPECT_EQ(testsupport::pythonOutput(kReadPreset, folders.user() / "Bank1.aupreset"),
              "Bank1 1 None " + std::to_string(bank.size()) + "\n");
    EXPECT_EQ(testsupport::fileContents(bundle.resources() / "TDFactoryPresets.txt"), "FactoryPreset.aupreset\r");
}
}  // namespace
