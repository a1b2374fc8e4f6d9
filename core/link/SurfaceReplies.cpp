#include "core/link/SurfaceReplies.h"
#include "core/link/SurfaceProtocol.h"

namespace NsZ9m
{

void DeviceReplyState::resetAcknowledgements() noexcept
{
    queryReply = none;
    confirmAck = none;
    imageChunkAck = none;
    labelChunkAck = none;
    replyStatus = none;
}

void DeviceReplyState::clear() noexcept
{
    queryReply = 0;
    confirmAck = 0;
    imageChunkAck = 0;
    labelChunkAck = 0;
    replyStatus = 0;
    slotSelectPending = false;
    selectedSlotNumber = 0;
    slotStatePending = false;
    reportedSlotNumber = 1;

    for (auto& d : slotHasDaw)
        d = false;
}

bool DeviceReplyState::hasArrived (const std::atomic<juce::uint8>& awaited) const noexcept
{
    return awaited.load() != none || replyStatus.load() != none;
}

void decodeSurfaceReply (const juce::MidiMessage& message, DeviceReplyState& r) noexcept
{
    if (message.getRawDataSize() < 3)
        return;

    auto* raw = message.getRawData();
    auto b0 = raw[0], b1 = raw[1], b2 = raw[2];
    auto flag = [b2] { return (juce::uint8) (b2 == 1 ? 1 : 0); };

    if (b0 == 0x9A)
    {
        switch (b1)
        {
            case queryFingerprintsCommand:    r.queryReply = (juce::uint8) (b2 & 7); break;
            case confirmFingerprintsCommand:  r.confirmAck = flag(); break;
            case slotImageChunkCommand:       r.imageChunkAck = flag(); break;
            case labelChunkCommand:           r.labelChunkAck = flag(); break;
            case 0x2C: case 0x2E:             break;
            default:                          r.replyStatus = flag(); break;
        }
    }
    else if (b0 == 0xEC)
    {
        if (b1 == slotSelectCommand)
        {
            auto n = ((b2 & 0x60) >> 5) + 1;

            // there are three slots: a report of a fourth is dropped
            if (! isValidSlotNumber (n))
                return;

            r.selectedSlotNumber = n;
            r.slotSelectPending = true;
        }
        else if (b1 == slotStateCommand)
        {
            auto n = ((b2 >> 5) % 3) + 1;
            r.slotHasDaw[n - 1] = (b2 & 0x1F) != 0;
            r.reportedSlotNumber = n;
            r.slotStatePending = true;
        }
        else if (b1 == 0x2F)
        {
            r.replyStatus = flag();
        }
    }
}

} // namespace NsZ9m
