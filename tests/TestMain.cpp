#include "core/base/JuceIncludes.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <optional>
#include <string>

#include <dlfcn.h>
#include <initializer_list>
#include <signal.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstring>

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

// Whether the framework will find a display to open windows on: the one it
// connects to (DISPLAY, else ":0.0", as JUCE's X layer picks it) answers.
// The connection is closed again at once; no window is made.
bool displayIsReachable()
{
    using OpenDisplay = void* (*) (const char*);
    using CloseDisplay = int (*) (void*);

    auto* xlib = dlopen ("libX11.so.6", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);

    if (xlib == nullptr)
        return false;

    auto open = reinterpret_cast<OpenDisplay> (dlsym (xlib, "XOpenDisplay"));
    auto close = reinterpret_cast<CloseDisplay> (dlsym (xlib, "XCloseDisplay"));

    if (open == nullptr || close == nullptr)
        return false;

    const auto* variable = std::getenv ("DISPLAY");
    auto* display = open (variable != nullptr && *variable != 0 ? variable : ":0.0");

    if (display == nullptr)
        return false;

    close (display);
    return true;
}

// Without a display the framework finds no screen, and a windowed test ends
// at its first window, when it reads the screen's area through a null
// pointer. That crash is turned into a failure that says why; any other
// crash goes on to the handler that was there before (the sanitizer's, or
// the system's).
namespace withoutDisplay
{
    char testName[512] = "A windowed test";
    struct sigaction previous {};

    void write (const char* text)
    {
        auto ignored = ::write (STDERR_FILENO, text, std::strlen (text));
        (void) ignored;
    }

    void crashed (int signal, siginfo_t* info, void*)
    {
        constexpr std::uintptr_t nullPage = 65536;

        if (info == nullptr || reinterpret_cast<std::uintptr_t> (info->si_addr) >= nullPage)
        {
            sigaction (signal, &previous, nullptr);
            return;   // the fault repeats, for that handler to take
        }

        write ("\n");
        write (testName);
        write (" needs a display and there is none: the framework found no screen to put its windows on.\n"
               "Run the tests with the README's command, scripts/test.sh, which starts a virtual display"
               " when there is none (or run ctest through scripts/virtual-display.sh).\n");
        _exit (1);
    }

    struct TestNames final : public ::testing::EmptyTestEventListener
    {
        void OnTestStart (const ::testing::TestInfo& info) override
        {
            std::snprintf (testName, sizeof (testName), "%s.%s", info.test_suite_name(), info.name());
        }
    };

    void install()
    {
        struct sigaction action {};
        action.sa_sigaction = crashed;
        action.sa_flags = SA_SIGINFO;
        sigemptyset (&action.sa_mask);
        sigaction (SIGSEGV, &action, &previous);

        ::testing::UnitTest::GetInstance()->listeners().Append (new TestNames());
    }
}

// A windowed test run without a display fails at its first window and says
// to run the tests with their display; every other test runs as usual. The
// display is looked for once, before the first test.
void failWindowedTestsClearlyWithoutADisplay()
{
    if (! displayIsReachable())
        withoutDisplay::install();
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
    failWindowedTestsClearlyWithoutADisplay();
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
