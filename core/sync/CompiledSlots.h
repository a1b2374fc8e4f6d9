#pragma once

#include "core/link/DeviceImage.h"

namespace NsZ9m
{

/*  The program's compiled mapping, as the surfaces hold it: per model and
    slot a device image, its wire form and a fingerprint, and for the Z9-M one
    label list per slot index.

    Process-wide and message thread only: the synchronisation pass compiles
    (compileDeviceImage), the surface messages of a send read.
*/

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
    pending, from the Host's store: each starts from its DAW's built-in image,
    gets every control's assignment, its wire form, labels (Z9-M) and
    fingerprint (with the DAW of that slot in the store's current model).
    A slot without a DAW keeps its previous image but still gets its wire form
    and fingerprint. */
void compileDeviceImage (int productIndex);

/** The compiled state back to its start: zero images and fingerprints, the
    label lists filled with unassigned labels. */
void resetDeviceImages();

} // namespace NsZ9m
