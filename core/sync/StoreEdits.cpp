#include "core/sync/StoreEdits.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/ProcessState.h"
#include "core/base/PlatformHelpers.h"
#include "core/base/StoredNumber.h"
#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/MidiMessageKind.h"
#include "core/model/KeyTables.h"
#include "core/model/NameLists.h"
#include "core/model/Products.h"

namespace NsZ9m
{

namespace
{
    constexpr int columnLength = 16;
    constexpr int numBanks = 5;

    /** The column position 0 to 15 of a name button. */
    int columnOf (int controlId)    { return (controlId - 1) % columnLength; }

    /** The current model's current slot's DAW, read as the grid's click reads
        it: the model's `current` slot and that slot's `current`. */
    int currentDawOf (const MappingStore& store)
    {
        return StoredNumber::read (store.getSlot (-1, -1), Ids::current);
    }

    void writeCombination (juce::ValueTree& node, const HotkeyCombination& c,
                           const juce::Identifier& shift, const juce::Identifier& ctrl,
                           const juce::Identifier& alt, const juce::Identifier& cmd,
                           const juce::Identifier& key, const juce::Identifier& keyName)
    {
        node.setProperty (shift, c.shift, nullptr);
        node.setProperty (ctrl, c.ctrl, nullptr);
        node.setProperty (alt, c.alt, nullptr);
        node.setProperty (cmd, false, nullptr);
        node.setProperty (key, c.key, nullptr);
        node.setProperty (keyName, c.keyName, nullptr);
    }

