#pragma once

#include "core/base/JuceIncludes.h"
#include <atomic>
#include <memory>

namespace z9test
{

/** How long a test waits for something that will come: no machine is so busy
    that it takes this long, so only a fault reaches it, and the test then
    fails with its own message before CTest's limit for a test (120 s) ends
    the process. A test never waits for less: how soon something comes
    depends on how busy the machine is. */
constexpr int testTimeLimitMs = 100000;

/** Runs the message loop in short slices until the predicate holds; returns
    whether it held (false only when testTimeLimitMs passed, which only a
    fault reaches). Timers, async calls and everything else of the message
    loop run meanwhile. Message thread only. */
template <typename Predicate>
bool waitUntil (Predicate&& predicate)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + testTimeLimitMs;

    for (;;)
    {
        if (predicate())
            return true;

        if (juce::Time::getMillisecondCounterHiRes() >= end)
            return predicate();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }
}

/** Handles every message already posted to the message loop, and what those
    post in turn (a few rounds deep), then returns. A check that something
    must NOT happen comes after this: whatever had been set on its way
    (posted messages, async updates, callAsync) has then been handled, however
    slow the machine. Timers that are not due yet are not waited for.
    Message thread only. */
inline void drainMessageLoop (int rounds = 4)
{
    for (int i = 0; i < rounds; ++i)
    {
        auto handled = std::make_shared<std::atomic<bool>> (false);
        juce::MessageManager::callAsync ([handled] { handled->store (true); });
        waitUntil ([&] { return handled->load(); });
    }
}

/** Runs the message loop for at least the given time, timers included. Only
    for a check that something driven by a timer does NOT happen within its
    interval, or for a stand-in of one of the program's own pauses: never to
    wait for something to come (that is waitUntil's work). Message thread only. */
inline void runMessageLoopFor (int ms)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + ms;

    for (auto left = (double) ms; left > 0; left = end - juce::Time::getMillisecondCounterHiRes())
        juce::MessageManager::getInstance()->runDispatchLoopUntil (juce::jmax (1, (int) left));
}

} // namespace z9test
