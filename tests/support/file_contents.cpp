#include "support/file_contents.h"

#include <fstream>
#include <iterator>

namespace testsupport
{
std::string fileContents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
}  // namespace testsupport
