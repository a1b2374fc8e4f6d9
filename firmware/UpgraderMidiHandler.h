#pragma once

#include "core/link/MidiPortSystem.h"
#include <atomic>

namespace vorlix
{

/** The three bytes EF 7F 7F sent before each enter message and each reset
    command. */
juce::MidiMessage makeFillerMessage();

/** The enter-upgrade-mode message of a product: for length 9 the long form
    F0 1D 03 hi lo 00 7F x F7 (x 7E for two products of other models, else
    7F), for length 8 the short form F0 1D 03 hi lo 55 7F F7, hi and lo being
    the 7-bit halves of getUpgradeModelCode (productId). Any other length
    gives the long form. */
juce::MidiMessage makeEnterUpgradeModeMessage (int productId, int length);

/** The products whose enter message is the short form only, and those that
    send the short form after the long one. */
bool usesShortEnterMessageOnly (int productId);
bool addsShortEnterMessage (int productId);

/**
    The firmware upgrader's MIDI connection to one unit: an input, whose
    messages set the upgrader's acknowledgement flags, and an output to send
    through, both opened from the program's port system (NsZ9m::midiPorts()).

    It also holds the firmware image that the MIDI bootloader transfer sends
    (loadFirmware).

    The input callback runs on the system's MIDI thread and only stores into
    the atomic acknowledgement flags of upgraderState(); the message thread
    polls them. Every other member: message thread only. Owned by the wizard
    (FirmwareUpgradeComponent::midiHandler); closing or destroying it waits
    for a delivery that is running, so the callback never outlives it.
*/
class UpgraderMidiHandler final : private juce::MidiInputCallback
{
public:
    /** productCode: the product of the unit the wizard works on when it made
        the handler; fixed for the handler's life. Clears the acknowledgement
        flags. */
    explicit UpgraderMidiHandler (int productCode);
    ~UpgraderMidiHandler() override;

    /** Closes what is open, then opens the input named portName (compared
        ignoring case) and starts it, and the output of exactly that name.
        The same name serves both sides, so of a Windows pair only the side
        that carries the name opens. */
    void openPorts (const juce::String& portName);

    /** Makes the output named portName (case-sensitive) the handler's output,
        opening it unless the handler already holds it. Returns whether the
        handler holds it now, and sets openedHere when this call opened it. */
    bool useOutput (const juce::String& portName, bool& openedHere);

    /** Releases the output only (the input stays). */
    void closeOutput();

    /** Stops and releases the input, then releases the output. */
    void closePorts();

    bool arePortsOpen() const noexcept   { return input != nullptr && output != nullptr; }
    bool hasOutput() const noexcept      { return output != nullptr; }
    bool hasInput() const noexcept       { return input != nullptr; }
    juce::String getOutputName() const;

    /** True while incoming messages are ignored (no input started). */
    bool isStopped() const noexcept      { return stopped.load() != 0; }

    /** Sends through the output; nothing when none is open. */
    void sendNow (const juce::MidiMessage& message);

    /** Reads the whole file as the image to send (a regular file of at most
        maxImageBytes). The image holds the file's bytes followed by one zero
        byte; getImageSize() is the number of file bytes, 0 when the file
        could not be read or was refused. */
    void loadFirmware (const juce::File& file);

    static constexpr juce::int64 maxImageBytes = 8 * 1024 * 1024;

    const juce::File& getFirmwareFile() const noexcept   { return firmwareFile; }
    const juce::MemoryBlock& getImage() const noexcept   { return image; }
    int getImageSize() const noexcept                    { return imageSize; }
    int getProductCode() const noexcept                  { return productCode; }

private:
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override;

    std::unique_ptr<NsZ9m::MidiInputPort> input;
    std::unique_ptr<NsZ9m::MidiOutputPort> output;
    std::atomic<int> stopped { 1 };

    juce::File firmwareFile;
    juce::MemoryBlock image;
    int imageSize = 0;
    const int productCode;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpgraderMidiHandler)
};

} // namespace vorlix
