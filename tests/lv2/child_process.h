#pragma once
// A program the test starts and ends: its own environment, standard input
// from /dev/null, output into a file for the failure messages, ended with the
// test program if that dies first.

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace lv2test
{
class ChildProcess
{
public:
    ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                 const std::filesystem::path& output)
    {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& variable : environment)
            envp.push_back(const_cast<char*>(variable.c_str()));
        envp.push_back(nullptr);
        pid = fork();
        if (pid == 0)
        {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int input = open("/dev/null", O_RDONLY);
            const int log = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(input, STDIN_FILENO);
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Whether it still runs; the exit status is kept once it has ended.
    bool running()
    {
        if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid)
            pid = -1;
        return pid > 0;
    }
    int exitStatus() const { return status; }

    // SIGTERM, and SIGKILL when that has not ended it within 10 s.
    void stop()
    {
        if (!running())
            return;
        kill(pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (running())
        {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            pid = -1;
        }
    }

private:
    pid_t pid = -1;
    int status = 0;
};
}  // namespace lv2test
