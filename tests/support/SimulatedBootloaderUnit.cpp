#include "tests/support/SimulatedBootloaderUnit.h"

namespace z9test
{

namespace
{
    constexpr int headerSize = 17, blockSize = 530;

    juce::String hexOf (const juce::uint8* data, size_t size)
    {
        return juce::String::toHexString (data, (int) size, 1);
    }

    juce::String commandName (int command)
    {
        switch (command)
        {
            case 0x7f: return "connect";
            case 0x00: return "erase";
            case 0x01: return "block";
            case 0x02: return "reset";
            default:   return "command " + juce::String::toHexString (command);
        }
    }

    unsigned sum (const std::vector<juce::uint8>& bytes, size_t count)
    {
        unsigned s = 0;

        for (size_t i = 0; i < count; ++i)
            s += bytes[i];

        return s & 0xff;
    }
}

SimulatedBootloaderUnit::SimulatedBootloaderUnit (InMemoryMidiPorts& p, const juce::String& name)
    : portName (name), ports (p)
{
    ports.addOutput (portName);
    ports.addInput (portName);
    ports.addOutputListener (this);
}

SimulatedBootloaderUnit::~SimulatedBootloaderUnit()
{
    ports.removeOutputListener (this);
    ports.removeOutput (portName);
    ports.removeInput (portName);
}

bool SimulatedBootloaderUnit::sawUnexpected() const
{
    for (auto& line : conversation)
        if (line.startsWith ("unexpected"))
            return true;

    return false;
}

void SimulatedBootloaderUnit::messageSentToOutput (const juce::String& outputName, const juce::MidiMessage& message)
{
    if (outputName != portName)
        return;

    ++messagesReceived;
    const auto* raw = message.getRawData();
    const auto size = message.getRawDataSize();

    if (size == 3 && raw[0] == 0xef && raw[1] == 0x7f && raw[2] == 0x7f)
    {
        if (! pending.empty())
        {
            conversation.add ("unexpected filler after " + juce::String ((int) pending.size()) + " bytes");
            pending.clear();
        }

        conversation.add ("filler");
        return;
    }

    if (size == 3 && raw[0] == 0x9f && raw[1] < 16 && raw[2] < 16)
    {
        takeByte ((juce::uint8) ((raw[1] << 4) | raw[2]));
        return;
    }

    conversation.add ("unexpected " + hexOf (raw, (size_t) size));
}

void SimulatedBootloaderUnit::takeByte (juce::uint8 byte)
{
    pending.push_back (byte);

    if (pending.size() == (size_t) headerSize)
    {
        static const juce::uint8 header[] = { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
                                              0x1d, 0x03, 0x00, 0x49 };

        if (! std::equal (std::begin (header), std::end (header), pending.begin()))
        {
            conversation.add ("unexpected packet " + hexOf (pending.data(), pending.size()));
            pending.clear();
            return;
        }

        if (pending[14] != 0x01)
            handlePacket();
    }
    else if (pending.size() == (size_t) blockSize)
    {
        handlePacket();
    }
}

void SimulatedBootloaderUnit::handlePacket()
{
    auto packet = std::move (pending);
    pending.clear();

    const int command = packet[14];
    const auto name = commandName (command);

    if (! connected && command != 0x7f)
    {
        conversation.add ("unexpected " + name + " before the connect");
        return;
    }

    if (command == 0x01)
    {
        if (packet[16] != 0 || packet[15] != (nextBlock & 0xff))
        {
            conversation.add ("unexpected block header " + hexOf (packet.data(), headerSize)
                              + " for block " + juce::String (nextBlock));
            return;
        }

        const auto badSum = blocksTaken == badSumAtBlock || sum (packet, blockSize - 1) != packet[blockSize - 1];

        if (badSum)
        {
            conversation.add ("bad sum block " + juce::String (nextBlock));
            answer (command, 0x7f);
            return;
        }

        if (refuse.count (command) != 0)
        {
            conversation.add ("refused block " + juce::String (nextBlock));
            answer (command, 0x7f);
            return;
        }

        conversation.add ("block " + juce::String (nextBlock));
        flash.insert (flash.end(), packet.begin() + headerSize, packet.begin() + headerSize + 512);
        ++nextBlock;
        ++blocksTaken;
        answer (command, 0x01);
        return;
    }

    if (sum (packet, 16) != packet[16])
    {
        conversation.add ("bad sum " + name);
        answer (command, 0x7f);
        return;
    }

    if (refuse.count (command) != 0)
    {
        conversation.add ("refused " + name);
        answer (command, 0x7f);
        return;
    }

    switch (command)
    {
        case 0x7f:
            connected = true;
            nextBlock = 0;
            conversation.add (name);
            break;
        case 0x00:
            eraseParameter = packet[15];
            flash.clear();
            conversation.add ("erase 0x" + juce::String::toHexString (packet[15]).paddedLeft ('0', 2));
            break;
        case 0x02:
            connected = false;
            conversation.add (name);
            break;
        default:
            conversation.add ("unexpected " + name);
            return;
    }

    answer (command, 0x01);
}

void SimulatedBootloaderUnit::answer (int command, int value)
{
    if (silent || silentTo.count (command) != 0)
        return;

    send (command, value);

    if (value != 0x7f && answerBoth.count (command) != 0)
        send (command, 0x7f);
}

void SimulatedBootloaderUnit::send (int command, int value)
{
    const juce::uint8 raw[] = { 0x9f, (juce::uint8) command, (juce::uint8) value };
    const juce::MidiMessage reply (raw, 3, 0.0);

    if (answerDelayMs > 0)
        ports.sendToProgram (portName, reply, answerDelayMs);
    else
        ports.handOverToProgram (portName, reply);
}

} // namespace z9test
