#pragma once

#include "core/link/DeviceReplyState.h"

namespace NsZ9m
{

/*  The surface's mapping protocol: SysEx messages F0 1D 03, the model code as
    two 7-bit bytes, a command, the payload and F7; a few three-byte short
    messages; replies as Note-On messages on channel 11 and reports as pitch
    bends on channel 13.

    The builders read the compiled images, labels and fingerprints, so the
    image compiler must have run for the product first. Message thread only,
    but for decodeSurfaceReply, which runs on the MIDI input thread.
*/

enum SysexCommand : juce::uint8
{
    queryFingerprintsCommand   = 0x21,
    confirmFingerprintsCommand = 0x24,
    slotImageChunkCommand      = 0x25,
    labelChunkCommand          = 0x26
};

inline constexpr int numImageChunks = 9;
inline constexpr int numLabelChunks = 8;
inline constexpr int imageChunkMessageSize = 234;
inline constexpr int labelChunkMessageSize = 180;
inline constexpr int fingerprintMessageSize = 16;
inline constexpr int labelSize = 17;

/** 9: the size of the common SysEx template F0 1D 03 10 07 00 00 7F F7. */
int sysexHeaderSize() noexcept;

/** 2056 for every X-family product, 2055 for any other. */
int modelCodeOf (int productId) noexcept;

/** The fingerprint query (0x21) or confirmation (0x24) of a product: 16 bytes. */
juce::MidiMessage makeFingerprintMessage (int productId, juce::uint8 command);

/** Image chunk 1 to 9 of slot number 1 to 3: 28 wire records, 234 bytes. */
juce::MidiMessage makeSlotImageChunk (int productId, int slotNumber, int chunkNumber);

/** Label chunk 1 to 8 of slot number 1 to 3: ten 17-byte labels, 180 bytes. */
juce::MidiMessage makeLabelChunk (int slotNumber, int chunkNumber);

juce::MidiMessage makeSlotSelectMessage (int value);   ///< EC 22 v
juce::MidiMessage makeSlotStateMessage (int value);    ///< EC 23 v
juce::MidiMessage makeGreetingMessage();               ///< EC 2A 00 (01 on a Mac)
juce::MidiMessage makeFillerMessage();                 ///< EF 7F 7F
juce::MidiMessage makeShortMessage (int status, int d1, int d2);

/** The message's size in 3-byte packets, rounded up. */
int packetCount (const juce::MidiMessage& message);

/** Counts one pacing step; from Windows 10 on, every `every`-th step pauses
    for `pauseMs` with the message loop running. */
void paceStep (int& counter, int every, int pauseMs);
void pacePacket (int& counter);
void pacePackets (int& counter, int n);

/** Decodes one message from the surface into deviceReplyState. MIDI thread. */
void decodeSurfaceReply (const juce::MidiMessage& message);

/** Waits for the awaited byte or replyStatus to arrive: up to 30 polls with a
    1 ms pause each, running the message loop. False on a time-out. */
bool waitForReply (const std::atomic<juce::uint8>& awaited);

} // namespace NsZ9m
