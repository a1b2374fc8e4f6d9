#include "core/sync/StoreEdits.h"
#include "core/sync/CompiledSlots.h"
#include "core/link/DeviceImage.h"
#include "core/sync/ProcessState.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/KeyTables.h"
#include "core/model/Products.h"
#include "tests/support/CoreFixture.h"

using namespace NsZ9m;

namespace
{
    /** A store of three models with every slot's 18 profiles, of which only
        the profiles the case uses hold their 252 controls: as much of the
        store as the edits reach. */
    class StoreEditsTest : public z9test::CoreFixture
    {
    protected:
        void SetUp() override
        {
            CoreFixture::SetUp();
            tree.setProperty (Ids::current, 1, nullptr);

            for (int m = 1; m <= 3; ++m)
            {
                juce::ValueTree model (Ids::model);
                model.setProperty (Ids::id, m, nullptr);
                model.setProperty (Ids::current, 0, nullptr);

                for (int s = 0; s < numSlots; ++s)
                {
                    juce::ValueTree slot (Ids::slot);
                    slot.setProperty (Ids::current, 0, nullptr);

                    for (int d = 1; d <= numDaws; ++d)
                        slot.appendChild (juce::ValueTree (Ids::mode), nullptr);

                    model.appendChild (slot, nullptr);
                }

                tree.appendChild (model, nullptr);
            }
        }

        /** Slot number n of every model runs DAW d, whose profile gets its controls. */
        void runDaw (int slotNumber, int daw)
        {
            slotDawIds[slotNumber - 1] = daw;

            for (auto model : tree)
            {
                auto slot = model.getChild (slotNumber - 1);
                slot.setProperty (Ids::current, daw, nullptr);
                auto mode = slot.getChild (daw - 1);

                if (mode.getNumChildren() == 0)
                    for (int id = 1; id <= numControls; ++id)
                    {
                        juce::ValueTree ctl (Ids::ctl);
                        ctl.setProperty (Ids::id, id, nullptr);
                        ctl.setProperty (Ids::valueType, "nil", nullptr);
                        ctl.setProperty (Ids::name, "own " + juce::String (id), nullptr);
                        mode.appendChild (ctl, nullptr);
                    }
            }
        }

        juce::ValueTree ctl (int id)    { return store.getControlOfCurrentSlot (id); }
        juce::String nameOf (int id)    { return ctl (id).getProperty (Ids::name).toString(); }
        juce::String kindOf (int id)    { return ctl (id).getProperty (Ids::valueType).toString(); }

        bool anyDirty() const   { return slotDirty[0] || slotDirty[1] || slotDirty[2]; }

        juce::ValueTree tree { Ids::store };
        MappingStore store { tree };
    };

    constexpr int cubase = 2;
}

//==============================================================================
TEST_F (StoreEditsTest, AFunctionOnAKnobGoesToTheSameKnobInEveryBank)
{
    runDaw (1, cubase);
    const auto label = getAssignedFunctionLabel (cubase, 9, 5).trim();
    ASSERT_TRUE (label.isNotEmpty());

    ASSERT_TRUE (assignFunction (store, 118, 5));

    for (int id : { 118, 199, 215, 231, 247 })
    {
        const auto node = ctl (id);
        EXPECT_EQ (node[Ids::valueType].toString(), "func") << id;
        EXPECT_EQ ((int) node[Ids::value], 5) << id;
        EXPECT_EQ ((int) node[Ids::msgValue], 5) << id;
        EXPECT_EQ (node[Ids::type].toString(), "note") << id;
        EXPECT_EQ ((int) node[Ids::chan], 0) << id;
        EXPECT_EQ ((int) node[Ids::diyNameQ], 0) << id;
        EXPECT_EQ (node[Ids::name].toString(), label) << id;
        EXPECT_EQ ((int) node[Ids::id], id);
    }

    EXPECT_EQ (kindOf (117), "nil");
    EXPECT_EQ (kindOf (198), "nil");
    EXPECT_TRUE (slotDirty[0]);
    EXPECT_FALSE (slotDirty[1] || slotDirty[2]);
}

TEST_F (StoreEditsTest, BankCopiesOfButtonsAndNoneForOtherControls)
{
    EXPECT_EQ (getBankCopies (116), (juce::Array<int> { 197, 213, 229, 245 }));
    EXPECT_EQ (getBankCopies (123), (juce::Array<int> { 204, 220, 236, 252 }));
    EXPECT_EQ (getBankCopies (190), (juce::Array<int> { 206, 222, 238 }));
    EXPECT_TRUE (getBankCopies (20).isEmpty());
    EXPECT_TRUE (getBankCopies (124).isEmpty());

    runDaw (1, cubase);
    ASSERT_TRUE (assignFunction (store, 20, 7));
    EXPECT_EQ (kindOf (20), "func");
    EXPECT_EQ (kindOf (36), "nil");
}

