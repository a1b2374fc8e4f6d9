#pragma once

#include "gui/JuceGuiIncludes.h"
#include "core/base/ScopedOverride.h"

namespace vorlix
{

/**
    The window of each of the upgrader's modal dialogs (the wizard and its
    choosers), built from juce::DialogWindow::LaunchOptions like the
    framework's own dialog window.

    Its close button only hides it, which ends its modal state with result 0.
    With contentDecidesOnClose set, a close request from the system (the
    native title bar's close button, Alt+F4) is handed to the content's
    userTriedToCloseWindow instead, so the wizard can refuse to go while a
    step works on a unit.

    Runs through ModalDialogRunner (runModal), so tests can drive it without
    a modal loop. Message thread only.
*/
class UpgraderDialogWindow : public juce::DialogWindow
{
public:
    UpgraderDialogWindow (juce::DialogWindow::LaunchOptions& options, bool contentDecidesOnClose);

    void closeButtonPressed() override;
    void userTriedToCloseWindow() override;

    /** Builds the window from the options, runs it modally through the runner
        in use and deletes it; returns its modal result. */
    static int runModal (juce::DialogWindow::LaunchOptions& options, bool contentDecidesOnClose);

private:
    const bool contentDecidesOnClose;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpgraderDialogWindow)
};

//==============================================================================
/**
    Runs the upgrader's modal dialogs. The program's runner shows the window
    and runs its modal loop; a test installs one of its own (ScopedRunner)
    that drives the window's content through its API and returns a result
    without a nested loop.

    Message thread only.
*/
class ModalDialogRunner
{
public:
    virtual ~ModalDialogRunner() = default;

    /** Shows the window modally and returns its modal result. The caller owns
        the window and deletes it afterwards. */
    virtual int runModal (UpgraderDialogWindow& window) = 0;

    /** The runner in use: the installed one, else the program's. */
    static ModalDialogRunner& getRunner();

    /** Puts a runner in place of the program's for as long as it lives; the
        previous one comes back when it goes. The caller owns the runner. */
    class ScopedRunner : private NsZ9m::ScopedOverride<ModalDialogRunner*>
    {
    public:
        explicit ScopedRunner (ModalDialogRunner& runner);
    };
};

} // namespace vorlix
