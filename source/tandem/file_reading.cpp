#include "tandem/file_reading.h"

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

namespace
{
void check(OSErr status)
{
    if (status != noErr)
    {
        throw MacOSException(status);
    }
}
}  // namespace

DataFork::DataFork(const FSRef& file, SInt8 permissions)
{
    HFSUniStr255 dataForkName;
    check(FSGetDataForkName(&dataForkName));
    check(FSOpenFork(&file, dataForkName.length, dataForkName.unicode, permissions, &forkRefNum));
}

DataFork::~DataFork()
{
    if (open)
    {
        FSCloseFork(forkRefNum);
    }
}

SInt64 DataFork::size() const
{
    SInt64 forkSize = 0;
    check(FSGetForkSize(forkRefNum, &forkSize));
    return forkSize;
}

void DataFork::readFromStart(void* buffer, std::size_t size) const
{
    ByteCount actualCount = 0;
    check(FSReadFork(forkRefNum, fsFromStart, 0, size, buffer, &actualCount));
    TANDEM_REQUIRE(actualCount == size);
}

void DataFork::write(const void* bytes, std::size_t size)
{
    ByteCount actualCount = 0;
    check(FSWriteFork(forkRefNum, fsAtMark, 0, size, bytes, &actualCount));
    TANDEM_REQUIRE(actualCount == size);
}

void DataFork::close()
{
    const OSErr flushed = FSFlushFork(forkRefNum);
    const OSErr closed = FSCloseFork(forkRefNum);
    open = false;
    check(flushed);
    check(closed);
}

std::vector<char> loadFromFile(const FSRef& file)
{
    const DataFork fork(file, fsRdPerm);
    std::vector<char> bytes(static_cast<std::size_t>(fork.size()));
    fork.readFromStart(bytes.data(), bytes.size());
    return bytes;
}

const char* readLine(const char* position, const char* end, char (&line)[kLineBufferSize])
{
    if (position >= end)
    {
        throw EOFException("End of file error");
    }
    std::size_t length = 0;
    for (; position < end && *position != '\r' && *position != '\n'; ++position)
    {
        // The rest of an overlong line is dropped, not taken as a line of its own.
        if (length < kLineBufferSize - 1)
        {
            line[length++] = *position;
        }
    }
    line[length] = '\0';
    if (position < end && *position == '\r')
    {
        ++position;
    }
    if (position < end && *position == '\n')
    {
        ++position;
    }
    return position;
}