TEST_F (StoreEditsTest, AFunctionOnALinkedControlGoesToItsColumnsSource)
{
    runDaw (1, cubase);
    ctl (21).setProperty (Ids::lockBy, 5, nullptr);

    ASSERT_TRUE (assignFunction (store, 21, 5));
    EXPECT_EQ (kindOf (5), "func");
    EXPECT_EQ (kindOf (21), "nil");
    EXPECT_EQ (getEditedControl (store, 21), 5);

    // a lockBy that names no name button is no column
    ctl (22).setProperty (Ids::lockBy, 300, nullptr);
    EXPECT_EQ (getEditedControl (store, 22), 22);
}

TEST_F (StoreEditsTest, NoFunctionWithoutADawOnAReservedHuiKeyOrOutsideTheTable)
{
    runDaw (1, cubase);
    slotDawIds[0] = 0;
    tree.getChild (0).getChild (0).setProperty (Ids::current, 0, nullptr);
    EXPECT_FALSE (assignFunction (store, 5, 5));

    runDaw (1, huiDawId);

    for (int id : huiReservedControls())
        EXPECT_FALSE (assignFunction (store, id, 4)) << id;

    EXPECT_FALSE (assignFunction (store, 5, 128));
    EXPECT_FALSE (assignFunction (store, 5, -1));
    EXPECT_FALSE (assignFunction (store, 253, 4));
    EXPECT_FALSE (anyDirty());

    // the HUI DAW labels a button's function from its own table
    ASSERT_TRUE (assignFunction (store, 5, 1));
    EXPECT_EQ (nameOf (5), huiButtonLabels()[1].trim());
}

//==============================================================================
TEST_F (StoreEditsTest, KeyDescriptionsBecomeStoreValuesAndUnsendableKeysAreKnown)
{
    struct Case { const char* description; int key; const char* keyName; bool sendable; };
    const Case cases[] = {
        { "ctrl + A",          0x04, "A",     true },
        { "shift + F5",        0x3E, "F5",    true },
        { "ctrl + shift + 7",  0x24, "7",     true },
        { "return",            0x28, "Enter", true },
        { "numpad 1",          0x59, "Num1",  true },
        { "",                  0,    "",      true },
        { "shift + !",         -1,   "",      false },   // a shifted digit, as Linux reports it
        { "shift + #",         -1,   "",      false },
        { "a",                 -1,   "",      false },   // case counts
    };

    for (auto& c : cases)
    {
        const auto combo = makeHotkeyCombination (c.description, true, false, true);
        EXPECT_EQ (combo.key, c.key) << c.description;
        EXPECT_EQ (combo.keyName, c.keyName) << c.description;
        EXPECT_TRUE (combo.ctrl && combo.alt && ! combo.shift && ! combo.cmd);
        EXPECT_EQ (canSendKeyDescription (c.description), c.sendable) << c.description;
    }
}

TEST_F (StoreEditsTest, AHotkeyWritesAllThreeCombinationsAndClearsOnlyAnAutomaticName)
{
    runDaw (1, cubase);
    const std::array<HotkeyCombination, 3> combos { makeHotkeyCombination ("ctrl + A", true, false, false),
                                                    makeHotkeyCombination ("shift + F5", false, true, false),
                                                    HotkeyCombination() };
    ctl (7).setProperty (Ids::cmd, true, nullptr);
    ctl (7).setProperty (Ids::key3, 9, nullptr);

    ASSERT_TRUE (assignHotkey (store, 7, combos));
    const auto n = ctl (7);
    EXPECT_EQ (n[Ids::valueType].toString(), "hotkey");
    EXPECT_TRUE ((bool) n[Ids::ctrl]);
    EXPECT_FALSE ((bool) n[Ids::shift] || (bool) n[Ids::alt] || (bool) n[Ids::cmd]);
    EXPECT_EQ ((int) n[Ids::key], 4);
    EXPECT_EQ (n[Ids::keyName].toString(), "A");
    EXPECT_TRUE ((bool) n[Ids::shift2]);
    EXPECT_EQ ((int) n[Ids::key2], 0x3E);
    EXPECT_EQ (n[Ids::keyName2].toString(), "F5");
    EXPECT_EQ ((int) n[Ids::key3], 0);
    EXPECT_EQ (n[Ids::keyName3].toString(), "");
    EXPECT_FALSE ((bool) n[Ids::ctrl3] || (bool) n[Ids::shift3] || (bool) n[Ids::alt3] || (bool) n[Ids::cmd3]);
    EXPECT_EQ (nameOf (7), "");
    EXPECT_TRUE (slotDirty[0]);

    // a typed name stays
    ctl (8).setProperty (Ids::diyNameQ, 1, nullptr);
    ASSERT_TRUE (assignHotkey (store, 8, combos));
    EXPECT_EQ (nameOf (8), "own 8");

    // a linked control writes its column's source
    ctl (21).setProperty (Ids::lockBy, 5, nullptr);
    ASSERT_TRUE (assignHotkey (store, 21, combos));
    EXPECT_EQ (kindOf (5), "hotkey");
    EXPECT_EQ (kindOf (21), "nil");
}

