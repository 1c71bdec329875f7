// File references as interned paths, and their conversions to and from paths
// and URLs.
//
// A Mac FSRef is an 80-byte catalog key. Paths here are often longer than 80
// bytes, so a reference holds a tag and an index into a process-wide,
// append-only table of canonical paths instead of the path itself: every
// reference stays valid for the life of the process, equal paths get equal
// references, and the table grows only with the number of distinct items
// the process has named.
#include "platform/file_manager.h"

#include "platform/cf_url.h"
#include "platform/text_encoding.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace velmora::files
{
namespace
{

constexpr UInt32 kRefTag = 0x564D4652;  // 'VMFR': a reference made by this table

struct PathTable
{
    std::mutex mutex;
    std::vector<std::string> paths;
    std::unordered_map<std::string, UInt32> indices;
};

// Never destroyed: references may still be used while the process exits.
PathTable& pathTable()
{
    static auto* table = new PathTable;
    return *table;
}

OSErr resolvedPath(const std::string& path, std::string& resolved)
{
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return errorFromErrno(errno);
    resolved = real;
    std::free(real);
    return noErr;
}

bool isSurrogate(UniChar unit, UniChar first, UniChar last) { return unit >= first && unit <= last; }

}  // namespace

OSErr errorFromErrno(int error)
{
    switch (error)
    {
    case ENOENT: return fnfErr;
    case ENOTDIR: return errFSNotAFolder;
    case EEXIST: return dupFNErr;
    case EACCES:
    case EPERM: return afpAccessDenied;
    case EROFS: return wPrErr;
    case ENOSPC:
    case EDQUOT: return dskFulErr;
    case ENAMETOOLONG: return errFSNameTooLong;
    case ENOTEMPTY:
    case EBUSY: return fBsyErr;
    case EISDIR: return notAFileErr;
    case EMFILE:
    case ENFILE: return tmfoErr;
    case ENOMEM: return memFullErr;
    default: return ioErr;
    }
}

std::string parentOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string leafOf(const std::string& path) { return path == "/" ? "" : path.substr(path.rfind('/') + 1); }

std::string joinPath(const std::string& folder, const std::string& leaf)
{
    return folder == "/" ? "/" + leaf : folder + "/" + leaf;
}

OSErr canonicalPath(std::string path, bool followLeaf, std::string& canonical)
{
    if (path.empty())
        return fnfErr;
    if (path.front() != '/')
    {
        char* folder = getcwd(nullptr, 0);
        if (!folder)
            return errorFromErrno(errno);
        path = std::string(folder) + "/" + path;
        std::free(folder);
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string leaf = leafOf(path);
    if (followLeaf || leaf.empty() || leaf == "." || leaf == "..")
        return resolvedPath(path, canonical);
    std::string folder;
    if (const OSErr error = resolvedPath(parentOf(path), folder); error != noErr)
        return error;
    const std::string joined = joinPath(folder, leaf);
    struct stat status;
    if (const OSErr error = itemStatus(joined, status); error != noErr)
        return error;
    canonical = joined;
    return noErr;
}

OSErr makeRef(const std::string& canonical, FSRef* ref)
{
    PathTable& table = pathTable();
    UInt32 index;
    {
        std::lock_guard lock(table.mutex);
        const auto found = table.indices.find(canonical);
        if (found != table.indices.end())
        {
            index = found->second;
        }
        else
        {
            index = static_cast<UInt32>(table.paths.size());
            table.paths.push_back(canonical);
            table.indices.emplace(canonical, index);
        }
    }
    std::memset(ref, 0, sizeof *ref);
    std::memcpy(ref->hidden, &kRefTag, sizeof kRefTag);
    std::memcpy(ref->hidden + sizeof kRefTag, &index, sizeof index);
    return noErr;
}

OSErr pathOf(const FSRef* ref, std::string& path)
{
    if (!ref)
        return paramErr;
    UInt32 tag;
    UInt32 index;
    std::memcpy(&tag, ref->hidden, sizeof tag);
    std::memcpy(&index, ref->hidden + sizeof tag, sizeof index);
    PathTable& table = pathTable();
    std::lock_guard lock(table.mutex);
    if (tag != kRefTag || index >= table.paths.size())
        return errFSBadFSRef;
    path = table.paths[index];
    return noErr;
}

OSErr itemStatus(const std::string& path, struct stat& status)
{
    return lstat(path.c_str(), &status) == 0 ? OSErr(noErr) : errorFromErrno(errno);
}

OSErr childPath(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name, std::string& path)
{
    std::string folder;
    if (const OSErr error = pathOf(parentRef, folder); error != noErr)
        return error;
    struct stat status;
    if (itemStatus(folder, status) != noErr)
        return dirNFErr;
    if (!S_ISDIR(status.st_mode))
        return errFSNotAFolder;
    if (!name || nameLength == 0)
        return errFSMissingName;
    if (nameLength > 255)
        return errFSNameTooLong;
    for (UniCharCount index = 0; index < nameLength; ++index)
    {
        const UniChar unit = name[index];
        const bool pairedHigh = isSurrogate(unit, 0xD800, 0xDBFF) && index + 1 < nameLength &&
                                isSurrogate(name[index + 1], 0xDC00, 0xDFFF);
        if (unit == 0 || unit == '/' || (isSurrogate(unit, 0xD800, 0xDFFF) && !pairedHigh))
            return bdNamErr;
        index += pairedHigh ? 1 : 0;
    }
    const std::string leaf = cf::utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(name), nameLength));
    if (leaf == "." || leaf == "..")
        return bdNamErr;
    path = joinPath(folder, leaf);
    return noErr;
}

