#pragma once

#include "gui/JuceGuiIncludes.h"

namespace vorlix
{

class FirmwareUpgradeComponent;

/**
    The work behind the wizard's steps that lives outside its step machine:
    finding the unit and bringing it into its upgrade mode ("Start", "Enter",
    "Activate"), obtaining the firmware image ("Select Version" / "Load
    File"), and the two ways of writing it (the bootloader tool, the MIDI
    bootloader).

    The wizard (FirmwareUpgradeComponent) owns one and calls it from its
    buttons, its automatic stepping and its repeat cycles; each step moves the
    wizard on through the wizard's own API (setStep, setBusy, setStatusText,
    selectTargetUnit, the next step) and the process-wide UpgraderState.

    Message thread only.
*/
class FirmwareUpgradeSteps
{
public:
    virtual ~FirmwareUpgradeSteps() = default;

    /** "Start": finds and identifies the unit, ending in
        FirmwareUpgradeComponent::selectTargetUnit when one was chosen. */
    virtual void stepStart (FirmwareUpgradeComponent& wizard) = 0;

    /** "Enter": makes the unit restart in its firmware-upgrade mode. */
    virtual void stepEnter (FirmwareUpgradeComponent& wizard) = 0;

    /** "Activate": connects to the unit in its upgrade mode. */
    virtual void stepActivate (FirmwareUpgradeComponent& wizard) = 0;

    /** "Select Version" / "Load File": obtains the firmware image. */
    virtual void stepSelectFirmware (FirmwareUpgradeComponent& wizard) = 0;

    /** True on a processor on which units cannot be upgraded correctly (an
        Apple M2); the "Upgrade" step then writes nothing. */
    virtual bool cpuModelHasM2() = 0;

    /** Writes the image at imagePath through the bootloader tool. */
    virtual juce::Result upgradeWithBlhost (const juce::String& imagePath) = 0;

    /** Writes the image obtained by the selection step through the MIDI
        bootloader, then closes the ports it used. */
    virtual juce::Result upgradeOverMidi (FirmwareUpgradeComponent& wizard) = 0;

    /** Called as the wizard goes: takes a unit left in its bootloader or
        upgrade mode back to normal operation. */
    virtual void releaseUnits (FirmwareUpgradeComponent& wizard) = 0;

    /** The wizard's pauses: waits about ms milliseconds with the message loop
        running (NsZ9m::waitWhileDispatching). */
    virtual void pause (int ms);
};

/** The steps the program uses. */
std::unique_ptr<FirmwareUpgradeSteps> makeUpgradeSteps();

} // namespace vorlix
