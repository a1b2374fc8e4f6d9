#include "shell/QuitGate.h"
#include "shell/DemoRunnerApplication.h"
#include "firmware/FirmwareWriteGate.h"
#include "firmware/UpgraderDialogWindow.h"
#include "firmware/UpgraderState.h"
#include "core/sync/FirmwareHandOff.h"
#include "core/sync/ProcessState.h"
#include "core/sync/SyncTimer.h"
#include "gui/Dialogs.h"
#include "core/base/PlatformHelpers.h"
#include <cstdio>
#include <utility>

namespace
{
    /** How often a held quit looks again whether the wizard has gone. */
    constexpr int closeRetryMs = 50;

    bool quitWaiting = false;
    bool waitingSaid = false;

    /** The editor's firmware command is on the call stack: the wizard's
        dialog is open, or the command waits for a send to end first. */
    bool wizardOpen()
    {
        return NsZ9m::firmwareHandOffRunning;
    }

    /** The quit was delivered inside a pause that runs the message loop. */
    bool linkPauseRunning()
    {
        return NsZ9m::isWaitingWhileDispatching() || NsZ9m::isSyncTickRunning();
    }

    /** Dismisses every open box and menu, as Escape would, leaving the
        upgrader's own dialogs to closeWizard. A native file chooser is not
        ours to close: the quit waits for the user to answer it. */
    void dismissBoxes()
    {
        juce::PopupMenu::dismissAllActiveMenus();

        juce::Array<juce::Component::SafePointer<juce::Component>> boxes;
        auto& modal = *juce::ModalComponentManager::getInstance();

        for (int i = 0; i < modal.getNumModalComponents(); ++i)
            if (auto* c = modal.getModalComponent (i); c != nullptr && dynamic_cast<vorlix::UpgraderDialogWindow*> (c) == nullptr)
                boxes.add (c);

        for (auto& box : boxes)
            if (box != nullptr)
                box->exitModalState (0);
    }

    /** Ends whatever the wizard waits for, as Escape and the close button
        would: the current wait, the repeat cycles, every box or chooser it
        shows, and its dialog. What runs on goes on without the user. */
    void closeWizard()
    {
        auto& state = vorlix::upgraderState();
        state.abort = true;
        state.repeat = false;

        if (NsZ9m::isFirmwareHandOffDeferred())
            NsZ9m::cancelDeferredFirmwareHandOff();

        dismissBoxes();

        // The upgrader's dialogs close as their close button closes them,
        // whatever the wizard would say about it: result 0, the top one first.
        juce::Array<juce::Component::SafePointer<vorlix::UpgraderDialogWindow>> dialogs;
        auto& desktop = juce::Desktop::getInstance();

        for (int i = desktop.getNumComponents(); --i >= 0;)
            if (auto* dialog = dynamic_cast<vorlix::UpgraderDialogWindow*> (desktop.getComponent (i)))
                dialogs.add (dialog);

        for (auto& dialog : dialogs)
            if (dialog != nullptr && dialog->isVisible())
                dialog->closeButtonPressed();
    }

    void continueQuit()
    {
        if (! quitWaiting)
            return;

        if (vorlix::FirmwareWriteGate::isWriteRunning())
        {
            if (! std::exchange (waitingSaid, true))
            {
                std::fprintf (stderr, "%s\n", QuitGate::waitingLine);
                std::fflush (stderr);
            }

            // Called from the end of the write, inside the step: the rest
            // from the message loop.
            vorlix::FirmwareWriteGate::callWhenWriteEnds ([] { juce::MessageManager::callAsync (continueQuit); });
            return;
        }

        if (wizardOpen())
        {
            closeWizard();
            juce::Timer::callAfterDelay (closeRetryMs, continueQuit);
            return;
        }

        // A box of the editor's waits for its answer: its caller goes on
        // once the box has gone, and only then may the page go.
        if (NsZ9m::Dialogs::isRequestRunning())
        {
            dismissBoxes();
            juce::Timer::callAfterDelay (closeRetryMs, continueQuit);
            return;
        }

        // A pause of the link is on the call stack (a tick opening the
        // surface's ports, a mapping send): the quit came from inside it, and
        // taking the window and the link down now would delete them under it.
        if (linkPauseRunning())
        {
            juce::Timer::callAfterDelay (closeRetryMs, continueQuit);
            return;
        }

        quitWaiting = false;
        waitingSaid = false;
        requestApplicationQuit();
    }
}

bool QuitGate::holdsQuit()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (quitWaiting)
        return true;

    if (! vorlix::FirmwareWriteGate::isWriteRunning() && ! wizardOpen() && ! linkPauseRunning()
         && ! NsZ9m::Dialogs::isRequestRunning())
        return false;

    quitWaiting = true;
    continueQuit();
    return true;
}

bool QuitGate::isQuitWaiting() noexcept
{
    return quitWaiting;
}
