#pragma once

#include "core/model/ControlNumbers.h"
#include "core/model/MappingStore.h"
#include "core/model/Products.h"

namespace NsZ9m
{

/*  The compiled form of the mapping, as the surface holds it.

    Each model and slot has a 252-row device image of 7-byte control records,
    its 8-byte-per-row wire form that the image chunks carry, and a
    fingerprint that lets the surface tell which slots it already holds.
    The Z9-M also shows a 17-character label for each of its 80 labelled
    buttons; there is one label list per slot index.

    The functions here compile one slot into buffers that the caller owns;
    the program's compiled tables and compileDeviceImage, which fills them,
    are in the synchronisation layer (CompiledSlots.h). Message thread (the
    store is a juce::ValueTree).
*/

inline constexpr int wireRecordSize = 8;
inline constexpr int wireImageSize = numControls * wireRecordSize;   // 2016
inline constexpr int labelListSize = numLabelledButtons * numProducts; // 640

using ControlRecordBytes = juce::uint8[controlRecordSize];

/** Writes the 8-byte wire form of a 7-byte record: byte 1 split into nibbles. */
void makeWireRecord (const juce::uint8* record, juce::uint8* wire) noexcept;

/** The device label of a control without a text. */
juce::String unassignedDeviceLabel();

/** Compiles slot index s of product index p (1 to 8) of the store: when the
    slot (found by position) runs a DAW, the image starts from that DAW's
    built-in image and gets every control's assignment, the slot colours on
    the rows that show them and, given a label list (the Z9-M's), each
    labelled control's device label at its row. A slot without a DAW keeps
    the image it had. Then the wire form of every row is written.

    image: numControls records; wire: wireImageSize bytes; labels: the slot
    index's list of labelListSize labels, or nullptr for a model without a
    display. */
void compileSlotImage (const MappingStore& store, int productIndex, int slotIndex,
                       const int (&slotColours)[3], ControlRecordBytes* image,
                       juce::uint8* wire, juce::StringArray* labels);

/** A slot's fingerprint: the ints checksum of the wire image's bytes
    checksum, the label list's checksum (0 without labels) and the DAW id. */
int slotFingerprintOf (const juce::uint8* wire, const juce::StringArray* labels, int dawId);

} // namespace NsZ9m
