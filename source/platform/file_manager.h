// What the File Manager calls share: references as interned paths, Unicode
// names, and the Mac codes for POSIX failures.
#pragma once

#include <CoreServices/Files.h>

#include <new>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace velmora::files
{

// An existing item's path made canonical (absolute, its folders resolved);
// a link at the end is followed only with followLeaf.
OSErr canonicalPath(std::string path, bool followLeaf, std::string& canonical);

// The reference of an existing item at a canonical path.
OSErr makeRef(const std::string& canonical, FSRef* ref);

// The path a reference stands for; errFSBadFSRef for one not made here.
// The item itself may have gone since.
OSErr pathOf(const FSRef* ref, std::string& path);

// The status of the item itself (a link is not followed).
OSErr itemStatus(const std::string& path, struct stat& status);

// The path of the item called name in the folder parentRef, which must exist
// (the named item need not).
OSErr childPath(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name, std::string& path);

std::string parentOf(const std::string& path);
std::string leafOf(const std::string& path);
std::string joinPath(const std::string& folder, const std::string& leaf);

// An item's name as UTF-16; bdNamErr when it is not UTF-8, errFSNameTooLong
// when it takes more than 255 units.
OSErr unicodeName(std::string_view name, HFSUniStr255& unicode);

// The Mac code for an errno value; ENOENT is fnfErr.
OSErr errorFromErrno(int error);

// Runs an entry point's body so that no exception leaves the C call.
template <typename Body>
OSErr guarded(Body&& body) noexcept
{
    try
    {
        return body();
    }
    catch (const std::bad_alloc&)
    {
        return memFullErr;
    }
    catch (...)
    {
        return ioErr;
    }
}

}  // namespace velmora::files