TEST_F (StoreEditsTest, AReservedHuiKeyGetsNoHotkeyAndNoName)
{
    runDaw (1, huiDawId);
    EXPECT_FALSE (assignHotkey (store, 11, {}));
    EXPECT_FALSE (setHotkeyName (store, 11, "Mine").marked);
    EXPECT_EQ (kindOf (11), "nil");
    EXPECT_FALSE (anyDirty());
}

TEST_F (StoreEditsTest, ANameKeepsSixteenCharactersAndRefusesCharactersAbove126)
{
    runDaw (1, cubase);

    auto edit = setHotkeyName (store, 3, "Twenty characters!!!");
    EXPECT_TRUE (edit.written);
    EXPECT_EQ (nameOf (3), "Twenty character");
    EXPECT_EQ (kindOf (3), "hotkey");
    EXPECT_EQ ((int) ctl (3)[Ids::diyNameQ], 1);
    EXPECT_TRUE (slotDirty[0]);

    // spaces only: stored, but not taken as a typed name
    edit = setHotkeyName (store, 4, "   ");
    EXPECT_TRUE (edit.written);
    EXPECT_EQ (nameOf (4), "   ");
    EXPECT_FALSE (ctl (4).hasProperty (Ids::diyNameQ));

    // above 126: not stored, but the slot is still marked
    slotDirty[0] = false;
    edit = setHotkeyName (store, 6, juce::String::fromUTF8 ("Caf\xc3\xa9"));
    EXPECT_FALSE (edit.written);
    EXPECT_TRUE (edit.marked);
    EXPECT_EQ (nameOf (6), "own 6");
    EXPECT_EQ (kindOf (6), "nil");
    EXPECT_TRUE (slotDirty[0]);
    EXPECT_TRUE (setHotkeyName (store, 6, "~").written);   // 126 itself is fine
}

TEST_F (StoreEditsTest, ANameEditSaysWhichAssignmentItReplaced)
{
    runDaw (1, cubase);
    ASSERT_TRUE (assignFunction (store, 9, 5));

    auto edit = setHotkeyName (store, 9, "Mine");
    EXPECT_TRUE (edit.kindChanged);
    EXPECT_EQ (edit.previousKind, ValueTypeKind (ValueTypeKind::Func));
    EXPECT_EQ (kindOf (9), "hotkey");

    // renaming a hotkey changes no kind
    edit = setHotkeyName (store, 9, "Again");
    EXPECT_FALSE (edit.kindChanged);

    // a mouse wheel keeps its kind
    ctl (10).setProperty (Ids::valueType, "mouse", nullptr);
    ctl (10).setProperty (Ids::keyName, "wheel up", nullptr);
    edit = setHotkeyName (store, 10, "Scroll");
    EXPECT_FALSE (edit.kindChanged);
    EXPECT_EQ (kindOf (10), "mouse");
    EXPECT_EQ (nameOf (10), "Scroll");
}

//==============================================================================
TEST_F (StoreEditsTest, ChoosingADawGivesItToTheSlotOfEveryModelOnce)
{
    runDaw (2, cubase);
    currentSlotIndex = 1;
    tree.getChild (0).setProperty (Ids::current, 1, nullptr);

    ASSERT_TRUE (chooseSlotDaw (store, huiDawId));
    EXPECT_EQ (slotDawIds[1], huiDawId);

    for (auto model : tree)
        EXPECT_EQ ((int) model.getChild (1).getProperty (Ids::current), huiDawId);

    EXPECT_EQ ((int) tree.getChild (0).getChild (0).getProperty (Ids::current), 0);
    EXPECT_TRUE (slotDirty[1]);
    EXPECT_FALSE (slotDirty[0] || slotDirty[2]);

    // the DAW the slot runs already, or none at all, changes nothing
    slotDirty[1] = false;
    EXPECT_FALSE (chooseSlotDaw (store, huiDawId));
    EXPECT_FALSE (chooseSlotDaw (store, 0));
    EXPECT_FALSE (chooseSlotDaw (store, 19));
    EXPECT_FALSE (anyDirty());
    EXPECT_EQ (slotDawIds[1], huiDawId);
}

