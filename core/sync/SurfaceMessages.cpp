#include "core/sync/SurfaceMessages.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

namespace
{
    // The DAW of a slot number in the store's current model.
    int slotDawOfCurrentModel (int slotNumber)
    {
        return Host::getInstance()->getStore().getSlotDaw (slotNumber).get();
    }
}

juce::MidiMessage makeFingerprintMessage (int productId, juce::uint8 command)
{
    auto productIndex = productIndexOf (productId);
    return buildFingerprintMessage (productId, command, productIndex >= 0 ? slotFingerprints[productIndex] : nullptr);
}

juce::MidiMessage makeSlotImageChunk (int productId, int slotNumber, int chunkNumber)
{
    auto productIndex = productIndexOf (productId);
    auto* wire = productIndex >= 0 && isValidSlotNumber (slotNumber) ? wireImages[productIndex][slotNumber - 1]
                                                                     : nullptr;

    return buildSlotImageChunk (productId, slotNumber, chunkNumber, slotDawOfCurrentModel (slotNumber), wire);
}

juce::MidiMessage makeLabelChunk (int slotNumber, int chunkNumber)
{
    return buildLabelChunk (slotNumber, chunkNumber, slotDawOfCurrentModel (slotNumber),
                            slotLabels[juce::jlimit (0, numSlots - 1, slotNumber - 1)]);
}

void paceStep (int& counter, int every, int pauseMs)
{
    if (windowsVersionIndex < 7)
        return;

    if (++counter == every)
    {
        waitWhileDispatching (pauseMs);
        counter = 0;
    }
}

void pacePacket (int& counter)           { paceStep (counter, 2, 1); }

void pacePackets (int& counter, int n)
{
    for (int i = 0; i < n; ++i)
        pacePacket (counter);
}

//==============================================================================
DeviceReplyState deviceReplyState;

void resetDeviceReplyState()    { deviceReplyState.resetAcknowledgements(); }
void clearDeviceReplyState()    { deviceReplyState.clear(); }

void decodeSurfaceReply (const juce::MidiMessage& message)
{
    decodeSurfaceReply (message, deviceReplyState);
}

bool waitForReply (const std::atomic<juce::uint8>& awaited)
{
    for (int poll = 0; poll < 30; ++poll)
    {
        if (deviceReplyState.hasArrived (awaited))
            return true;

        waitWhileDispatching (1);
    }

    return deviceReplyState.hasArrived (awaited);
}

} // namespace NsZ9m
