// The files the component writes (its parameter mapping and factory presets on
// first open, presets converted from VST files) on a disk that fills up
// halfway: no cut file stays that a later open would take for a finished one,
// no earlier file is damaged, and the next open writes them whole.

#include "component_test_support.h"
#include "support/file_size_limit.h"
#include "support/velmora_bundle.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace
{
using namespace componenttest;

constexpr char kBankMode[] = "<key>PresetIsFXB</key>\n\t\t<true/>";
constexpr char kProgramMode[] = "<key>PresetIsFXB</key>\n\t\t<false/>";

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(fs::relative(entry.path(), folder).string());
    return names;
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// What a unit in bank mode saves: all of its programs as one bank.
std::string savedBank()
{
    ComponentBundle bankMode({{{kProgramMode, kBankMode}}, {}});
    OpenUnit unit(bankMode);
    CFPropertyListRef saved = nullptr;
    UInt32 size = sizeof saved;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &saved, &size),
              noErr);
    if (saved == nullptr)
        return "";
    const auto data = static_cast<CFDataRef>(
        CFDictionaryGetValue(static_cast<CFDictionaryRef>(saved), CFSTR("vstdata")));
    std::string bank(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), static_cast<size_t>(CFDataGetLength(data)));
    CFRelease(saved);
    return bank;
}

TEST(ComponentWriteFailures, ResourcesCutShortAreNotLeftForTheNextOpenNorReplaceEarlierFiles)
{
    const fs::path built = fs::path(testsupport::velmoraBundlePath()) / "Contents/Resources";
    // 64 bytes stop the parameter mapping; 256 let it through and stop the first preset file.
    for (const rlim_t limit : {64, 256})
    {
        ComponentBundle bundle;
        const std::string earlier = "a preset file placed here by hand";
        writeText(bundle.resources() / "Init 1.aupreset", earlier);
        std::set<std::string> expected = namesIn(bundle.resources());
        AudioUnit unit = nullptr;
        {
            const testsupport::FileSizeLimit fullDisk(limit);
            EXPECT_NE(bundle.open(unit), noErr) << limit;
        }
        if (fs::exists(bundle.resources() / "TDParameters.txt"))
        {
            EXPECT_EQ(limit, 256u);
            EXPECT_EQ(testsupport::fileContents(bundle.resources() / "TDParameters.txt"),
                      testsupport::fileContents(built / "TDParameters.txt"));
            expected.insert("TDParameters.txt");
        }
        EXPECT_EQ(namesIn(bundle.resources()), expected) << "a cut or temporary file stayed, limit " << limit;
        EXPECT_EQ(testsupport::fileContents(bundle.resources() / "Init 1.aupreset"), earlier);

        {
            OpenUnit whole(bundle);
            EXPECT_NE(whole.get(), nullptr);
        }
        for (const char* name : {"TDParameters.txt", "TDFactoryPresets.txt"})
            EXPECT_EQ(testsupport::fileContents(bundle.resources() / name), testsupport::fileContents(built / name))
                << name;
        EXPECT_NE(testsupport::fileContents(bundle.resources() / "Init 1.aupreset").find("<string>Init 1</string>"),
                  std::string::npos);
    }
}

TEST(ComponentWriteFailures, ConversionsCutShortLeaveNoPresetOrBankFolderAndAreDoneByTheNextOpen)
{
    PresetFolders folders;
    const std::string bank = savedBank();
    ComponentBundle bundle;
    {
        OpenUnit first(bundle);  // writes its resources
    }
    writeText(folders.user() / "Lead.fxp", "a program as another host saved it");
    writeText(folders.user() / "Bank1.fxb", bank);
    const std::set<std::string> before = namesIn(folders.user());
    {
        const testsupport::FileSizeLimit fullDisk(256);
        OpenUnit unit(bundle);
        EXPECT_NE(unit.get(), nullptr) << "a conversion that fails does not stop the unit";
    }
    EXPECT_EQ(namesIn(folders.user()), before);

    {
        OpenUnit unit(bundle);
    }
    std::set<std::string> converted = before;
    converted.insert({"Lead.aupreset", "Bank1"});
    for (int program = 1; program <= 8; ++program)
        converted.insert("Bank1/Init " + std::to_string(program) + ".aupreset");
    EXPECT_EQ(namesIn(folders.user()), converted);
    EXPECT_NE(testsupport::fileContents(folders.user() / "Lead.aupreset").find("<string>Lead</string>"),
              std::string::npos);
}
}  // namespace
