#pragma once
// A private X server for one test program, exported as DISPLAY and stopped
// again when the object goes away.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace editortest
{
class XvfbDisplay
{
public:
    static constexpr const char* kXvfbPath = "/usr/bin/Xvfb";
    static bool installed() { return access(kXvfbPath, X_OK) == 0; }

    // `screen` as Xvfb takes it: width x height x depth.
    explicit XvfbDisplay(const char* screen = "640x480x24")
    {
        int pipeEnds[2];
        if (!installed() || pipe(pipeEnds) != 0)
            return;
        serverPid = fork();
        if (serverPid == 0)
        {
            // A test program that crashes takes its server along, instead of
            // leaving it running and ctest waiting on its output.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(pipeEnds[0]);
            const std::string fd = std::to_string(pipeEnds[1]);
            execl(kXvfbPath, kXvfbPath, "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
                  "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        // The server picks a free display number itself and writes it once it accepts clients,
        // so parallel test programs never race for one.
        std::string number;
        for (char c = 0; serverPid > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        if (!number.empty())
            setenv("DISPLAY", (displayName = ":" + number).c_str(), 1);
        close(pipeEnds[0]);
    }
    ~XvfbDisplay()
    {
        if (serverPid <= 0)
            return;
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        unsetenv("DISPLAY");
    }
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    bool running() const { return !displayName.empty(); }
    const std::string& name() const { return displayName; }

private:
    pid_t serverPid = -1;
    std::string displayName;
};
}  // namespace editortest
