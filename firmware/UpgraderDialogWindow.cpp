#include "firmware/UpgraderDialogWindow.h"

namespace vorlix
{

UpgraderDialogWindow::UpgraderDialogWindow (juce::DialogWindow::LaunchOptions& options, bool decidesOnClose)
    : juce::DialogWindow (options.dialogTitle, options.dialogBackgroundColour,
                          options.escapeKeyTriggersCloseButton, true,
                          options.componentToCentreAround != nullptr
                              ? juce::Component::getApproximateScaleFactorForComponent (options.componentToCentreAround)
                              : 1.0f),
      contentDecidesOnClose (decidesOnClose)
{
    jassert (options.content != nullptr); // give the dialog something to show

    // The title bar first: the window then fits itself around the content
    // with the frame it will really have, and the content keeps its size.
    setUsingNativeTitleBar (options.useNativeTitleBar);
    setResizable (options.resizable, options.useBottomRightCornerResizer);

    if (options.content.willDeleteObject())
        setContentOwned (options.content.release(), true);
    else
        setContentNonOwned (options.content.release(), true);

    centreAroundComponent (options.componentToCentreAround, getWidth(), getHeight());
}

void UpgraderDialogWindow::closeButtonPressed()
{
    // Hiding a modal component ends its modal state with result 0.
    setVisible (false);
}

void UpgraderDialogWindow::userTriedToCloseWindow()
{
    if (auto* content = getContentComponent(); content != nullptr && contentDecidesOnClose)
        content->userTriedToCloseWindow();
    else
        closeButtonPressed();
}

int UpgraderDialogWindow::runModal (juce::DialogWindow::LaunchOptions& options, bool decidesOnClose)
{
    UpgraderDialogWindow window (options, decidesOnClose);
    return ModalDialogRunner::getRunner().runModal (window);
}

//==============================================================================
namespace
{
    /** Shows the window and runs its modal loop. */
    class ProgramRunner final : public ModalDialogRunner
    {
    public:
        int runModal (UpgraderDialogWindow& window) override
        {
           #if JUCE_MODAL_LOOPS_PERMITTED
            window.enterModalState (true);
            return window.runModalLoop();
           #else
            jassertfalse;   // the upgrader's dialogs need modal loops
            juce::ignoreUnused (window);
            return 0;
           #endif
        }
    };

    ModalDialogRunner* installedRunner = nullptr;
}

ModalDialogRunner& ModalDialogRunner::getRunner()
{
    JUCE_ASSERT_MESSAGE_THREAD

    static ProgramRunner programRunner;
    return installedRunner != nullptr ? *installedRunner : programRunner;
}

ModalDialogRunner::ScopedRunner::ScopedRunner (ModalDialogRunner& runner)
    : ScopedOverride (installedRunner, &runner)
{
}

} // namespace vorlix
