#pragma once

#include "gui/JuceGuiIncludes.h"

namespace vorlix
{

/**
    What the firmware selection step needs of the wizard that runs it: its
    step machine, the unit it works on, the fields it shares with the
    "Upgrade" step, and the unit's MIDI handler.

    The wizard (or its step machine) implements it; tests give one of their
    own. Message thread only.
*/
class FirmwareSelectionHost
{
public:
    virtual ~FirmwareSelectionHost() = default;

    virtual void setStep (int step) = 0;
    virtual void setBusy (bool busy) = 0;
    virtual void setStatusText (const juce::String& text) = 0;

    /** Disables the "Start" and "Enter" buttons. */
    virtual void disableStartAndEnter() = 0;

    /** Runs the "Upgrade" step (automatic stepping). */
    virtual void runUpgradeStep() = 0;

    /** What the chooser dialog is centred on (may be null). */
    virtual juce::Component* getDialogParent() = 0;

    /** The product the catalogue is read for (the unit chosen in "Start"),
        the port name that shows the unit's firmware version, and the product
        of the unit being upgraded now, whose firmware-name patterns a file
        must fit. */
    virtual int getTargetProduct() = 0;
    virtual juce::String getTargetPortName() = 0;
    virtual int getUnitProduct() = 0;

    /** Hands an image file to the unit's MIDI handler (MIDI-bootloader
        family); false when it could not be read as an image. */
    virtual bool loadMidiImage (const juce::File& file) = 0;

    /** Where a tool-family download is kept until the upgrade deletes it. */
    virtual juce::File getDownloadFolder() = 0;

    // The wizard's fields that the step fills.
    virtual juce::File& firmwareFile() = 0;         ///< the downloaded or chosen image
    virtual bool& firmwareFileReady() = 0;          ///< firmwareFile was downloaded: the "Upgrade" step deletes it
    virtual juce::ValueTree& firmwares() = 0;       ///< the catalogue entries last fetched
};

/** The selection step's process-wide flags. */
struct FirmwareSelectionFlags
{
    bool running = false;        ///< a selection runs: another one starts nothing
    bool newerVersion = false;   ///< the catalogue holds a version newer than its first entry, which the unit has
};

FirmwareSelectionFlags& firmwareSelectionFlags();

/**
    "Select Version" / "Load File": obtains the firmware image of the unit.

    Online, it reads the catalogue (the product's normalised id for the
    bootloader-tool family), compares its versions with the unit's, offers
    the entries in the "Firmware Version" chooser and downloads the chosen
    image; manually, or when the catalogue or the download fails, the user
    picks a ".bin" file that must fit the unit's firmware-name patterns.
    The tool family's image path goes into the upgrader's chosen firmware
    path; the MIDI family's image goes into the unit's MIDI handler.

    The chosen firmware path is cleared at the start, so nothing from an
    earlier selection or wizard is ever written, and an image that an earlier
    selection downloaded and no upgrade used (firmwareFileReady) is deleted;
    a file the user picked is never touched. A file is checked against the
    unit being upgraded now (getUnitProduct); and the "Upgrade" step follows
    (under automatic stepping) only when this selection has made an image
    ready. The catalogue fetch and the download mark the host busy.

    One selection at a time: a call while a selection runs (its waits run
    the message loop) returns at once.

    Message thread only.
*/
void runFirmwareSelection (FirmwareSelectionHost& host);

} // namespace vorlix
