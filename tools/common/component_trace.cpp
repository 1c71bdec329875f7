#include "common/component_trace.h"

#include <csignal>
#include <unistd.h>

namespace tools
{
namespace
{
// For userErrors() and the abort handler: the held trace and the terminal.
std::FILE* gUserErrors = nullptr;
volatile std::sig_atomic_t gHeldDescriptor = -1;
volatile std::sig_atomic_t gTerminalDescriptor = -1;
struct sigaction gPreviousAbortAction;

// Only async-signal-safe calls: the held text is copied with read and write.
void copyHeld(int held, int terminal)
{
    char chunk[4096];
    lseek(held, 0, SEEK_SET);
    for (ssize_t size; (size = read(held, chunk, sizeof chunk)) > 0;)
        if (write(terminal, chunk, static_cast<size_t>(size)) != size)
            return;
}

void showHeldOnAbort(int signal)
{
    if (gHeldDescriptor >= 0 && gTerminalDescriptor >= 0)
    {
        copyHeld(gHeldDescriptor, gTerminalDescriptor);
        dup2(gTerminalDescriptor, STDERR_FILENO);
    }
    sigaction(SIGABRT, &gPreviousAbortAction, nullptr);
    raise(signal);
}
}  // namespace

ComponentTrace::ComponentTrace(bool shown)
{
    if (shown)
        return;
    std::fflush(stderr);
    held = std::tmpfile();
    terminal = dup(STDERR_FILENO);
    if (!held || terminal < 0 || dup2(fileno(held), STDERR_FILENO) < 0)
    {
        // Without a place to hold it, the trace stays on the terminal.
        if (held)
            std::fclose(held);
        if (terminal >= 0)
            close(terminal);
        held = nullptr;
        terminal = -1;
        return;
    }
    gUserErrors = fdopen(dup(terminal), "w");
    if (gUserErrors)
        std::setvbuf(gUserErrors, nullptr, _IONBF, 0);
    gHeldDescriptor = fileno(held);
    gTerminalDescriptor = terminal;
    struct sigaction action = {};
    action.sa_handler = showHeldOnAbort;
    sigemptyset(&action.sa_mask);
    sigaction(SIGABRT, &action, &gPreviousAbortAction);
}

ComponentTrace::~ComponentTrace()
{
    if (!held)
        return;
    std::fflush(stderr);
    sigaction(SIGABRT, &gPreviousAbortAction, nullptr);
    gHeldDescriptor = -1;
    gTerminalDescriptor = -1;
    dup2(terminal, STDERR_FILENO);
    close(terminal);
    std::fclose(held);
    if (gUserErrors)
        std::fclose(gUserErrors);
    gUserErrors = nullptr;
}

void ComponentTrace::replay()
{
    if (!held)
        return;
    std::fflush(stderr);
    copyHeld(fileno(held), terminal);
    lseek(fileno(held), 0, SEEK_END);
}

std::FILE* userErrors() { return gUserErrors ? gUserErrors : stderr; }
}  // namespace tools
