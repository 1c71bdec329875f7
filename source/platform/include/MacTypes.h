// Basic Mac scalar types, as the Mac frameworks' headers declare them.
#pragma once

#include <stdint.h>

typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef float Float32;
typedef double Float64;

typedef unsigned char Boolean;
typedef UInt16 UniChar;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef char* Ptr;
typedef Ptr* Handle;
typedef long Size;
typedef unsigned long ByteCount;
typedef unsigned long ItemCount;
typedef unsigned long UniCharCount;

enum
{
    noErr = 0
};
enum
{
    paramErr = -50,
    memFullErr = -108,
    fnfErr = -43,
    resNotFound = -192,
};
// File Manager.
enum
{
    dskFulErr = -34,
    ioErr = -36,
    bdNamErr = -37,
    eofErr = -39,
    posErr = -40,
    tmfoErr = -42,
    wPrErr = -44,
    fBsyErr = -47,
    dupFNErr = -48,
    rfNumErr = -51,
    wrPermErr = -61,
    dirNFErr = -120,
    notAFileErr = -1302,
    errFSBadFSRef = -1401,
    errFSBadInfoBitmap = -1405,
    errFSNotAFolder = -1407,
    errFSForkNotFound = -1409,
    errFSNameTooLong = -1410,
    errFSMissingName = -1411,
    errFSNoMoreItems = -1417,
    errFSBadItemCount = -1418,
    errFSBadIteratorFlags = -1422,
    afpAccessDenied = -5000,
};

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
