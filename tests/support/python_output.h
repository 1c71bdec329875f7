#pragma once
// Python as an independent judge: what a python3 program prints; and the
// quoting that hands a program or a path to the shell.

#include <filesystem>
#include <string>

namespace testsupport
{
// The standard output of `program` run by python3 with `argument` (none when
// empty); "<failed>" when python3 cannot run it or it exits with an error.
std::string pythonOutput(const std::string& program, const std::filesystem::path& argument = {});
// One shell word of any text, in single quotes.
std::string shellQuoted(const std::string& text);
}  // namespace testsupport
