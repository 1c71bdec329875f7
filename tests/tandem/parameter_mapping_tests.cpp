// "TDParameters.txt" on real files: line splitting, which lines map and how,
// the default file written from an effect, and the value conversions.

#include "support/file_contents.h"
#include "support/temporary_folder.h"
#include "tandem/parameter_mapping.h"
#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace
{
constexpr char kHeader[] = "vst param #\tname\tmin\tmax\tdisplay\tunit\tdefault\r";
constexpr AudioUnitParameterOptions kMappedFlags = 0xC8000000;

class ParameterMappingFiles : public testing::Test
{
protected:
    ParameterMappingFiles()
    {
        EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(folder.path().c_str()), &folderRef, nullptr), noErr);
    }

    FSRef write(const std::string& content)
    {
        std::ofstream(path(), std::ios::binary) << content;
        FSRef ref;
        EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path().c_str()), &ref, nullptr), noErr);
        return ref;
    }
    std::string read() { return testsupport::fileContents(path()); }
    std::filesystem::path path() const { return folder.path() / "TDParameters.txt"; }
    ParameterMapping map(const std::string& lines, int vstParameterCount = 3)
    {
        return readParameterMapping(write(kHeader + lines), vstParameterCount);
    }

    testsupport::TemporaryFolder folder;
    FSRef folderRef{};
};

std::string text(CFStringRef string)
{
    char buffer[256] = "(null)";
    if (string != nullptr)
        CFStringGetCString(string, buffer, sizeof(buffer), kCFStringEncodingMacRoman);
    return buffer;
}

AudioUnitParameterInfo range(AudioUnitParameterUnit unit, float minValue, float maxValue)
{
    AudioUnitParameterInfo info{};
    info.unit = unit;
    info.minValue = minValue;
    info.maxValue = maxValue;
    return info;
}
}  // namespace

// Line ends of every kind, an overlong line and the end of the file are met
// in the mapping files below.
TEST_F(ParameterMappingFiles, headerOnlyMapsNothingAndAnEmptyFileEndsAtTheHeader)
{
    const ParameterMapping mapping = map("");
    EXPECT_TRUE(mapping.parameterList.empty());
    ASSERT_EQ(mapping.parameterInfos.size(), 3u);
    EXPECT_EQ(mapping.parameterInfos[0].flags, 0u);
    EXPECT_EQ(failureOf<EOFException>([&] { readParameterMapping(write(""), 3); }), "End of file error");
}

TEST_F(ParameterMappingFiles, displayStylesSetUnitFlagsAndChoices)
{
    const std::string longName(60, 'L');
    const ParameterMapping mapping = map("2\tMode\t0\t2\tA|B|C\t-\t0\r0+\tMix\t0\t100\t=\t%\t50\n1\t" + longName +
                                         "\t-1\t1\t?\tdB\t0.5\r\n");
    EXPECT_EQ(mapping.parameterList, (std::vector<AudioUnitParameterID>{2, 0, 1})) << "file order";
    const AudioUnitParameterInfo& mix = mapping.parameterInfos[0];
    EXPECT_STREQ(mix.name, "Mix");
    EXPECT_EQ(text(mix.unitName), "%");
    EXPECT_EQ(mix.unit, kAudioUnitParameterUnit_CustomUnit);
    EXPECT_EQ(mix.flags, 0xD8000000u) << "meta";
    EXPECT_EQ(std::vector<float>({mix.minValue, mix.maxValue, mix.defaultValue}), (std::vector<float>{0, 100, 50}));
    const AudioUnitParameterInfo& text1 = mapping.parameterInfos[1];
    EXPECT_EQ(text1.name, longName.substr(0, 51));
    EXPECT_EQ(text(text1.cfNameString), longName);
    EXPECT_EQ(text1.flags, kMappedFlags | kAudioUnitParameterFlag_ValuesHaveStrings);
    const AudioUnitParameterInfo& mode = mapping.parameterInfos[2];
    EXPECT_EQ(mode.unit, kAudioUnitParameterUnit_Indexed);
    EXPECT_EQ(mode.unitName, nullptr);
    CFArrayRef choices = mapping.parameterValueStrings[2];
    ASSERT_NE(choices, nullptr);
    ASSERT_EQ(CFArrayGetCount(choices), 3);
    EXPECT_EQ(text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(choices, 2))), "C");
    EXPECT_EQ(map("  1\t\tSwitch\t\t\t0\t1\tb\t\t-\t1").parameterInfos[1].unit, kAudioUnitParameterUnit_Boolean)
        << "leading spaces and runs of tabs";
}

