#include "firmware/ProgramUpgradeSteps.h"
#include "firmware/DeviceSelectComponent.h"
#include "firmware/FirmwareProducts.h"
#include "firmware/FirmwareUpgradeComponent.h"
#include "firmware/UpgraderMidiHandler.h"
#include "firmware/UpgraderPorts.h"
#include "firmware/UpgraderState.h"
#include "core/base/PlatformHelpers.h"
#include "core/link/PortNames.h"
#include "core/sync/PortLookup.h"
#include "gui/Dialogs.h"

namespace vorlix
{

using NsZ9m::Dialogs;

namespace
{
    const juce::String wizardTitle ("Firmware Upgrade");
    const juce::String notUpgradableText ("This device may be not able to be upgraded by this software.");
    const juce::String connectOnlyText ("Connect ONLY the device you want to update.");
    const juce::String releaseQuestion ("It looks like some of your units are already in firmware upgrade mode. \n Do you want to let them leave firmware upgrade mode?");

    /** Whole seconds, rounded up. */
    juce::String secondsOf (int ms)   { return juce::String ((ms + 999) / 1000); }

    void setCurrentProduct (FirmwareUpgradeComponent& w, int productId)
    {
        w.unitProduct = productId;
        w.targetProduct = productId;
    }

    bool matchesMakerPattern (const juce::String& name)
    {
        return name.matchesWildcard ("VORLIX*Midi*", true);
    }
}

juce::String notFoundMessage (int productId)
{
    return "The target device of \"" + getModelName (productId) + "\" is not found!";
}

int digitBeforeFirstDot (const juce::String& name)
{
    const auto dot = name.indexOfChar ('.');

    if (dot <= 0)
        return 0;

    const auto c = name[dot - 1];
    return juce::CharacterFunctions::isDigit (c) ? (int) (c - '0') : 0;
}

std::array<juce::uint8, 17> makeBootloaderResetPacket()
{
    std::array<juce::uint8, 17> packet {};

    for (int i = 0; i < 10; ++i)
        packet[(size_t) i] = 0x55;

    packet[10] = 0x1d;
    packet[11] = 0x03;
    packet[12] = 0x00;
    packet[13] = 0x49;
    packet[14] = 0x02;
    packet[15] = 0x00;

    int sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += packet[(size_t) i];

    packet[16] = (juce::uint8) (sum & 0xff);
    return packet;
}

//==============================================================================
ProgramUpgradeSteps::ProgramUpgradeSteps (Hooks h, std::unique_ptr<ToolRunner> runner)
    : processorIsAmd ([] { return NsZ9m::cpuIsAmd(); }),
      processorIsAppleM2 ([] { return NsZ9m::getCpuBrand().contains ("M2"); }),
      hooks (std::move (h)),
      tool (std::move (runner))
{
    // The tool's pauses are the steps' own, so that whoever replaces one
    // replaces both.
    tool.pause = [this] (int ms) { pause (ms); };
}

int ProgramUpgradeSteps::probeTool()   { return tool.runBlhost ("keep", juce::String (524288), {}); }
int ProgramUpgradeSteps::resetTool()   { return tool.runBlhost ("reset", juce::String (524288), {}); }

bool ProgramUpgradeSteps::cpuModelHasM2()
{
    return processorIsAppleM2 != nullptr && processorIsAppleM2();
}

juce::Result ProgramUpgradeSteps::upgradeWithBlhost (const juce::String& imagePath)
{
    return tool.upgradeWithBlhost (imagePath);
}

void ProgramUpgradeSteps::stepSelectFirmware (FirmwareUpgradeComponent& w)
{
    if (hooks.selectFirmware)
    {
        hooks.selectFirmware (w);
        return;
    }

    Dialogs::showMessage (Dialogs::Icon::warning, wizardTitle,
                          "This step is not available in this version of the program.");
}

juce::Result ProgramUpgradeSteps::upgradeOverMidi (FirmwareUpgradeComponent& w)
{
    if (hooks.writeOverMidi)
        return hooks.writeOverMidi (w);

    if (w.midiHandler != nullptr)
        w.midiHandler->closePorts();

    return juce::Result::fail ("This version of the program cannot write firmware over MIDI.");
}

//==============================================================================
void ProgramUpgradeSteps::stepStart (FirmwareUpgradeComponent& w)
{
    auto& state = upgraderState();

    w.setStep (-1);
    w.setBusy (true);
    w.targetPortName.clear();
    state.abort = false;

    bool chooseUnit = true, askRelease = false, found = false;
    juce::String error;
    int portCount = 0;

    if (state.toolFamily)
    {
        if (! blhostToolExists (state.toolPath))
        {
            error = "Lacked of upgrade tool!";
        }
        else
        {
            portCount = countTargetPorts (w.unitProduct);
            found = portCount > 0;

            if (! found && state.service)
            {
                // The unit may already run its bootloader: ask the tool.
                state.abort = false;

                for (int i = 1;; ++i)
                {
                    if (probeTool() == 1)
                    {
                        found = true;
                        state.bootloaderActive = true;
                        break;
                    }

                    if (i >= 12)
                    {
                        error = notFoundMessage (w.unitProduct);
                        break;
                    }

                    if (state.abort)
                    {
                        state.abort = false;
                        error = notFoundMessage (w.unitProduct);
                        break;
                    }

                    w.setStatusText ("Waiting for the target device..." + secondsOf (i * 500));
                    pause (500);
                }
            }
            else if (! found)
            {
                state.abort = false;

                for (int j = 1;; ++j)
                {
                    portCount = countTargetPorts (w.unitProduct);

                    if (portCount > 0)
                    {
                        found = true;
                        break;
                    }

                    if (j >= 5)
                        break;

                    if (state.abort)
                    {
                        state.abort = false;
                        break;
                    }

                    w.setStatusText ("Waiting for the target MIDI device..." + juce::String (j));
                    pause (1000);
                }
            }

            if (! found)
            {
                // No port: a unit left in its bootloader answers the tool, and
                // a reset brings it back with its ports.
                if (probeTool() == -1)
                {
                    error = notFoundMessage (w.unitProduct);
                }
                else
                {
                    if (resetTool() == 1)
                    {
                        for (int check = 0; check < 2 && ! found; ++check)
                        {
                            pause (235);
                            const auto count = countTargetPorts (w.unitProduct);

                            if (count > portCount)
                            {
                                portCount = count;
                                found = true;
                            }
                        }

                        if (! found)
                            error = notFoundMessage (w.unitProduct);
                    }
                    else
                    {
                        error = "Cannot get product model!";
                    }

                    state.bootloaderActive = false;
                }
            }

            w.setStatusText ({});
            portCount = countTargetPorts (w.unitProduct);

            if (portCount >= 1)
            {
                if (state.automaticStepping)
                {
                    w.targetPortName = findTargetPortName (listPortDisplayNames (true, true, false), w.unitProduct, true);
                    w.targetProduct = NsZ9m::getProductIdFromPortName (w.targetPortName);
                    w.unitProduct = w.targetProduct;
                    chooseUnit = false;
                }
            }
            else if (found)
            {
                if (state.service)
                {
                    setCurrentProduct (w, w.launchProduct);
                    chooseUnit = false;
                }
                else
                {
                    found = false;
                    error = notFoundMessage (w.unitProduct);
                }
            }
        }
    }
    else
    {
        const int attempts = state.automaticStepping ? 4 : 3;
        bool done = false;

        for (int attempt = 0; attempt < attempts && ! done; ++attempt)
        {
            for (int poll = 0; poll < 5; ++poll)
            {
                if (! listSelectablePortNames (false, ! state.service).isEmpty() || state.abort)
                {
                    done = true;
                    break;
                }

                pause (1000);
                w.setStatusText (juce::String::formatted ("(%d)", attempt * 5 + poll + 1));
            }
        }
    }

    w.setStatusText ({});
    w.setBusy (false);
    w.setStep (-1);

    if (chooseUnit)
    {
        // Where the user chooses, the choice decides: a unit seen on the ports
        // before does not hide what is wrong with the one chosen.
        found = false;

        const auto choice = DeviceSelectComponent::runChooserDialog (w.unitProduct, {}, &w);

        if (choice.confirmed)
        {
            w.targetPortName = choice.selectedName;
            w.targetProduct = NsZ9m::getProductIdFromPortName (w.targetPortName);
            w.unitProduct = w.targetProduct;
            state.toolFamily = isBlhostProduct (w.unitProduct);

            const auto fallbackProduct = state.anyProduct ? w.previousProduct : w.launchProduct;
            const auto upgradePorts = countPortsContaining (upgradeModePortText, true);

            if (w.targetProduct == productNone && isUpgradeModePortName (w.targetPortName))
            {
                if (state.service)
                {
                    if (upgradePorts >= 2)
                        error = connectOnlyText;
                    else
                        found = w.selectTargetUnit (fallbackProduct);
                }
                else
                {
                    error = releaseQuestion;
                    askRelease = true;
                }
            }
            else if (w.targetProduct == productNone && matchesMakerPattern (w.targetPortName))
            {
                if (state.service)
                    found = w.selectTargetUnit (fallbackProduct);
                else
                    error = notUpgradableText;
            }
            else if (w.targetProduct == productNone)
            {
                error = notUpgradableText;
            }
            else if (upgradePorts > 0)
            {
                error = releaseQuestion;
                askRelease = true;
            }
            else if (state.anyProduct || w.targetProduct == w.launchProduct)
            {
                if (countUnitsNamedLike (w.targetPortName) > 1)
                    error = connectOnlyText;
                else
                    found = w.selectTargetUnit (state.anyProduct ? w.targetProduct : w.launchProduct);
            }
            else
            {
                error = notUpgradableText;
            }
        }
        else
        {
            w.setStatusText ({});
            w.setStep (-1);
        }
    }
    else
    {
        found = w.selectTargetUnit (w.unitProduct);
    }

    if (! state.toolFamily && processorIsAmd != nullptr && processorIsAmd())
    {
        Dialogs::showMessage (Dialogs::Icon::warning, wizardTitle,
                              "Cannot upgrade firmware!\n \nSince Ostrik is not compatible with your computer with AMD chip.");
        return;
    }

    if (found)
        return;

    if (askRelease)
    {
        const bool release = state.automaticStepping
                          || Dialogs::showOkCancel (Dialogs::Icon::info, wizardTitle, error, "Yes", "No");

        if (release && ! releaseUpgradeModeUnits())
            Dialogs::showMessage (Dialogs::Icon::warning, wizardTitle,
                                  "It looks like your device is still in firmware upgrade mode. \nPlease turn off and turn on the device and try again.");
        return;
    }

    if (error == notUpgradableText)
        Dialogs::showMessage (Dialogs::Icon::info, wizardTitle, "\"" + w.targetPortName + "\"\n" + error);
    else
        Dialogs::showMessage (Dialogs::Icon::info, wizardTitle, error);
}

//==============================================================================
void ProgramUpgradeSteps::stepEnter (FirmwareUpgradeComponent& w)
{
    auto& state = upgraderState();

    w.setStep (0);
    const auto realName = resolvePortDisplayName (w.targetPortName);
    w.setBusy (true);
    state.toolFamily = isBlhostProduct (w.unitProduct);

    juce::String error ("Device cannot enter Firmware Upgrade mode!");
    bool ok = false;
    const int interval = state.service ? 333 : 500;

    if (w.midiHandler == nullptr)
        w.midiHandler = std::make_unique<UpgraderMidiHandler> (w.unitProduct);

    auto& handler = *w.midiHandler;

    if (state.toolFamily)
    {
        const auto portCount = countTargetPorts (w.unitProduct);

        if (portCount > 0)
        {
            if (w.targetPortName.isNotEmpty())
                handler.openPorts (NsZ9m::pairPortName (w.targetPortName, true));

            // The output goes through the handler: when it already holds the
            // unit's output, that one is used, never a second opening.
            bool openedHere = false;

            if (handler.useOutput (w.targetPortName, openedHere))
            {
                state.abort = false;

                for (int attempt = 0; attempt < 3; ++attempt)
                {
                    handler.sendNow (makeFillerMessage());
                    state.acknowledgements.clear();
                    handler.sendNow (makeEnterUpgradeModeMessage (w.unitProduct, 9));

                    for (int i = 0; i < 30 && ! state.acknowledgements.upgradeMode.load(); ++i)
                        pause (3);

                    pause (235);

                    for (int j = 1;; ++j)
                    {
                        if (state.abort)
                            break;

                        const auto answer = probeTool();

                        if (answer == 0 || answer == 1)
                        {
                            ok = true;
                            state.bootloaderActive = true;
                            break;
                        }

                        if (j >= 5)
                        {
                            error = "Device cannot enter Firmeware Upgrade mode!";
                            break;
                        }

                        w.setStatusText ("Waiting to enter Firmware Upgrade mode..." + secondsOf (j * interval));
                        pause (interval);
                    }

                    w.setStatusText ({});
                }
            }
            else
            {
                error = "Target device is occupied!";
            }

            if (openedHere)
                handler.closeOutput();
        }
        else if (state.service)
        {
            if (probeTool() == 1)
            {
                pause (interval);
                state.bootloaderActive = true;
                ok = true;
            }
            else
            {
                error = notFoundMessage (w.unitProduct);
            }
        }
        else
        {
            error = "No target!";
        }
    }
    else
    {
        pause (interval);

        bool openedHere = false;

        if (handler.useOutput (realName, openedHere))
        {
            if (realName.containsIgnoreCase (upgradeModePortText))
            {
                ok = true;   // already in upgrade mode
            }
            else
            {
                for (int attempt = 0; attempt < 3 && ! ok && ! state.abort; ++attempt)
                {
                    pause (100);
                    handler.sendNow (makeFillerMessage());
                    handler.sendNow (makeEnterUpgradeModeMessage (w.unitProduct, usesShortEnterMessageOnly (w.unitProduct) ? 8 : 9));

                    if (addsShortEnterMessage (w.unitProduct))
                    {
                        juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
                        handler.sendNow (makeFillerMessage());
                        handler.sendNow (makeEnterUpgradeModeMessage (w.unitProduct, 8));
                    }

                    for (int check = 0; check < 8; ++check)
                    {
                        for (int p = 0; p < 5; ++p)
                            pause (100);

                        if (countPortsContaining (upgradeModePortText, true) >= 1)
                        {
                            ok = true;
                            break;
                        }

                        if (state.abort)
                            break;
                    }
                }
            }
        }
        else
        {
            ok = countPortsContaining (upgradeModePortText, true) > 0;
        }

        if (openedHere)
            handler.closeOutput();
    }

    w.setBusy (false);

    if (ok)
    {
        w.setStep (1);

        if (state.automaticStepping)
            w.stepActivate();
    }
    else if (state.service && matchesMakerPattern (w.targetPortName))
    {
        w.setStep (1);
    }
    else
    {
        w.setStep (0);

        if (! state.repeat)
            Dialogs::showMessage (Dialogs::Icon::warning, wizardTitle, error);
    }
}

//==============================================================================
void ProgramUpgradeSteps::stepActivate (FirmwareUpgradeComponent& w)
{
    auto& state = upgraderState();

    if (state.toolFamily)
    {
        // The tool reaches the unit itself: nothing to connect.
        w.setStep (2);

        if (state.automaticStepping)
            w.stepSelectFirmware();

        return;
    }

    w.setStep (1);
    w.getStepButton (0).setEnabled (false);
    w.getStepButton (1).setEnabled (false);
    w.setBusy (true);
    pause (50);

    w.midiHandler = std::make_unique<UpgraderMidiHandler> (w.unitProduct);

    const auto choice = DeviceSelectComponent::runChooserDialog (w.unitProduct, upgradeModePortText, &w);
    w.setBusy (false);
    w.setStep (1);

    if (choice.confirmed)
    {
        w.upgradePortName = resolvePortDisplayName (choice.selectedName);

        if (isUpgradePort (w.upgradePortName))
        {
            if (w.unitProduct == pairedUpgradeProducts[0] || w.unitProduct == pairedUpgradeProducts[1])
            {
                w.previousProduct = w.unitProduct;
                setCurrentProduct (w, digitBeforeFirstDot (w.upgradePortName) == 1 ? pairedUpgradeProducts[0]
                                                                                    : pairedUpgradeProducts[1]);
            }

            pause (3);
            w.midiHandler->openPorts (w.upgradePortName);
            pause (10);

            if (w.midiHandler->arePortsOpen())
            {
                w.setStep (2);
                w.getStepButton (0).setEnabled (false);
            }
            else
            {
                Dialogs::showMessage (Dialogs::Icon::info, "Midi Device",
                                      "Could not open the selected MIDI input device: " + w.upgradePortName);
                w.setStep (1);
                w.getStepButton (0).setEnabled (true);
            }
        }
        else
        {
            Dialogs::showMessage (Dialogs::Icon::warning, "Step 3",
                                  "Please select the unit \"" + juce::String (upgradeModePortText) + "\"");
            w.setStep (1);
            w.getStepButton (0).setEnabled (true);
        }

        if (state.automaticStepping)
            w.stepSelectFirmware();
    }
    else
    {
        w.setStep (1);
        w.getStepButton (0).setEnabled (true);
    }
}

//==============================================================================
void ProgramUpgradeSteps::sendResetCommandsToUpgradePorts()
{
    auto& ports = NsZ9m::midiPorts();
    const auto packet = makeBootloaderResetPacket();

    for (auto& name : ports.getOutputNames())
    {
        if (name.isEmpty() || ! isUpgradePort (name))
            continue;

        const auto index = ports.getOutputNames().indexOf (name, false);
        auto output = index >= 0 ? ports.openOutput (index) : nullptr;

        if (output == nullptr)
            continue;

        output->sendMessageNow (makeFillerMessage());
        pause (1);

        for (auto byte : packet)
        {
            output->sendMessageNow (juce::MidiMessage (0x9f, byte >> 4, byte & 0x0f));
            pause (1);
        }
    }
}

bool ProgramUpgradeSteps::releaseUpgradeModeUnits()
{
    sendResetCommandsToUpgradePorts();
    pause (50);
    return countPortsContaining (upgradeModePortText, true) < 1;
}

void ProgramUpgradeSteps::releaseUnits (FirmwareUpgradeComponent&)
{
    auto& state = upgraderState();

    if (state.toolFamily)
    {
        if (state.bootloaderActive)
            resetTool();

        return;
    }

    sendResetCommandsToUpgradePorts();
    pause (50);
}

} // namespace vorlix
