// Launch Services item information over the file system: the name's
// extension, the kind of item and its visibility. Files here carry no type
// or creator codes.
#include "platform/cf_string.h"
#include "platform/file_manager.h"

#include <CoreServices/LSInfo.h>

#include <cstring>

using namespace velmora::files;

namespace
{

constexpr LSRequestedInfo kSupportedRequests = kLSRequestExtension | kLSRequestTypeCreator | kLSRequestBasicFlagsOnly;

// Where the extension of a name starts: after its last dot, unless that dot
// leads the name (a hidden item's) or ends it.
template <typename Unit>
UniCharCount extensionStart(const Unit* name, size_t length)
{
    for (size_t index = length; index-- > 1;)
    {
        if (name[index] == '.')
            return index + 1 < length ? index + 1 : kLSInvalidExtensionIndex;
    }
    return kLSInvalidExtensionIndex;
}

LSItemInfoFlags basicFlags(const std::string& path, const struct stat& status)
{
    LSItemInfoFlags flags = 0;
    if (S_ISREG(status.st_mode))
        flags |= kLSItemInfoIsPlainFile;
    if (S_ISLNK(status.st_mode))
        flags |= kLSItemInfoIsPlainFile | kLSItemInfoIsAliasFile | kLSItemInfoIsSymlink;
    if (S_ISDIR(status.st_mode))
        flags |= kLSItemInfoIsContainer;
    if (leafOf(path).starts_with('.'))
        flags |= kLSItemInfoIsInvisible;
    return flags;
}

}  // namespace

extern "C" {

OSStatus LSCopyItemInfoForRef(const FSRef* inItemRef, LSRequestedInfo inWhichInfo, LSItemInfoRecord* outItemInfo)
{
    return guarded([&]() -> OSErr {
        if (!outItemInfo || (inWhichInfo & ~kSupportedRequests) != 0)
            return paramErr;
        std::memset(outItemInfo, 0, sizeof *outItemInfo);
        std::string path;
        if (const OSErr error = pathOf(inItemRef, path); error != noErr)
            return error;
        struct stat status;
        if (const OSErr error = itemStatus(path, status); error != noErr)
            return error;
        if (inWhichInfo & kLSRequestTypeCreator)
        {
            outItemInfo->filetype = kLSUnknownType;
            outItemInfo->creator = kLSUnknownCreator;
        }
        if (inWhichInfo & kLSRequestBasicFlagsOnly)
            outItemInfo->flags = basicFlags(path, status);
        if (inWhichInfo & kLSRequestExtension)
        {
            const std::string name = leafOf(path);
            const UniCharCount start = extensionStart(name.data(), name.size());
            if (start != kLSInvalidExtensionIndex)
                outItemInfo->extension = velmora::cf::String::createFromUTF8(std::string_view(name).substr(start));
        }
        return noErr;
    });
}

OSStatus LSGetExtensionInfo(UniCharCount inNameLen, const UniChar inNameBuffer[], UniCharCount* outExtStartIndex)
{
    if (!outExtStartIndex || (inNameLen > 0 && !inNameBuffer))
        return paramErr;
    *outExtStartIndex = extensionStart(inNameBuffer, inNameLen);
    return noErr;
}

}  // extern "C"
