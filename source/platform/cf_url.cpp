#include "platform/cf_url.h"

#include "platform/cf_string.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

using velmora::cf::cast;
using velmora::cf::URL;

CFURLRef __CFURL::create(std::string path, bool isDirectory)
{
    if (path.empty())
        return nullptr;
    if (path.front() != '/')
    {
        char* folder = getcwd(nullptr, 0);
        if (!folder)
            return nullptr;
        path = std::string(folder) + "/" + path;
        std::free(folder);
    }
    if (path.size() > 1 && path.back() == '/')
        isDirectory = true;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return new URL(std::move(path), isDirectory);
}

bool __CFURL::equals(const Object& other) const
{
    const auto& url = static_cast<const __CFURL&>(other);
    return path == url.path && directory == url.directory;
}

std::string __CFURL::describe() const { return "file://" + path + (directory && path != "/" ? "/" : ""); }

extern "C" {

CFTypeID CFURLGetTypeID(void) { return static_cast<CFTypeID>(URL::kTypeID); }

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer, CFIndex bufLen,
                                                 Boolean isDirectory)
{
    if (!buffer || bufLen <= 0)
        return nullptr;
    const auto* text = reinterpret_cast<const char*>(buffer);
    // The length may include a terminator; the path ends at the first one.
    const size_t length = strnlen(text, static_cast<size_t>(bufLen));
    return URL::create(std::string(text, length), isDirectory);
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory)
{
    const auto* path = cast<velmora::cf::String>(filePath);
    if (!path || pathStyle != kCFURLPOSIXPathStyle)
        return nullptr;
    return URL::create(path->utf8, isDirectory);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen)
{
    const auto* location = cast<URL>(url);
    if (!location || !buffer || maxBufLen <= 0)
        return false;
    if (static_cast<CFIndex>(location->path.size()) >= maxBufLen)
        return false;
    std::memcpy(buffer, location->path.c_str(), location->path.size() + 1);
    return true;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle)
{
    const auto* location = cast<URL>(anURL);
    if (!location || pathStyle != kCFURLPOSIXPathStyle)
        return nullptr;
    return velmora::cf::String::createFromUTF8(location->path);
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef url)
{
    const auto* location = cast<URL>(url);
    if (!location || location->path == "/")
        return nullptr;
    const std::string& path = location->path;
    const size_t slash = path.rfind('/');
    const std::string last = path.substr(slash + 1);
    // Cutting ".." textually would climb down instead of up.
    if (last == "..")
        return URL::create(path + "/..", true);
    return URL::create(slash == 0 ? "/" : path.substr(0, slash), true);
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url, CFStringRef pathComponent,
                                               Boolean isDirectory)
{
    const auto* location = cast<URL>(url);
    const auto* component = cast<velmora::cf::String>(pathComponent);
    if (!location || !component)
        return nullptr;
    std::string added = component->utf8;
    while (!added.empty() && added.front() == '/')
        added.erase(added.begin());
    if (added.empty())
        return nullptr;
    const std::string& base = location->path;
    return URL::create(base == "/" ? "/" + added : base + "/" + added, isDirectory);
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url)
{
    const auto* location = cast<URL>(url);
    if (!location)
        return nullptr;
    const std::string& path = location->path;
    return velmora::cf::String::createFromUTF8(path == "/" ? path : path.substr(path.rfind('/') + 1));
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL)
{
    const auto* location = cast<URL>(anURL);
    return location && location->directory;
}

}  // extern "C"
