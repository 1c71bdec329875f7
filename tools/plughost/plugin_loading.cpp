#include "plughost/plugin_loading.h"

#include "tandem/tandem_exceptions.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace
{
[[noreturn]] void throwWithPath(const char* reason, const char* path)
{
    char message[256];
    std::snprintf(message, sizeof(message), "%s: %s", reason, path);
    throw TandemException(message);
}

CFBundleRef createBundle(const char* path)
{
    struct stat status
    {};
    if (stat(path, &status) != 0)
    {
        throwWithPath("No such file or folder", path);
    }
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path),
                                                           static_cast<CFIndex>(std::strlen(path)),
                                                           S_ISDIR(status.st_mode));
    if (url == nullptr)
    {
        throwWithPath("Not a usable path", path);
    }
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
    CFRelease(url);
    if (bundle == nullptr)
    {
        throwWithPath("Neither a bundle folder nor a .so file", path);
    }
    return bundle;
}
}  // namespace

std::unique_ptr<VSTPlugIn> openPlugIn(const char* path, VSTHost& host, float sampleRate, int blockSize)
{
    CFBundleRef bundle = createBundle(path);
    auto plugIn = std::make_unique<VSTPlugIn>(host, bundle, sampleRate, blockSize);
    // The plug-in holds its own reference; it alone decides about unloading.
    CFRelease(bundle);
    plugIn->open();
    // open() only records the rates; an open effect receives them now.
    plugIn->setSampleRate(sampleRate);
    plugIn->setBlockSize(blockSize);
    return plugIn;
}
