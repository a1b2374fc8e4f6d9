#include "firmware/UpgraderMidiHandler.h"
#include "firmware/FirmwareProducts.h"
#include "firmware/UpgraderState.h"
#include "firmware/FirmwareFileReader.h"

namespace vorlix
{

juce::MidiMessage makeFillerMessage()
{
    const juce::uint8 bytes[] = { 0xef, 0x7f, 0x7f };
    return juce::MidiMessage (bytes, 3, 0.0);
}

bool usesShortEnterMessageOnly (int productId)
{
    return productId == 2023 || productId == 2024;
}

bool addsShortEnterMessage (int productId)
{
    return productId == 2025 || productId == 2026 || productId == 2029 || productId == 2030;
}

static bool endsLongEnterMessageWith7E (int productId)
{
    return productId == 2010 || productId == 2011;
}

juce::MidiMessage makeEnterUpgradeModeMessage (int productId, int length)
{
    const auto code = getUpgradeModelCode (productId);
    const auto hi = (juce::uint8) ((code >> 7) & 0x7f);
    const auto lo = (juce::uint8) (code % 128);

    if (length == 8)
    {
        const juce::uint8 bytes[] = { 0xf0, 0x1d, 0x03, hi, lo, 0x55, 0x7f, 0xf7 };
        return juce::MidiMessage (bytes, (int) sizeof (bytes), 0.0);
    }

    const juce::uint8 last = endsLongEnterMessageWith7E (productId) ? 0x7e : 0x7f;
    const juce::uint8 bytes[] = { 0xf0, 0x1d, 0x03, hi, lo, 0x00, 0x7f, last, 0xf7 };
    return juce::MidiMessage (bytes, (int) sizeof (bytes), 0.0);
}

//==============================================================================
UpgraderMidiHandler::UpgraderMidiHandler (int code)
    : productCode (code)
{
    upgraderState().acknowledgements.clear();
}

UpgraderMidiHandler::~UpgraderMidiHandler()
{
    closePorts();
}

void UpgraderMidiHandler::openPorts (const juce::String& portName)
{
    closePorts();

    auto& ports = NsZ9m::midiPorts();

    const auto inputs = ports.getInputNames();
    const auto inputIndex = inputs.indexOf (portName, true);

    if (inputIndex >= 0)
        input = ports.openInput (inputIndex, this);

    const auto outputIndex = ports.getOutputNames().indexOf (portName, false);

    if (outputIndex >= 0)
        output = ports.openOutput (outputIndex);

    if (input != nullptr)
    {
        stopped.store (0);
        input->start();
    }
}

bool UpgraderMidiHandler::useOutput (const juce::String& portName, bool& openedHere)
{
    openedHere = false;

    if (output != nullptr && output->getName() == portName)
        return true;

    const auto index = NsZ9m::midiPorts().getOutputNames().indexOf (portName, false);

    if (index < 0)
        return false;

    auto opened = NsZ9m::midiPorts().openOutput (index);

    if (opened == nullptr)
        return false;

    output = std::move (opened);
    openedHere = true;
    return true;
}

void UpgraderMidiHandler::closeOutput()
{
    output.reset();
}

void UpgraderMidiHandler::closePorts()
{
    stopped.store (1);

    if (input != nullptr)
    {
        input->stop();
        input.reset();
    }

    output.reset();
}

juce::String UpgraderMidiHandler::getOutputName() const
{
    return output != nullptr ? output->getName() : juce::String();
}

void UpgraderMidiHandler::sendNow (const juce::MidiMessage& message)
{
    if (output != nullptr)
        output->sendMessageNow (message);
}

void UpgraderMidiHandler::loadFirmware (const juce::File& file)
{
    imageSize = 0;
    image.reset();
    firmwareFile = file;

    juce::MemoryBlock bytes;

    if (! readFirmwareFile (file, maxImageBytes, bytes).wasOk())
        return;

    image.setSize (bytes.getSize() + 1, true);
    image.copyFrom (bytes.getData(), 0, bytes.getSize());
    imageSize = (int) bytes.getSize();
}

void UpgraderMidiHandler::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    if (stopped.load() != 0)
        return;

    upgraderState().acknowledgements.record (message);
}

} // namespace vorlix
