#include "render/tool_paths.h"

#include <filesystem>

namespace render
{
namespace fs = std::filesystem;

std::string defaultOutputPath(const std::string& inputPath)
{
    const fs::path input(inputPath);
    return (input.stem().string() + "-velmora") + input.extension().string();
}

std::string dryDemoPath(const std::string& outputPath)
{
    const fs::path output(outputPath);
    return (output.parent_path() / (output.stem().string() + "-dry" + output.extension().string())).string();
}

std::string demoPicturePath(const std::string& outputPath)
{
    return fs::path(outputPath).replace_extension(".png").string();
}
}  // namespace render
