#include "core/sync/StoreEdits.h"
#include "core/sync/CompiledSlots.h"
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
