// Data forks: a process-wide table of open files, each with its own mark.
// The fork's reference number is its file descriptor.
#include "platform/file_manager.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <unordered_map>

using namespace velmora::files;

namespace
{

struct Fork
{
    bool canRead;
    bool canWrite;
    SInt64 mark = 0;
};

struct ForkTable
{
    std::mutex mutex;
    std::unordered_map<FSIORefNum, Fork> forks;
};

ForkTable& forkTable()
{
    static auto* table = new ForkTable;
    return *table;
}

// The file-status flags for a permission; fsCurPerm is handled by the caller.
bool openFlags(SInt8 permissions, int& flags)
{
    switch (permissions)
    {
    case fsRdPerm: flags = O_RDONLY; return true;
    case fsWrPerm: flags = O_WRONLY; return true;
    case fsRdWrPerm:
    case fsRdWrShPerm: flags = O_RDWR; return true;
    default: return false;
    }
}

// Where a transfer starts, from the position mode (cache hints in the upper
// bits are ignored) and offset.
OSErr startOf(FSIORefNum forkRefNum, const Fork& fork, UInt16 positionMode, SInt64 positionOffset, SInt64& start)
{
    switch (positionMode & 0x0003)
    {
    case fsAtMark: start = fork.mark; break;
    case fsFromStart: start = positionOffset; break;
    case fsFromMark: start = fork.mark + positionOffset; break;
    default:
    {
        struct stat status;
        if (fstat(forkRefNum, &status) != 0)
            return errorFromErrno(errno);
        start = status.st_size + positionOffset;
    }
    }
    return start < 0 ? OSErr(posErr) : OSErr(noErr);
}

// Moves up to requestCount bytes through transfer(descriptor, offset, bytes
// done, bytes left) and advances the mark past them; a fork opened without
// the permission answers refused.
template <typename Transfer>
OSErr moveBytes(FSIORefNum forkRefNum, bool Fork::*permission, OSErr refused, UInt16 positionMode,
                SInt64 positionOffset, ByteCount requestCount, bool hasBuffer, ByteCount* actualCount,
                Transfer transfer)
{
    if (actualCount)
        *actualCount = 0;
    ForkTable& table = forkTable();
    std::lock_guard lock(table.mutex);
    const auto found = table.forks.find(forkRefNum);
    if (found == table.forks.end())
        return rfNumErr;
    Fork& fork = found->second;
    if (!(fork.*permission))
        return refused;
    if (!hasBuffer && requestCount > 0)
        return paramErr;
    SInt64 start = 0;
    if (const OSErr error = startOf(forkRefNum, fork, positionMode, positionOffset, start); error != noErr)
        return error;
    ByteCount done = 0;
    OSErr result = noErr;
    while (done < requestCount)
    {
        const ssize_t moved = transfer(forkRefNum, start + static_cast<SInt64>(done), done, requestCount - done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
        {
            result = errorFromErrno(errno);
            break;
        }
        if (moved == 0)
        {
            result = eofErr;
            break;
        }
        done += static_cast<ByteCount>(moved);
    }
    fork.mark = start + static_cast<SInt64>(done);
    if (actualCount)
        *actualCount = done;
    return result;
}

// Runs body() while the fork stays open; rfNumErr for a fork that is not.
template <typename Body>
OSErr onOpenFork(FSIORefNum forkRefNum, Body body)
{
    return guarded([&]() -> OSErr {
        ForkTable& table = forkTable();
        std::lock_guard lock(table.mutex);
        if (table.forks.count(forkRefNum) == 0)
            return rfNumErr;
        return body();
    });
}

}  // namespace

extern "C" {

OSErr FSGetDataForkName(HFSUniStr255* dataForkName)
{
    if (!dataForkName)
        return paramErr;
    dataForkName->length = 0;
    return noErr;
}

OSErr FSOpenFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName, SInt8 permissions,
                 FSIORefNum* forkRefNum)
{
    return guarded([&]() -> OSErr {
        if (!forkRefNum || (forkNameLength > 0 && !forkName))
            return paramErr;
        if (forkNameLength > 0)
            return errFSForkNotFound;
        int flags = O_RDWR;
        if (permissions != fsCurPerm && !openFlags(permissions, flags))
            return paramErr;
        std::string path;
        if (const OSErr error = pathOf(ref, path); error != noErr)
            return error;
        int descriptor = open(path.c_str(), flags | O_CLOEXEC);
        if (descriptor < 0 && permissions == fsCurPerm && (errno == EACCES || errno == EROFS))
        {
            flags = O_RDONLY;
            descriptor = open(path.c_str(), flags | O_CLOEXEC);
        }
        if (descriptor < 0)
            return errorFromErrno(errno);
        struct stat status;
        if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode))
        {
            close(descriptor);
            return notAFileErr;
        }
        ForkTable& table = forkTable();
        std::lock_guard lock(table.mutex);
        table.forks[descriptor] = Fork{flags != O_WRONLY, flags != O_RDONLY};
        *forkRefNum = descriptor;
        return noErr;
    });
}

OSErr FSReadFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset, ByteCount requestCount,
                 void* buffer, ByteCount* actualCount)
{
    auto* bytes = static_cast<char*>(buffer);
    return guarded([&]() -> OSErr {
        return moveBytes(forkRefNum, &Fork::canRead, afpAccessDenied, positionMode, positionOffset, requestCount,
                         buffer != nullptr, actualCount,
                         [bytes](int descriptor, SInt64 offset, ByteCount done, ByteCount left) {
                             return pread(descriptor, bytes + done, left, offset);
                         });
    });
}

OSErr FSWriteFork(FSIORefNum forkRefNum, UInt16 positionMode, SInt64 positionOffset, ByteCount requestCount,
                  const void* buffer, ByteCount* actualCount)
{
    const auto* bytes = static_cast<const char*>(buffer);
    return guarded([&]() -> OSErr {
        return moveBytes(forkRefNum, &Fork::canWrite, wrPermErr, positionMode, positionOffset, requestCount,
                         buffer != nullptr, actualCount,
                         [bytes](int descriptor, SInt64 offset, ByteCount done, ByteCount left) {
                             return pwrite(descriptor, bytes + done, left, offset);
                         });
    });
}

OSErr FSGetForkSize(FSIORefNum forkRefNum, SInt64* forkSize)
{
    if (!forkSize)
        return paramErr;
    return onOpenFork(forkRefNum, [&]() -> OSErr {
        struct stat status;
        if (fstat(forkRefNum, &status) != 0)
            return errorFromErrno(errno);
        *forkSize = status.st_size;
        return noErr;
    });
}

OSErr FSFlushFork(FSIORefNum forkRefNum)
{
    return onOpenFork(forkRefNum,
                      [&]() -> OSErr { return fsync(forkRefNum) == 0 ? OSErr(noErr) : errorFromErrno(errno); });
}

OSErr FSCloseFork(FSIORefNum forkRefNum)
{
    return guarded([&]() -> OSErr {
        ForkTable& table = forkTable();
        std::lock_guard lock(table.mutex);
        if (table.forks.erase(forkRefNum) == 0)
            return rfNumErr;
        return close(forkRefNum) == 0 ? OSErr(noErr) : errorFromErrno(errno);
    });
}

}  // extern "C"
