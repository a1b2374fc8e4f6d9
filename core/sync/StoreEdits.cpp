#include "core/sync/StoreEdits.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/ProcessState.h"
#include "core/base/PlatformHelpers.h"
#include "core/base/StoredNumber.h"
#include "core/model/BuiltInProfiles.h"
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

} // namespace NsZ9m
