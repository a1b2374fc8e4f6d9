#pragma once

#include "core/base/JuceIncludes.h"
#include "core/base/ScopedOverride.h"

namespace NsZ9m
{

/**
    An open MIDI output port.

    Owned by whoever opened it; destroying it closes the port. The program sends
    from the message thread only.
*/
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    /** The port's name as the system listed it when it was opened. */
    virtual juce::String getName() const = 0;

    /** Sends one whole message at once (short message or SysEx). A port whose
        device has gone drops the message silently. */
    virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
};

/**
    An open MIDI input port.

    Owned by whoever opened it. Messages reach the callback given to
    MidiPortSystem::openInput, on a thread that is not the message thread, only
    between start() and stop(). stop() and the destructor wait for a delivery
    that is already running, so once either has returned the callback is never
    called again and may be destroyed.
*/
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;

    /** The port's name as the system listed it when it was opened. */
    virtual juce::String getName() const = 0;

    /** Starts delivering incoming messages to the callback. */
    virtual void start() = 0;

    /** Stops delivering; returns once no delivery is running. Must not be
        called from a callback that blocks on the message thread. */
    virtual void stop() = 0;
};

/**
    The MIDI ports of the system: every listing and opening of MIDI ports in the
    program goes through the one in use, midiPorts().

    The program uses the JUCE-backed system; tests install an in-memory one
    with ScopedMidiPortSystem. Listing and opening happen on the message thread.
*/
class MidiPortSystem
{
public:
    virtual ~MidiPortSystem() = default;

    /** The names of the output ports, in the system's order. */
    virtual juce::StringArray getOutputNames() = 0;

    /** The names of the input ports, in the system's order. */
    virtual juce::StringArray getInputNames() = 0;

    /** Opens the output at a position of getOutputNames(); nullptr when the
        position is outside the list or the port does not open. */
    virtual std::unique_ptr<MidiOutputPort> openOutput (int index) = 0;

    /** Opens the input at a position of getInputNames(), not yet started;
        nullptr when the position is outside the list or the port does not
        open. The callback (which must outlive the port) is called with a null
        source and the message, on a thread that is not the message thread. */
    virtual std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) = 0;
};

/** The port system in use: the JUCE-backed one unless a ScopedMidiPortSystem
    has installed another. Message thread. */
MidiPortSystem& midiPorts();

/**
    Installs another port system for its own lifetime and puts the previous one
    back when it goes. Scopes nest; destroy them in reverse order of creation.
    The installed system must outlive this object, and every port opened from
    it should be closed before it goes. Message thread.
*/
class ScopedMidiPortSystem : private ScopedOverride<MidiPortSystem*>
{
public:
    explicit ScopedMidiPortSystem (MidiPortSystem& systemToUse);
    ~ScopedMidiPortSystem();

private:
    MidiPortSystem* installed;
};

} // namespace NsZ9m
