#include "support/python_output.h"

#include <cstdio>

namespace testsupport
{
std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (char character : text)
        result += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return result + "'";
}

std::string pythonOutput(const std::string& program, const std::filesystem::path& argument)
{
    std::string command = "python3 -c " + shellQuoted(program);
    if (!argument.empty())
        command += " " + shellQuoted(argument.string());
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t count; pipe && (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, count);
    return pipe && pclose(pipe) == 0 ? output : "<failed>";
}
}  // namespace testsupport
