#pragma once
// Trace lines and precondition checks of the Audio Unit side and its VST
// hosting layer. Every trace line goes to standard error as
// "[<tag>](<thread id>) " followed by the formatted text.

// Process-wide tag in front of every trace line: "Tandem" until a component
// writes its name here. One buffer for the whole process; not synchronised.
extern char gTraceIdentifierString[256];

void tandemTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reports the broken invariant and stops the process; never returns.
[[noreturn]] void tandemPreconditionFailed(const char* function, int line, const char* expression);

// Internal invariants, checked in every build. They guard programming errors
// of the caller or the hosted effect, never input data.
#define TANDEM_REQUIRE(expression)                                                                                     \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(expression))                                                                                             \
        {                                                                                                              \
            tandemPreconditionFailed(__func__, __LINE__, #expression);                                                 \
        }                                                                                                              \
    } while (false)
