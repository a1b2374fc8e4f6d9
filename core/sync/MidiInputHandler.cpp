#include "core/sync/MidiInputHandler.h"
#include "core/sync/SurfaceMessages.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/PortLookup.h"

namespace NsZ9m
{

Host::MidiInputHandler::MidiInputHandler()
{
    resetDeviceReplyState();
}

Host::MidiInputHandler::~MidiInputHandler()
{
    *alive = false;
    setStopped (1);
    input.reset();
    output.reset();
}

void Host::MidiInputHandler::openPorts (const juce::String& inputPortName)
{
    // The pause runs the message loop: a timer tick, a hand-off or a send may
    // replace the Host's handler meanwhile, and with it delete this one. Then
    // the ports are the new handler's business, and this one touches nothing.
    const auto stillAlive = alive;
    waitWhileDispatching (3);

    if (! *stillAlive)
        return;

    closePorts();

    auto& ports = midiPorts();
    auto outputIndex = ports.getOutputNames().indexOf (pairPortName (inputPortName, false));

    if (outputIndex >= 0)
        output = ports.openOutput (outputIndex);

    auto inputIndex = ports.getInputNames().indexOf (pairPortName (inputPortName, true), true);

    if (inputIndex >= 0)
        input = ports.openInput (inputIndex, this);

    if (input != nullptr)
    {
        setStopped (0);
        input->start();
    }
}

void Host::MidiInputHandler::closePorts()
{
    output.reset();

    if (input != nullptr)
    {
        // Stop decoding first: a callback already on its way then changes nothing.
        setStopped (1);
        input->stop();
        input.reset();
    }
}

void Host::MidiInputHandler::setStopped (int shouldBeStopped) noexcept   { stopped.store (shouldBeStopped); }
bool Host::MidiInputHandler::isRunning() const noexcept                   { return stopped.load() == 0; }
bool Host::MidiInputHandler::isStopped() const noexcept                   { return ! isRunning(); }
bool Host::MidiInputHandler::arePortsOpen() const noexcept                { return input != nullptr && output != nullptr; }

void Host::MidiInputHandler::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    if (isStopped())
        return;

    decodeSurfaceReply (message);
}

} // namespace NsZ9m