TEST_F (StoreEditsTest, RemovingADawClearsTheSlotItsFingerprintAndItsDirtyFlag)
{
    runDaw (1, cubase);
    slotFingerprints[0][0] = 1234;
    slotDirty[0] = true;

    EXPECT_EQ (removeCurrentSlotDaw (store), 0);
    EXPECT_EQ ((int) tree.getChild (0).getChild (0).getProperty (Ids::current), 0);
    EXPECT_EQ (slotFingerprints[0][0], 0);
    EXPECT_EQ (slotDawIds[0], 0);
    EXPECT_FALSE (slotDirty[0]);

    // an X model keeps the DAW that slotDawIds names
    runDaw (1, cubase);
    currentProductId = 2056;
    tree.setProperty (Ids::current, 2, nullptr);
    EXPECT_EQ (removeCurrentSlotDaw (store), 0);
    EXPECT_EQ (slotDawIds[0], cubase);

    tree.getChild (1).setProperty (Ids::current, 7, nullptr);
    EXPECT_EQ (removeCurrentSlotDaw (store), -1);
}

TEST_F (StoreEditsTest, ClearingAndSwappingRespectLinkedColumnsAndReservedKeys)
{
    runDaw (1, cubase);
    ASSERT_TRUE (assignFunction (store, 5, 5));
    ctl (21).setProperty (Ids::lockBy, 5, nullptr);

    // clearing a linked control clears its source
    ASSERT_TRUE (clearAssignment (store, 21));
    EXPECT_EQ (kindOf (5), "null");
    EXPECT_TRUE (slotDirty[0]);

    slotDirty[0] = false;
    EXPECT_FALSE (swapAssignments (store, 21, 6));
    EXPECT_FALSE (swapAssignments (store, 6, 6));
    EXPECT_FALSE (anyDirty());

    ASSERT_TRUE (swapAssignments (store, 6, 7));
    EXPECT_EQ (nameOf (6), "own 7");
    EXPECT_EQ ((int) ctl (6)[Ids::id], 6);
    EXPECT_TRUE (slotDirty[0]);

    runDaw (1, huiDawId);
    slotDirty[0] = false;
    EXPECT_FALSE (clearAssignment (store, 2));
    EXPECT_FALSE (swapAssignments (store, 12, 13));
    ctl (18).setProperty (Ids::lockBy, 2, nullptr);
    EXPECT_FALSE (clearAssignment (store, 18));
    EXPECT_FALSE (anyDirty());
}

TEST_F (StoreEditsTest, LockLinksTheColumnWithoutTheReservedKeysAndUnlockFreesIt)
{
    runDaw (1, huiDawId);

    EXPECT_EQ (getLockableColumnMembers (store, 27), (juce::Array<int> { 43, 59, 75 }));
    EXPECT_TRUE (getLockableColumnMembers (store, 81).isEmpty());
    EXPECT_FALSE (toggleColumnLock (store, 11).done);
    EXPECT_FALSE (toggleColumnLock (store, 116).done);
    EXPECT_FALSE (anyDirty());

    auto change = toggleColumnLock (store, 27);
    EXPECT_TRUE (change.done && ! change.wasLinked);
    EXPECT_EQ (change.newLock, 27);

    for (int id : { 27, 43, 59, 75 })
        EXPECT_EQ (getLockBy (store, id), 27) << id;

    EXPECT_EQ (getLockBy (store, 11), 0);
    EXPECT_TRUE (slotDirty[0]);

    change = toggleColumnLock (store, 59);
    EXPECT_TRUE (change.wasLinked);
    EXPECT_EQ (change.newLock, 0);

    for (int id : { 27, 43, 59, 75 })
        EXPECT_EQ (getLockBy (store, id), 0) << id;
}

