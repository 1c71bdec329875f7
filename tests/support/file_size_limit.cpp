#include "support/file_size_limit.h"

#include <gtest/gtest.h>

namespace testsupport
{
FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    struct sigaction ignore
    {};
    ignore.sa_handler = SIG_IGN;
    EXPECT_EQ(sigaction(SIGXFSZ, &ignore, &previousAction), 0);
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    const rlimit limit{bytes, previousLimit.rlim_max};
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    sigaction(SIGXFSZ, &previousAction, nullptr);
}
}  // namespace testsupport
