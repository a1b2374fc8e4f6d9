#pragma once

#include "core/base/JuceIncludes.h"

namespace z9test
{

/** Runs the message loop in short slices until the predicate holds or the
    time bound has passed; returns whether the predicate held at the end.
    Timers, async calls and everything else of the message loop run meanwhile.
    Message thread only. */
template <typename Predicate>
bool waitUntil (Predicate&& predicate, int timeoutMs = 2000)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;

    for (;;)
    {
        if (predicate())
            return true;

        const auto left = end - juce::Time::getMillisecondCounterHiRes();

        if (left <= 0)
            return predicate();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (juce::jlimit (1, 5, (int) left));
    }
}

/** Runs the message loop for the given time. Message thread only. */
inline void runMessageLoopFor (int ms)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + ms;

    for (;;)
    {
        const auto left = end - juce::Time::getMillisecondCounterHiRes();

        if (left <= 0)
            return;

        juce::MessageManager::getInstance()->runDispatchLoopUntil (juce::jmax (1, (int) left));
    }
}

} // namespace z9test
