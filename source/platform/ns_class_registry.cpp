// Classes by name, and the bundles that define them: the part of the
// Objective-C runtime the Cocoa stand-in needs. Each class is recorded with
// the real path of the image that holds its record.
#include "platform/cf_string.h"
#include "platform/cf_url.h"

#include <CoreFoundation/CFBundle.h>
#include <Foundation/Foundation.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <vector>

using namespace velmora::cf;

namespace
{
struct RegisteredClass
{
    Class cls;
    std::string imagePath;
};

struct Registry
{
    std::mutex mutex;
    std::vector<RegisteredClass> classes;
};

// Never destroyed: images unregister from their static destructors, which may
// run after this library's.
Registry& registry()
{
    static auto* instance = new Registry;
    return *instance;
}

std::string realPath(const char* path)
{
    char resolved[PATH_MAX];
    return path != nullptr && realpath(path, resolved) != nullptr ? std::string(resolved) : std::string();
}

std::string imagePathOf(Class cls)
{
    Dl_info info{};
    if (dladdr(cls, &info) == 0)
        return {};
    return realPath(info.dli_fname);
}

// The folder X for an executable X/Contents/x86_64-linux/name; a plain
// module outside any bundle is a bundle of its own.
std::string bundlePathOf(const std::string& executablePath)
{
    constexpr std::string_view kInsideBundle = "/Contents/x86_64-linux";
    const std::string folder = executablePath.substr(0, executablePath.rfind('/'));
    if (folder.ends_with(kInsideBundle))
        return folder.substr(0, folder.size() - kInsideBundle.size());
    return executablePath;
}
}  // namespace

void NSRegisterClass(Class cls)
{
    std::string imagePath = imagePathOf(cls);
    Registry& classes = registry();
    std::lock_guard lock(classes.mutex);
    classes.classes.push_back({cls, std::move(imagePath)});
}

void NSUnregisterClass(Class cls)
{
    Registry& classes = registry();
    std::lock_guard lock(classes.mutex);
    std::erase_if(classes.classes, [cls](const RegisteredClass& entry) { return entry.cls == cls; });
}

Class NSClassFromString(CFStringRef name)
{
    const std::string wanted = stringToUtf8(name);
    Registry& classes = registry();
    std::lock_guard lock(classes.mutex);
    const auto found = std::find_if(classes.classes.begin(), classes.classes.end(),
                                    [&wanted](const RegisteredClass& entry) { return wanted == entry.cls->name; });
    return found == classes.classes.end() ? nullptr : found->cls;
}

Class NSBundleClassNamed(CFBundleRef bundle, CFStringRef name)
{
    if (bundle == nullptr || !CFBundleLoadExecutable(bundle))
        return nullptr;
    CFURLRef executable = CFBundleCopyExecutableURL(bundle);
    if (executable == nullptr)
        return nullptr;
    const std::string executablePath = realPath(static_cast<const URL*>(asObject(executable))->path.c_str());
    CFRelease(executable);
    const std::string wanted = stringToUtf8(name);
    Registry& classes = registry();
    std::lock_guard lock(classes.mutex);
    const auto found = std::find_if(classes.classes.begin(), classes.classes.end(), [&](const RegisteredClass& entry) {
        return wanted == entry.cls->name && entry.imagePath == executablePath;
    });
    return found == classes.classes.end() ? nullptr : found->cls;
}

CFURLRef NSBundleCopyURLForClass(Class cls)
{
    const std::string imagePath = cls != nullptr ? imagePathOf(cls) : std::string();
    if (imagePath.empty())
        return nullptr;
    const std::string bundlePath = bundlePathOf(imagePath);
    return URL::create(bundlePath, bundlePath != imagePath);
}
