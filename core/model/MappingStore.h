#pragma once

#include "core/model/MappingIds.h"
#include "core/model/DawId.h"
#include "core/model/ControlNumbers.h"

namespace NsZ9m
{

/** What a newly built default store takes from outside the store: the root's
    `current` (the number of the model being edited, 0 for none) and the three
    colour flags (daw1, daw2, daw3) of each slot index. */
struct StoreDefaults
{
    int currentModel = 1;
    int slotColours[numSlots][3] { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
};

//==============================================================================
/**
    A handle on the mapping tree: store > model (8) > slot (3) > mode (18) > ctl (252).

    Copying a MappingStore, or building one from a tree, shares the tree: every
    handle reads and writes the same nodes. A missing node is an invalid
    juce::ValueTree, which reads as 0 or the empty text and ignores writes.

    Numbering: model numbers are the models' `id` (1 to 8), slot numbers 1 to 3
    (the model's `current` holds the slot index 0 to 2), DAW ids 1 to 18 (the
    slot's `current`, 0 for none), control numbers 1 to 252.

    Message thread only.
*/
class MappingStore
{
public:
    /** Builds a complete new tree: the default tree, then the built-in DAW
        profiles of every supported model, with the program's current defaults
        (currentStoreDefaults(): the product being edited, the slot colour
        table). Defined with the process-wide state, in the sync layer. */
    MappingStore();

    /** Builds a complete new tree as above, with the given defaults. */
    explicit MappingStore (const StoreDefaults& defaults);

    /** A handle on an existing tree; nothing is built. */
    explicit MappingStore (const juce::ValueTree& existingTree);

    /** The tree this handle works on (shares its nodes). */
    juce::ValueTree getTree() const          { return tree; }

    //==============================================================================
    /** The model whose `id` is the model number (found by id, not position).
        -1 takes the root's `current`, and model 1 when that is missing too. */
    juce::ValueTree getModel (int modelNumber = -1) const;

    /** Slot (slotNumber - 1) of the model; -1 takes the model's `current`, and
        an index of -1 (and so slot number 0) becomes slot index 0. */
    juce::ValueTree getSlot (int slotNumber = -1, int modelNumber = -1) const;

    /** `current` of the model that getModel (-1) gives, 0 when absent. */
    int getCurrentSlotIndex() const;

    /** The DAW of a slot found by position: `current` of child slotNumber - 1
        of the root's child productIndex - 1 (-1 takes the root's `current`);
        0 when any node is missing. */
    DawId getSlotDawAt (int slotNumber, int productIndex) const;

    /** Control (controlNumber - 1) of the slot's active mode. A slot without a
        DAW reads and writes the first DAW's profile. */
    juce::ValueTree getControl (int controlNumber, int slotNumber = -1, int modelNumber = -1) const;

    /** getControl for the current model's current slot. */
    juce::ValueTree getControlOfCurrentSlot (int controlNumber) const;

    /** The DAW of the current model's current slot, or DawId 0. */
    DawId getCurrentDaw() const;

    /** The DAW of slot number n of the current model, 0 when absent. */
    DawId getSlotDaw (int slotNumber) const;

    //==============================================================================
    /** Rebuilds the tree in place: root properties, then all models, slots,
        modes and controls with their start values; the root's `current` is
        the model of the program's currentProductId (defined in the sync
        layer, as the default constructor). */
    void buildDefaultTree();

    /** The same with the given defaults' currentModel. */
    void buildDefaultTree (const StoreDefaults& defaults);

    /** Writes the slot colour flags and the built-in profile of every DAW into
        every supported model's slots, with the program's current slot colour
        table (defined in the sync layer, as the default constructor). Models
        and slots the tree lacks (a store from a file may hold fewer) are
        skipped. */
    void applyBuiltInDefaults();

    /** The same with the given slot colours. */
    void applyBuiltInDefaults (const StoreDefaults& defaults);

    /** Rewrites the mode node of one DAW in one slot of one model from that
        DAW's built-in table. Does nothing for a slot number outside 1 to 3, a
        DAW id outside 1 to 18, or a mode the model lacks. */
    void applyModeDefaults (juce::ValueTree model, int slotNumber, int dawId);

    /** buildDefaultTree, then applyBuiltInDefaults, on the same tree: every
        handle sees the rebuilt tree. Uses the program's current defaults
        (defined in the sync layer, as the default constructor). */
    void resetToDefaults();

    /** The same with the given defaults. */
    void resetToDefaults (const StoreDefaults& defaults);

    const juce::Identifier type { Ids::store };

private:
    /** buildDefaultTree, optionally followed by the effect of
        applyBuiltInDefaults: with it, each DAW's mode is decoded once and every
        slot gets a copy, instead of every slot's default mode being built and
        then decoded. */
    void buildTree (bool withBuiltInDefaults, const StoreDefaults& defaults);

    /** The 18 modes of a slot as applyModeDefaults leaves freshly built ones,
        in DAW order. */
    juce::Array<juce::ValueTree> decodeBuiltInModes (const juce::Array<juce::ValueTree>& defaultModes);

    juce::ValueTree tree;
};

//==============================================================================
/** Clears the assignment of one control node (see the editor's "Clear current
    button"): type "null" and zeroed MIDI, key and HUI properties. `id`,
    `kind`, `lockBy`, `diyNameQ` and the second and third key combinations keep
    their values; the name is kept for "midi" and "null" assignments only. */
void clearControlAssignment (juce::ValueTree ctl);

/** Makes the target's properties an exact copy of the source's, keeping the
    target's own `id`. */
void copyControlAssignment (const juce::ValueTree& source, juce::ValueTree target);

/** Exchanges everything but the control numbers between controls ia and ib of
    the store's current slot (drag and drop between two controls). */
void swapControlAssignments (const MappingStore& store, int controlA, int controlB);

} // namespace NsZ9m
