#pragma once
// Where a tool finds a Velmora bundle when none is given: the build tree it
// was built in, then the folders Linux hosts of the bundle's format scan.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tools
{
// The defaults are the VST 2 bundle's; processBundleSearch gives either.
struct BundleSearch
{
    std::string bundleName = "Velmora.vst";
    std::filesystem::path tool;  // the running tool's own file
    std::string searchPath;      // $VST_PATH or $VST3_PATH: folders separated by ':'
    std::filesystem::path home;  // $HOME; empty when unset
    std::string homeFolder = ".vst";
    std::vector<std::filesystem::path> systemFolders{"/usr/local/lib/vst", "/usr/lib/vst"};
};

enum class BundleFormat
{
    vst,
    vst3,
};

// The search of this process for the format's bundle: its executable, the
// format's path variable and $HOME.
BundleSearch processBundleSearch(BundleFormat format = BundleFormat::vst);

// The folders that may hold the bundle, in the order they are tried: the
// tool's folder and the two above it (<build>/tools/<tool> is built beside
// <build>/Velmora.vst and <build>/Velmora.vst3), each folder of the search
// path, the folder in $HOME, then the system's.
std::vector<std::filesystem::path> bundleFolders(const BundleSearch& search);

// The first bundle folder in them, or empty with a one-line reason in error,
// which ends by telling how to name a bundle on the tool's command line.
std::string findBundle(const BundleSearch& search, std::string& error,
                       std::string_view howToName = "use --bundle PATH");

// The bundle a tool works on: `given` when the user named one, else the first
// of the format found for this process; without one the tool stops with the
// reason (tools::checked).
std::string givenOrFoundBundle(const std::string& given, std::string_view howToName = "use --bundle PATH",
                               BundleFormat format = BundleFormat::vst);
}  // namespace tools
