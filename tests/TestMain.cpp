#include "core/JuceIncludes.h"
#include <gtest/gtest.h>

// Every test runs with JUCE's message manager up, on this thread, so tests can
// run timers and the message loop (runDispatchLoopUntil, waitWhileDispatching).
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
