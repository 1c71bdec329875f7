// Launch Services item information: extension, type and creator, and the
// basic flags of an item.
#pragma once

#include <CoreServices/Files.h>

#include <limits.h>

CF_EXTERN_C_BEGIN

typedef UInt32 LSRequestedInfo;
enum
{
    kLSRequestExtension = 0x00000001,
    kLSRequestTypeCreator = 0x00000002,
    kLSRequestBasicFlagsOnly = 0x00000004,
};

typedef UInt32 LSItemInfoFlags;
enum
{
    kLSItemInfoIsPlainFile = 0x00000001,
    kLSItemInfoIsContainer = 0x00000008,
    kLSItemInfoIsAliasFile = 0x00000010,
    kLSItemInfoIsSymlink = 0x00000020,
    kLSItemInfoIsInvisible = 0x00000040,
};

struct LSItemInfoRecord
{
    LSItemInfoFlags flags;
    OSType filetype;
    OSType creator;
    CFStringRef extension;  // the caller releases it
};
typedef struct LSItemInfoRecord LSItemInfoRecord;

enum
{
    kLSUnknownType = 0,
    kLSUnknownCreator = 0,
};
// No dot, or only a leading or a trailing one.
static const UniCharCount kLSInvalidExtensionIndex = ULONG_MAX;

// Files carry no type or creator here (kLSUnknownType, kLSUnknownCreator);
// names beginning with a dot are invisible; a link is a plain alias file.
// paramErr for a request beyond the three above.
CF_EXPORT OSStatus LSCopyItemInfoForRef(const FSRef* inItemRef, LSRequestedInfo inWhichInfo,
                                        LSItemInfoRecord* outItemInfo);
// The index of the extension's first character (after the last dot), or
// kLSInvalidExtensionIndex.
CF_EXPORT OSStatus LSGetExtensionInfo(UniCharCount inNameLen, const UniChar inNameBuffer[],
                                      UniCharCount* outExtStartIndex);

CF_EXTERN_C_END
