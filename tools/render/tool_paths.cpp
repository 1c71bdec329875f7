#include "render/tool_paths.h"

#include <filesystem>
#include <system_error>

namespace render
{
namespace fs = std::filesystem;

std::string defaultBundlePath(std::string& error)
{
    std::error_code status;
    const fs::path tool = fs::canonical("/proc/self/exe", status);
    if (status)
    {
        error = "cannot find where velmora-render is installed (" + status.message() + "); use --bundle PATH";
        return {};
    }
    // The tool is built into <build>/tools/render and the bundle into <build>;
    // a tool copied next to a bundle finds it too.
    fs::path folder = tool.parent_path();
    for (int level = 0; level < 3; ++level, folder = folder.parent_path())
    {
        const fs::path bundle = folder / "Velmora.vst";
        if (fs::is_directory(bundle, status))
            return bundle.string();
    }
    error = "no Velmora.vst bundle beside " + tool.string() + "; build the Velmora target or use --bundle PATH";
    return {};
}

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