    bool isMouseWheelKey (const juce::String& keyName)
    {
        return keyName.equalsIgnoreCase ("Wheel Up") || keyName.equalsIgnoreCase ("Wheel Down");
    }
}

//==============================================================================
void markSlotDirty (int slotIndex)
{
    if (juce::isPositiveAndBelow (slotIndex, numSlots))
        slotDirty[slotIndex] = true;
}

void markCurrentSlotDirty (const MappingStore& store)
{
    markSlotDirty (store.getCurrentSlotIndex());
}

int getLockBy (const MappingStore& store, int controlId)
{
    return StoredNumber::read (store.getControlOfCurrentSlot (controlId), Ids::lockBy);
}

int getEditedControl (const MappingStore& store, int controlId)
{
    const auto lockBy = getLockBy (store, controlId);
    return isLabelledButton (lockBy) ? lockBy : controlId;
}

juce::ValueTree getEditedNode (const MappingStore& store, int controlId)
{
    return store.getControlOfCurrentSlot (getEditedControl (store, controlId));
}

juce::Array<int> getLockableColumnMembers (const MappingStore& store, int controlId)
{
    juce::Array<int> members;

    if (! isLabelledButton (controlId))
        return members;

    for (int k = 0; k < numBanks; ++k)
    {
        const auto member = columnOf (controlId) + columnLength * k + 1;

        if (member != controlId && ! isHuiReservedControl (store, member))
            members.add (member);
    }

    return members;
}

juce::Array<int> getBankCopies (int controlId)
{
    juce::Array<int> copies;
    const auto offset = isControl189To196 (controlId) ? 0 : isControl116To123 (controlId) ? 81 : -1;

    if (offset < 0)
        return copies;

    for (int j = 0; j < 4; ++j)
        if (const auto copy = controlId + offset + 16 * j; copy != controlId)
            copies.add (copy);

    return copies;
}

//==============================================================================
bool assignFunction (const MappingStore& store, int controlId, int functionCode)
{
    const auto daw = currentDawOf (store);

    if (! isValidDawId (daw) || ! isValidControlNumber (controlId)
         || ! juce::isPositiveAndBelow (functionCode, 128)
         || isHuiReservedControl (store, controlId))
        return false;

    const auto label = getAssignedFunctionLabel (daw, isNotHuiDaw (daw) ? 9 : getControlKind (controlId),
                                                 functionCode).trim();

    auto target = getEditedNode (store, controlId);
    clearControlAssignment (target);
    target.setProperty (Ids::type, "note", nullptr);
    target.setProperty (Ids::chan, 0, nullptr);
    target.setProperty (Ids::value, functionCode, nullptr);
    target.setProperty (Ids::msgValue, functionCode, nullptr);
    target.setProperty (Ids::name, label, nullptr);
    target.setProperty (Ids::diyNameQ, 0, nullptr);
    target.setProperty (Ids::valueType, "func", nullptr);

    // The same knob or button in the other banks does the same.
    const auto own = store.getControlOfCurrentSlot (controlId);

    for (auto copy : getBankCopies (controlId))
        copyControlAssignment (own, store.getControlOfCurrentSlot (copy));

    markCurrentSlotDirty (store);
    return true;
}

//==============================================================================
bool HotkeyCombination::operator== (const HotkeyCombination& other) const
{
    return ctrl == other.ctrl && shift == other.shift && alt == other.alt && cmd == other.cmd
        && key == other.key && keyName == other.keyName;
}

namespace
{
    juce::String keyTextOf (const juce::String& description)
    {
        const auto pieces = splitString (description, " + ");
        return pieces.isEmpty() ? juce::String() : pieces[pieces.size() - 1];
    }
}

HotkeyCombination makeHotkeyCombination (const juce::String& description, bool ctrl, bool shift, bool alt)
{
    HotkeyCombination c;
    c.ctrl = ctrl;
    c.shift = shift;
    c.alt = alt;
    c.key = keyDescriptions().indexOf (keyTextOf (description));
    c.keyName = c.key >= 0 ? hidUsageCaptions()[c.key] : juce::String();
    return c;
}

bool canSendKeyDescription (const juce::String& description)
{
    return keyDescriptions().contains (keyTextOf (description));
}

bool assignHotkey (const MappingStore& store, int controlId, const std::array<HotkeyCombination, 3>& combinations)
{
    if (! isValidControlNumber (controlId) || isHuiReservedControl (store, controlId))
        return false;

    auto node = getEditedNode (store, controlId);
    node.setProperty (Ids::valueType, "hotkey", nullptr);
    writeCombination (node, combinations[0], Ids::shift,  Ids::ctrl,  Ids::alt,  Ids::cmd,  Ids::key,  Ids::keyName);
    writeCombination (node, combinations[1], Ids::shift2, Ids::ctrl2, Ids::alt2, Ids::cmd2, Ids::key2, Ids::keyName2);
    writeCombination (node, combinations[2], Ids::shift3, Ids::ctrl3, Ids::alt3, Ids::cmd3, Ids::key3, Ids::keyName3);

    // A name the user typed stays; an automatic one would name the old keys.
    if (StoredNumber::read (node, Ids::diyNameQ) == 0)
        node.setProperty (Ids::name, juce::String(), nullptr);

    markCurrentSlotDirty (store);
    return true;
}

NameEdit setHotkeyName (const MappingStore& store, int controlId, const juce::String& typedName)
{
    NameEdit result;

    if (! isValidControlNumber (controlId) || isHuiReservedControl (store, controlId))
        return result;

    const auto name = typedName.substring (0, maxNameLength);
    auto node = getEditedNode (store, controlId);
    result.previousKind = ValueTypeKind::fromStoredText (node.getProperty (Ids::valueType).toString().trim())
                              .value_or (ValueTypeKind (ValueTypeKind::Null));

    if (! containsNonAscii (name))
    {
        // A mouse-wheel assignment keeps its kind and only gets a name.
        if (! isMouseWheelKey (node.getProperty (Ids::keyName).toString()))
        {
            result.kindChanged = node.getProperty (Ids::valueType).toString().trim() != "hotkey";
            node.setProperty (Ids::valueType, "hotkey", nullptr);

            if (name.trim().isNotEmpty())
                node.setProperty (Ids::diyNameQ, 1, nullptr);
        }

        node.setProperty (Ids::name, name, nullptr);
        result.written = true;
    }

    markCurrentSlotDirty (store);
    result.marked = true;
    return result;
}

//==============================================================================
bool chooseSlotDaw (const MappingStore& store, int dawId)
{
    if (! isValidDawId (dawId))
        return false;

    const auto current = store.getSlotDawAt (store.getCurrentSlotIndex() + 1, productIndexOf (currentProductId) + 1).get();

    if (current == dawId)
        return false;

    // A store read from a file may lack the current model or some of the
    // others: only the slots it holds take the DAW.
    if (auto slot = store.getSlot (-1, -1); slot.isValid())
        slot.setProperty (Ids::current, dawId, nullptr);

    if (juce::isPositiveAndBelow (currentSlotIndex, numSlots))
    {
        slotDawIds[currentSlotIndex] = dawId;

        // Every model runs each slot's DAW.
        for (int m = 1; m <= numProducts; ++m)
            if (auto slot = store.getSlot (currentSlotIndex + 1, m); slot.isValid())
                slot.setProperty (Ids::current, dawId, nullptr);
    }

    markSlotDirty (currentSlotIndex);
    return true;
}

int removeCurrentSlotDaw (const MappingStore& store)
{
    const auto s = store.getCurrentSlotIndex();

    if (! juce::isPositiveAndBelow (s, numSlots))
        return -1;

    store.getSlot (-1, -1).setProperty (Ids::current, 0, nullptr);

    if (const auto p = productIndexOf (currentProductId); p >= 0)
        slotFingerprints[p][s] = 0;

    // The Z9-M's slot loses its DAW in every model; an X model's slot keeps a
    // DAW that slotDawIds still names, and only its fingerprint is cleared.
    if (currentProductId == productZ9M || slotDawIds[s] <= 0)
        slotDawIds[s] = 0;

    slotDirty[s] = false;
    return s;
}

void resetStoreToDefaults (MappingStore& store)
{
    store.resetToDefaults();

    for (int s = 0; s < numSlots; ++s)
    {
        for (int m = 1; m <= numProducts; ++m)
            store.getSlot (s + 1, m).setProperty (Ids::current, slotDawIds[s], nullptr);

        // Every slot's image changes, not only the current one's.
        if (isValidDawId (slotDawIds[s]))
            slotDirty[s] = true;
    }
}

bool clearAssignment (const MappingStore& store, int controlId)
{
    if (! isValidControlNumber (controlId) || isHuiReservedControl (store, controlId))
        return false;

    // A control of a linked column shows and sends its column's source: that
    // is the assignment to clear.
    const auto source = getEditedControl (store, controlId);

    if (isHuiReservedControl (store, source))
        return false;

    clearControlAssignment (store.getControlOfCurrentSlot (source));
    markCurrentSlotDirty (store);
    return true;
}

bool swapAssignments (const MappingStore& store, int controlA, int controlB)
{
    if (controlA == controlB || ! isValidControlNumber (controlA) || ! isValidControlNumber (controlB))
        return false;

    // Linked columns and the HUI DAW's own keys keep their assignments.
    if (getLockBy (store, controlA) > 0 || getLockBy (store, controlB) > 0
         || isHuiReservedControl (store, controlA) || isHuiReservedControl (store, controlB))
        return false;

    swapControlAssignments (store, controlA, controlB);
    markCurrentSlotDirty (store);
    return true;
}

LockChange toggleColumnLock (const MappingStore& store, int controlId)
{
    LockChange change;

    // A store read from a file may name a slot or DAW it does not hold: a
    // control it lacks has no lock to change.
    auto control = store.getControlOfCurrentSlot (controlId);

    if (! isLabelledButton (controlId) || isHuiReservedControl (store, controlId) || ! control.isValid())
        return change;

    change.wasLinked = getLockBy (store, controlId) > 0;
    change.newLock = change.wasLinked ? 0 : controlId;
    change.done = true;

    control.setProperty (Ids::lockBy, change.newLock, nullptr);

    for (auto member : getLockableColumnMembers (store, controlId))
        if (auto m = store.getControlOfCurrentSlot (member); m.isValid())
            m.setProperty (Ids::lockBy, change.newLock, nullptr);

    markCurrentSlotDirty (store);
    return change;
}

void selectSlot (const MappingStore& store, int slotIndex)
{
    if (! juce::isPositiveAndBelow (slotIndex, numSlots))
        return;

    currentSlotIndex = slotIndex;
    store.getModel (-1).setProperty (Ids::current, slotIndex, nullptr);
}

int toggleSlotColour (const MappingStore& store, int column)
{
    const auto c = currentSlotIndex;

    // Each slot keeps its own colour bit; only the three rows exist.
    if (column == c || ! juce::isPositiveAndBelow (c, numSlots) || ! juce::isPositiveAndBelow (column, 3))
        return -1;

    static const juce::Identifier* flags[] = { &Ids::daw1, &Ids::daw2, &Ids::daw3 };

    const auto bit = slotColourTable[c][column] == 0 ? 1 : 0;
    slotColourTable[c][column] = bit;
    store.getSlot (-1, -1).setProperty (*flags[column], bit, nullptr);

    if (isDawIdInRange (store.getSlotDaw (c + 1).get()))
        slotDirty[c] = true;

    return bit;
}

//==============================================================================
const juce::Array<int>& huiPortList()
{
    static const juce::Array<int> ports { 0x00, 0x01, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48 };
    return ports;
}

int huiPortIndexOf (int port)
{
    return huiPortList().indexOf (port);
}

namespace
{
    struct MidiValueNames
    {
        juce::StringArray notes, controllers, others;

