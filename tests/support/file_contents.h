#pragma once
// What a file holds, byte for byte, for tests that compare or search what a
// program wrote. A file that cannot be read reads as empty.

#include <filesystem>
#include <string>

namespace testsupport
{
std::string fileContents(const std::filesystem::path& path);
}  // namespace testsupport
