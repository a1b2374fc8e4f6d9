#pragma once

#include "tests/support/InMemoryMidiPorts.h"
#include <array>
#include <set>
#include <tuple>

namespace z9test
{

/**
    A Z9 surface plugged into InMemoryMidiPorts, for tests of the mapping send,
    the timer and anything else that talks to a unit.

    The unit shows numPortPairs port pairs with Windows names: port 1 is the
    plain device name ("Z9-M") in both directions; port n >= 2 is
    "MIDIOUTn (Z9-M)" for the program's output to the unit and "MIDIINn (Z9-M)"
    for the program's input from it. The program talks to port 4.

    It speaks the surface's side of the mapping protocol on every port and
    answers on the input of the port a message came in on:
    - fingerprint query (F0 1D 03 model 21 ... F7): Note-On channel 11
      (9A 21 mask), bit 2 - s set when slot index s's fingerprint equals the one
      last confirmed;
    - confirmation 0x24: stores the three fingerprints, answers 9A 24 01;
    - image chunk 0x25 and label chunk 0x26: stores the data per slot, answers
      9A 25 01 / 9A 26 01 (00 when refused);
    - slot select EC 22, slot state EC 23, greeting EC 2A and the filler
      EF 7F 7F are recorded, not answered.
    A message it cannot parse (wrong size, header, model code, counts, slot or
    chunk numbers, a label chunk to an X-family unit, any other message) is
    recorded as unexpected and not answered.

    Everything it received is recorded, in order and with its port number;
    getConversation() renders it as text for exact assertions:
    "filler", "query", "confirm", "image 1.3" (slot number 1 to 3, chunk),
    "labels 2.8", "select 0x21", "state 0x41", "greeting 0x00", and
    "unexpected <hex bytes>".

    Without a reply delay, an answer reaches the program's input callback (on
    the ports' delivery thread) before the send that caused it returns, as if
    the unit and its MIDI driver were infinitely fast: the program finds it at
    its first look, however busy the machine is. With a delay, the answer is
    queued and arrives that much later.

    The unit handles messages on the thread that sends them (the message
    thread); every member may be called from any thread. Create and destroy it
    on the message thread, after and before the ports it uses.
*/
class SimulatedSurface : private InMemoryMidiPorts::OutputListener
{
public:
    /** How the unit answers a message. */
    enum class Answer
    {
        normal,      ///< as the protocol says
        refuse,      ///< chunks and confirmation: 9A cmd 00, nothing stored (query: as normal)
        ignore,      ///< no answer at all
        statusOnly   ///< only a status report 9A 30 01 instead of the answer
    };

    struct Message
    {
        int port;                  ///< 1 to numPortPairs
        juce::MidiMessage message;
    };

    /** A unit of that product, plugged in (its ports appended to the lists)
        unless plugInNow is false. deviceName defaults to deviceNameFor. */
    SimulatedSurface (InMemoryMidiPorts& ports, int productId, int numPortPairs = 4,
                      bool plugInNow = true, const juce::String& deviceName = {});

    /** Unplugs the unit. */
    ~SimulatedSurface() override;

    //==============================================================================
    /** "Z9-M" (2055), "Z9-X1" (2056), "Z9-X2" ... "Z9-X7" (2067 to 2072),
        "Z9-Mini" (2054); "Unknown" otherwise. */
    static juce::String deviceNameFor (int productId);

    /** The program's output to port n of a device: the device name for port 1,
        "MIDIOUTn (device)" otherwise. */
    static juce::String outputPortName (const juce::String& deviceName, int portNumber);

    /** The program's input from port n of a device: the device name for port 1,
        "MIDIINn (device)" otherwise. */
    static juce::String inputPortName (const juce::String& deviceName, int portNumber);

    /** The model code of the SysEx header: 2056 for the X family, else 2055. */
    static int modelCodeFor (int productId);

    int getProductId() const noexcept               { return productId; }
    const juce::String& getDeviceName() const noexcept   { return deviceName; }
    int getNumPortPairs() const noexcept            { return numPortPairs; }

