#pragma once
// A disk that fills up halfway through a write, for the tests of what a
// failed write leaves behind.

#include <signal.h>
#include <sys/resource.h>

namespace testsupport
{
// For the object's life, no file that this process or a program it starts
// writes grows past `bytes` (RLIMIT_FSIZE): the write that would fails with
// EFBIG, as one fails on a full disk. SIGXFSZ is ignored meanwhile, so that
// the failing write returns instead of ending the process. Pipes are not
// limited.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previousLimit{};
    struct sigaction previousAction
    {};
};
}  // namespace testsupport
