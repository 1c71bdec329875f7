#include "cli/bundle_search.h"

#include <cstdlib>
#include <ranges>
#include <system_error>

namespace cli
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
    for (const auto part : search.vstPath | std::views::split(':'))
        if (!part.empty())
            folders.emplace_back(std::string(part.begin(), part.end()));
    if (!search.home.empty())
        folders.push_back(search.home / ".vst");
    folders.insert(folders.end(), search.systemFolders.begin(), search.systemFolders.end());
    return folders;
}

std::string findBundle(const BundleSearch& search, std::string& error)
{
    std::string searched;
    for (const fs::path& folder : bundleFolders(search))
    {
        std::error_code status;
        if (const fs::path bundle = folder / "Velmora.vst"; fs::is_directory(bundle, status))
            return bundle.string();
        searched += (searched.empty() ? "" : ", ") + folder.string();
    }
    error = "no Velmora.vst bundle in " + searched + "; install Velmora or use --bundle PATH";
    return {};
}
}  // namespace cli
