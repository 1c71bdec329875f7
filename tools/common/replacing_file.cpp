#include "common/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tools
{
namespace
{
namespace fs = std::filesystem;

// Room for the hidden prefix and the random suffix within a 255-byte name.
constexpr std::size_t kMaxNameInTemporary = 200;

std::string errnoText(int error) { return std::error_code(error, std::generic_category()).message(); }

// The permissions a new file gets from the user's umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

ReplacingFile::~ReplacingFile()
{
    if (fd >= 0)
        ::close(fd);
    if (!temporaryPath.empty())
        std::remove(temporaryPath.c_str());
}

bool ReplacingFile::fail(const std::string& reason, std::string& error) const
{
    error = "cannot write '" + path + "': " + reason;
    return false;
}

bool ReplacingFile::create(const std::string& requestedPath, std::string& error)
{
    path = requestedPath;
    std::error_code status;
    fs::path target(path);
    if (fs::is_symlink(target, status))
    {
        target = fs::weakly_canonical(target, status);
        if (status)
            return fail(status.message(), error);
    }
    if (fs::is_directory(target, status))
        return fail("it is a folder", error);
    // Hidden, and in the destination's folder, so that the rename that puts
    // it in place stays on one file system and is done in one step.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const std::string name = target.filename().string();
    const std::string hidden = std::string(".").append(name, 0, kMaxNameInTemporary).append(".partial-XXXXXX");
    const std::string pattern = (folder / hidden).string();
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errnoText(errno), error);
    temporaryPath = temporary.data();
    destination = target.string();
    return true;
}

bool ReplacingFile::write(const void* bytes, std::size_t size, std::string& error)
{
    const auto* next = static_cast<const char*>(bytes);
    while (size > 0)
    {
        const ssize_t written = ::write(fd, next, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(errnoText(written < 0 ? errno : EIO), error);
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacingFile::commit(std::string& error)
{
    struct stat replaced;
    const mode_t mode = ::stat(destination.c_str(), &replaced) == 0 ? replaced.st_mode & 07777 : newFileMode();
    // A disk that took the writes into its cache may still fail them here.
    const bool flushed = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int flushError = errno;
    const bool closed = ::close(fd) == 0;
    const int closeError = errno;
    fd = -1;
    if (!flushed || !closed)
        return fail(errnoText(!flushed ? flushError : closeError), error);
    if (::rename(temporaryPath.c_str(), destination.c_str()) != 0)
        return fail(errnoText(errno), error);
    temporaryPath.clear();
    return true;
}

bool writeWholeFile(const std::string& path, const void* bytes, std::size_t size, std::string& error)
{
    ReplacingFile file;
    return file.create(path, error) && file.write(bytes, size, error) && file.commit(error);
}
}  // namespace tools
