// Creating, renaming, exchanging and deleting items.
#include "platform/file_manager.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace velmora::files;

namespace
{

// The new item called name in parentRef, made by makeItem(path) (which
// answers an errno value, 0 for success); the catalog information to set
// must be empty.
template <typename MakeItem>
OSErr createItem(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name, FSCatalogInfoBitmap whichInfo,
                 FSSpecPtr newSpec, FSRef* newRef, struct stat* newStatus, MakeItem makeItem)
{
    if (newSpec)
        return paramErr;
    if (whichInfo != kFSCatInfoNone)
        return errFSBadInfoBitmap;
    std::string path;
    if (const OSErr error = childPath(parentRef, nameLength, name, path); error != noErr)
        return error;
    if (const int error = makeItem(path); error != 0)
        return errorFromErrno(error);
    if (newStatus)
    {
        if (const OSErr error = itemStatus(path, *newStatus); error != noErr)
            return error;
    }
    return newRef ? makeRef(path, newRef) : OSErr(noErr);
}

// The path of an existing item, and its status.
OSErr existingItem(const FSRef* ref, std::string& path, struct stat& status)
{
    if (const OSErr error = pathOf(ref, path); error != noErr)
        return error;
    return itemStatus(path, status);
}

}  // namespace

extern "C" {

OSErr FSCreateFileUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                          FSCatalogInfoBitmap whichInfo, const FSCatalogInfo*, FSRef* newRef, FSSpecPtr newSpec)
{
    return guarded([&]() -> OSErr {
        return createItem(parentRef, nameLength, name, whichInfo, newSpec, newRef, nullptr,
                          [](const std::string& path) {
                              const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                              if (descriptor < 0)
                                  return errno;
                              close(descriptor);
                              return 0;
                          });
    });
}

OSErr FSCreateDirectoryUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                               FSCatalogInfoBitmap whichInfo, const FSCatalogInfo*, FSRef* newRef, FSSpecPtr newSpec,
                               UInt32* newDirID)
{
    return guarded([&]() -> OSErr {
        struct stat status;
        const OSErr error = createItem(
            parentRef, nameLength, name, whichInfo, newSpec, newRef, newDirID ? &status : nullptr,
            [](const std::string& path) { return mkdir(path.c_str(), 0777) == 0 ? 0 : errno; });
        if (error == noErr && newDirID)
            *newDirID = static_cast<UInt32>(status.st_ino);
        return error;
    });
}

OSErr FSDeleteObject(const FSRef* ref)
{
    return guarded([&]() -> OSErr {
        std::string path;
        struct stat status;
        if (const OSErr error = existingItem(ref, path, status); error != noErr)
            return error;
        const int result = S_ISDIR(status.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
        return result == 0 ? OSErr(noErr) : errorFromErrno(errno);
    });
}

OSErr FSRenameUnicode(const FSRef* ref, UniCharCount nameLength, const UniChar* name, TextEncoding, FSRef* newRef)
{
    return guarded([&]() -> OSErr {
        std::string path;
        struct stat status;
        if (const OSErr error = existingItem(ref, path, status); error != noErr)
            return error;
        FSRef parentRef;
        std::string renamed;
        if (const OSErr error = makeRef(parentOf(path), &parentRef); error != noErr)
            return error;
        if (const OSErr error = childPath(&parentRef, nameLength, name, renamed); error != noErr)
            return error;
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, renamed.c_str(), RENAME_NOREPLACE) != 0)
            return errorFromErrno(errno);
        return newRef ? makeRef(renamed, newRef) : OSErr(noErr);
    });
}

OSErr FSExchangeObjects(const FSRef* ref, const FSRef* destRef)
{
    return guarded([&]() -> OSErr {
        std::string paths[2];
        const FSRef* refs[2] = {ref, destRef};
        for (int index = 0; index < 2; ++index)
        {
            struct stat status;
            if (const OSErr error = existingItem(refs[index], paths[index], status); error != noErr)
                return error;
            if (!S_ISREG(status.st_mode))
                return notAFileErr;
        }
        if (renameat2(AT_FDCWD, paths[0].c_str(), AT_FDCWD, paths[1].c_str(), RENAME_EXCHANGE) != 0)
            return errorFromErrno(errno);
        return noErr;
    });
}

}  // extern "C"
