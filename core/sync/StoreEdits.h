#pragma once

#include "core/model/MappingStore.h"
#include "core/model/ValueTypeKind.h"
#include <array>

namespace NsZ9m
{

/*  The edits that the editor makes to the mapping store, in one place and
    without any window: every assignment page, the editor page's own commands
    (LOCK, the context menu), the drag and drop between name buttons and the
    general settings write the store only through these.

    Each write goes into the current model's current slot's DAW profile of the
    store it is given, and marks what the synchronisation timer must send
    (slotDirty). What a page shows afterwards (refreshes, the function grid's
    enabled buttons) stays with the page.

    Message thread only, like the process-wide state they change.
*/

//==============================================================================
/** Marks slot index 0 to 2 as edited and not yet sent; any other index is
    ignored (a store from a file may name any slot). */
void markSlotDirty (int slotIndex);

/** markSlotDirty for the store's current slot index (the current model's
    `current`). */
void markCurrentSlotDirty (const MappingStore& store);

/** A control's `lockBy` in the current slot's profile, 0 when absent. */
int getLockBy (const MappingStore& store, int controlId);

/** The node that an edit of the control writes: the control's own node in the
    current slot's DAW profile or, when its `lockBy` names another of the
    controls 1 to 80, that control's node (the source of a linked column).
    A `lockBy` that names no such control is ignored. */
juce::ValueTree getEditedNode (const MappingStore& store, int controlId);

/** The id of the control whose node getEditedNode gives. */
int getEditedControl (const MappingStore& store, int controlId);

/** The other controls of a name button's column (the same position in each
    of the five banks of 16) that LOCK links, in bank order: the HUI DAW's
    reserved controls are left out. Empty for a control outside 1 to 80. */
juce::Array<int> getLockableColumnMembers (const MappingStore& store, int controlId);

/** The controls that a DAW function given to this control is copied to, the
    same knob or button in the other banks of the surface: a knob k of 116 to
    123 goes to k + 81, k + 97, k + 113, k + 129; a button b of 189 to 196 to
    b + 16, b + 32, b + 48. Empty for every other control. */
juce::Array<int> getBankCopies (int controlId);

//==============================================================================
/** Gives the control the DAW function with this code (its index in the
    current DAW's function table): the edited node (getEditedNode) becomes a
    "func" assignment with the function's trimmed label as its name, the
    control's copies in the other banks (getBankCopies) get the same, and the
    current slot is marked dirty.

    Nothing is written, and false comes back, when the current slot holds no
    DAW, the control is not 1 to 252, the code lies outside 0 to 127, or the
    HUI DAW keeps the control for itself. */
bool assignFunction (const MappingStore& store, int controlId, int functionCode);

//==============================================================================
/** One key combination of a hotkey as the store keeps it. `key` is the USB HID
    usage id (0 for a combination that was not captured, -1 for a key the
    surface cannot send), `keyName` its caption. The editor never sets cmd. */
struct HotkeyCombination
{
    bool ctrl = false, shift = false, alt = false, cmd = false;
    int key = 0;
    juce::String keyName;

