#include "tandem/tandem_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>

char gTraceIdentifierString[256] = "Tandem";

namespace
{
void writeTracePrefix()
{
    std::fprintf(stderr, "[%s](%p) ", gTraceIdentifierString, reinterpret_cast<void*>(pthread_self()));
}
}  // namespace

void tandemTrace(const char* format, ...)
{
    // One lock around prefix and text keeps lines of concurrent threads whole.
    flockfile(stderr);
    writeTracePrefix();
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    funlockfile(stderr);
}

void tandemPreconditionFailed(const char* function, int line, const char* expression)
{
    flockfile(stderr);
    writeTracePrefix();
    std::fprintf(stderr, "Precondition failed in %s (source/tandem, line %d): %s\n", function, line, expression);
    funlockfile(stderr);
    std::abort();
}
