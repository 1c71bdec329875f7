// The files the component writes (its parameter mapping and factory presets on
// first open, presets converted from VST files) on a disk that fills up
// halfway: no cut file stays that a later open would take for a finished one,
// no earlier file is damaged, and the next open writes them whole.

#include "component_test_support.h"
#include "support/file_size_limit.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

namespace
{
using namespace componenttest;

TEST(ComponentWriteFailures, ResourcesCutShortAreNotLeftForTheNextOpenNorReplaceEarlierFiles)
{
    const fs::path built = fs::path(testsupport::velmoraBundlePath()) / "Contents/Resources";
    // 64 bytes stop the parameter mapping; 256 let it through and stop the first preset file.
    for (const rlim_t limit : {64, 256})
    {
        ComponentBundle bundle;
        const std::string earlier = "a preset file placed here by hand";
        writeFile(bundle.resources() / "Init 1.aupreset", earlier);
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
    ComponentBundle bundle;
    ComponentBundle bankMode({{{kProgramMode, kBankMode}}, {}});
    const std::string bank = vstData(classInfo(OpenUnit(bankMode)).get());  // all of its programs as one bank
    {
        OpenUnit first(bundle);  // writes its resources
    }
    writeFile(folders.user() / "Lead.fxp", "a program as another host saved it");
    writeFile(folders.user() / "Bank1.fxb", bank);
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
