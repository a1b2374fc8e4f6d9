#include "core/sync/HostData.h"
#include "core/model/MappingStore.h"
#include "core/model/Products.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/Host.h"
#include "core/sync/MidiInputHandler.h"
#include "core/sync/PortLookup.h"
#include "core/sync/ProcessState.h"
#include "core/sync/SurfaceMessages.h"

// The mapping send: HostData's upload of a product's compiled slots.

namespace NsZ9m
{

void HostData::sendMessageNow (MidiOutputPort& port, const juce::MidiMessage& message)
{
    port.sendMessageNow (message);
}

juce::Result HostData::sendMapping (int productId)
{
    auto outputName = outputDeviceName;

    if (outputName.isEmpty())
        return juce::Result::fail ("No selected output device!");

    owner.input = std::make_unique<Host::MidiInputHandler>();

    auto inputName = pairPortName (outputName, true);
    sendInProgress = true;
    owner.input->openPorts (inputName);

    auto result = juce::Result::ok();
    bool ok = true;
    int pacing = 0;
    const auto filler = makeFillerMessage();

    // The handler owns the surface's ports, the output included. It is looked
    // up for every message: the pauses run the message loop, and whatever
    // closes the surface's ports meanwhile (a firmware hand-off) leaves the
    // send talking to nobody rather than to a port that has gone.
    auto send = [this] (const juce::MidiMessage& message)
    {
        if (owner.input != nullptr && owner.input->output != nullptr)
            sendMessageNow (*owner.input->output, message);
    };

    auto fail = [&] (const juce::String& text)
    {
        result = juce::Result::fail (text);
        ok = false;
    };

    // Sends a message with the filler in front when its packet count is odd.
    auto sendWithFiller = [&] (const juce::MidiMessage& message)
    {
        if (packetCount (message) % 2 != 0)
        {
            send (filler);
            pacePackets (pacing, 1);
        }

        resetDeviceReplyState();
        send (message);
    };

    // Sends one chunk and waits for its acknowledgement.
    auto sendChunk = [&] (const juce::MidiMessage& chunk, const std::atomic<juce::uint8>& ack,
                          const char* refusedText)
    {
        sendWithFiller (chunk);
        waitWhileDispatching (10);

        if (! waitForReply (ack))
            fail ("Time out!");
        else if (ack.load() == 0 || deviceReplyState.replyStatus.load() == 0)
            fail (refusedText);
    };

    if (! midiPorts().getOutputNames().contains (outputName))
    {
        fail (outputName + ": device does not exist");
    }
    else if (owner.input->output == nullptr)
    {
        fail (outputName + ": could not open device");
    }
    else if (! owner.input->arePortsOpen())
    {
        fail ("Cannot use this input device: " + outputName);
    }
    else
    {
        // Which slots does the surface hold already?
        sendWithFiller (makeFingerprintMessage (productId, queryFingerprintsCommand));
        pacePackets (pacing, 3);

        bool allMatched;

        if (! waitForReply (deviceReplyState.queryReply))
        {
            allMatched = true;
            fail ("Time out!");
        }
        else
        {
            allMatched = deviceReplyState.queryReply.load() == 7;
        }

        const auto slotMask = deviceReplyState.queryReply.load();
        MappingStore store (tree);

        for (int s = 0; s < numSlots && ok; ++s)
        {
            auto daw = store.getSlotDaw (s + 1).get();
            auto skip = allMatched || (slotMask & (1 << (2 - s))) != 0;

            if (! isValidDawId (daw) || skip)
                continue;

            for (int chunk = 1; chunk <= numImageChunks && ok; ++chunk)
                sendChunk (makeSlotImageChunk (productId, s + 1, chunk),
                           deviceReplyState.imageChunkAck, "Failed to send data!");

            if (productId == productZ9M)
                for (int chunk = 1; chunk <= numLabelChunks && ok; ++chunk)
                    sendChunk (makeLabelChunk (s + 1, chunk),
                               deviceReplyState.labelChunkAck, "Failed to send texts!");
        }

        if (ok)
        {
            auto daw = store.getSlotDaw (currentSlotIndex + 1).get();
            send (filler);
            pacePackets (pacing, 1);
            send (makeSlotSelectMessage (slotSelectValue (currentSlotIndex, daw)));
            waitWhileDispatching (10);

            if (! allMatched)
            {
                sendWithFiller (makeFingerprintMessage (productId, confirmFingerprintsCommand));
                waitWhileDispatching (10);
                waitForReply (deviceReplyState.confirmAck);   // the surface's answer is not needed
            }

            result = juce::Result::ok();
        }
    }

    sendInProgress = false;
    return result;
}

} // namespace NsZ9m
