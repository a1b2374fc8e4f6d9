#pragma once

#include "core/link/SurfaceProtocol.h"
#include "core/link/SurfaceReplies.h"
#include "core/sync/CompiledSlots.h"

namespace NsZ9m
{

/*  The surface protocol as the program's send uses it: the messages built
    from the compiled tables (CompiledSlots.h) and the Host's store, the
    packet pacing, and the program's one reply state with the wait for a
    reply. The image compiler must have run for the product first.

    Message thread only, but for decodeSurfaceReply, which runs on the MIDI
    input thread.
*/

/** The fingerprint query (0x21) or confirmation (0x24) of a product: 16 bytes
    with the product's slotFingerprints (zeros for a product not in the list). */
juce::MidiMessage makeFingerprintMessage (int productId, juce::uint8 command);

/** Image chunk 1 to 9 of slot number 1 to 3 of the product's wire image; the
    DAW byte is that slot's DAW in the store's current model. */
juce::MidiMessage makeSlotImageChunk (int productId, int slotNumber, int chunkNumber);

/** Label chunk 1 to 8 of slot number 1 to 3 of the slot's label list; the
    DAW byte as for the image chunks. */
juce::MidiMessage makeLabelChunk (int slotNumber, int chunkNumber);

/** Counts one pacing step; from Windows 10 on (windowsVersionIndex 7 and
    above), every `every`-th step pauses for `pauseMs` with the message loop
    running. */
void paceStep (int& counter, int every, int pauseMs);
void pacePacket (int& counter);
void pacePackets (int& counter, int n);

//==============================================================================
/** The process's reply state: written by the Host's input handler on the MIDI
    thread, polled by the message thread. */
extern DeviceReplyState deviceReplyState;

/** Sets the four acknowledgement bytes and replyStatus to none; the slot
    reports stay. Message thread, before each message whose reply is awaited. */
void resetDeviceReplyState();

/** Every field back to its start value (tests, and the core's reset). */
void clearDeviceReplyState();

/** Decodes one message from the surface into deviceReplyState. MIDI thread. */
void decodeSurfaceReply (const juce::MidiMessage& message);

/** Waits for the awaited byte or replyStatus to arrive: up to 30 polls with a
    1 ms pause each, running the message loop. False on a time-out. */
bool waitForReply (const std::atomic<juce::uint8>& awaited);

} // namespace NsZ9m