TEST_F (StoreEditsTest, SlotsAndSlotColours)
{
    runDaw (2, cubase);
    selectSlot (store, 1);
    EXPECT_EQ (currentSlotIndex, 1);
    EXPECT_EQ ((int) tree.getChild (0).getProperty (Ids::current), 1);

    selectSlot (store, 3);
    EXPECT_EQ (currentSlotIndex, 1);

    // slot index 1's own bit stays; another one toggles and marks a slot running a DAW
    EXPECT_EQ (toggleSlotColour (store, 1), -1);
    EXPECT_EQ (toggleSlotColour (store, 2), 1);
    EXPECT_EQ (slotColourTable[1][2], 1);
    EXPECT_EQ ((int) tree.getChild (0).getChild (1).getProperty (Ids::daw3), 1);
    EXPECT_TRUE (slotDirty[1]);

    slotDirty[1] = false;
    selectSlot (store, 2);
    EXPECT_EQ (toggleSlotColour (store, 0), 1);
    EXPECT_FALSE (anyDirty());   // slot index 2 runs no DAW
    EXPECT_EQ (toggleSlotColour (store, 3), -1);
}

TEST_F (StoreEditsTest, ResetToDefaultsKeepsTheSlotsDawsAndMarksTheSlotsThatRunOne)
{
    runDaw (1, cubase);
    runDaw (3, huiDawId);
    MappingStore full;
    resetStoreToDefaults (full);

    for (int m = 1; m <= numProducts; ++m)
    {
        EXPECT_EQ ((int) full.getSlot (1, m).getProperty (Ids::current), cubase);
        EXPECT_EQ ((int) full.getSlot (2, m).getProperty (Ids::current), 0);
        EXPECT_EQ ((int) full.getSlot (3, m).getProperty (Ids::current), huiDawId);
    }

    EXPECT_TRUE (slotDirty[0] && slotDirty[2]);
    EXPECT_FALSE (slotDirty[1]);
}

TEST_F (StoreEditsTest, MarkingIgnoresSlotIndicesOutsideTheThree)
{
    markSlotDirty (-1);
    markSlotDirty (3);
    EXPECT_FALSE (anyDirty());

    tree.getChild (0).setProperty (Ids::current, 2, nullptr);
    markCurrentSlotDirty (store);
    EXPECT_TRUE (slotDirty[2]);
}

//==============================================================================
namespace
{
    using Sel = MidiPageSelection;
    constexpr auto kindChooser = MidiPageChooser::kind;
    constexpr auto channelChooser = MidiPageChooser::channel;
    constexpr auto valueChooser = MidiPageChooser::value;

    /** The function of the HUI button table at this address. */
    int huiFunctionAt (int zone, int port)
    {
        for (int i = 0; i < huiFunctionTableSize; ++i)
            if (huiAddressTable()[i].zone == zone && huiAddressTable()[i].port == port)
                return i;

        return -1;
    }
}

TEST_F (StoreEditsTest, TheMidiPagesValueNamesAndPorts)
{
    EXPECT_EQ (midiValueName (0, 0), " C-1");
    EXPECT_EQ (midiValueName (0, 60), " C4");
    EXPECT_EQ (midiValueName (0, 61), "C#4");
    EXPECT_EQ (midiValueName (0, 127), " G9");
    EXPECT_EQ (midiValueName (1, 0), "Bank MSB*(GS)");
    EXPECT_EQ (midiValueName (1, 3), "--");
    EXPECT_EQ (midiValueName (1, 19), "Gp Control #4");
    EXPECT_EQ (midiValueName (1, 79), "Sound Control #10");
    EXPECT_EQ (midiValueName (1, 83), "GP Control #8");
    EXPECT_EQ (midiValueName (1, 127), "Poly Mode On");

    for (int k = 2; k <= 4; ++k)
        EXPECT_EQ (midiValueName (k, 5), "---");

    int named = 0;

    for (int v = 0; v < 128; ++v)
    {
        named += midiValueName (1, v) != "--" ? 1 : 0;
        EXPECT_LE (midiValueName (1, v).length(), 39);
    }

    EXPECT_EQ (named, 128 - 73);

    // labels beyond their tables are empty, not read
    for (auto [k, v] : { std::pair { -1, 0 }, { 5, 0 }, { 0, -1 }, { 0, 128 } })
        EXPECT_EQ (midiValueName (k, v), "") << k << " " << v;

    EXPECT_EQ (huiPortList().size(), 11);
    EXPECT_EQ (huiPortIndexOf (0x00), 0);
    EXPECT_EQ (huiPortIndexOf (0x01), 1);
    EXPECT_EQ (huiPortIndexOf (0x43), 5);
    EXPECT_EQ (huiPortIndexOf (0x48), 10);
    EXPECT_EQ (huiPortIndexOf (-1), -1);
    EXPECT_EQ (huiPortIndexOf (0x02), -1);
}

