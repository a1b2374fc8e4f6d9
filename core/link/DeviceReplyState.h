#pragma once

#include "core/model/ControlNumbers.h"

namespace NsZ9m
{

/**
    What the surface has answered or reported, written by the Host's MIDI input
    handler on the MIDI thread and polled by the message thread.

    Every field is atomic. A report's data is stored before the flag that
    announces it, so a reader that sees the flag sees the data with it; the
    reader takes the flag (exchange) before it handles the report, so a report
    that arrives meanwhile is not lost.
*/
struct DeviceReplyState
{
    /** The value of an acknowledgement byte that has not arrived. */
    static constexpr juce::uint8 none = 0xFF;

    std::atomic<juce::uint8> queryReply { 0 };      ///< slot mask (bit 2 = slot index 0) or none
    std::atomic<juce::uint8> confirmAck { 0 };      ///< 1 accepted, 0 refused, or none
    std::atomic<juce::uint8> imageChunkAck { 0 };
    std::atomic<juce::uint8> labelChunkAck { 0 };
    std::atomic<juce::uint8> replyStatus { 0 };     ///< general status: 1 good, 0 bad, or none

    std::atomic<bool> slotSelectPending { false };
    std::atomic<int> selectedSlotNumber { 0 };      ///< 1 to 3
    std::atomic<bool> slotStatePending { false };
    std::atomic<int> reportedSlotNumber { 1 };      ///< 1 to 3
    std::atomic<bool> slotHasDaw[numSlots] { { false }, { false }, { false } };
};

/** The process's reply state. */
extern DeviceReplyState deviceReplyState;

/** Sets the four acknowledgement bytes and replyStatus to none; the slot
    reports stay. Message thread, before each message whose reply is awaited. */
void resetDeviceReplyState();

/** Every field back to its start value (tests, and the core's reset). */
void clearDeviceReplyState();

} // namespace NsZ9m