// A bound beyond float's range reads as infinite, and a span beyond it
// overflows: either made every value of the parameter read as NaN.
TEST_F(ParameterMappingFiles, linesBreakingARuleOrSpanningMoreThanAFloatAreSkippedWithoutAWord)
{
    testing::internal::CaptureStderr();
    const ParameterMapping mapping = map("1\tFirst\t0\t1\t=\t-\t0\r"
                                         "1\tAgain\t0\t1\t=\t-\t0\r"  // index already mapped
                                         "0 Spaces 0 1 = - 0\r"
                                         "0\tEqual\t1\t1\t=\t-\t1\r"
                                         "0\tOutside\t0\t1\t=\t-\t2\r"
                                         "3\tBeyond\t0\t1\t=\t-\t0\r"
                                         "-1\tNegative\t0\t1\t=\t-\t0\r"
                                         "0\tBlank\t0\t1\t  \t-\t0\r"
                                         "0\tShort\t0\t1\t=\t-\r"
                                         "  ; 2\tComment\t0\t1\t=\t-\t0\r"
                                         "0\tOverflowing\t-1e99\t50\t?\t-\t0\r"
                                         "0\tInfinite\t0\tinf\t=\t-\t0\r"
                                         "0\tSpanning\t-3e38\t3e38\t=\t-\t0\r"
                                         "2\tWide\t-1e38\t1e38\t=\t-\t0\r;" +
                                         std::string(2046, ' ') + "0\tTail\t0\t1\t=\t-\t0\n0\tNext\t0\t1\t=\t-\t0");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(mapping.parameterList, (std::vector<AudioUnitParameterID>{1, 2, 0}));
    EXPECT_STREQ(mapping.parameterInfos[1].name, "First");
    EXPECT_STREQ(mapping.parameterInfos[0].name, "Next") << "an overlong line spilled into a line of its own";
    for (const float value : {0.0f, 0.5f, 1.0f})
        EXPECT_TRUE(std::isfinite(scaleToAUParameter(mapping.parameterInfos[2], value))) << value;
}

TEST_F(ParameterMappingFiles, boundsThatDoNotFitSwitchesOrChoicesAreReportedAndSkipped)
{
    testing::internal::CaptureStderr();
    const ParameterMapping mapping = map("0\tSwitch\t0\t2\tb\t-\t0\r1\tMode\t-1\t2\tA|B\t-\t0\r");
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(mapping.parameterList.empty());
    for (const char* message :
         {"Error in TDParameters.txt: max parameter for 'b' display type is 2.000000, must be 1 (parameter: Switch)\n",
          "Error in TDParameters.txt: min parameter for '|' display type is -1.000000, must be 0 (parameter: Mode)\n",
          "Error in TDParameters.txt: max parameter for '|' display type is 2.000000, should be 1 (parameter: Mode)\n"})
        EXPECT_NE(output.find(message), std::string::npos) << output;
}

TEST_F(ParameterMappingFiles, the1025thMappedParameterIsTooMany)
{
    std::string lines;
    for (int index = 0; index < kMaxMappedParameters; ++index)
        lines += std::to_string(index) + "\tP\t0\t1\t=\t-\t0\r";
    EXPECT_EQ(map(lines, 2000).parameterList.size(), 1024u);
    EXPECT_EQ(failureOf<TandemException>([&] { map(lines + "1024\tP\t0\t1\t=\t-\t0\r", 2000); }),
              "Too many mapped parameters");
}

TEST(ParameterScaling, switchesAndChoicesRoundNumbersStretchAndHostValuesAreClamped)
{
    EXPECT_EQ(scaleToAUParameter(range(kAudioUnitParameterUnit_Boolean, 0, 1), 0.5f), 1.0f);
    EXPECT_EQ(scaleToAUParameter(range(kAudioUnitParameterUnit_Indexed, 0, 2), 0.2f), 0.0f);
    EXPECT_EQ(scaleToAUParameter(range(kAudioUnitParameterUnit_Indexed, 0, 2), 0.3f), 1.0f);
    EXPECT_EQ(scaleToAUParameter(range(kAudioUnitParameterUnit_CustomUnit, -10, 10), 0.25f), -5.0f);
    EXPECT_EQ(scaleFromAUParameter(range(kAudioUnitParameterUnit_Generic, 50, 100), 75.0f), 0.5f);
    const AudioUnitParameterInfo generic = range(kAudioUnitParameterUnit_Generic, -10, 10);
    EXPECT_EQ(scaleFromAUParameter(generic, 150.0f), 1.0f);
    EXPECT_EQ(scaleFromAUParameter(generic, -150.0f), 0.0f);
    EXPECT_EQ(scaleFromAUParameter(generic, NAN), 0.0f);
    EXPECT_EQ(scaleFromAUParameter(AudioUnitParameterInfo{}, 0.0f), 0.0f) << "an unmapped entry";
    EXPECT_EQ(scaleToAUParameter(generic, 1.5f), 10.0f);
    EXPECT_EQ(scaleToAUParameter(generic, NAN), -10.0f);
}

TEST_F(ParameterMappingFiles, defaultFileKeepsFallingDisplaysUnmappedAndTheEffectsValues)
{
    resetTestEffect();
    PlugHost host(kTestSampleRate);
    const auto plugIn = openForTest(FAKE_EFFECT, host);
    ASSERT_TRUE(plugIn);
    plugIn->setParameter(0, 0.3f);
    plugIn->setParameter(1, 0.25f);
    createDefaultParameterMappingFile(write(""), *plugIn, false);
    const std::string written = read();
    EXPECT_EQ(written, std::string(kHeader) + "0\tNNNNNNNN\t10\t0\t=\tdB\t7\r1\tNNNNNNNN\t0\t1\t=\t-\t0.25\r" +
                           "2\tNNNNNNNN\t0\t1\t=\t-\t0\r");
    EXPECT_EQ(plugIn->getParameter(0), 0.3f);
    EXPECT_EQ(plugIn->getParameter(1), 0.25f);
    EXPECT_EQ(readOrCreateParameterMapping(folderRef, *plugIn, true).parameterList,
              (std::vector<AudioUnitParameterID>{1, 2}))
        << "a falling display is not mapped";
    EXPECT_EQ(read(), written) << "an existing file is read, not written again";
    createDefaultParameterMappingFile(write(""), *plugIn, true);
    EXPECT_NE(read().find("\r1\tNNNNNNNN\t0\t1\t?\tdB\t0.25\r"), std::string::npos) << read();
}
