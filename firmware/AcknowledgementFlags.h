#pragma once

#include "core/base/JuceIncludes.h"
#include <atomic>

namespace vorlix
{

/**
    What a unit's bootloader has answered: one flag per kind of reply.

    The upgrader's MIDI input callback writes them on the system's MIDI thread
    (record), and the message thread reads and clears them between the pauses
    of a step; each flag is an atomic, so neither side ever sees a torn or
    stale value. Nothing else is shared between the two threads.
*/
struct AcknowledgementFlags
{
    std::atomic<bool> refusal      { false };   ///< 9F, any note, velocity 7F
    std::atomic<bool> connect      { false };   ///< 9F 7F v
    std::atomic<bool> erase        { false };   ///< 9F 00 v
    std::atomic<bool> block        { false };   ///< 9F 01 v
    std::atomic<bool> reset        { false };   ///< 9F 02 v
    std::atomic<bool> upgradeMode  { false };   ///< EC 2D 01 sets it, EC 2D with any other value clears it

    /** Clears every flag. Message thread. */
    void clear() noexcept;

    /** Sets the flag that a three-byte message stands for; any other message
        (or a shorter one) is ignored. Any thread: the MIDI input callback
        calls it. */
    void record (const juce::uint8* data, int size) noexcept;

    void record (const juce::MidiMessage& message) noexcept   { record (message.getRawData(), message.getRawDataSize()); }

    static_assert (std::atomic<bool>::is_always_lock_free, "the MIDI thread must never wait on these flags");
};

} // namespace vorlix