    /** The name the program opens to send to port n of this unit. */
    juce::String getOutputName (int portNumber = 4) const;

    /** The name of the program's input from port n of this unit. */
    juce::String getInputName (int portNumber = 4) const;

    //==============================================================================
    /** Adds the unit's ports to the end of the lists (outputs and inputs, port
        1 first); nothing when already plugged in. */
    void plugIn();

    /** Removes the unit's ports; ports the program holds open go dead. */
    void unplug();

    bool isPluggedIn() const;

    //==============================================================================
    /** The fingerprint of a slot index as last confirmed, the three 7-bit
        bytes as one value (b0 << 16 | b1 << 8 | b2, that is the program's
        fingerprint & 0x7F7F7F); -1 before any confirmation. */
    int getConfirmedFingerprint (int slotIndex) const;

    /** Sets what the unit holds as confirmed, as if confirmed earlier (values
        are masked to 0x7F7F7F); -1 forgets a slot's fingerprint. */
    void setConfirmedFingerprints (int slot0, int slot1, int slot2);

    /** Makes the query's answer this mask (0 to 127) whatever the fingerprints;
        -1 goes back to comparing them. */
    void setQueryAnswer (int mask);

    /** The 2016-byte image of a slot index as received (zeros where no chunk
        arrived). */
    juce::MemoryBlock getImage (int slotIndex) const;

    /** Whether image chunk 1 to 9 / label chunk 1 to 8 of a slot index arrived. */
    bool hasImageChunk (int slotIndex, int chunkNumber) const;
    bool hasLabelChunk (int slotIndex, int chunkNumber) const;

    /** The DAW id (byte 6 & 0x1F) of the last image chunk of a slot index; 0 before. */
    int getImageDawId (int slotIndex) const;

    /** The 80 labels of a slot index as received, each the 17 bytes of its
        place as UTF-8 (empty where no chunk arrived). */
    juce::StringArray getLabels (int slotIndex) const;

    //==============================================================================
    /** Everything received, in order, on any port. */
    std::vector<Message> getReceived() const;

    /** Everything received on one port, in order. */
    std::vector<juce::MidiMessage> getReceivedOn (int portNumber) const;

    /** What was received on one port, as text (see the class comment). */
    juce::StringArray getConversation (int portNumber = 4) const;

    /** What was received on all ports, each item prefixed "<port>: ". */
    juce::StringArray getConversationOnAllPorts() const;

    /** The value bytes of the slot selects EC 22, slot states EC 23 and
        greetings EC 2A received, in order; the number of fillers. */
    std::vector<int> getSlotSelects() const;
    std::vector<int> getSlotStates() const;
    std::vector<int> getGreetings() const;
    int getNumFillers() const;

    /** The messages it could not parse, as "port <n>: <hex bytes>". */
    juce::StringArray getUnexpected() const;

    /** Everything the unit sent to the program (port = its input port number),
        answers and reports, in order. */
    std::vector<Message> getSent() const;

    /** Forgets what was received and sent (not the stored data). */
    void clearRecords();

    /** The text of one message as getConversation renders it. */
    juce::String describe (const juce::MidiMessage& message) const;

    //==============================================================================
    /** Reports a slot change to the program: EC 22 ((slotIndex << 5) | dawId). */
    void reportSlotSelect (int slotIndex, int dawId, int portNumber = 4);

    /** Reports a slot's state to the program: EC 23 ((slotIndex << 5) | dawId). */
    void reportSlotState (int slotIndex, int dawId, int portNumber = 4);

    /** Sends any message to the program's input from port n, after delayMs. */
    void sendToProgram (const juce::MidiMessage& message, int portNumber = 4, int delayMs = 0);

    //==============================================================================
    /** Answers nothing at all (still records). */
    void setSilent (bool shouldBeSilent);

