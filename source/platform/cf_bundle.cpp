// CFBundle over the folder layout X/Contents/{Info.plist, x86_64-linux, Resources}.
#include "platform/cf_array.h"
#include "platform/cf_data.h"
#include "platform/cf_dictionary.h"
#include "platform/cf_string.h"
#include "platform/cf_url.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFPropertyList.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sys/stat.h>

using namespace velmora::cf;

namespace
{

constexpr const char* kExecutableFolder = "/Contents/x86_64-linux/";
constexpr const char* kResourcesFolder = "/Contents/Resources";

std::string realPath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool isDirectory(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool exists(const std::string& path, bool* directory = nullptr)
{
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return false;
    if (directory)
        *directory = S_ISDIR(status.st_mode);
    return true;
}

Ref<Dictionary> emptyDictionary()
{
    return Ref<Dictionary>::adopt(
        new Dictionary(&kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks, false));
}

Ref<Dictionary> readInfoDictionary(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return emptyDictionary();
    std::vector<UInt8> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Ref<Data> data = Ref<Data>::adopt(new Data(std::move(bytes), false));
    CFPropertyListRef list = CFPropertyListCreateWithData(nullptr, data.get(), kCFPropertyListImmutable, nullptr,
                                                          nullptr);
    if (auto* dictionary = cast<Dictionary>(list))
        return Ref<Dictionary>::adopt(dictionary);
    if (list)
        CFRelease(list);
    return emptyDictionary();
}

// Process-wide: one bundle object per folder, one dlopen handle per executable.
struct Registry
{
    std::mutex mutex;
    std::map<std::string, __CFBundle*> bundles;
    std::map<std::string, void*> loadedExecutables;
};

Registry& registry()
{
    static auto* instance = new Registry;  // never destroyed: bundles may outlive static teardown
    return *instance;
}

bool hasExtension(const std::string& name, const std::string& type)
{
    return type.empty() || (name.size() > type.size() + 1 && name.ends_with("." + type));
}

// Resource type without a leading dot; empty for none.
std::string typeText(CFStringRef type)
{
    std::string text = stringToUtf8(type);
    if (!text.empty() && text.front() == '.')
        text.erase(text.begin());
    return text;
}

}  // namespace

struct __CFBundle final : Object
{
    static constexpr TypeID kTypeID = TypeID::kBundle;

    __CFBundle(std::string path, std::string key, bool plain)
        : Object(kTypeID), bundlePath(std::move(path)), registryKey(std::move(key)), plainExecutable(plain),
          info(plain ? emptyDictionary() : readInfoDictionary(bundlePath + "/Contents/Info.plist")),
          executablePath(plain ? realPath(bundlePath) : locateExecutable())
    {}

    ~__CFBundle() override
    {
        Registry& shared = registry();
        std::lock_guard lock(shared.mutex);
        const auto found = shared.bundles.find(registryKey);
        if (found != shared.bundles.end() && found->second == this)
            shared.bundles.erase(found);
    }

    std::string describe() const override { return "<CFBundle " + bundlePath + ">"; }

    std::string resourcesPath(CFStringRef subDirectory) const
    {
        std::string path = bundlePath + kResourcesFolder;
        const std::string sub = stringToUtf8(subDirectory);
        return sub.empty() ? path : path + "/" + sub;
    }

    // Names of the resources in a folder, sorted, hidden files left out.
    std::vector<std::string> resourceNames(CFStringRef subDirectory, const std::string& type) const
    {
        std::vector<std::string> names;
        if (plainExecutable)
            return names;
        DIR* folder = opendir(resourcesPath(subDirectory).c_str());
        if (!folder)
            return names;
        while (const dirent* entry = readdir(folder))
        {
            const std::string name = entry->d_name;
            if (name.front() != '.' && hasExtension(name, type))
                names.push_back(name);
        }
        closedir(folder);
        std::sort(names.begin(), names.end());
        return names;
    }

    void* loadedHandle() const
    {
        Registry& shared = registry();
        std::lock_guard lock(shared.mutex);
        const auto found = shared.loadedExecutables.find(executablePath);
        return found == shared.loadedExecutables.end() ? nullptr : found->second;
    }

