#pragma once
// The component and its VST wrapper write trace lines to standard error for
// a developer, as a Mac component writes to the system log; a command-line
// user would read them as failures. A tool holds them back while it drives
// the component and shows them only when asked (--trace).

#include <cstdio>

namespace tools
{
// While an instance lives, the process's standard error goes into an
// unlinked temporary file, unless shown. One instance at a time; main thread
// only. Should the process abort meanwhile (a broken invariant), what was
// held back reaches the terminal first.
class ComponentTrace
{
public:
    explicit ComponentTrace(bool shown);
    ~ComponentTrace();  // standard error as it was; what was held back is dropped
    ComponentTrace(const ComponentTrace&) = delete;
    ComponentTrace& operator=(const ComponentTrace&) = delete;

    // Writes what was held back so far to the terminal.
    void replay();

private:
    std::FILE* held = nullptr;
    int terminal = -1;  // the original standard error
};

// Where a tool says what its user must know: standard error, or the terminal
// behind it while a trace is held back.
std::FILE* userErrors();
}  // namespace tools
