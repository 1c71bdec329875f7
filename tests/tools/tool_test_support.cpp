#include "tools/tool_test_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tooltest
{
namespace
{
std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (char character : text)
        result += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return result + "'";
}
}  // namespace

std::string contents(const fs::path& path)
{
    std::ifstream stream(path);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

void writeAudio(const fs::path& path, int format, int channels, int sampleRate, const std::vector<float>& samples)
{
    SF_INFO info{0, sampleRate, channels, format, 0, 0};  // frames, rate, channels, format, sections, seekable
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    EXPECT_EQ(sf_writef_float(file, samples.data(), samples.size() / channels),
              static_cast<sf_count_t>(samples.size() / channels));
    sf_close(file);
}

AudioData readAudio(const fs::path& path)
{
    AudioData data;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &data.info);
    EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    if (!file)
        return data;
    data.samples.resize(data.info.frames * data.info.channels);
    sf_readf_float(file, data.samples.data(), data.info.frames);
    sf_close(file);
    return data;
}

std::vector<std::string> toolLines(const std::string& err)
{
    std::vector<std::string> lines;
    std::istringstream stream(err);
    for (std::string line; std::getline(stream, line);)
        if (!line.starts_with("["))
            lines.push_back(line);
    return lines;
}

void ToolTest::SetUp()
{
    char pattern[] = "/tmp/velmora-tool-test-XXXXXX";
    folder = mkdtemp(pattern);
}

void ToolTest::TearDown() { fs::remove_all(folder); }

ToolRun ToolTest::runTool(const std::string& tool, const std::vector<std::string>& arguments)
{
    std::string command = "cd " + quoted(folder) + " && " + quoted(tool);
    for (const auto& argument : arguments)
        command += " " + quoted(argument);
    command += " >" + quoted(folder / ".stdout") + " 2>" + quoted(folder / ".stderr") + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun result;
    result.out = contents(folder / ".stdout");
    result.err = contents(folder / ".stderr");
    EXPECT_TRUE(WIFEXITED(status)) << "the tool did not exit normally: " << command;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
}  // namespace tooltest
