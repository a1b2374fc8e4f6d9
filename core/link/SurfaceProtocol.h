#pragma once

#include "core/link/DeviceImage.h"
#include "core/model/AssignmentTexts.h"

namespace NsZ9m
{

/*  The surface's mapping protocol: SysEx messages F0 1D 03, the model code as
    two 7-bit bytes, a command, the payload and F7; a few three-byte short
    messages EC command value and the filler EF 7F 7F. Every byte that goes to
    a surface is put together here. (What the surface answers is read in
    SurfaceReplies.h.)

    The builders here are pure: they read only their arguments, so any thread
    may call them. The ones that take the compiled tables and the store of the
    program (makeFingerprintMessage, makeSlotImageChunk, makeLabelChunk) and
    the pacing are in the synchronisation layer (SurfaceMessages.h).
*/

enum SysexCommand : juce::uint8
{
    queryFingerprintsCommand   = 0x21,
    confirmFingerprintsCommand = 0x24,
    slotImageChunkCommand      = 0x25,
    labelChunkCommand          = 0x26
};

/** The commands of the short messages EC command value. */
enum ShortCommand : juce::uint8
{
    slotSelectCommand = 0x22,
    slotStateCommand  = 0x23,
    greetingCommand   = 0x2A
};

inline constexpr int numImageChunks = 9;
inline constexpr int numLabelChunks = 8;
inline constexpr int imageChunkMessageSize = 234;
inline constexpr int labelChunkMessageSize = 180;
inline constexpr int fingerprintMessageSize = 16;

/** 9: the size of the common SysEx template F0 1D 03 10 07 00 00 7F F7. */
int sysexHeaderSize() noexcept;

/** 2056 for every X-family product, 2055 for any other. */
int modelCodeOf (int productId) noexcept;

/** The fingerprint query (0x21) or confirmation (0x24) of a product: 16 bytes
    carrying the three fingerprints (nullptr: all zero), each masked to 7 bits
    per byte. */
juce::MidiMessage buildFingerprintMessage (int productId, juce::uint8 command, const int* fingerprints);

/** Image chunk 1 to 9 of slot number 1 to 3: 28 wire records (from the
    slot's wireImageSize-byte wire image; nullptr or a chunk outside it gives
    zeros), 234 bytes. The DAW byte is dawId, at least 1. */
juce::MidiMessage buildSlotImageChunk (int productId, int slotNumber, int chunkNumber,
                                       int dawId, const juce::uint8* wire);

/** Label chunk 1 to 8 of slot number 1 to 3: ten 17-byte labels from the
    list, 180 bytes. The DAW byte is dawId, at least 1. */
juce::MidiMessage buildLabelChunk (int slotNumber, int chunkNumber, int dawId, const juce::StringArray& labels);

juce::MidiMessage makeSlotSelectMessage (int value);   ///< EC 22 v
juce::MidiMessage makeSlotStateMessage (int value);    ///< EC 23 v
juce::MidiMessage makeGreetingMessage();               ///< EC 2A greetingValue()
juce::MidiMessage makeFillerMessage();                 ///< EF 7F 7F

/** Three bytes: the status, then d1 and d2 masked to 7 bits. */
juce::MidiMessage makeShortMessage (int status, int d1, int d2);

/** The value of a slot select: slot index in bits 5 and 6, the DAW id below,
    masked to 7 bits. */
int slotSelectValue (int slotIndex, int dawId) noexcept;

/** The value of a slot state: slot index in bits 5 and up, 1 when the slot
    runs a DAW (makeShortMessage masks it to 7 bits). */
int slotStateValue (int slotIndex, bool hasDaw) noexcept;

/** The greeting's value: 1 on a Mac, 0 elsewhere. */
int greetingValue() noexcept;

/** The message's size in 3-byte packets, rounded up. */
int packetCount (const juce::MidiMessage& message);

} // namespace NsZ9m
