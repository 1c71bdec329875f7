#include "support/python_output.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace testsupport
{
std::string pythonOutput(const std::string& program, const std::filesystem::path& argument)
{
    std::string script = (std::filesystem::temp_directory_path() / "velmora-python-XXXXXX").string();
    const int descriptor = mkstemp(script.data());
    if (descriptor < 0)
        return "<failed>";
    const bool written = write(descriptor, program.data(), program.size()) == static_cast<ssize_t>(program.size());
    close(descriptor);
    std::string command = "python3 '" + script + "'";
    if (!argument.empty())
        command += " '" + argument.string() + "'";
    FILE* pipe = written ? popen(command.c_str(), "r") : nullptr;
    std::string output;
    char buffer[4096];
    while (pipe)
    {
        const size_t count = std::fread(buffer, 1, sizeof buffer, pipe);
        if (count == 0)
            break;
        output.append(buffer, count);
    }
    const bool succeeded = pipe && pclose(pipe) == 0;
    std::filesystem::remove(script);
    return succeeded ? output : "<failed>";
}
}  // namespace testsupport
