#pragma once
// Files the tools write, whole or not at all: the content goes into a
// temporary file beside the destination, which takes the destination's place
// only once flushed to disk and closed without an error. A write that fails
// (a full disk, an I/O error, a crash) leaves an existing file as it was.

#include <cstddef>
#include <string>

namespace tools
{
class ReplacingFile
{
public:
    ReplacingFile() = default;
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file for `path`; a link there is written through
    // to the file it names. Every error reads "cannot write 'PATH': reason".
    bool create(const std::string& path, std::string& error);
    // The temporary file, for libraries that write through a descriptor; it
    // stays open until commit().
    int descriptor() const { return fd; }
    bool write(const void* bytes, std::size_t size, std::string& error);
    // Flushes the file to disk, closes it and moves it to the destination
    // with the permissions of the file it replaces, or of a new file.
    bool commit(std::string& error);

private:
    bool fail(const std::string& reason, std::string& error) const;

    int fd = -1;
    std::string path;
    std::string destination;
    std::string temporaryPath;
};

// `size` bytes as the whole content of the file at `path`.
bool writeWholeFile(const std::string& path, const void* bytes, std::size_t size, std::string& error);
}  // namespace tools
