#include "core/base/JuceIncludes.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>

// Every test runs with JUCE's message manager up, on this thread, so tests can
// run timers and the message loop (runDispatchLoopUntil, waitWhileDispatching).
// The settings file is kept in a temporary folder for the whole run, so no test
// can reach the machine's real settings, even one that forgets to redirect.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;

    int result = 0;
    {
        z9test::TempFolder settingsFolder;
        NsZ9m::SettingsLocation::ScopedRedirect redirect (settingsFolder.get());
        result = RUN_ALL_TESTS();
    }
    return result;
}