    /** How to answer a command (0x21, 0x24, 0x25 or 0x26) for a slot number
        (1 to 3, 0 any) and chunk number (0 any); the most specific setting
        wins. */
    void setAnswer (int command, Answer answer, int slotNumber = 0, int chunkNumber = 0);

    /** Delays every answer by this time; 0 (the default) answers at once. */
    void setReplyDelayMs (int delayMs);

    /** Sends every answer to the input of this port number instead of the
        port the message came in on; 0 goes back to the same port. */
    void setReplyPort (int portNumber);

    /** Unplugs the unit once it has received n more messages, the n-th one
        recorded but not answered; 0 cancels. */
    void unplugAfterMessages (int n);

    /** Clears every fault switch above. */
    void clearFaults();

    //==============================================================================
    // The firmware-upgrade mode of a unit of the bootloader-tool family.

    /** How the unit takes its enter-upgrade-mode message (the long form of
        its model code, recorded as "enter"). */
    enum class EnterAnswer
    {
        accept,   ///< answers EC 2D 01 and restarts in its ROM bootloader: its ports vanish
        refuse,   ///< answers the refusal 9F 00 7F and stays as it is
        silent    ///< neither answers nor restarts
    };

    /** With delayMs, an accept happens that much later, at the first
        updateBootloaderLink after the time has come (the default is at once,
        before the send returns). */
    void setEnterAnswer (EnterAnswer how, int delayMs = 0);

    /** The file through which the unit and the stand-in bootloader tool
        (tests/support/tools/FakeBlhost.cpp) share its state: "bootloader"
        while the unit runs its ROM bootloader, "running" otherwise; the
        tool's reset writes "running". Writes the current state at once. */
    void linkToBootloaderTool (const juce::File& unitStateFile);

    /** Does what is due: a late restart into the bootloader, and the return
        with its ports once the tool has reset the unit. Call it from the
        pauses of the code under test. */
    void updateBootloaderLink();

    /** Restarts in the bootloader as if told to, without an answer: its ports go. */
    void enterBootloader();

    /** Leaves the bootloader as a power cycle would: its ports come back. */
    void leaveBootloader();

    bool isInBootloader() const;
    int getNumEnterMessages() const;

private:
    void messageSentToOutput (const juce::String& outputName, const juce::MidiMessage& message) override;

    int portNumberOfOutput (const juce::String& outputName) const;
    void handle (int port, const juce::MidiMessage& message);
    Answer answerFor (int command, int slotNumber, int chunkNumber) const;
    void answer (int port, int command, Answer how, int value);
    void reply (const juce::MidiMessage& message, int portNumber, int delayMs);
    void flagUnexpected (int port, const juce::MidiMessage& message);

    InMemoryMidiPorts& ports;
    const int productId;
    const int numPortPairs;
    const juce::String deviceName;

    juce::CriticalSection lock;
    bool pluggedIn = false;

    int confirmed[3] = { -1, -1, -1 };
    int forcedQueryMask = -1;
    std::array<juce::MemoryBlock, 3> images;
    std::array<std::array<bool, 10>, 3> imageChunks {};
    std::array<std::array<bool, 9>, 3> labelChunks {};
    std::array<int, 3> imageDaws {};
    std::array<juce::StringArray, 3> labels;

    std::vector<Message> received, sent;
    std::vector<int> slotSelects, slotStates, greetings;
    int fillers = 0;
    juce::StringArray unexpected;

    bool silent = false;
    std::map<std::tuple<int, int, int>, Answer> answers;
    int replyDelayMs = 0;
    int replyPort = 0;
    int unplugCountdown = 0;

    void restartInBootloader (int port);
    void writeBootloaderState();

    EnterAnswer enterAnswer = EnterAnswer::accept;
    int enterDelayMs = 0;
    double enterDueMs = 0;
    int portNumberOfLastEnter = 0;
    int enterMessages = 0;
    bool inBootloader = false;
    juce::File bootloaderStateFile;

    JUCE_DECLARE_NON_COPYABLE (SimulatedSurface)
};

} // namespace z9test
