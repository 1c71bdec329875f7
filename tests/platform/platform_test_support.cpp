#include "platform_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace platformtest
{

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-platform-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        path_ = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string runPython(const std::string& program)
{
    TemporaryFolder folder;
    const auto script = folder.path() / "program.py";
    writeFile(script, program);
    const std::string command = "python3 " + script.string();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "<failed>";
    std::string output;
    char buffer[4096];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, count);
    return pclose(pipe) == 0 ? output : "<failed>";
}

std::string text(CFStringRef string)
{
    if (!string)
        return "<null>";
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::vector<char> buffer(static_cast<size_t>(size));
    return CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8) ? buffer.data() : "<unconvertible>";
}

}  // namespace platformtest