    const std::string bundlePath;
    const std::string registryKey;
    const bool plainExecutable;
    const Ref<Dictionary> info;
    const std::string executablePath;  // resolved when it exists

private:
    std::string locateExecutable() const
    {
        std::string name = stringToUtf8(
            static_cast<CFStringRef>(CFDictionaryGetValue(info.get(), CFSTR("CFBundleExecutable"))));
        if (name.empty())
        {
            // Like the Mac: the bundle's folder name without its extension.
            name = bundlePath.substr(bundlePath.rfind('/') + 1);
            name = name.substr(0, name.find('.'));
        }
        if (name.empty() || name.find('/') != std::string::npos)
            return {};
        return realPath(bundlePath + kExecutableFolder + name + ".so");
    }
};

namespace
{
__CFBundle* bundleOf(CFBundleRef bundle) { return cast<__CFBundle>(bundle); }
}  // namespace

extern "C" {

CFTypeID CFBundleGetTypeID(void) { return static_cast<CFTypeID>(__CFBundle::kTypeID); }

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL)
{
    const auto* url = cast<URL>(bundleURL);
    if (!url)
        return nullptr;
    bool folder = false;
    if (!exists(url->path, &folder))
        return nullptr;
    if (!folder && !url->path.ends_with(".so"))
        return nullptr;
    const std::string key = realPath(url->path);
    Registry& shared = registry();
    {
        std::lock_guard lock(shared.mutex);
        const auto found = shared.bundles.find(key);
        if (found != shared.bundles.end() && found->second->tryRetain())
            return found->second;
    }
    auto* made = new __CFBundle(url->path, key, !folder);
    std::unique_lock lock(shared.mutex);
    const auto found = shared.bundles.find(key);
    if (found != shared.bundles.end() && found->second->tryRetain())
    {
        // Another thread made one meanwhile; keep that and drop ours.
        __CFBundle* existing = found->second;
        lock.unlock();
        made->release();
        return existing;
    }
    shared.bundles[key] = made;
    return made;
}

CFBundleRef CFBundleGetMainBundle(void)
{
    static CFBundleRef mainBundle = [] {
        std::string folder = realPath("/proc/self/exe");
        folder = folder.substr(0, folder.rfind('/'));
        const std::string insideBundle = "/Contents/x86_64-linux";
        if (folder.ends_with(insideBundle))
            folder.resize(folder.size() - insideBundle.size());
        CFURLRef url = URL::create(folder, true);
        CFBundleRef bundle = url ? CFBundleCreate(nullptr, url) : nullptr;
        if (url)
            CFRelease(url);
        return bundle;  // this reference is kept for the life of the process
    }();
    return mainBundle;
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    return object ? object->info.get() : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
    return CFDictionaryGetValue(CFBundleGetInfoDictionary(bundle), key);
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
    CFTypeRef identifier = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleIdentifier"));
    return cast<String>(identifier);
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    return object ? URL::create(object->bundlePath, !object->plainExecutable) : nullptr;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    if (!object || object->executablePath.empty() || !exists(object->executablePath))
        return nullptr;
    return URL::create(object->executablePath, false);
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    if (!object || object->plainExecutable)
        return nullptr;
    return URL::create(object->resourcesPath(nullptr), true);
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName)
{
    const auto* object = bundleOf(bundle);
    if (!object || object->plainExecutable)
        return nullptr;
    const std::string type = typeText(resourceType);
    std::string name = stringToUtf8(resourceName);
    if (!resourceName)
    {
        const auto names = object->resourceNames(subDirName, type);
        if (names.empty())
            return nullptr;
        name = names.front();
    }
    else if (!type.empty())
    {
        name += "." + type;
    }
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return nullptr;
    const std::string path = object->resourcesPath(subDirName) + "/" + name;
    bool folder = false;
    return exists(path, &folder) ? URL::create(path, folder) : nullptr;
}

CFArrayRef CFBundleCopyResourceURLsOfType(CFBundleRef bundle, CFStringRef resourceType, CFStringRef subDirName)
{
    const auto* object = bundleOf(bundle);
    if (!object)
        return nullptr;
    auto* urls = new Array(&kCFTypeArrayCallBacks, false);
    const std::string folderPath = object->resourcesPath(subDirName);
    for (const std::string& name : object->resourceNames(subDirName, typeText(resourceType)))
    {
        const std::string path = folderPath + "/" + name;
        CFURLRef url = URL::create(path, isDirectory(path));
        urls->append(url);
        CFRelease(url);
    }
    return urls;
}

Boolean CFBundleLoadExecutable(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    if (!object)
        return false;
    if (object->loadedHandle())
        return true;
    if (object->executablePath.empty() || !exists(object->executablePath))
    {
        std::fprintf(stderr, "CFBundle: no executable in %s\n", object->bundlePath.c_str());
        return false;
    }
    // Outside the lock: the executable's constructors may use bundles themselves.
    void* handle = dlopen(object->executablePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        std::fprintf(stderr, "CFBundle: cannot load %s: %s\n", object->executablePath.c_str(), dlerror());
        return false;
    }
    Registry& shared = registry();
    std::unique_lock lock(shared.mutex);
    const bool first = shared.loadedExecutables.emplace(object->executablePath, handle).second;
    lock.unlock();
    if (!first)
        dlclose(handle);  // another thread loaded it meanwhile
    return true;
}

Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    return object && object->loadedHandle() != nullptr;
}

void CFBundleUnloadExecutable(CFBundleRef bundle)
{
    const auto* object = bundleOf(bundle);
    if (!object)
        return;
    Registry& shared = registry();
    std::unique_lock lock(shared.mutex);
    const auto found = shared.loadedExecutables.find(object->executablePath);
    if (found == shared.loadedExecutables.end())
        return;
    void* handle = found->second;
    shared.loadedExecutables.erase(found);
    lock.unlock();
    dlclose(handle);
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName)
{
    const auto* object = bundleOf(bundle);
    const std::string name = stringToUtf8(functionName);
    if (!object || name.empty() || !CFBundleLoadExecutable(bundle))
        return nullptr;
    void* handle = object->loadedHandle();
    return handle ? dlsym(handle, name.c_str()) : nullptr;
}

}  // extern "C"
