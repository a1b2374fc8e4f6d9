#pragma once

#include "core/model/ControlNumbers.h"

namespace NsZ9m
{

/*  What the surface answers and reports, and how it is read: everything the
    MIDI input thread does.

    Contract between the threads:
    - decodeSurfaceReply runs on the MIDI input thread (the Host's input
      handler calls it for every message while it runs). It reads only its
      arguments and writes only the atomics of the DeviceReplyState it is
      given; it never blocks, allocates or touches anything else.
    - The message thread resets the acknowledgements before each message whose
      reply it awaits, polls them, and takes a report's pending flag
      (exchange) before it handles the report.
    - A report's data is stored before the flag that announces it, so a reader
      that sees the flag sees the data with it; a report that arrives while
      the previous one is handled is kept for the next poll.
*/

/** The surface's answers and reports. Every field is atomic. */
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

    /** The four acknowledgement bytes and replyStatus to none; the slot
        reports stay. Message thread, before each message whose reply is awaited. */
    void resetAcknowledgements() noexcept;

    /** Every field back to its start value. */
    void clear() noexcept;

    /** True once the awaited byte or replyStatus has arrived. Any thread. */
    bool hasArrived (const std::atomic<juce::uint8>& awaited) const noexcept;
};

/** Decodes one message from the surface into the state: Note-On channel 11
    acknowledgements and statuses, EC slot reports. MIDI input thread. */
void decodeSurfaceReply (const juce::MidiMessage& message, DeviceReplyState& state) noexcept;

} // namespace NsZ9m
