#include "core/sync/EditorLink.h"
#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "tests/support/HostFixture.h"

using namespace NsZ9m;

namespace
{
    class HostTest : public z9test::HostFixture {};

    /** A page that records what the core asks of it. */
    struct RecordingLink : public EditorLink
    {
        void refreshAll() override         { calls.add ("refresh"); }
        void rebuildFromStore() override   { calls.add ("rebuild"); }

        juce::StringArray calls;
    };
}

TEST_F (HostTest, ProcessWideStateStartsAtItsStartValues)
{
    EXPECT_EQ (theHost, nullptr);
    EXPECT_EQ (theMainComp, nullptr);
    EXPECT_EQ (theSyncTimer, nullptr);
    EXPECT_EQ (currentProductId, 2055);
    EXPECT_EQ (currentSlotIndex, 0);
    EXPECT_FALSE (sendInProgress);
    EXPECT_TRUE (midiInputEnabled);
    EXPECT_EQ (windowsVersionIndex, 0);

    for (int s = 0; s < 3; ++s)
    {
        EXPECT_FALSE (slotDirty[s]);
        EXPECT_FALSE (slotPending[s]);
        EXPECT_EQ (slotDawIds[s], 0);

        for (int c = 0; c < 3; ++c)
            EXPECT_EQ (slotColourTable[s][c], s == c ? 1 : 0);
    }
}

TEST_F (HostTest, OneHostForEveryCallerWithTheDefaultStoreWhenNoSettingsExist)
{
    auto* first = &host();
    EXPECT_EQ (Host::getInstance(), first);
    EXPECT_EQ (theHost, first);

    // a later editor page finds the same Host, store and flags
    slotDirty[1] = true;
    auto tree = first->getTree();
    EXPECT_EQ (Host::getInstance()->getTree(), tree);
    EXPECT_TRUE (slotDirty[1]);

    EXPECT_EQ (tree.getNumChildren(), 8);
    EXPECT_EQ (tree["ver"].toString(), "0.32");
    EXPECT_TRUE (first->getOutputDeviceName().isEmpty());
    first->setOutputDeviceName ("MIDIOUT4 (Z9-M)");
    EXPECT_EQ (first->getOutputDeviceName(), "MIDIOUT4 (Z9-M)");
    EXPECT_EQ (first->getStore().getTree(), tree);
}

TEST_F (HostTest, PositionBasedSlotReadsAndWrites)
{
    auto& h = host();
    auto tree = h.getTree();

    tree.getChild (1).getChild (2).setProperty (Ids::current, 7, nullptr);
    EXPECT_EQ (h.getSlotDaw (3, 2).get(), 7);

    tree.setProperty (Ids::current, 2, nullptr);
    EXPECT_EQ (h.getSlotDaw (3).get(), 7);

    // out of range, or a root without current: no DAW
    for (auto [slot, product] : { std::pair { 0, 2 }, { 4, 2 }, { 3, 0 }, { 3, 9 } })
        EXPECT_EQ (h.getSlotDaw (slot, product).get(), 0) << slot << "/" << product;

    tree.removeProperty (Ids::current, nullptr);
    EXPECT_EQ (h.getSlotDaw (3).get(), 0);

    // getCurrentSlotIndex reads model 1 when the root has no current
    tree.getChild (0).setProperty (Ids::current, 2, nullptr);
    EXPECT_EQ (h.getCurrentSlotIndex(), 2);
    tree.getChild (0).removeProperty (Ids::current, nullptr);
    EXPECT_EQ (h.getCurrentSlotIndex(), 0);

    // setCurrentSlot: -1 takes the root's current, model 1 when missing
    h.setCurrentSlot (1);
    EXPECT_EQ ((int) tree.getChild (0)["current"], 1);
    tree.setProperty (Ids::current, 3, nullptr);
    h.setCurrentSlot (2);
    EXPECT_EQ ((int) tree.getChild (2)["current"], 2);
    h.setCurrentSlot (0, 8);
    EXPECT_EQ ((int) tree.getChild (7)["current"], 0);
    EXPECT_EQ (h.getCurrentSlotIndex(), 2);
}

TEST_F (HostTest, SlotOfCurrentProductIsFoundByProductPosition)
{
    auto& h = host();
    currentProductId = 2068;
    EXPECT_EQ (h.data->getSlotOfCurrentProduct (2), h.getTree().getChild (3).getChild (1));
    EXPECT_FALSE (h.data->getSlotOfCurrentProduct (0).isValid());
    EXPECT_FALSE (h.data->getSlotOfCurrentProduct (4).isValid());

    currentProductId = 2054;
    EXPECT_FALSE (h.data->getSlotOfCurrentProduct (1).isValid());
}

TEST_F (HostTest, TheCoresForwardersReachTheRegisteredPageOnly)
{
    refreshMainComp();   // no page: nothing happens, nothing crashes
    rebuildMainComp();

    RecordingLink page;
    theMainComp = &page;
    refreshMainComp();
    rebuildMainComp();
    page.slotChosenOnSurface (2);
    theMainComp = nullptr;
    refreshMainComp();
    rebuildMainComp();

    EXPECT_EQ (page.calls, juce::StringArray ({ "refresh", "rebuild", "rebuild", "refresh" }));
}