        MidiValueNames()
        {
            static const char* pitches[] = { " C", "C#", " D", "D#", " E", " F", "F#", " G", "G#", " A", "A#", " B" };

            for (int n = 0; n < 128; ++n)
            {
                notes.add (juce::String (pitches[n % 12]) + juce::String (n / 12 - 1));
                controllers.add ("--");
                others.add ("---");
            }

            struct Named { int value; const char* name; };
            static const Named named[] =
            {
                { 0, "Bank MSB*(GS)" }, { 1, "Modulation(GM)" }, { 2, "Breath" }, { 4, "Foot Pedal" },
                { 5, "Portamento Time(GM)" }, { 6, "Data Entry MSB(GM)" }, { 7, "Volume*(GM)" },
                { 8, "Balance(GM)" }, { 10, "Pan(GM)" }, { 11, "Expression*(GM)" },
                { 38, "Data Entry LSB" }, { 64, "Hold Pedal #1*(GM)" }, { 65, "Portamento(Gs)" },
                { 66, "Sostenuto(Gs)" }, { 67, "Soft Pedal(Gs)" }, { 68, "Legato Pedal" }, { 69, "Hold Pedal #2" },
                { 70, "Sound Variation" }, { 71, "Sound Timbre" }, { 72, "Sound Release Time" },
                { 73, "Sound Attack Time" }, { 74, "Sound Brightness" }, { 84, "Portamento Control(GS)" },
                { 91, "Reverb Level(GS)" }, { 92, "Tremolo Depth" }, { 93, "Chorus Level(GS)" },
                { 94, "Celeste Depth" }, { 95, "Phaser Depth" }, { 96, "Data Increment" }, { 97, "Data Decrement" },
                { 98, "Non-RPN*Param LSB(GS)" }, { 99, "Non-RPN*Param MSB(GS)" }, { 100, "RPN*Parameter LSB(GM)" },
                { 101, "RPN*Parameter MSB(GM)" }, { 120, "All Sound Off*(GS)" }, { 121, "Reset All Contorllers(GM)" },
                { 122, "Local On/Off" }, { 123, "All Notes Off*(GM)" }, { 124, "Omni Mode Off" },
                { 125, "Omni Mode On" }, { 126, "Mono Mode On" }, { 127, "Poly Mode On" }
            };

            for (auto& n : named)
                controllers.set (n.value, n.name);

            for (int i = 0; i < 4; ++i)
            {
                controllers.set (16 + i, "Gp Control #" + juce::String (i + 1));
                controllers.set (80 + i, "GP Control #" + juce::String (i + 5));
            }

            for (int i = 0; i < 5; ++i)
                controllers.set (75 + i, "Sound Control #" + juce::String (i + 6));
        }
    };

