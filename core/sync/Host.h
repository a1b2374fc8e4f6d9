#pragma once

#include "core/sync/HostData.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/MappingStore.h"

namespace NsZ9m
{

/**
    The process-wide object through which the editor, the synchronisation timer
    and the mapping send reach the mapping store, the settings and the surface.

    The program creates it once, on first use by an editor page, and keeps it
    until the process ends; it never writes the settings by itself (each editor
    page does so when it goes). Tests create one over a settings folder of
    their own and delete it again with deleteInstance().

    Every operation runs on the message thread.
*/
class Host
{
public:
    /** Creates the data (settings store and default store), then restores the
        store kept in the settings file. */
    Host();
    virtual ~Host();

    JUCE_DECLARE_SINGLETON (Host, false)

    //==============================================================================
    /** A handle sharing the mapping tree. Take a new one for each action: a
        load replaces the tree. */
    juce::ValueTree getTree() const;

    /** A store handle on the mapping tree. */
    MappingStore getStore() const;

    /** `current` of the model that the root's `current` names by position
        (root without `current`: model 1; model without `current`: 0). */
    int getCurrentSlotIndex() const;

    /** The DAW of a slot (number 1 to 3) of a model (by position 1 to 8; -1 for
        the root's `current`); 0 when any node is missing. */
    DawId getSlotDaw (int slotNumber, int productIndex = -1) const;

    /** Sets a model's `current` slot index (model by position; -1 for the
        root's `current`, 1 when that is missing). */
    void setCurrentSlot (int slotIndex, int productIndex = -1);

    /** Refills functionNameList with the names in use in the current slot's
        DAW profile: the six transport names, then the trimmed non-empty name
        of every "func" control, duplicates kept. With no valid slot or DAW
        the list keeps its old content. */
    void collectFunctionNames();

    juce::String getOutputDeviceName() const;
    void setOutputDeviceName (const juce::String& name);

    /** Writes the store to the settings file. */
    void saveSettings();

    /** Writes the store as a mapping file: XML declaring UTF-8, no DTD, lines
        wrapped at 60 characters. */
    juce::Result saveMappingFile (const juce::File& file);

    /** Replaces the store by a mapping file's tree and marks all three slots
        dirty. A file that is not a mapping (its root is not exactly `store`,
        or holds no `model`) leaves the store and flags untouched and fails
        with "Could not load mapping data". */
    juce::Result loadMappingFile (const juce::File& file);

    /** Sends the compiled slots of a product to the selected output port (see
        HostData::sendMapping). */
    juce::Result sendMapping (int productId);

    /** Sends the filler and then EC d1 d2 to port 4 of every unit whose product
        passes the test, opening and closing each port. Returns false, at once,
        when it meets such a unit while a send is running. */
    bool sendToMatchingOutputs (std::function<bool (int)> productTest, juce::uint8 d1, juce::uint8 d2);

    /** The same with any message of the protocol in place of EC d1 d2. */
    bool sendToMatchingOutputs (std::function<bool (int)> productTest, const juce::MidiMessage& message);

    /** Echoes the surface's last slot report (0x22 slot select, 0x23 slot
        state) to port 4 of every X-family unit. Returns false, at once, when
        it meets such a unit while a send is running. The caller owns the
        report's pending flag: the timer takes it before the relay and puts it
        back when the relay has to be tried again. */
    bool relaySlotReport (int command);

    class MidiInputHandler;

    std::unique_ptr<HostData> data;

    /** The connection to the surface; empty until the first send or
        reconnection. */
    std::unique_ptr<MidiInputHandler> input;

private:
    JUCE_DECLARE_NON_COPYABLE (Host)
};

/** The names of the functions assigned in the current slot, filled by
    Host::collectFunctionNames(); the DAW function page reads it. Message
    thread only. */
extern juce::Array<juce::String> functionNameList;

/** isHuiReservedControl for the Host's store; false while no Host exists. */
bool isHuiReservedControl (int controlNumber);

} // namespace NsZ9m
