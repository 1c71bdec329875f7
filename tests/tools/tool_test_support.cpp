#include "tools/tool_test_support.h"

#include "support/python_output.h"
#include "support/signals.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>

namespace tooltest
{
using testsupport::shellQuoted;

void writeAudio(const fs::path& path, int format, int channels, int sampleRate, const std::vector<float>& samples)
{
    SF_INFO info{0, sampleRate, channels, format, 0, 0};  // frames, rate, channels, format, sections, seekable
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    EXPECT_EQ(sf_writef_float(file, samples.data(), samples.size() / channels),
              static_cast<sf_count_t>(samples.size() / channels));
    sf_close(file);
}

void writeCutShortFlac(const fs::path& path)
{
    writeAudio(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100, testsupport::noise(2 * 20000));
    fs::resize_file(path, fs::file_size(path) / 2);
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

std::set<std::string> filesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != ".stdout")
            names.insert(entry.path().filename().string());
    return names;
}

ToolRun ToolTest::runTool(const std::string& tool, const std::vector<std::string>& arguments)
{
    std::string command = "cd " + shellQuoted(folder) + " && " + shellQuoted(tool);
    for (const auto& argument : arguments)
        command += " " + shellQuoted(argument);
    // Standard error comes through a pipe, which a file size limit leaves alone.
    command += " 2>&1 >" + shellQuoted(folder / ".stdout") + " </dev/null";
    ToolRun result;
    std::FILE* errors = popen(command.c_str(), "r");
    if (errors == nullptr)
    {
        ADD_FAILURE() << "cannot start: " << command;
        return result;
    }
    char buffer[4096];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, errors))
        result.err.append(buffer, count);
    const int status = pclose(errors);
    result.out = testsupport::fileContents(folder / ".stdout");
    EXPECT_TRUE(WIFEXITED(status)) << "the tool did not exit normally: " << command;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
}  // namespace tooltest