    const MidiValueNames& midiValueNames()
    {
        static const MidiValueNames names;
        return names;
    }

    /** The HUI function labels of a control's kind: fader, knob, or button. */
    const juce::StringArray& huiLabelsFor (int controlId)
    {
        return isFaderControl (controlId) ? huiFaderLabels()
             : isKnobControl (controlId)  ? huiKnobLabels()
                                          : huiButtonLabels();
    }

    bool isMidiByte (int n) noexcept    { return juce::isPositiveAndBelow (n, 128); }
}

juce::String midiValueName (int kindIndex, int value)
{
    if (! juce::isPositiveAndBelow (value, 128) || ! juce::isPositiveAndBelow (kindIndex, 5))
        return {};

    const auto& names = midiValueNames();
    return (kindIndex == MidiMessageKind::Note ? names.notes
          : kindIndex == MidiMessageKind::Cc   ? names.controllers
                                               : names.others)[value];
}

juce::String getMidiAssignmentText (const MappingStore& store, int controlId)
{
    const auto node = getEditedNode (store, controlId);
    const auto name = node.getProperty (Ids::name).toString();
    const ValueTypeKind kind (node.getProperty (Ids::valueType).toString());

    if (kind == ValueTypeKind (ValueTypeKind::Midi))
        return formatMidiText (MidiMessageKind (node.getProperty (Ids::type).toString()).getStatusNibble(),
                               StoredNumber::read (node, Ids::chan), StoredNumber::read (node, Ids::msgValue), name);

    if (kind != ValueTypeKind (ValueTypeKind::Hui))
        return {};

    if (StoredNumber::readFlag (node, Ids::diyNameQ))
        return name;

    const auto value = StoredNumber::read (node, Ids::value);

    // A pair of the user's own is named by its address.
    if (isButtonControl (controlId) && value == huiCustomFunction)
    {
        const auto zone = StoredNumber::read (node, Ids::val1, -1), port = StoredNumber::read (node, Ids::val2, -1);

        if (isMidiByte (zone) && isMidiByte (port))
            return formatHexPair (zone, port);
    }

    return getFunctionLabel (store.getCurrentDaw().get(), ControlKind (getControlKind (controlId)), value);
}

MidiPageEdit chooseOnMidiPage (const MappingStore& store, int controlId, MidiPageChooser chooser,
                               MidiPageSelection s)
{
    MidiPageEdit edit;
    edit.selection = s;

    if (! isValidControlNumber (controlId) || isHuiReservedControl (store, controlId)
         || isHuiReservedControl (store, getEditedControl (store, controlId)))
        return edit;

    edit.edited = true;

    const auto hui = ! isNotHuiDaw (store.getCurrentDaw().get());
    const auto fader = isFaderControl (controlId), knob = isKnobControl (controlId);
    const auto continuous = hui && (fader || knob);
    const auto& ports = huiPortList();
    auto node = getEditedNode (store, controlId);
    bool blank = false, written = false;

    auto set = [&node, &written] (const juce::Identifier& name, const juce::var& v)
    {
        node.setProperty (name, v, nullptr);
        written = true;
    };

    auto showName = [&edit] (const juce::String& text)
    {
        edit.showsName = true;
        edit.nameText = text;
    };

    // The function of a zone and port pair: its button function, or a pair of
    // the user's own named by its address.
    auto namePair = [&] (int zone, int port)
    {
        auto f = findHuiButtonIndex (zone, port);
        const auto text = juce::isPositiveAndBelow (f, huiFunctionTableSize) ? huiButtonLabels()[f]
                                                                               : formatHexPair (zone, port);
        if (! juce::isPositiveAndBelow (f, huiFunctionTableSize))
            f = huiCustomFunction;

        showName (text);
        set (Ids::val1, zone);
        set (Ids::val2, port);
        set (Ids::value, f);
        set (Ids::name, text);
        edit.selection.kind = f;
    };

    switch (chooser)
    {
        case MidiPageChooser::kind:
        {
            const auto i = s.kind;

            if (! hui)
            {
                if (! juce::isPositiveAndBelow (i, 5))
                    break;

                set (Ids::type, getMidiKindName (i));

                if (s.channel < 0)
                {
                    set (Ids::chan, 1);
                    edit.selection.channel = 0;
                }
            }
            else if (fader || knob)
            {
                const auto& labels = huiLabelsFor (controlId);

                if (! juce::isPositiveAndBelow (i, labels.size()))
                    break;

                set (Ids::val1, fader ? 32 : 64);
                set (Ids::val2, i);
                set (Ids::name, labels[i]);
                set (Ids::value, i);
            }
            else if (i == 0)
            {
                edit.selection.channel = edit.selection.value = -1;
                edit.blankFunction = blank = true;
                set (Ids::val1, -1);
                set (Ids::val2, -1);
                set (Ids::value, 0);
            }
            else if (juce::isPositiveAndBelow (i, huiCustomFunction))
            {
                const auto address = huiAddressTable()[i];
                edit.selection.channel = address.zone;
                edit.selection.value = huiPortIndexOf (address.port);
                showName (huiButtonLabels()[i]);
                set (Ids::val1, (int) address.zone);
                set (Ids::val2, (int) address.port);
                set (Ids::value, i);
            }

            // "(custom)" itself writes nothing: its pair comes from the zone
            // and port choosers.
            break;
        }

        case MidiPageChooser::channel:
        {
            if (! hui)
            {
                set (Ids::chan, juce::isPositiveAndBelow (s.channel, 16) ? s.channel + 1 : 0);
                break;
            }

            const auto zone = juce::isPositiveAndBelow (s.channel, huiZoneCount) ? s.channel : -1;
            set (Ids::val1, zone);

            if (zone >= 0 && juce::isPositiveAndBelow (s.value, ports.size()))
                namePair (zone, ports[s.value]);
            else
                edit.selection.kind = huiCustomFunction;

            break;
        }

        case MidiPageChooser::value:
        {
            if (! hui)
            {
                if (isMidiByte (s.value))
                {
                    set (Ids::msgValue, s.value);
                    set (Ids::value, s.value);
                }

                break;
            }

            // No port chosen (after the blank function) leaves no port.
            const auto port = juce::isPositiveAndBelow (s.value, ports.size()) ? ports[s.value] : -1;
            const auto zone = juce::isPositiveAndBelow (s.channel, huiZoneCount) ? s.channel : -1;
            set (Ids::val2, port);

            if (zone >= 0 && port >= 0)
                namePair (zone, port);
            else
                edit.selection.kind = huiCustomFunction;

            break;
        }

        case MidiPageChooser::rotation:
            set (Ids::rotate, juce::isPositiveAndBelow (s.rotation, 2) ? s.rotation + 1 : 0);
            break;
    }

    const auto& sel = edit.selection;
    edit.complete = blank || continuous || (sel.kind >= 0 && sel.channel >= 0 && sel.value >= 0);

    if (edit.complete)
    {
        set (Ids::valueType, hui ? "hui" : "midi");

        // A name the user did not type names the message it was made for.
        if (! StoredNumber::readFlag (node, Ids::diyNameQ) && ! hui)
            set (Ids::name, juce::String());

        set (Ids::name, getMidiAssignmentText (store, controlId));

        // The same knob or button in the other banks does the same.
        for (auto copy : getBankCopies (controlId))
            copyControlAssignment (node, store.getControlOfCurrentSlot (copy));
    }

    if (written)
        markCurrentSlotDirty (store);

    return edit;
}

NameEdit setMidiPageName (const MappingStore& store, int controlId, const juce::String& typedName,
                          MidiPageSelection s)
{
    NameEdit result;

    if (! isValidControlNumber (controlId) || isHuiReservedControl (store, controlId)
         || isHuiReservedControl (store, getEditedControl (store, controlId)))
        return result;

    const auto name = typedName.substring (0, maxNameLength);
    const auto typed = name.isNotEmpty();
    const auto hui = ! isNotHuiDaw (store.getCurrentDaw().get());
    auto node = getEditedNode (store, controlId);
    result.previousKind = ValueTypeKind::fromStoredText (node.getProperty (Ids::valueType).toString().trim())
                              .value_or (ValueTypeKind (ValueTypeKind::Null));

    if (! containsNonAscii (name))
    {
        if (! hui && juce::isPositiveAndBelow (s.kind, 5) && juce::isPositiveAndBelow (s.channel, 16)
             && isMidiByte (s.value))
        {
            node.setProperty (Ids::valueType, "midi", nullptr);
            node.setProperty (Ids::name, name, nullptr);
            node.setProperty (Ids::type, getMidiKindName (s.kind), nullptr);
            node.setProperty (Ids::chan, s.channel + 1, nullptr);
            node.setProperty (Ids::msgValue, s.value, nullptr);
            node.setProperty (Ids::diyNameQ, typed ? 1 : 0, nullptr);
            result.written = true;
        }
        else if (hui && s.kind == 0)
        {
            node.setProperty (Ids::valueType, "hui", nullptr);
            node.setProperty (Ids::name, name, nullptr);
            node.setProperty (Ids::diyNameQ, typed ? 1 : 0, nullptr);
            result.written = true;
        }

        result.kindChanged = result.written && result.previousKind != ValueTypeKind (hui ? ValueTypeKind::Hui : ValueTypeKind::Midi);
    }

    markCurrentSlotDirty (store);
    result.marked = true;
    return result;
}

} // namespace NsZ9m
