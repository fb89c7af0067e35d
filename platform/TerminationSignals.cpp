// SPDX-License-Identifier: MIT
#include "platform/TerminationSignals.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <new>

namespace
{
// What the process showing a box and this one share. SDL forks the box's process inside its
// call, so only the child knows its number: it writes it here, into a page mapped before the fork.
struct BoxProcess
{
    std::atomic<bool> showing{false};
    std::atomic<pid_t> process{0};
    std::atomic<bool> ending{false};
};

BoxProcess* box = nullptr;
struct sigaction sdlHandler;
struct sigaction ownHandler;

void EndOnSignal(int)
{
    const int savedErrno = errno;
    box->ending = true;
    const pid_t showing = box->process;
    if (showing > 0)
        kill(showing, SIGKILL);
    sdlHandler.sa_handler(SIGTERM);
    // SDL's handler puts itself back in place for the signal it was given.
    sigaction(SIGTERM, &ownHandler, nullptr);
    errno = savedErrno;
}

// Runs in every child forked while a box is being shown; a signal that came before the child
// could say who it is still ends it.
void NameBoxProcess()
{
    if (!box->showing)
        return;
    box->process = getpid();
    if (box->ending)
        _exit(1);
}

bool MapBoxProcess()
{
    void* page = mmap(nullptr, sizeof(BoxProcess), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED)
        return false;
    box = new (page) BoxProcess;
    return pthread_atfork(nullptr, nullptr, NameBoxProcess) == 0;
}
}

void EndOnTerminationSignals()
{
    if (box != nullptr)
        return;
    sigaction(SIGTERM, nullptr, &sdlHandler);
    const bool sdlHandles = (sdlHandler.sa_flags & SA_SIGINFO) == 0 && sdlHandler.sa_handler != SIG_DFL &&
                            sdlHandler.sa_handler != SIG_IGN;
    if (!sdlHandles || !MapBoxProcess())
        return;
    ownHandler = sdlHandler;
    ownHandler.sa_handler = EndOnSignal;
    struct sigaction hangUp;
    sigaction(SIGHUP, nullptr, &hangUp);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        if (signal != SIGHUP || hangUp.sa_handler != SIG_IGN)
            sigaction(signal, &ownHandler, nullptr);
}

int ShowMessageBoxUntilTerminated(Uint32 flags, const char* title, const char* text, SDL_Window* owner)
{
    if (box == nullptr)
        return SDL_ShowSimpleMessageBox(flags, title, text, owner);
    if (box->ending)
        return -1;
    box->process = 0;
    box->showing = true;
    const int shown = SDL_ShowSimpleMessageBox(flags, title, text, owner);
    box->showing = false;
    box->process = 0;
    return box->ending ? -1 : shown;
}
