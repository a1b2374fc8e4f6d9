#include "core/base/JuceIncludes.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>

// Every test runs with JUCE's message manager up, on this thread, so tests can
// run timers and the message loop (runDispatchLoopUntil, waitWhileDispatching).
// The settings file is kept in a temporary folder for the whole run, so no test
// can reach the machine's real settings, even one that forgets to redirect.
//
// The process counts as a standalone application, as the program does, so JUCE
// sets up X the way the program gets it: thread support and its own tolerant
// X error handlers (a bare virtual display has no window manager, and Xlib's
// default handler would end the process on the first refused request). The
// factory is never called: no test runs the application's own loop.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
    juce::ScopedJuceInitialiser_GUI juce;

    int result = 0;
    {
        z9test::TempFolder settingsFolder;
        NsZ9m::SettingsLocation::ScopedRedirect redirect (settingsFolder.get());
        result = RUN_ALL_TESTS();
    }
    return result;
}