    bool operator== (const HotkeyCombination& other) const;
};

/** The combination of a key press given by its description (in the style of
    juce::KeyPress::getTextDescription, e.g. "ctrl + shift + A") and its
    modifiers: the key text is the last piece of the description between
    " + ", looked up exactly in keyDescriptions(). An empty description gives
    key 0. */
HotkeyCombination makeHotkeyCombination (const juce::String& description, bool ctrl, bool shift, bool alt);

/** True when the surface can send the key of this description: an empty
    description, or one whose key text is in keyDescriptions(). */
bool canSendKeyDescription (const juce::String& description);

/** Writes a captured hotkey into the control's edited node: "hotkey", then
    the three combinations (flags, key, key name), then an empty name unless
    the user typed the node's name (diyNameQ). Marks the current slot dirty.
    False, with nothing written or marked, for a control outside 1 to 252 or
    one that the HUI DAW keeps. */
bool assignHotkey (const MappingStore& store, int controlId,
                   const std::array<HotkeyCombination, 3>& combinations);

/** What a name edit did. */
struct NameEdit
{
    bool written = false;           ///< the name was stored
    bool marked = false;            ///< the current slot was marked dirty
    ValueTypeKind previousKind { ValueTypeKind::Null };    ///< the edited node's kind before the edit; Null for a control nothing assigned
    bool kindChanged = false;       ///< the edit turned another kind of assignment into a hotkey
};

/** The longest name the editor's name fields store. */
inline constexpr int maxNameLength = 16;

/** Stores a name that the user typed on the hotkey page: its first 16
    characters go into the edited node's `name`, the node becomes a "hotkey"
    (a mouse-wheel assignment keeps its kind) and, for a name that is not only
    white space, diyNameQ is set. A name with a character above 126 is not
    stored. The current slot is marked dirty in both cases; for a control
    outside 1 to 252 or one that the HUI DAW keeps nothing happens at all. */
NameEdit setHotkeyName (const MappingStore& store, int controlId, const juce::String& typedName);

//==============================================================================
/** Gives the current model's current slot (and the same slot of every model)
    a DAW: the slot's `current`, slotDawIds of currentSlotIndex, and the slot
    marked dirty. Choosing the DAW the slot already runs, or an id outside 1
    to 18, changes nothing and returns false. */
bool chooseSlotDaw (const MappingStore& store, int dawId);

/** "Remove this DAW": the current model's current slot loses its DAW and
    fingerprint, and is not sent. For the Z9-M (or a slot without a DAW in
    slotDawIds) the slot loses its DAW in slotDawIds too, so every model loses
    it with the editor's next rebuild. Returns the slot index, or -1 when the
    store's current slot index is not 0 to 2 (nothing changes). */
int removeCurrentSlotDaw (const MappingStore& store);

/** "Reset to defaults": the whole store back to its defaults with its
    built-in DAW profiles, every model's slots running the DAWs of slotDawIds
    again, and every slot that runs a DAW marked dirty. */
void resetStoreToDefaults (MappingStore& store);

/** "Clear current button": the edited node's assignment cleared and the
    current slot marked dirty. False, with nothing changed, for a control
    outside 1 to 252 or one that the HUI DAW keeps (itself or as the source of
    its column). */
bool clearAssignment (const MappingStore& store, int controlId);

/** Drag and drop: exchanges the assignments of two controls of the current
    slot and marks it dirty. False, with nothing changed, when the two are the
    same control, either is outside 1 to 252, lies in a linked column
    (`lockBy` above 0), or is kept by the HUI DAW. */
bool swapAssignments (const MappingStore& store, int controlA, int controlB);

/** What LOCK or UNLOCK did. */
struct LockChange
{
    bool done = false;
    bool wasLinked = false;     ///< the column was linked before: this unlinked it
    int newLock = 0;            ///< the lockBy now held by the column (0: unlinked)
};

/** LOCK / UNLOCK on one of controls 1 to 80: a linked column (the control's
    lockBy above 0) is unlinked, any other is linked to this control; the
    control and its lockable column members get the new lockBy, and the
    current slot is marked dirty. Nothing happens for another control or one
    that the HUI DAW keeps. */
LockChange toggleColumnLock (const MappingStore& store, int controlId);

/** Makes slot index 0 to 2 the one being edited: currentSlotIndex and the
    current model's `current`. */
void selectSlot (const MappingStore& store, int slotIndex);

/** Toggles colour flag `column` (0 to 2, daw1 to daw3) of the current slot
    index in slotColourTable and in the current model's current slot; a slot
    running a DAW is marked dirty. A slot's own colour bit (column equal to
    its index) and indices outside 0 to 2 are left alone: returns -1, else
    the new bit. */
int toggleSlotColour (const MappingStore& store, int column);

//==============================================================================
/*  The MIDI page. On any DAW but the HUI DAW it gives a control a MIDI
    message (kind, channel, value, a knob's rotation pattern, a name); on the
    HUI DAW a HUI function (a fader or knob function, or a button function or
    a raw zone and port pair). Its four choosers are described by their
    selected indices; the writes go into the edited node (getEditedNode), so
    a control of a linked column edits its column's source.
*/

/** The ports the HUI value chooser offers: 0x00, 0x01, 0x40 to 0x48. */
const juce::Array<int>& huiPortList();

/** The index of the entry of huiPortList equal to the port, -1 for none. */
int huiPortIndexOf (int port);

/** The number of HUI zones the zone chooser offers (0x00 to 0x1D). */
inline constexpr int huiZoneCount = 30;

/** The name of value 0 to 127 of MIDI kind index 0 to 4: note names for
    notes (" C-1" to " G9"), controller names for control changes ("--" for
    an unnamed one), "---" for the other kinds; empty outside the tables. */
juce::String midiValueName (int kindIndex, int value);

/** The selected item index of each of the MIDI page's choosers, -1 for none.
    kind: the MIDI kind index, or the HUI function number; channel: the MIDI
    channel - 1, or the HUI zone; value: the MIDI value, or the index in
    huiPortList; rotation: the rotation pattern - 1. */
struct MidiPageSelection
{
    int kind = -1, channel = -1, value = -1, rotation = -1;

    bool operator== (const MidiPageSelection& o) const
    {
        return kind == o.kind && channel == o.channel && value == o.value && rotation == o.rotation;
    }
};

enum class MidiPageChooser { kind, channel, value, rotation };

/** What a choice on the MIDI page did. */
struct MidiPageEdit
{
    bool edited = false;            ///< the control takes edits (1 to 252, not kept by the HUI DAW)
    bool complete = false;          ///< the assignment is complete: its kind, name and bank copies were written
    MidiPageSelection selection;    ///< what the choosers hold afterwards
    bool showsName = false;         ///< the name field shows nameText
    juce::String nameText;
    bool blankFunction = false;     ///< the HUI "(blank)" function: zone and port were emptied
};

/** The user changed one of the MIDI page's choosers, which now hold
    `selection`. Writes what the choice means into the control's edited node;
    when the assignment is complete (the blank HUI function, a HUI fader or
    knob, or all of kind, channel and value chosen) also the value type
    ("midi" or "hui"), the name the control now shows (a name the user typed
    stays) and the copies in the other banks (getBankCopies). Marks the
    current slot dirty whenever anything was written. */
MidiPageEdit chooseOnMidiPage (const MappingStore& store, int controlId,
                               MidiPageChooser chooser, MidiPageSelection selection);

/** Stores a name typed on the MIDI page into the edited node, together with
    the message the choosers show: on a non-HUI DAW only while kind, channel
    and value are all chosen; on the HUI DAW only with the first function
    chosen. A name with a character above 126 is not stored. The current slot
    is marked dirty in either case; for a control outside 1 to 252 or one
    that the HUI DAW keeps nothing happens at all. */
NameEdit setMidiPageName (const MappingStore& store, int controlId, const juce::String& typedName,
                          MidiPageSelection selection);

/** The text a MIDI or HUI assignment of the control shows: its typed name,
    else the message text ("Note 60") or the HUI function's label (a custom
    zone and port pair as formatHexPair). Empty for other assignments. */
juce::String getMidiAssignmentText (const MappingStore& store, int controlId);

} // namespace NsZ9m
