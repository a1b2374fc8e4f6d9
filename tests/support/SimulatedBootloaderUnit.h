#pragma once

#include "tests/support/InMemoryMidiPorts.h"
#include <set>
#include <vector>

namespace z9test
{

/**
    A unit of the maker that takes its firmware over MIDI (the Pad16, product
    2017), running its MIDI bootloader, plugged into InMemoryMidiPorts.

    It shows one output and one input of the same name (by default
    "Vorlix firmware upgrade (Pad16)") and speaks the bootloader's side of
    the protocol: it decodes each Note-On 9F hi lo back into a byte, gathers
    the bytes into 17-byte command packets and 530-byte write blocks, checks
    their header, their sums and the block counter, stores the blocks' data
    in its flash and answers each command with 9F <command> 01 on its input.
    A packet whose sum is wrong is refused (9F <command> 7F).

    Switches (set them before the transfer):
    - silent: answers nothing at all;
    - silentTo: answers nothing to these commands (0x7F, 0x00, 0x01, 0x02);
    - refuse: refuses these commands (9F <command> 7F) and stores nothing;
    - answerBoth: carries out these commands as usual but answers each with
      the acknowledgement and the refusal at once (9F <command> 01 and
      9F <command> 7F, both handed over before the program's send returns),
      as a confused bootloader might;
    - badSumAtBlock: block n (counted from 0) arrives with a wrong sum, as if
      the line had corrupted it;
    - answerDelayMs: every answer arrives that much later (0: before the
      program's send returns).

    It fails on anything unexpected: a message that is neither a byte pair
    nor the filler EF 7F 7F, a packet with a wrong header, a command before
    the connect, a block out of order or a filler inside a packet are
    recorded as "unexpected ..." and not answered.

    getConversation() is the whole conversation as text: "filler",
    "connect", "erase 0x70", "block 0", "reset", "refused <what>",
    "bad sum <what>", "unexpected <what>".

    The unit handles messages on the thread that sends them (the message
    thread); read its records on that thread too.
*/
class SimulatedBootloaderUnit : private InMemoryMidiPorts::OutputListener
{
public:
    static constexpr const char* defaultPortName = "Vorlix firmware upgrade (Pad16)";

    explicit SimulatedBootloaderUnit (InMemoryMidiPorts& ports, const juce::String& portName = defaultPortName);
    ~SimulatedBootloaderUnit() override;

    bool silent = false;
    std::set<int> silentTo;
    std::set<int> refuse;
    std::set<int> answerBoth;
    int badSumAtBlock = -1;
    int answerDelayMs = 0;

    const juce::String portName;

    /** The data of every block taken, in order (512 bytes each). */
    const std::vector<juce::uint8>& getFlash() const noexcept   { return flash; }

    juce::StringArray getConversation() const                    { return conversation; }
    int getNumBlocksTaken() const noexcept                       { return blocksTaken; }
    int getNumMessagesReceived() const noexcept                  { return messagesReceived; }
    bool sawUnexpected() const;

    /** The erase parameter last received, -1 before any erase. */
    int getEraseParameter() const noexcept                       { return eraseParameter; }

private:
    void messageSentToOutput (const juce::String& outputName, const juce::MidiMessage& message) override;
    void takeByte (juce::uint8 byte);
    void handlePacket();
    void answer (int command, int value);
    void send (int command, int value);

    InMemoryMidiPorts& ports;
    std::vector<juce::uint8> pending, flash;
    juce::StringArray conversation;
    bool connected = false;
    int nextBlock = 0, blocksTaken = 0, messagesReceived = 0, eraseParameter = -1;
};

} // namespace z9test