TEST_F (StoreEditsTest, EachMidiKindWithItsChannelAndValue)
{
    runDaw (1, cubase);

    struct Case { int kind; const char* type; const char* shown; };
    const Case cases[] = { { 0, "note", "Note 60" }, { 1, "cc", "CC 60" },
                           { 2, "program", "PC 60" }, { 3, "pitch", "PB 5" } };

    for (auto& c : cases)
    {
        const auto id = 20 + c.kind;

        // a fresh control: no channel, the value chooser at the stored 0
        auto e = chooseOnMidiPage (store, id, kindChooser, Sel { c.kind, -1, 0 });
        ASSERT_TRUE (e.edited);
        EXPECT_TRUE (e.complete) << c.type;
        EXPECT_EQ (e.selection, (Sel { c.kind, 0, 0 })) << c.type;

        e = chooseOnMidiPage (store, id, channelChooser, Sel { c.kind, 4, 0 });
        EXPECT_TRUE (e.complete);
        slotDirty[0] = false;
        e = chooseOnMidiPage (store, id, valueChooser, Sel { c.kind, 4, 60 });
        EXPECT_TRUE (e.complete);
        EXPECT_TRUE (slotDirty[0]);

        const auto n = ctl (id);
        EXPECT_EQ (n[Ids::valueType].toString(), "midi") << c.type;
        EXPECT_EQ (n[Ids::type].toString(), c.type);
        EXPECT_EQ ((int) n[Ids::chan], 5) << c.type;
        EXPECT_EQ ((int) n[Ids::msgValue], 60) << c.type;
        EXPECT_EQ ((int) n[Ids::value], 60) << c.type;
        EXPECT_EQ (n[Ids::name].toString(), c.shown);
        EXPECT_EQ (getMidiAssignmentText (store, id), c.shown);
    }

    // another value renames an automatic name
    chooseOnMidiPage (store, 20, valueChooser, Sel { 0, 4, 61 });
    EXPECT_EQ (nameOf (20), "Note 61");
}

TEST_F (StoreEditsTest, TheFirstKindCompletesOnlyWithAValueChosen)
{
    runDaw (1, cubase);

    // "Note" on a control without a message: channel 1 and done at once
    auto e = chooseOnMidiPage (store, 30, kindChooser, Sel { 0, -1, 0 });
    EXPECT_TRUE (e.complete);
    EXPECT_EQ (e.selection.channel, 0);
    EXPECT_EQ (kindOf (30), "midi");
    EXPECT_EQ (ctl (30)[Ids::type].toString(), "note");
    EXPECT_EQ ((int) ctl (30)[Ids::chan], 1);
    EXPECT_FALSE (ctl (30).hasProperty (Ids::msgValue));
    EXPECT_EQ (nameOf (30), "Note 0");

    // without a value: the kind is kept, the assignment stays what it was
    e = chooseOnMidiPage (store, 31, kindChooser, Sel { 1, 2, -1 });
    EXPECT_FALSE (e.complete);
    EXPECT_EQ (ctl (31)[Ids::type].toString(), "cc");
    EXPECT_FALSE (ctl (31).hasProperty (Ids::chan));
    EXPECT_EQ (kindOf (31), "nil");
    EXPECT_EQ (nameOf (31), "own 31");
}

TEST_F (StoreEditsTest, AMidiMessageOnAKnobOrBankButtonGoesToEveryBankAndARotationWithIt)
{
    runDaw (1, cubase);

    chooseOnMidiPage (store, 118, kindChooser, Sel { 1, -1, 0 });
    chooseOnMidiPage (store, 118, MidiPageChooser::rotation, Sel { 1, 0, 0, 1 });

    for (int id : { 118, 199, 215, 231, 247 })
    {
        EXPECT_EQ (kindOf (id), "midi") << id;
        EXPECT_EQ (ctl (id)[Ids::type].toString(), "cc") << id;
        EXPECT_EQ ((int) ctl (id)[Ids::rotate], 2) << id;
        EXPECT_EQ ((int) ctl (id)[Ids::id], id);
    }

    chooseOnMidiPage (store, 118, MidiPageChooser::rotation, Sel { 1, 0, 0, -1 });
    EXPECT_EQ ((int) ctl (247)[Ids::rotate], 0);

    chooseOnMidiPage (store, 190, kindChooser, Sel { 2, -1, 0 });

    for (int id : { 190, 206, 222, 238 })
        EXPECT_EQ (ctl (id)[Ids::type].toString(), "program") << id;

    EXPECT_EQ (kindOf (174), "nil");
    EXPECT_EQ (kindOf (117), "nil");
}

