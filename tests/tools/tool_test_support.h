#pragma once
// Running a built command-line tool as a user does, in a fresh folder, and
// the audio files it reads and writes.

#include "support/file_contents.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tooltest
{
namespace fs = std::filesystem;

struct ToolRun
{
    int exitCode = -1;
    std::string out, err;
};
struct AudioData
{
    SF_INFO info{};
    std::vector<float> samples;
};  // samples interleaved

void writeAudio(const fs::path& path, int format, int channels, int sampleRate, const std::vector<float>& samples);
AudioData readAudio(const fs::path& path);
// A stereo FLAC file cut off halfway, which a reader opens and then fails on.
void writeCutShortFlac(const fs::path& path);
// The tool's own lines on stderr, without the trace lines ("[tag](thread) ...")
// of the hosting layer and the Audio Unit side.
std::vector<std::string> toolLines(const std::string& err);
// The names of the files in a tool's folder, its captured standard output left out.
std::set<std::string> filesIn(const fs::path& folder);

// Each test gets an empty folder of its own, removed afterwards.
class ToolTest : public testing::Test
{
protected:
    // Runs tool in the test folder; a crash fails the test.
    ToolRun runTool(const std::string& tool, const std::vector<std::string>& arguments);

    testsupport::TemporaryFolder temporary;
    const fs::path folder = temporary.path();
};
}  // namespace tooltest
