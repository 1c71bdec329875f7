// Looking items up by name, their catalog information, and iterating over
// the items of a folder.
#include "platform/file_manager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <vector>

using namespace velmora::files;

struct OpaqueFSIterator
{
    std::string folder;
    std::vector<std::string> names;  // taken when the iterator opens, in name order
    size_t next = 0;
};

namespace
{

OSErr checkInfoRequest(FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo)
{
    if ((whichInfo & ~static_cast<FSCatalogInfoBitmap>(kFSCatInfoNodeFlags)) != 0)
        return errFSBadInfoBitmap;
    return whichInfo != kFSCatInfoNone && !catalogInfo ? OSErr(paramErr) : OSErr(noErr);
}

// Fills what was asked for about the item at path, whose status is given.
OSErr describe(const std::string& path, const struct stat& status, FSCatalogInfoBitmap whichInfo,
               FSCatalogInfo* catalogInfo, HFSUniStr255* name)
{
    if (whichInfo & kFSCatInfoNodeFlags)
        catalogInfo->nodeFlags = S_ISDIR(status.st_mode) ? kFSNodeIsDirectoryMask : 0;
    if (!name)
        return noErr;
    name->length = 0;
    return path == "/" ? OSErr(noErr) : unicodeName(leafOf(path), *name);
}

}  // namespace

extern "C" {

OSErr FSMakeFSRefUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name, TextEncoding,
                         FSRef* newRef)
{
    return guarded([&]() -> OSErr {
        if (!newRef)
            return paramErr;
        std::string path;
        if (const OSErr error = childPath(parentRef, nameLength, name, path); error != noErr)
            return error;
        struct stat status;
        if (const OSErr error = itemStatus(path, status); error != noErr)
            return error;
        return makeRef(path, newRef);
    });
}

OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* catalogInfo,
                       HFSUniStr255* outName, FSSpecPtr fsSpec, FSRef* parentRef)
{
    return guarded([&]() -> OSErr {
        if (fsSpec)
            return paramErr;
        if (const OSErr error = checkInfoRequest(whichInfo, catalogInfo); error != noErr)
            return error;
        std::string path;
        if (const OSErr error = pathOf(ref, path); error != noErr)
            return error;
        struct stat status;
        if (const OSErr error = itemStatus(path, status); error != noErr)
            return error;
        if (const OSErr error = describe(path, status, whichInfo, catalogInfo, outName); error != noErr)
            return error;
        if (!parentRef)
            return noErr;
        if (path == "/")
        {
            std::memset(parentRef, 0, sizeof *parentRef);
            return noErr;
        }
        return makeRef(parentOf(path), parentRef);
    });
}

OSErr FSOpenIterator(const FSRef* container, FSIteratorFlags iteratorFlags, FSIterator* iterator)
{
    return guarded([&]() -> OSErr {
        if (!iterator)
            return paramErr;
        if (iteratorFlags != kFSIterateFlat)
            return errFSBadIteratorFlags;
        auto opened = std::make_unique<OpaqueFSIterator>();
        if (const OSErr error = pathOf(container, opened->folder); error != noErr)
            return error;
        struct stat status;
        if (const OSErr error = itemStatus(opened->folder, status); error != noErr)
            return error;
        if (!S_ISDIR(status.st_mode))
            return errFSNotAFolder;
        DIR* folder = opendir(opened->folder.c_str());
        if (!folder)
            return errorFromErrno(errno);
        while (const dirent* entry = readdir(folder))
        {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                opened->names.emplace_back(entry->d_name);
        }
        closedir(folder);
        std::sort(opened->names.begin(), opened->names.end());
        *iterator = opened.release();
        return noErr;
    });
}

OSErr FSCloseIterator(FSIterator iterator)
{
    if (!iterator)
        return paramErr;
    delete iterator;
    return noErr;
}

OSErr FSGetCatalogInfoBulk(FSIterator iterator, ItemCount maximumObjects, ItemCount* actualObjects,
                           Boolean* containerChanged, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* catalogInfos,
                           FSRef* refs, FSSpecPtr specs, HFSUniStr255* names)
{
    return guarded([&]() -> OSErr {
        if (!iterator || !actualObjects || specs)
            return paramErr;
        *actualObjects = 0;
        if (containerChanged)
            *containerChanged = false;
        if (maximumObjects == 0)
            return errFSBadItemCount;
        if (const OSErr error = checkInfoRequest(whichInfo, catalogInfos); error != noErr)
            return error;
        ItemCount& count = *actualObjects;
        while (count < maximumObjects && iterator->next < iterator->names.size())
        {
            const std::string path = joinPath(iterator->folder, iterator->names[iterator->next++]);
            struct stat status;
            if (itemStatus(path, status) != noErr)
                continue;  // gone since the iterator opened
            const OSErr error = describe(path, status, whichInfo, catalogInfos ? &catalogInfos[count] : nullptr,
                                         names ? &names[count] : nullptr);
            if (error != noErr)
                return error;
            if (refs)
                makeRef(path, &refs[count]);
            ++count;
        }
        return iterator->next < iterator->names.size() ? OSErr(noErr) : OSErr(errFSNoMoreItems);
    });
}

}  // extern "C"
