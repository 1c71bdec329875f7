#pragma once
// Whole-file and line-by-line reading of the component's text and preset
// files, and the data fork access beneath it. Failing File Manager calls throw
// MacOSException with their status.

#include <CoreServices/CoreServices.h>

#include <cstddef>
#include <vector>

// The data fork of one file, open until close() or the object's end.
class DataFork
{
public:
    DataFork(const FSRef& file, SInt8 permissions);
    ~DataFork();
    DataFork(const DataFork&) = delete;
    DataFork& operator=(const DataFork&) = delete;

    SInt64 size() const;
    // From the start; every byte must arrive.
    void readFromStart(void* buffer, std::size_t size) const;
    // At the current position; every byte must be written.
    void write(const void* bytes, std::size_t size);
    // Writes the content through to the disk and closes the fork. A disk
    // that could not take it after all fails here, so a file is only taken
    // as complete once this returned.
    void close();

private:
    FSIORefNum forkRefNum;
    bool open = true;
};

// The whole data fork of `file`; a failing File Manager call throws MacOSException.
std::vector<char> loadFromFile(const FSRef& file);

inline constexpr std::size_t kLineBufferSize = 2048;
// Copies the line at `position` into `line` (2047 characters at most, terminated) and
// returns where the next line starts; EOFException "End of file error" at or past `end`.
const char* readLine(const char* position, const char* end, char (&line)[kLineBufferSize]);