OSErr unicodeName(std::string_view name, HFSUniStr255& unicode)
{
    const auto units = cf::utf8ToUtf16(name);
    if (!units)
        return bdNamErr;
    if (units->size() > 255)
        return errFSNameTooLong;
    unicode.length = static_cast<UInt16>(units->size());
    std::memcpy(unicode.unicode, units->data(), units->size() * sizeof(UniChar));
    return noErr;
}

}  // namespace velmora::files

using namespace velmora::files;

extern "C" {

OSStatus FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory)
{
    return guarded([&]() -> OSErr {
        if (!path || !ref)
            return paramErr;
        std::string canonical;
        if (const OSErr error = canonicalPath(reinterpret_cast<const char*>(path), true, canonical); error != noErr)
            return error;
        if (isDirectory)
        {
            struct stat status;
            *isDirectory = itemStatus(canonical, status) == noErr && S_ISDIR(status.st_mode);
        }
        return makeRef(canonical, ref);
    });
}

OSStatus FSRefMakePath(const FSRef* ref, UInt8* path, UInt32 maxPathSize)
{
    return guarded([&]() -> OSErr {
        std::string location;
        if (const OSErr error = pathOf(ref, location); error != noErr)
            return error;
        struct stat status;
        if (const OSErr error = itemStatus(location, status); error != noErr)
            return error;
        if (!path || location.size() >= maxPathSize)
            return paramErr;
        std::memcpy(path, location.c_str(), location.size() + 1);
        return noErr;
    });
}

Boolean CFURLGetFSRef(CFURLRef url, FSRef* fsRef)
{
    const OSErr result = guarded([&]() -> OSErr {
        const auto* location = velmora::cf::cast<velmora::cf::URL>(url);
        if (!location || !fsRef)
            return paramErr;
        std::string canonical;
        if (const OSErr error = canonicalPath(location->path, false, canonical); error != noErr)
            return error;
        return makeRef(canonical, fsRef);
    });
    return result == noErr;
}

CFURLRef CFURLCreateFromFSRef(CFAllocatorRef, const FSRef* fsRef)
{
    CFURLRef url = nullptr;
    guarded([&]() -> OSErr {
        std::string path;
        struct stat status;
        if (pathOf(fsRef, path) == noErr && itemStatus(path, status) == noErr)
            url = velmora::cf::URL::create(path, S_ISDIR(status.st_mode));
        return noErr;
    });
    return url;
}

}  // extern "C"
