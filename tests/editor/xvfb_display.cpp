#include "xvfb_display.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace editortest
{
namespace
{
constexpr const char* kXvfbPath = "/usr/bin/Xvfb";

bool displayNumberTaken(int number)
{
    const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    return std::filesystem::exists(lock) || std::filesystem::exists(socket);
}
}  // namespace

bool XvfbDisplay::installed()
{
    return access(kXvfbPath, X_OK) == 0;
}

XvfbDisplay::XvfbDisplay()
{
    if (!installed())
    {
        failureReason = "Xvfb is not installed";
        return;
    }
    // Start from a number derived from the process id, so parallel test
    // programs rarely race for the same one.
    for (int attempt = 0; attempt < 40 && serverPid <= 0; ++attempt)
    {
        const int number = 100 + (getpid() + attempt * 7) % 400;
        if (displayNumberTaken(number))
            continue;
        const std::string name = ":" + std::to_string(number);
        const pid_t pid = fork();
        if (pid == 0)
        {
            execl(kXvfbPath, kXvfbPath, name.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                  "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid < 0)
            break;
        // Ready once a client can connect; gone if it lost a race for the number.
        for (int wait = 0; wait < 100; ++wait)
        {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                break;
            if (Display* display = XOpenDisplay(name.c_str()))
            {
                XCloseDisplay(display);
                serverPid = pid;
                displayName = name;
                setenv("DISPLAY", name.c_str(), 1);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    failureReason = "Xvfb did not start on any free display";
}

XvfbDisplay::~XvfbDisplay()
{
    if (serverPid <= 0)
        return;
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
    unsetenv("DISPLAY");
}
}  // namespace editortest
