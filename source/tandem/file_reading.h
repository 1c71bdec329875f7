#pragma once
// Whole-file and line-by-line reading of the component's text and preset
// files, and the data fork access beneath it. Failing File Manager calls throw
// MacOSException with their status.

#include <CoreServices/CoreServices.h>

#include <cstddef>
#include <vector>

// The data fork of one file, open for the object's life.
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

private:
    FSIORefNum forkRefNum;
};

// The file called `name` (ASCII) in `folder`. A missing one is created,
// empty, and the answer is then true: the caller writes its first content.
bool findOrCreateFile(const FSRef& folder, const char* name, FSRef& file);

// The whole data fork of `file`; a failing File Manager call throws MacOSException.
std::vector<char> loadFromFile(const FSRef& file);

inline constexpr std::size_t kLineBufferSize = 2048;
// Copies the line at `position` into `line` (2047 characters at most, terminated) and
// returns where the next line starts; EOFException "End of file error" at or past `end`.
const char* readLine(const char* position, const char* end, char (&line)[kLineBufferSize]);
