#pragma once
// A private X server for one test program: Xvfb on the first free display
// number, stopped again when the object goes away.

#include <sys/types.h>

#include <string>

namespace editortest
{
class XvfbDisplay
{
public:
    XvfbDisplay();
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // False with a reason when the server could not be started.
    bool running() const { return serverPid > 0; }
    const std::string& failure() const { return failureReason; }
    // ":<number>"; also exported as DISPLAY while the server runs.
    const std::string& name() const { return displayName; }

    static bool installed();

private:
    pid_t serverPid = -1;
    std::string displayName;
    std::string failureReason;
};
}  // namespace editortest
