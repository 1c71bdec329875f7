#include "common/bundle_search.h"

#include "common/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace tools
{
namespace fs = std::filesystem;

BundleSearch processBundleSearch(BundleFormat format)
{
    BundleSearch search;
    if (format == BundleFormat::vst3)
    {
        search.bundleName = "Velmora.vst3";
        search.homeFolder = ".vst3";
        search.systemFolders = {"/usr/local/lib/vst3", "/usr/lib/vst3"};
    }
    std::error_code status;
    search.tool = fs::canonical("/proc/self/exe", status);
    if (const char* searchPath = std::getenv(format == BundleFormat::vst3 ? "VST3_PATH" : "VST_PATH"))
        search.searchPath = searchPath;
    if (const char* home = std::getenv("HOME"); home && *home)
        search.home = home;
    return search;
}

std::vector<fs::path> bundleFolders(const BundleSearch& search)
{
    std::vector<fs::path> folders;
    if (!search.tool.empty())
    {
        fs::path folder = search.tool.parent_path();
        for (int level = 0; level < 3 && !folder.empty(); ++level, folder = folder.parent_path())
        {
            folders.push_back(folder);
            if (folder == folder.root_path())
                break;
        }
    }
    for (std::size_t start = 0; start <= search.searchPath.size();)
    {
        const std::size_t end = std::min(search.searchPath.find(':', start), search.searchPath.size());
        if (end > start)
            folders.emplace_back(search.searchPath.substr(start, end - start));
        start = end + 1;
    }
    if (!search.home.empty())
        folders.push_back(search.home / search.homeFolder);
    folders.insert(folders.end(), search.systemFolders.begin(), search.systemFolders.end());
    return folders;
}

std::string findBundle(const BundleSearch& search, std::string& error, std::string_view howToName)
{
    std::string searched;
    for (const fs::path& folder : bundleFolders(search))
    {
        std::error_code status;
        if (const fs::path bundle = folder / search.bundleName; fs::is_directory(bundle, status))
            return bundle.string();
        searched += (searched.empty() ? "" : ", ") + folder.string();
    }
    error = "no " + search.bundleName + " bundle in " + searched + "; install Velmora or " + std::string(howToName);
    return {};
}

std::string givenOrFoundBundle(const std::string& given, std::string_view howToName, BundleFormat format)
{
    if (!given.empty())
        return given;
    std::string error;
    const std::string bundle = findBundle(processBundleSearch(format), error, howToName);
    checked(!bundle.empty(), error);
    return bundle;
}
}  // namespace tools
