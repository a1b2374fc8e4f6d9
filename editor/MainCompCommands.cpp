// The editor page's commands that no control of the page shows or that leave
// the page: the keyboard commands, the SysEx console and the firmware
// hand-off.

#include "editor/MainComp.h"
#include "editor/EditorHooks.h"
#include "core/base/PlatformHelpers.h"
#include "core/link/ConsoleMessage.h"
#include "core/link/MidiPortSystem.h"
#include "core/sync/FirmwareHandOff.h"
#include "core/sync/PortLookup.h"
#include "core/sync/ProcessState.h"
#include "gui/Dialogs.h"

namespace NsZ9m
{

bool MainComp::keyPressed (const juce::KeyPress& key)
{
    // The modifiers count as a whole: one more changes the command.
    const auto modifiers = key.getModifiers().withoutMouseButtons();
    const auto none = modifiers == juce::ModifierKeys();
    const auto ctrlAlone = modifiers == juce::ModifierKeys (juce::ModifierKeys::ctrlModifier);
    const auto altAlone = modifiers == juce::ModifierKeys (juce::ModifierKeys::altModifier);

    auto code = key.getKeyCode();

    if (code >= 'a' && code <= 'z')
        code += 'A' - 'a';

    // The command may run a modal loop in which the page goes (the program
    // quits): nothing of the page is touched after it.
    const auto passedOn = juce::Component::keyPressed (key);

    if (none)
    {
        if (code == 'I')
            showProcessorBox();
    }
    else if (ctrlAlone)
    {
        if (code == '1')
        {
            outerTabs.setCurrentTabIndex (0, true);
        }
        else if (code == '2')
        {
            // An X model's bar holds "GENERAL SETTINGS" only: asking it for a
            // second tab would leave it with no tab and the area with no page.
            if (outerTabs.getTabbedButtonBar().getNumTabs() > 1)
                outerTabs.setCurrentTabIndex (1, true);
        }
        else if (code == 'Q')
        {
            EditorHooks::quit();
        }
    }
    else if (! altAlone && code == 'M')
    {
        runSysexConsole();
    }

    return passedOn;
}

void MainComp::showProcessorBox()
{
    Dialogs::showMessage (Dialogs::Icon::none, {}, "CPU model: " + getCpuModelTag());
}

void MainComp::runSysexConsole()
{
    auto& ports = midiPorts();
    const auto portName = findBestPortName (ports.getOutputNames(), currentProductId, true);

    // No surface (nor the maker's generic port) to talk to.
    if (portName.isEmpty())
        return;

    // The list may have changed since: look the exact name up again.
    const auto index = ports.getOutputNames().indexOf (portName, false);

    if (index < 0)
        return;

    auto output = ports.openOutput (index);

    if (output == nullptr)
    {
        Dialogs::showMessage (Dialogs::Icon::none, {}, "MIDI output failed!");
        return;
    }

    // OK answers consoleOkResult; Cancel, Escape and a close request all give
    // 0, so nothing but OK ever sends.
    juce::AlertWindow window ("Input MIDI SYSEX", "SYSEX for sending:", juce::MessageBoxIconType::InfoIcon, nullptr);
    window.addTextEditor ("sysex", consolePrefillText);
    window.addButton ("OK", consoleOkResult);
    window.addButton ("Cancel", 0);

    if (Dialogs::runAlertWindow (window) != consoleOkResult)
        return;

    const auto typed = parseConsoleText (window.getTextEditorContents ("sysex"));

    if (auto message = typed.toMidiMessage())
        output->sendMessageNow (*message);
    else
        Dialogs::showMessage (Dialogs::Icon::none, {}, typed.getErrorText());
}

void MainComp::startFirmwareUpgrade()
{
    juce::Component::SafePointer<MainComp> page (this);

    handOffToFirmwareUpgrader ([page]
                               {
                                   // The page may have gone while the hand-off waited.
                                   if (page != nullptr)
                                       EditorHooks::launchFirmwareUpgrader (currentProductId, page.getComponent(),
                                                                            true, true);
                               },
                               []
                               {
                                   // A box or chooser still open keeps the upgrader waiting.
                                   return juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0;
                               });
}

} // namespace NsZ9m
