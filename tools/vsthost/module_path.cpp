#include "vsthost/module_path.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace vsthost
{
namespace
{
namespace fs = std::filesystem;

bool isModuleFile(const fs::directory_entry& entry)
{
    std::error_code ignored;
    return entry.is_regular_file(ignored) && entry.path().extension() == ".so";
}

std::string findModuleInBundle(const fs::path& bundle, std::string& error)
{
    std::error_code status;
    fs::path folder = bundle / "Contents" / "x86_64-linux";
    if (!fs::is_directory(folder, status))
        folder = bundle;

    const std::string expectedName = bundle.stem().string() + ".so";
    std::vector<fs::path> candidates;
    for (const auto& entry : fs::directory_iterator(folder, status))
    {
        if (!isModuleFile(entry))
            continue;
        if (entry.path().filename() == expectedName)
            return fs::canonical(entry.path(), status).string();
        if (!entry.path().filename().string().starts_with("lib"))
            candidates.push_back(entry.path());
    }
    if (status)
    {
        error = "cannot read the bundle folder " + folder.string() + ": " + status.message();
        return {};
    }
    if (candidates.size() == 1)
        return fs::canonical(candidates.front(), status).string();
    error = candidates.empty()
                ? "no plug-in module (*.so) in the bundle " + bundle.string()
                : "more than one plug-in module in the bundle " + bundle.string() + " and none named " + expectedName;
    return {};
}
}  // namespace

std::string resolveModulePath(const std::string& path, std::string& error)
{
    std::error_code status;
    const fs::path real = fs::canonical(path, status);
    if (status)
    {
        error = "cannot open plug-in " + path + ": " + status.message();
        return {};
    }
    if (fs::is_directory(real, status))
        return findModuleInBundle(real, error);
    return real.string();
}
}  // namespace vsthost
