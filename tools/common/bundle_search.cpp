#include "common/bundle_search.h"

#include "common/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace tools
{
namespace fs = std::filesystem;

BundleSearch processBundleSearch()
{
    BundleSearch search;
    std::error_code status;
    search.tool = fs::canonical("/proc/self/exe", status);
    if (const char* vstPath = std::getenv("VST_PATH"))
        search.vstPath = vstPath;
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
    for (std::size_t start = 0; start <= search.vstPath.size();)
    {
        const std::size_t end = std::min(search.vstPath.find(':', start), search.vstPath.size());
        if (end > start)
            folders.emplace_back(search.vstPath.substr(start, end - start));
        start = end + 1;
    }
    if (!search.home.empty())
        folders.push_back(search.home / ".vst");
    folders.insert(folders.end(), search.systemFolders.begin(), search.systemFolders.end());
    return folders;
}

std::string findBundle(const BundleSearch& search, std::string& error, std::string_view howToName)
{
    std::string searched;
    for (const fs::path& folder : bundleFolders(search))
    {
        std::error_code status;
        if (const fs::path bundle = folder / "Velmora.vst"; fs::is_directory(bundle, status))
            return bundle.string();
        searched += (searched.empty() ? "" : ", ") + folder.string();
    }
    error = "no Velmora.vst bundle in " + searched + "; install Velmora or " + std::string(howToName);
    return {};
}

std::string givenOrFoundBundle(const std::string& given, std::string_view howToName)
{
    if (!given.empty())
        return given;
    std::string error;
    const std::string bundle = findBundle(processBundleSearch(), error, howToName);
    checked(!bundle.empty(), error);
    return bundle;
}
}  // namespace tools
