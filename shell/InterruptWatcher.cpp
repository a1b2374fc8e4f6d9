#include "shell/InterruptWatcher.h"
#include <atomic>
#include <csignal>

namespace
{
    std::atomic<bool> interrupted { false };
    static_assert (std::atomic<bool>::is_always_lock_free, "the signal handler may only touch a lock-free flag");

    struct sigaction previousAction {};

    extern "C" void onSigint (int)
    {
        interrupted.store (true);
    }
}

InterruptWatcher::InterruptWatcher (std::function<void()> onInterruptToUse)
    : onInterrupt (std::move (onInterruptToUse))
{
    interrupted.store (false);

    struct sigaction action {};
    action.sa_handler = onSigint;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction (SIGINT, &action, &previousAction);

    startTimer (pollIntervalMs);
}

InterruptWatcher::~InterruptWatcher()
{
    stopTimer();
    sigaction (SIGINT, &previousAction, nullptr);
    interrupted.store (false);
}

void InterruptWatcher::timerCallback()
{
    if (interrupted.exchange (false) && onInterrupt != nullptr)
        onInterrupt();
}
