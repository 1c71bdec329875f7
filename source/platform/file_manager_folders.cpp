// The Folder Manager's audio support folders and alias resolution over
// symbolic links.
#include "platform/file_manager.h"

#include <CoreServices/Aliases.h>
#include <CoreServices/Folders.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

using namespace velmora::files;

namespace
{

// A longer chain is taken for a loop.
constexpr int kMaxLinksInChain = 32;

// An environment variable's value when it is an absolute path.
const char* absoluteVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

// The folder that holds the domain's "audio" folder.
OSErr domainDataFolder(FSVolumeRefNum domain, std::string& folder)
{
    if (domain == kLocalDomain)
    {
        const char* local = absoluteVariable("VELMORA_LOCAL_DOMAIN_DIR");
        folder = local ? local : "/usr/local/share";
        return noErr;
    }
    if (domain != kUserDomain)
        return fnfErr;
    if (const char* data = absoluteVariable("XDG_DATA_HOME"))
    {
        folder = data;
        return noErr;
    }
    const char* home = absoluteVariable("HOME");
    if (!home)
        return fnfErr;
    folder = std::string(home) + "/.local/share";
    return noErr;
}

// Makes the folder and every missing folder above it.
OSErr makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
    {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return errorFromErrno(errno);
        if (slash == std::string::npos)
            return noErr;
    }
}

// The item a link points at, without following a link there.
OSErr linkTarget(const std::string& link, std::string& target)
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer);
    if (length < 0)
        return errorFromErrno(errno);
    if (static_cast<size_t>(length) == sizeof buffer)
        return errFSNameTooLong;
    std::string text(buffer, static_cast<size_t>(length));
    if (text.empty())
        return fnfErr;
    if (text.front() != '/')
        text = joinPath(parentOf(link), text);
    return canonicalPath(text, false, target);
}

}  // namespace

extern "C" {

OSErr FSFindFolder(FSVolumeRefNum vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef)
{
    return guarded([&]() -> OSErr {
        if (!foundRef)
            return paramErr;
        std::string folder;
        if (folderType != kAudioSupportFolderType)
            return fnfErr;
        if (const OSErr error = domainDataFolder(vRefNum, folder); error != noErr)
            return error;
        folder += "/audio";
        struct stat status;
        if (stat(folder.c_str(), &status) != 0)
        {
            if (errno != ENOENT || !createFolder)
                return errorFromErrno(errno);
            if (const OSErr error = makeFolders(folder); error != noErr)
                return error;
        }
        std::string canonical;
        if (const OSErr error = canonicalPath(folder, true, canonical); error != noErr)
            return error;
        if (const OSErr error = itemStatus(canonical, status); error != noErr)
            return error;
        if (!S_ISDIR(status.st_mode))
            return errFSNotAFolder;
        return makeRef(canonical, foundRef);
    });
}

OSErr FSResolveAliasFileWithMountFlags(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder,
                                       Boolean* wasAliased, unsigned long)
{
    return guarded([&]() -> OSErr {
        if (!theRef || !targetIsFolder || !wasAliased)
            return paramErr;
        std::string path;
        if (const OSErr error = pathOf(theRef, path); error != noErr)
            return error;
        struct stat status;
        if (const OSErr error = itemStatus(path, status); error != noErr)
            return error;
        bool aliased = false;
        for (int links = 0; S_ISLNK(status.st_mode) && (resolveAliasChains || !aliased); ++links)
        {
            if (links == kMaxLinksInChain)
                return fnfErr;
            std::string target;
            if (const OSErr error = linkTarget(path, target); error != noErr)
                return error;
            path = target;
            if (const OSErr error = itemStatus(path, status); error != noErr)
                return error;
            aliased = true;
        }
        if (aliased)
        {
            if (const OSErr error = makeRef(path, theRef); error != noErr)
                return error;
        }
        *wasAliased = aliased;
        *targetIsFolder = S_ISDIR(status.st_mode);
        return noErr;
    });
}

OSErr FSResolveAliasFile(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder, Boolean* wasAliased)
{
    return FSResolveAliasFileWithMountFlags(theRef, resolveAliasChains, targetIsFolder, wasAliased,
                                            kResolveAliasFileNoUI);
}

}  // extern "C"
