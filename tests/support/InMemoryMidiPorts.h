#pragma once

#include "core/link/MidiPortSystem.h"
#include <map>
#include <memory>
#include <vector>

namespace z9test
{

/**
    MIDI ports that live only in memory, for tests.

    A test adds and removes named ports at any time and installs the system with
    NsZ9m::ScopedMidiPortSystem (or ScopedInMemoryMidiPorts below). Whatever the
    program sends to an output is recorded per output name, in order; what the
    test sends to an input reaches the program's callback on a delivery thread
    of this object (never the message thread), optionally after a delay.

    An open port belongs to the port that was listed when it was opened: once
    that port is removed, the open port is dead (sends are dropped, nothing is
    delivered) even if a port of the same name is added again.

    Every member may be called from any thread.
*/
class InMemoryMidiPorts : public NsZ9m::MidiPortSystem
{
public:
    /** Told of every message that the program sends to a live output, after it
        has been recorded; called on the sending thread, outside the lock of the
        port lists (so it may add or remove ports and send to inputs). Add and
        remove listeners on the thread that sends (the message thread). */
    struct OutputListener
    {
        virtual ~OutputListener() = default;
        virtual void messageSentToOutput (const juce::String& outputName, const juce::MidiMessage& message) = 0;
    };

    InMemoryMidiPorts();

    /** Stops the delivery thread; queued messages are dropped. Ports still
        open stay valid but dead. */
    ~InMemoryMidiPorts() override;

    //==============================================================================
    /** Appends an output to the end of the output list. */
    void addOutput (const juce::String& name);

    /** Appends an input to the end of the input list. */
    void addInput (const juce::String& name);

    /** Removes the first output of that name; ports open on it go dead.
        Returns false when there is none. */
    bool removeOutput (const juce::String& name);

    /** Removes the first input of that name; ports open on it stop receiving.
        Returns false when there is none. */
    bool removeInput (const juce::String& name);

    /** Makes every later opening of a port of that name (either direction)
        fail, or succeed again. */
    void setOpenFails (const juce::String& name, bool shouldFail = true);

    //==============================================================================
    /** Everything the program sent to outputs of that name, in order. */
    std::vector<juce::MidiMessage> getReceived (const juce::String& outputName) const;

    /** The number of messages the program sent to outputs of that name. */
    int getNumReceived (const juce::String& outputName) const;

    /** The number of messages sent to dead outputs (removed while open). */
    int getNumLostSends() const;

    /** Forgets every recorded message and the lost-send count. */
    void clearReceived();

    void addOutputListener (OutputListener* listener);
    void removeOutputListener (OutputListener* listener);

    //==============================================================================
    /** Queues a message for the program's inputs of that name. After the delay
        the delivery thread hands it to every open and started input of that
        name that is still listed; when there is none, the message is lost
        (counted by getNumUndelivered). Messages with the same due time arrive
        in the order they were sent. */
    void sendToProgram (const juce::String& inputName, const juce::MidiMessage& message, int delayMs = 0);

    /** Delivers a message to the program's inputs of that name now, on the
        delivery thread like any other (after the queued messages already
        due), and returns only once it has been handed out or lost. A simulated
        unit's answer "at once" arrives this way: it is in the program's hands
        before the program starts waiting for it, however busy the machine is.
        Called from within a delivery (on the delivery thread), it delivers
        there and then. Gives up waiting after handOverLimitMs, which only a
        deadlock reaches. */
    void handOverToProgram (const juce::String& inputName, const juce::MidiMessage& message);

    static constexpr int handOverLimitMs = 20000;

    /** Runs the message loop until every queued message has been handed out
        (or lost); returns whether the queue is empty (false only when the
        test's time limit passed, see waitUntil). Message thread only. */
    bool waitUntilDelivered();

    /** Messages handed to at least one callback / lost for lack of a started input. */
    int getNumDelivered() const;
    int getNumUndelivered() const;

    //==============================================================================
    /** Whether a live port of that name is open (input: and started). */
    bool isOutputOpen (const juce::String& name) const;
    bool isInputOpen (const juce::String& name) const;
    bool isInputStarted (const juce::String& name) const;

    /** How many times a port of that name was opened successfully. */
    int getNumOutputOpens (const juce::String& name) const;
    int getNumInputOpens (const juce::String& name) const;

    //==============================================================================
    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;
    std::unique_ptr<NsZ9m::MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<NsZ9m::MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) override;

    struct Shared;

private:
    class DeliveryThread;

    std::shared_ptr<Shared> shared;
    std::unique_ptr<DeliveryThread> deliveryThread;

    JUCE_DECLARE_NON_COPYABLE (InMemoryMidiPorts)
};

/** An InMemoryMidiPorts that is the program's port system for its lifetime. */
class ScopedInMemoryMidiPorts : public InMemoryMidiPorts
{
public:
    ScopedInMemoryMidiPorts() : scope (*this) {}

private:
    NsZ9m::ScopedMidiPortSystem scope;
};

} // namespace z9test
