#pragma once
// Where a tool finds the Velmora.vst bundle when none is given: the build tree
// it was built in, then the folders Linux VST hosts scan.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tools
{
struct BundleSearch
{
    std::filesystem::path tool;  // the running tool's own file
    std::string vstPath;         // $VST_PATH: folders separated by ':'
    std::filesystem::path home;  // $HOME; empty when unset
    std::vector<std::filesystem::path> systemFolders{"/usr/local/lib/vst", "/usr/lib/vst"};
};

// The search of this process: its executable, $VST_PATH and $HOME.
BundleSearch processBundleSearch();

// The folders that may hold Velmora.vst, in the order they are tried: the
// tool's folder and the two above it (<build>/tools/<tool> is built beside
// <build>/Velmora.vst), each folder of VST_PATH, ~/.vst, then the system's.
std::vector<std::filesystem::path> bundleFolders(const BundleSearch& search);

// The first Velmora.vst folder in them, or empty with a one-line reason in
// error, which ends by telling how to name a bundle on the tool's command line.
std::string findBundle(const BundleSearch& search, std::string& error,
                       std::string_view howToName = "use --bundle PATH");

// The bundle a tool works on: `given` when the user named one, else the first
// found for this process; without one the tool stops with the reason
// (tools::checked).
std::string givenOrFoundBundle(const std::string& given, std::string_view howToName = "use --bundle PATH");
}  // namespace tools
