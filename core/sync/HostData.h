#pragma once

#include "core/files/SettingsStore.h"

namespace NsZ9m
{

class MidiOutputPort;
class Host;

/**
    The data the Host owns: the settings store, the mapping tree and the name
    of the output port that the next send uses.

    Created by the Host's constructor and never replaced; message thread only.
*/
class HostData
{
public:
    /** Opens the settings store (reading nothing yet); `tree` stays empty
        until loadState, which the Host calls at once. The Host that owns this
        data is where a send puts its input handler. */
    explicit HostData (Host& owner);

    /** Takes the copy of the store kept in the settings file, when that copy
        is a store of this program's version, and marks the restored slots
        that hold a DAW dirty. A missing, unreadable or foreign copy leaves a
        new default store (or the tree already there). The default store is
        only built when the stored copy is not taken: a start with a settings
        file does not build one only to throw it away. */
    void loadState();

    /** Writes the tree to the settings file ("state"), at once when it changed.
        A failed write is not reported and leaves the old file intact. */
    void saveState();

    /** Slot (slotNumber - 1) of the model of currentProductId, found by its
        position in the product list; invalid for a slot number outside 1 to 3. */
    juce::ValueTree getSlotOfCurrentProduct (int slotNumber) const;

    /** Copies each slot's DAW id from the tree's first model into slotDawIds. */
    void takeSlotDawIdsFromTree();

    /** Uploads the compiled slots of a product to the surface on the selected
        output port: asks which slots it holds, sends the image chunks (and for
        the Z9-M the label chunks) of every other slot that runs a DAW, each
        acknowledged, then selects the current slot and confirms the
        fingerprints. The first failure ends all sending; its text is the
        result. Replaces the owning Host's input handler by one on the
        surface's ports, and sends through that handler's output.

        The image compiler must have run for the product. Message thread; the
        pauses run the message loop, so other work can happen meanwhile
        (sendInProgress is set throughout). */
    juce::Result sendMapping (int productId);

    /** Sends one message of a send at once. */
    static void sendMessageNow (MidiOutputPort& port, const juce::MidiMessage& message);

    SettingsStore settings;
    juce::ValueTree tree;
    juce::String outputDeviceName;

private:
    Host& owner;

    JUCE_DECLARE_NON_COPYABLE (HostData)
};

} // namespace NsZ9m
