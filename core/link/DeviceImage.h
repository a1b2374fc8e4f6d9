#pragma once

#include "core/model/ControlNumbers.h"
#include "core/model/Products.h"

namespace NsZ9m
{

/*  The compiled form of the mapping, as the surface holds it.

    Each model and slot has a 252-row device image of 7-byte control records,
    its 8-byte-per-row wire form that the image chunks carry, and a
    fingerprint that lets the surface tell which slots it already holds.
    The Z9-M also shows a 17-character label for each of its 80 labelled
    buttons; there is one label list per slot index.

    All of this is process-wide and lives on the message thread: the
    synchronisation pass compiles, the message builders read.
*/

inline constexpr int controlRecordSize = 7;
inline constexpr int wireRecordSize = 8;
inline constexpr int wireImageSize = numControls * wireRecordSize;   // 2016
inline constexpr int labelsPerProduct = 80;
inline constexpr int labelListSize = labelsPerProduct * numProducts; // 640

using ControlRecordBytes = juce::uint8[controlRecordSize];

/** [product index - 1][slot index][device row][byte]: zero until compiled. */
extern juce::uint8 deviceImage[numProducts][numSlots][numControls][controlRecordSize];

/** [product index - 1][slot index]: the wire records of every row, in row order. */
extern juce::uint8 wireImages[numProducts][numSlots][wireImageSize];

/** [slot index]: the device label of each labelled control at its row, for
    the Z9-M only. Each list has its fixed size (labelListSize) from start;
    only the first 80 entries are ever compiled or sent. */
extern juce::StringArray slotLabels[numSlots];

/** [product index - 1][slot index]. */
extern int slotFingerprints[numProducts][numSlots];

/** Compiles the slots of product index p (1 to 8) that are dirty and not
    pending: each starts from its DAW's built-in image, gets every control's
    assignment, its wire form, labels (Z9-M) and fingerprint. A slot without a
    DAW keeps its previous image but still gets its wire form and fingerprint. */
void compileDeviceImage (int productIndex);

/** Writes the 8-byte wire form of a 7-byte record: byte 1 split into nibbles. */
void makeWireRecord (const juce::uint8* record, juce::uint8* wire) noexcept;

/** The compiled state back to its start: zero images and fingerprints, the
    label lists filled with unassigned labels. */
void resetDeviceImages();

} // namespace NsZ9m
