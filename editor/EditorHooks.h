#pragma once

#include "core/base/ScopedOverride.h"

#include "gui/JuceGuiIncludes.h"
#include <functional>

namespace NsZ9m
{

/**
    What the editor asks of the program around it: the firmware upgrader, and
    the quit of Ctrl+Q. The editor knows neither; the application installs
    both at start-up (the firmware upgrader's launch and the shell's quit),
    and tests install their own.

    With nothing installed, the launch does nothing and returns 0 (as if the
    user declined the warning), and the quit does nothing.

    Message thread only.
*/
class EditorHooks
{
public:
    /** Runs the firmware upgrader for a unit of productId, centred around the
        component, after its warning when showWarning is set, with the
        catalogue (onlineMode) or a file; returns once its dialog has closed,
        with the dialog's result (0 when the warning was declined). */
    using FirmwareLauncher = std::function<int (int productId, juce::Component* centreAround,
                                                bool showWarning, bool onlineMode)>;

    /** Ends the program: the message loop stops (once nothing holds the
        quit back, such as a firmware write that is running), and the
        application's shutdown then destroys the window with its page. */
    using QuitHandler = std::function<void()>;

    static void setFirmwareLauncher (FirmwareLauncher launcher);
    static void setQuitHandler (QuitHandler handler);

    /** Runs the installed launcher; 0 when there is none. */
    static int launchFirmwareUpgrader (int productId, juce::Component* centreAround,
                                       bool showWarning, bool onlineMode);

    /** Runs the installed quit; nothing when there is none. */
    static void quit();

    //==============================================================================
    /** Installs a launcher for as long as it lives, then puts the previous one
        back (for tests). */
    class ScopedFirmwareLauncher : private ScopedOverride<FirmwareLauncher>
    {
    public:
        explicit ScopedFirmwareLauncher (FirmwareLauncher launcher);
    };

    /** Installs a quit for as long as it lives, then puts the previous one
        back (for tests). */
    class ScopedQuitHandler : private ScopedOverride<QuitHandler>
    {
    public:
        explicit ScopedQuitHandler (QuitHandler handler);
    };

private:
    static FirmwareLauncher& launcher();
    static QuitHandler& quitHandler();
};

} // namespace NsZ9m
