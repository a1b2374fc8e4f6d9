#include "core/base/JuceIncludes.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <optional>
#include <string>

#include <dlfcn.h>
#include <initializer_list>

namespace
{
    /** Points the system's temporary folder at another folder while it exists. */
    struct ScopedTemporaryFolder
    {
        explicit ScopedTemporaryFolder (const juce::File& folder)
        {
            if (auto* old = std::getenv (variable))
                previous = std::string (old);

            set (folder.getFullPathName().toStdString());
        }

        ~ScopedTemporaryFolder()
        {
            if (previous.has_value())
                set (*previous);
            else
               #if JUCE_WINDOWS
                _putenv_s (variable, "");
               #else
                unsetenv (variable);
               #endif
        }

    private:
        static void set (const std::string& value)
        {
           #if JUCE_WINDOWS
            _putenv_s (variable, value.c_str());
           #else
            setenv (variable, value.c_str(), 1);
           #endif
        }

       #if JUCE_WINDOWS
        static constexpr const char* variable = "TMP";
       #else
        static constexpr const char* variable = "TMPDIR";
       #endif

        std::optional<std::string> previous;
    };


// The framework loads the X libraries when the first window appears and
// unloads them at shutdown. Whatever those libraries still held then (their
// caches, the display's buffers) is no longer reachable from a loaded module,
// and the leak checker of the sanitizer run reports all of it as leaked, from
// an "<unknown module>". Loading them once more, never to be unloaded, keeps
// them mapped to the end, so the leak check sees what they hold as reachable
// and still finds any leak of the program's own.
void keepWindowLibrariesLoaded()
{
    for (auto* name : { "libX11.so.6", "libXext.so.6", "libXcursor.so.1",
                        "libXinerama.so.1", "libXrender.so.1", "libXrandr.so.2" })
        dlopen (name, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);   // a missing one is the framework's matter
}

// Every picture a test draws uses the same few font files on every machine:
// the framework reads its fonts only from the folder the build filled with
// them (tests/CMakeLists.txt), and not from the system's font folders.
void pinFonts()
{
   #ifdef Z9_TEST_FONT_DIR
    setenv ("JUCE_FONT_PATH", Z9_TEST_FONT_DIR, 1);
   #endif
}

} // namespace

// Every test runs with JUCE's message manager up, on this thread, so tests can
// run timers and the message loop (runDispatchLoopUntil, waitWhileDispatching).
//
// The process works in a scratch folder of its own, made atomically under a
// unique name: the system's temporary folder points into it for the whole
// run (so every fixture's TempFolder lands there), and so does the settings
// file, so no test can reach the machine's real settings or another test
// process's files, even one that forgets to redirect.
//
// The process counts as a standalone application, as the program does, so JUCE
// sets up X the way the program gets it: thread support and its own tolerant
// X error handlers (a bare virtual display has no window manager, and Xlib's
// default handler would end the process on the first refused request). The
// factory is never called: no test runs the application's own loop.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    pinFonts();
    keepWindowLibrariesLoaded();
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
    juce::ScopedJuceInitialiser_GUI juce;

    int result = 0;
    {
        z9test::TempFolder processFolder;
        ScopedTemporaryFolder temporary (processFolder.get());
        z9test::TempFolder settingsFolder;
        NsZ9m::SettingsLocation::ScopedRedirect redirect (settingsFolder.get());
        result = RUN_ALL_TESTS();
    }
    return result;
}
