// File Manager over POSIX paths: file references, catalog information,
// creating and deleting items, folder iteration and data forks.
//
// An FSRef names an existing item by its absolute path; a symbolic link is an
// item of its own (the alias file), not the item it points at. Like the Mac's,
// a reference goes stale when its item is deleted, and calls on it then fail
// with fnfErr; unlike the Mac's, it does not follow the item when renamed.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

typedef UInt32 TextEncoding;
enum
{
    kTextEncodingUnknown = 0xFFFF
};

// Opaque. Two references to the same item are equal byte for byte.
struct FSRef
{
    UInt8 hidden[80];
};
typedef struct FSRef FSRef;
typedef FSRef* FSRefPtr;

// Not supported here: every FSSpecPtr argument must be NULL.
typedef struct FSSpec FSSpec;
typedef FSSpec* FSSpecPtr;

struct HFSUniStr255
{
    UInt16 length;
    UniChar unicode[255];
};
typedef struct HFSUniStr255 HFSUniStr255;

typedef SInt16 FSVolumeRefNum;
typedef int FSIORefNum;

#pragma pack(push, 2)
struct UTCDateTime
{
    UInt16 highSeconds;
    UInt32 lowSeconds;
    UInt16 fraction;
};
typedef struct UTCDateTime UTCDateTime;
#pragma pack(pop)

typedef UInt32 FSCatalogInfoBitmap;
enum
{
    kFSCatInfoNone = 0x00000000,
    // The only piece of catalog information kept here; asking for any other
    // answers errFSBadInfoBitmap.
    kFSCatInfoNodeFlags = 0x00000002,
};
enum
{
    kFSNodeLockedMask = 0x0001,
    kFSNodeIsDirectoryMask = 0x0010,
};

struct FSCatalogInfo
{
    UInt16 nodeFlags;
    FSVolumeRefNum volume;
    UInt32 parentDirID;
    UInt32 nodeID;
    UInt8 sharingFlags;
    UInt8 userPrivileges;
    UInt8 reserved1;
    UInt8 reserved2;
    UTCDateTime createDate;
    UTCDateTime contentModDate;
    UTCDateTime attributeModDate;
    UTCDateTime accessDate;
    UTCDateTime backupDate;
    UInt32 permissions[4];
    UInt8 finderInfo[16];
    UInt8 extFinderInfo[16];
    UInt64 dataLogicalSize;
    UInt64 dataPhysicalSize;
    UInt64 rsrcLogicalSize;
    UInt64 rsrcPhysicalSize;
    UInt32 valence;
    TextEncoding textEncodingHint;
};
typedef struct FSCatalogInfo FSCatalogInfo;

// A path (UTF-8, relative ones from the current folder) to a reference; a
// symbolic link at its end is followed. fnfErr when nothing is there.
CF_EXPORT OSStatus FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory);
// The item's absolute path, terminated; paramErr when it needs more than
// maxPathSize bytes.
CF_EXPORT OSStatus FSRefMakePath(const FSRef* ref, UInt8* path, UInt32 maxPathSize);

// The item called name in the folder parentRef; fnfErr when there is none.
// Names are UTF-16 without "/" or NUL; the encoding hint is not needed.
CF_EXPORT OSErr FSMakeFSRefUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                                   TextEncoding textEncodingHint, FSRef* newRef);
// outName gets the item's name (UTF-16), parentRef its folder (all zeros for
// the root).
CF_EXPORT OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* catalogInfo,
                                 HFSUniStr255* outName, FSSpecPtr fsSpec, FSRef* parentRef);

// New, empty items; dupFNErr when the name is taken. whichInfo must be
// kFSCatInfoNone.
CF_EXPORT OSErr FSCreateFileUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                                    FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo, FSRef* newRef,
                                    FSSpecPtr newSpec);
CF_EXPORT OSErr FSCreateDirectoryUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                                         FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* catalogInfo, FSRef* newRef,
                                         FSSpecPtr newSpec, UInt32* newDirID);
// A file, a link, or an empty folder (fBsyErr for one that is not empty).
CF_EXPORT OSErr FSDeleteObject(const FSRef* ref);
// Gives the item another name in its folder; dupFNErr, and nothing changed,
// when an item already has that name. newRef, when given, gets the renamed item.
CF_EXPORT OSErr FSRenameUnicode(const FSRef* ref, UniCharCount nameLength, const UniChar* name,
                                TextEncoding textEncodingHint, FSRef* newRef);
// Swaps the contents of two files in one step: each reference then names the
// other's former content. A file is replaced safely by writing its new content
// into a temporary file beside it, exchanging the two, and deleting the
// temporary file. notAFileErr when either is not a plain file.
CF_EXPORT OSErr FSExchangeObjects(const FSRef* ref, const FSRef* destRef);

// Iteration over the items directly inside a folder, in name order.
typedef struct OpaqueFSIterator* FSIterator;
typedef UInt32 FSIteratorFlags;
enum
{
    kFSIterateFlat = 0,
};
CF_EXPORT OSErr FSOpenIterator(const FSRef* container, FSIteratorFlags iteratorFlags, FSIterator* iterator);
CF_EXPORT OSErr FSCloseIterator(FSIterator iterator);
// Up to maximumObjects further items. The call that reaches the end answers
// errFSNoMoreItems together with the items it still found.
CF_EXPORT OSErr FSGetCatalogInfoBulk(FSIterator iterator, ItemCount maximumObjects, ItemCount* actualObjects,
                                     Boolean* containerChanged, FSCatalogInfoBitmap whichInfo,
                                     FSCatalogInfo* catalogInfos, FSRef* refs, FSSpecPtr specs, HFSUniStr255* names);

// Forks: only the data fork (the empty name) exists here.
enum
{
    fsCurPerm = 0x00,
    fsRdPerm = 0x01,
    fsWrPerm = 0x02,
    fsRdWrPerm = 0x03,
    fsRdWrShPerm = 0x04,
};
enum
{
    fsAtMark = 0,
    fsFromStart = 1,
    fsFromLEOF = 2,
    fsFromMark = 3,
};
CF_EXPORT OSErr FSGetDataForkName(HFSUniStr255* dataForkName);
// A link is read and written through to its target.
CF_EXPORT OSErr FSOpenFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName, SInt8 permissions,
                           FSIORefNum* forkRefNum);
// eofErr when the fork ends before requestCount bytes; actualCount tells how
// many were read.
CF_EXPORT OSErr FSReadFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset, ByteCount requestCount,
                           void* buffer, ByteCount* actualCount);
CF_EXPORT OSErr FSWriteFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset, ByteCount requestCount,
                            const void* buffer, ByteCount* actualCount);
CF_EXPORT OSErr FSGetForkSize(FSIORefNum forkRefNum, SInt64* forkSize);
// Writes what the fork holds through to the disk; a write the disk could not
// take after all (a full disk, an I/O error) fails here.
CF_EXPORT OSErr FSFlushFork(FSIORefNum forkRefNum);
CF_EXPORT OSErr FSCloseFork(FSIORefNum forkRefNum);

CF_EXTERN_C_END
