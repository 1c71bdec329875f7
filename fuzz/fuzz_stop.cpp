#include "fuzz_stop.h"

#include <sanitizer/common_interface_defs.h>

#include <cstdio>
#include <cstdlib>

namespace fuzzing
{
// The reason goes where the sanitizers report, which stays open when the
// fuzzer closes standard error.
[[noreturn]] void stop(const char* what, const char* why)
{
    char summary[512];
    std::snprintf(summary, sizeof summary, "fuzz target: %s: %s", what, why);
    __sanitizer_report_error_summary(summary);
    std::abort();
}
}  // namespace fuzzing
