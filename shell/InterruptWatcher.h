#pragma once

#include "shell/ShellIncludes.h"
#include <functional>

/**
    Ctrl+C in the terminal (SIGINT), taken on the message thread.

    The framework's own handler makes the message loop quit at the next
    message it dispatches, whatever the program is doing, even in the middle
    of a firmware write. While this object lives, the signal only sets a
    flag; a timer on the message thread finds it and calls onInterrupt, which
    quits the way the program's other quits do. The previous handler comes
    back when it goes.

    Made by the application in its windowed start; one at a time. The
    handler may run on any thread; everything else is message thread only.
*/
class InterruptWatcher final : private juce::Timer
{
public:
    explicit InterruptWatcher (std::function<void()> onInterrupt);
    ~InterruptWatcher() override;

    /** How often the flag is looked at. */
    static constexpr int pollIntervalMs = 50;

private:
    void timerCallback() override;

    std::function<void()> onInterrupt;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InterruptWatcher)
};
