#pragma once

#include "firmware/FirmwareSelection.h"
#include "firmware/MidiBootloader.h"

namespace vorlix
{

class FirmwareUpgradeComponent;

/**
    The selection step and the MIDI bootloader write, as the wizard's steps
    call them: each runs on the wizard's own step machine, its fields and its
    progress bar and status line.

    loadMidiImage hands an image file to the unit's MIDI handler (false when
    it could not be read); downloadFolder is where a bootloader-tool download
    is kept until the "Upgrade" step deletes it. Message thread only.
*/
void selectFirmwareForWizard (FirmwareUpgradeComponent& wizard,
                              std::function<bool (const juce::File&)> loadMidiImage,
                              const juce::File& downloadFolder);

/** The MIDI bootloader write of the "Upgrade" step, showing its progress
    and its states ("Connecting...", "Erasing...", "Installing...",
    "Resetting...") in the wizard. */
juce::Result writeOverMidiForWizard (FirmwareUpgradeComponent& wizard, NsZ9m::MidiOutputPort* output, bool inputOpen,
                                     AcknowledgementFlags& flags, const std::vector<juce::uint8>& image, int productCode,
                                     const MidiTransferTiming& timing = {});

} // namespace vorlix
