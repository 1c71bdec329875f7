// Memory Manager handles: a handle points at a master pointer that points at a
// resizable block. Blocks never move while in use here, so locking is not
// needed and not offered.
#pragma once

#include <CoreFoundation/CFBase.h>

CF_EXTERN_C_BEGIN

// NULL (and memFullErr from MemError) when the block cannot be had.
CF_EXPORT Handle NewHandle(Size byteCount);
CF_EXPORT void DisposeHandle(Handle h);
CF_EXPORT Size GetHandleSize(Handle h);
// Keeps the leading bytes; on failure the handle is unchanged and MemError
// answers memFullErr (paramErr for a NULL handle or a negative size).
CF_EXPORT void SetHandleSize(Handle h, Size newSize);
// The result of the calling thread's last Memory Manager call.
CF_EXPORT OSErr MemError(void);

CF_EXTERN_C_END