TEST_F (StoreEditsTest, ATypedNameStaysAndIsStoredOnlyWithACompleteMessage)
{
    runDaw (1, cubase);

    // incomplete choosers: nothing stored, the slot still marked
    auto n = setMidiPageName (store, 9, "Mine", Sel { 0, -1, 60 });
    EXPECT_FALSE (n.written);
    EXPECT_TRUE (n.marked && slotDirty[0]);
    EXPECT_EQ (nameOf (9), "own 9");

    n = setMidiPageName (store, 9, "A name of twenty chars", Sel { 1, 3, 7 });
    EXPECT_TRUE (n.written);
    EXPECT_EQ (nameOf (9), "A name of twenty");
    EXPECT_EQ (kindOf (9), "midi");
    EXPECT_EQ (ctl (9)[Ids::type].toString(), "cc");
    EXPECT_EQ ((int) ctl (9)[Ids::chan], 4);
    EXPECT_EQ ((int) ctl (9)[Ids::msgValue], 7);
    EXPECT_EQ ((int) ctl (9)[Ids::diyNameQ], 1);

    // a typed name survives the next choice
    chooseOnMidiPage (store, 9, valueChooser, Sel { 1, 3, 8 });
    EXPECT_EQ (nameOf (9), "A name of twenty");

    // a character above 126 is refused
    n = setMidiPageName (store, 9, juce::String::fromUTF8 ("Na\xc3\xafve"), Sel { 1, 3, 8 });
    EXPECT_FALSE (n.written);
    EXPECT_EQ (nameOf (9), "A name of twenty");

    // an empty name gives the automatic one back
    setMidiPageName (store, 9, "", Sel { 1, 3, 8 });
    EXPECT_EQ ((int) ctl (9)[Ids::diyNameQ], 0);
    EXPECT_EQ (getMidiAssignmentText (store, 9), "CC 8");
}

TEST_F (StoreEditsTest, TheMidiPageEditsALinkedColumnsSource)
{
    runDaw (1, cubase);
    toggleColumnLock (store, 5);
    const auto own = ctl (21).createCopy();

    chooseOnMidiPage (store, 21, kindChooser, Sel { 1, -1, 0 });
    chooseOnMidiPage (store, 21, valueChooser, Sel { 1, 0, 64 });
    setMidiPageName (store, 21, "Linked", Sel { 1, 0, 64 });

    EXPECT_EQ (kindOf (5), "midi");
    EXPECT_EQ ((int) ctl (5)[Ids::msgValue], 64);
    EXPECT_EQ (nameOf (5), "Linked");
    EXPECT_TRUE (ctl (21).isEquivalentTo (own));
    EXPECT_EQ (getMidiAssignmentText (store, 37), "Linked");
}

