// SPDX-License-Identifier: MIT
#include "ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace
{
// The child at work, told of SIGINT and SIGTERM sent to this process.
volatile sig_atomic_t workingProcess = 0;

void ForwardToWorkingProcess(int signal)
{
    if (workingProcess > 0)
        kill(workingProcess, signal);
}
}

int RunInChildProcess(const std::function<int(int channel)>& work, const std::function<bool(int channel)>& receive)
{
    std::signal(SIGINT, ForwardToWorkingProcess);
    std::signal(SIGTERM, ForwardToWorkingProcess);
    int channel[2];
    if (pipe(channel) != 0)
        return 1;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0)
    {
        // SDL turns the signals into its quit event only where they have no handler yet.
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        close(channel[0]);
        _exit(StatusAfterFlushingReport(work(channel[1])));
    }
    workingProcess = child;
    close(channel[1]);
    const bool received = child > 0 && receive(channel[0]);
    // Closed before the wait, so that a child still writing what was not read ends instead.
    close(channel[0]);
    int status = 1;
    if (child > 0)
        waitpid(child, &status, 0);
    workingProcess = 0;
    if (child <= 0 || !WIFEXITED(status))
        return 1;
    const int exitStatus = WEXITSTATUS(status);
    return exitStatus == 0 && !received ? 1 : exitStatus;
}

int StatusAfterFlushingReport(int status)
{
    errno = 0;
    const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (written || status != 0)
        return status;
    std::fprintf(stderr, "the report could not be written to standard output: %s\n",
                 errno != 0 ? std::strerror(errno) : "write error");
    return 1;
}
