#pragma once

#include "core/sync/Host.h"
#include "core/link/MidiPortSystem.h"
#include <memory>

namespace NsZ9m
{

/**
    The Host's one connection to a surface: it owns the surface's open input
    and output port and decodes what the input receives, unless it is stopped.

    The Host keeps exactly one, in Host::input; a send and every reconnection
    replace it by a new one, which closes the old one's ports. Everything but
    handleIncomingMidiMessage runs on the message thread.
*/
class Host::MidiInputHandler : public juce::MidiInputCallback
{
public:
    /** No ports, running; resets the surface's reply state. */
    MidiInputHandler();

    /** Closes the input (so no callback can come in any more), then the output. */
    ~MidiInputHandler() override;

    /** Closes whatever is open, then opens the input port of that name (found
        ignoring case) and the output port that pairs with it (found exactly),
        and starts the input. Pauses 3 ms first, with the message loop running. */
    void openPorts (const juce::String& inputPortName);

    /** Closes the output, then stops and closes the input. */
    void closePorts();

    /** 1 stops decoding (the input is closing or closed), 0 lets it run. Any thread. */
    void setStopped (int shouldBeStopped) noexcept;

    bool isRunning() const noexcept;
    bool isStopped() const noexcept;

    /** True when both the input and the output are open. */
    bool arePortsOpen() const noexcept;

    /** The MIDI callback: decodes the surface's replies. MIDI input thread. */
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

    std::unique_ptr<MidiOutputPort> output;
    std::unique_ptr<MidiInputPort> input;

private:
    std::atomic<int> stopped { 0 };

    // Cleared when this handler goes: openPorts' pause runs the message loop,
    // and whatever replaces the Host's handler meanwhile deletes this one.
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    JUCE_DECLARE_NON_COPYABLE (MidiInputHandler)
};

} // namespace NsZ9m