TEST_F (StoreEditsTest, HuiFadersKnobsAndButtonFunctions)
{
    runDaw (1, huiDawId);

    // a fader: "Volume 3" at once
    auto e = chooseOnMidiPage (store, 138, kindChooser, Sel { 2 });
    EXPECT_TRUE (e.complete);
    EXPECT_EQ ((int) ctl (138)[Ids::val1], 32);
    EXPECT_EQ ((int) ctl (138)[Ids::val2], 2);
    EXPECT_EQ ((int) ctl (138)[Ids::value], 2);
    EXPECT_EQ (nameOf (138), "Volume 3");
    EXPECT_EQ (kindOf (138), "hui");

    // a knob, and a function beyond its table writes nothing
    chooseOnMidiPage (store, 117, kindChooser, Sel { 1 });
    EXPECT_EQ ((int) ctl (117)[Ids::val1], 64);
    EXPECT_EQ (nameOf (117), "Pan 2");
    EXPECT_EQ (nameOf (198), "Pan 2");
    chooseOnMidiPage (store, 120, kindChooser, Sel { 8 });
    EXPECT_FALSE (ctl (120).hasProperty (Ids::val2));
    EXPECT_FALSE (ctl (120).hasProperty (Ids::value));

    // a button function selects its address, ports 0 and 1 included
    const auto stop = huiFunctionAt (0x0E, 0x43);
    e = chooseOnMidiPage (store, 20, kindChooser, Sel { stop, -1, -1 });
    EXPECT_EQ (e.selection, (Sel { stop, 0x0E, 5 }));
    EXPECT_TRUE (e.complete);
    EXPECT_EQ (e.nameText, "Stop");
    EXPECT_EQ (nameOf (20), "Stop");
    EXPECT_EQ ((int) ctl (20)[Ids::value], stop);

    const auto userB = huiFunctionAt (0x1D, 0x01);
    ASSERT_GT (userB, 0);
    e = chooseOnMidiPage (store, 21, kindChooser, Sel { userB });
    EXPECT_EQ (e.selection, (Sel { userB, 0x1D, 1 }));
    EXPECT_EQ ((int) ctl (21)[Ids::val2], 1);

    // zone then port naming a function
    e = chooseOnMidiPage (store, 22, channelChooser, Sel { -1, 0x0E, -1 });
    EXPECT_EQ (e.selection.kind, huiCustomFunction);
    EXPECT_FALSE (e.complete);
    e = chooseOnMidiPage (store, 22, valueChooser, Sel { huiCustomFunction, 0x0E, 5 });
    EXPECT_EQ (e.selection.kind, stop);
    EXPECT_TRUE (e.complete);
    EXPECT_EQ (nameOf (22), "Stop");
    EXPECT_EQ (kindOf (22), "hui");

    // a pair of the user's own
    e = chooseOnMidiPage (store, 23, valueChooser, Sel { -1, 0x1D, huiPortIndexOf (0x47) });
    EXPECT_EQ (e.selection.kind, huiCustomFunction);
    EXPECT_EQ (e.nameText, "#1D47");
    EXPECT_EQ ((int) ctl (23)[Ids::value], huiCustomFunction);
    EXPECT_EQ (nameOf (23), "#1D47");
    EXPECT_EQ (getMidiAssignmentText (store, 23), "#1D47");

    // "(custom)" itself writes nothing
    slotDirty[0] = false;
    const auto fresh = ctl (24).createCopy();
    e = chooseOnMidiPage (store, 24, kindChooser, Sel { huiCustomFunction });
    EXPECT_FALSE (e.complete);
    EXPECT_TRUE (ctl (24).isEquivalentTo (fresh));
    EXPECT_FALSE (slotDirty[0]);

    // the blank function empties zone and port, and their handlers then find no port
    e = chooseOnMidiPage (store, 20, kindChooser, Sel { 0, 0x0E, 5 });
    EXPECT_TRUE (e.blankFunction && e.complete);
    EXPECT_EQ (e.selection, (Sel { 0, -1, -1 }));
    EXPECT_EQ ((int) ctl (20)[Ids::val1], -1);
    EXPECT_EQ ((int) ctl (20)[Ids::val2], -1);
    EXPECT_EQ ((int) ctl (20)[Ids::value], 0);
    chooseOnMidiPage (store, 20, channelChooser, Sel { 0, -1, -1 });
    e = chooseOnMidiPage (store, 20, valueChooser, Sel { 0, -1, -1 });
    EXPECT_EQ (e.selection.kind, huiCustomFunction);
    EXPECT_EQ ((int) ctl (20)[Ids::val2], -1);
    EXPECT_EQ ((int) ctl (20)[Ids::value], 0);

    // the HUI DAW's own keys take nothing
    const auto reserved = ctl (12).createCopy();
    EXPECT_FALSE (chooseOnMidiPage (store, 12, kindChooser, Sel { stop }).edited);
    EXPECT_FALSE (setMidiPageName (store, 12, "Mine", Sel { 0 }).marked);
    EXPECT_TRUE (ctl (12).isEquivalentTo (reserved));
}

TEST_F (StoreEditsTest, AHuiPairOfTheUsersOwnReachesTheCompiledImage)
{
    runDaw (1, huiDawId);
    chooseOnMidiPage (store, 23, channelChooser, Sel { -1, 0x1D, -1 });
    chooseOnMidiPage (store, 23, valueChooser, Sel { huiCustomFunction, 0x1D, huiPortIndexOf (0x47) });
    chooseOnMidiPage (store, 138, kindChooser, Sel { 2 });

    ControlRecordBytes image[numControls] {};
    std::vector<juce::uint8> wire ((size_t) wireImageSize);
    const int colours[3] { 1, 0, 0 };
    compileSlotImage (store, 1, 0, colours, image, wire.data(), nullptr);

    const auto* button = image[controlRowOf (23)];
    EXPECT_EQ (button[1], 0xB0);
    EXPECT_EQ (button[2], 0x0F);
    EXPECT_EQ (button[3], 0x1D);
    EXPECT_EQ (button[4], 0x2F);
    EXPECT_EQ (button[5], 0x47);

    const auto* fader = image[controlRowOf (138)];
    EXPECT_EQ (fader[2], 2);
    EXPECT_EQ (fader[4], 0x22);
}
