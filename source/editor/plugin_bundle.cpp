#include "editor/plugin_bundle.h"

#include <dlfcn.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "gui/bitmap.h"

namespace
{
int gSharedBundleUsers = 0;
}  // namespace

std::optional<std::string> bundlePathFromExecutable(const std::string& executablePath)
{
    std::string path = executablePath;
    for (int cut = 0; cut < 3; ++cut)
    {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos)
            return std::nullopt;
        path.erase(slash);
    }
    return path;
}

CFBundleRef GetPluginBundle()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&GetPluginBundle), &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return nullptr;
    // Hosts may reach the module through a symlink; the bundle is where the file really is.
    char resolved[PATH_MAX];
    const char* imagePath = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    const std::optional<std::string> bundlePath = bundlePathFromExecutable(imagePath);
    if (!bundlePath)
    {
        std::printf("Could not determine bundle location.\n");
        return nullptr;
    }
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(bundlePath->c_str()),
                                                           static_cast<CFIndex>(bundlePath->size()), true);
    if (!url)
        return nullptr;
    CFBundleRef bundle = CFBundleCreate(nullptr, url);
    CFRelease(url);
    return bundle;
}

// Counted only once the bundle is there: an acquire that throws has no user.
void acquireSharedPluginBundle()
{
    if (gSharedBundleUsers == 0 && !gui::gBundleRef)
        gui::gBundleRef = GetPluginBundle();
    ++gSharedBundleUsers;
}

void releaseSharedPluginBundle()
{
    if (gSharedBundleUsers == 0 || --gSharedBundleUsers > 0)
        return;
    if (gui::gBundleRef)
        CFRelease(gui::gBundleRef);
    gui::gBundleRef = nullptr;
}
