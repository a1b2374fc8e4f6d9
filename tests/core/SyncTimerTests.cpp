#include "core/sync/CompiledSlots.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/EditorLink.h"
#include "core/sync/MidiInputHandler.h"
#include "core/sync/SyncTimer.h"
#include "core/sync/ProcessState.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/SimulatedSurface.h"

using namespace NsZ9m;
using z9test::SimulatedSurface;

namespace
{
    juce::String hex (int v)   { return "0x" + juce::String::toHexString (v).toUpperCase().paddedLeft ('0', 2); }

    /** An editor page that only counts what the core asks of it. */
    struct CountingPage : EditorLink
    {
        void refreshAll() override         { ++refreshes; }
        void rebuildFromStore() override   { ++rebuilds; }

        int refreshes = 0, rebuilds = 0;
    };

    bool isComplete (const SimulatedSurface& unit, int slotIndex)
    {
        for (int k = 1; k <= 9; ++k)
            if (! unit.hasImageChunk (slotIndex, k))
                return false;

        return true;
    }

    class SyncTimerTest : public z9test::SurfaceFixture
    {
    protected:
        void TearDown() override
        {
            timer.stopTimer();
            theMainComp = nullptr;
            SurfaceFixture::TearDown();
        }

        // The tick restarts the timer as it ends; a test that ticks by hand
        // stops it again, or the running timer would tick too whenever the
        // test runs the message loop for long enough (a wait for a delivery
        // on a busy machine) and take what the test's own tick should find.
        void tick()
        {
            timer.timerCallback();
            intervalAfterTick = timer.getTimerInterval();
            timer.stopTimer();
        }

        MyTimer timer;
        int intervalAfterTick = 0;
    };
}

TEST_F (SyncTimerTest, GreetsUnitsOnPortFourOnceAndAgainWhenTheOutputsChange)
{
    SimulatedSurface m (ports, 2055);
    SimulatedSurface x2 (ports, 2067);

    tick();
    EXPECT_EQ (m.getConversation (4), (juce::StringArray { "filler", "greeting 0x00" }));
    EXPECT_EQ (x2.getConversation (4), (juce::StringArray { "filler", "greeting 0x00" }));
    EXPECT_EQ (m.getConversationOnAllPorts().size(), 2);

    tick();
    EXPECT_EQ (m.getGreetings().size(), 1u);

    SimulatedSurface x5 (ports, 2070);
    tick();
    EXPECT_EQ (m.getGreetings().size(), 2u);
    EXPECT_EQ (x2.getGreetings().size(), 2u);
    EXPECT_EQ (x5.getGreetings().size(), 1u);
}

TEST_F (SyncTimerTest, WithNoUnitTheTickGreetsNobodyAndClearsTheDirtySlots)
{
    setSlotDaw (1, 2);
    slotDirty[0] = true;
    tick();

    EXPECT_TRUE (greetingSent);
    EXPECT_FALSE (slotDirty[0]);
    EXPECT_FALSE (slotPending[0]);
    ASSERT_NE (host().input, nullptr);
    EXPECT_FALSE (host().input->arePortsOpen());
}

TEST_F (SyncTimerTest, AnEditReachesEveryConnectedUnitWithItsOwnModelCode)
{
    SimulatedSurface m (ports, 2055);
    SimulatedSurface x2 (ports, 2067);
    SimulatedSurface onlyPortTwo (ports, 2068, 2);
    setSlotDaw (1, 2);
    slotDirty[0] = true;
    tick();

    EXPECT_TRUE (isComplete (m, 0));
    EXPECT_TRUE (isComplete (x2, 0));
    EXPECT_EQ (m.getImage (0), juce::MemoryBlock (wireImages[0][0], wireImageSize));
    EXPECT_EQ (x2.getImage (0), juce::MemoryBlock (wireImages[productIndexOf (2067)][0], wireImageSize));
    EXPECT_TRUE (m.hasLabelChunk (0, 8));
    EXPECT_FALSE (x2.hasLabelChunk (0, 1));
    EXPECT_TRUE (m.getUnexpected().isEmpty());
    EXPECT_TRUE (x2.getUnexpected().isEmpty());

    EXPECT_TRUE (onlyPortTwo.getReceived().empty());
    EXPECT_FALSE (slotDirty[0] || slotPending[0]);
}

TEST_F (SyncTimerTest, AFailedSendWaitsForTheSlotsNextChange)
{
    SimulatedSurface m (ports, 2055);
    m.setSilent (true);
    setSlotDaw (1, 2);
    slotDirty[0] = true;
    tick();
    EXPECT_EQ (m.getConversation().indexOf ("query"), 2);   // after the greeting

    m.clearRecords();
    m.setSilent (false);
    tick();
    EXPECT_FALSE (m.getConversation().contains ("query"));

    slotDirty[0] = true;
    tick();
    EXPECT_TRUE (isComplete (m, 0));
}

TEST_F (SyncTimerTest, TheIntervalIs333IdleAnd2000AfterASync)
{
    tick();
    EXPECT_EQ (intervalAfterTick, 333);

    slotDirty[2] = true;
    tick();
    EXPECT_EQ (intervalAfterTick, 2000);

    tick();
    EXPECT_EQ (intervalAfterTick, 333);
}

TEST_F (SyncTimerTest, TheRunningTimerTicksOnTheMessageLoop)
{
    SimulatedSurface m (ports, 2055);
    timer.startTimer (1);

    EXPECT_TRUE (z9test::waitUntil ([&] { return ! m.getGreetings().empty(); }));
    EXPECT_EQ (timer.getTimerInterval(), 333);
}

TEST_F (SyncTimerTest, ASlotChangeOnOneUnitIsAppliedAndEchoed)
{
    CountingPage page;
    theMainComp = &page;

    SimulatedSurface m (ports, 2055);
    SimulatedSurface x2 (ports, 2067);
    tick();   // connects to the Z9-M and greets
    m.clearRecords();
    x2.clearRecords();

    setSlotDaw (2, 6);
    m.reportSlotSelect (1, 6);
    ASSERT_TRUE (ports.waitUntilDelivered());
    tick();

    EXPECT_EQ (currentSlotIndex, 1);
    EXPECT_EQ (page.rebuilds, 1);
    EXPECT_EQ (page.refreshes, 1);
    EXPECT_EQ (m.getConversation(), (juce::StringArray { "filler", "select " + hex (0x20 | 6) }));
    EXPECT_EQ (x2.getConversation(), (juce::StringArray { "filler", "select " + hex (0x20 | 6) }));
    EXPECT_FALSE (deviceReplyState.slotSelectPending.load());
}

TEST_F (SyncTimerTest, ASlotStateReportGoesToTheXFamilyOnly)
{
    SimulatedSurface m (ports, 2055);
    SimulatedSurface x2 (ports, 2067);
    SimulatedSurface x7 (ports, 2072);
    tick();
    m.clearRecords();
    x2.clearRecords();
    x7.clearRecords();

    m.reportSlotState (2, 4);
    ASSERT_TRUE (ports.waitUntilDelivered());
    tick();

    EXPECT_TRUE (m.getReceived().empty());
    EXPECT_EQ (x2.getConversation(), (juce::StringArray { "filler", "state " + hex (0x41) }));
    EXPECT_EQ (x7.getConversation(), (juce::StringArray { "filler", "state " + hex (0x41) }));
    EXPECT_FALSE (deviceReplyState.slotStatePending.load());
}

TEST_F (SyncTimerTest, AReportArrivingWhileThePreviousIsHandledIsKept)
{
    SimulatedSurface m (ports, 2055);
    SimulatedSurface x2 (ports, 2067);
    tick();

    // When the echo of the first report reaches the X2, the Z9-M reports again:
    // the input handler decodes it at once, as the MIDI thread would.
    struct SecondReport : z9test::InMemoryMidiPorts::OutputListener
    {
        void messageSentToOutput (const juce::String& name, const juce::MidiMessage& msg) override
        {
            if (! done && name == target && msg.getRawData()[0] == 0xEC && msg.getRawData()[1] == 0x22)
            {
                done = true;
                Host::getInstance()->input->handleIncomingMidiMessage (nullptr, juce::MidiMessage (0xEC, 0x22, 0x40));
            }
        }

        juce::String target;
        bool done = false;
    } second;

    second.target = x2.getOutputName();
    ports.addOutputListener (&second);

    m.reportSlotSelect (1, 0);
    ASSERT_TRUE (ports.waitUntilDelivered());
    tick();
    ports.removeOutputListener (&second);

    ASSERT_TRUE (second.done);
    EXPECT_TRUE (deviceReplyState.slotSelectPending.load());
    EXPECT_EQ (deviceReplyState.selectedSlotNumber.load(), 3);
}

TEST_F (SyncTimerTest, AUnitUnpluggedDuringAPassDoesNotStopTheOthers)
{
    SimulatedSurface m (ports, 2055);
    SimulatedSurface x2 (ports, 2067);
    tick();

    m.unplugAfterMessages (3);
    setSlotDaw (1, 2);
    slotDirty[0] = true;
    tick();

    EXPECT_FALSE (m.isPluggedIn());
    EXPECT_TRUE (isComplete (x2, 0));
    EXPECT_FALSE (slotDirty[0] || slotPending[0]);
}

TEST_F (SyncTimerTest, WhileMidiInputIsDisabledNothingGoesOutAndEditsWait)
{
    SimulatedSurface m (ports, 2055);
    tick();
    ASSERT_TRUE (host().input->arePortsOpen());
    m.clearRecords();

    midiInputEnabled = false;
    setSlotDaw (1, 2);
    slotDirty[0] = true;
    SimulatedSurface x2 (ports, 2067);   // a changed output list would call for a greeting
    tick();

    EXPECT_FALSE (host().input->arePortsOpen());
    EXPECT_TRUE (m.getReceived().empty());
    EXPECT_TRUE (x2.getReceived().empty());
    EXPECT_TRUE (slotDirty[0]);
    EXPECT_EQ (intervalAfterTick, 333);   // nothing was synchronised

    midiInputEnabled = true;
    tick();
    EXPECT_TRUE (isComplete (m, 0));
    EXPECT_EQ (x2.getGreetings().size(), 1u);
    EXPECT_EQ (intervalAfterTick, 2000);
}

TEST_F (SyncTimerTest, TheTickListensToAZ9MElseAZ9MiniElseTheProductBeingEdited)
{
    struct Case { const char* what; std::vector<int> units; int productBeingEdited; juce::String input; };

    const Case cases[] = {
        { "a Z9-M before a Z9-Mini listed first", { 2054, 2067, 2055 }, 2067, "MIDIIN4 (Z9-M)" },
        { "a Z9-Mini before the product being edited", { 2067, 2054 }, 2067, "MIDIIN4 (Z9-Mini)" },
        { "the product being edited", { 2056, 2067, 2070 }, 2067, "MIDIIN4 (Z9-X2)" },
        { "none of them", { 2056, 2067 }, 2070, {} },
    };

    for (auto& tc : cases)
    {
        SCOPED_TRACE (tc.what);
        resetProcessWideState();
        z9test::ScopedInMemoryMidiPorts casePorts;
        std::vector<std::unique_ptr<SimulatedSurface>> units;

        for (auto product : tc.units)
            units.push_back (std::make_unique<SimulatedSurface> (casePorts, product));

        currentProductId = tc.productBeingEdited;
        tick();

        ASSERT_NE (host().input, nullptr);
        EXPECT_EQ (host().input->input != nullptr ? host().input->input->getName() : juce::String(), tc.input);
        EXPECT_EQ (host().input->arePortsOpen(), tc.input.isNotEmpty());
        host().input.reset();
    }
}

TEST_F (SyncTimerTest, AUnitOnTheMakersGenericPortIsSentAsTheProductBeingEdited)
{
    for (int product : { 2055, 2067 })
    {
        SCOPED_TRACE (product);
        resetProcessWideState();
        z9test::ScopedInMemoryMidiPorts casePorts;
        SimulatedSurface generic (casePorts, product, 1, true, "VORLIX USB Midi");
        currentProductId = product;
        setSlotDaw (1, 2);
        slotDirty[0] = true;
        tick();

        EXPECT_TRUE (isComplete (generic, 0));
        EXPECT_EQ (generic.getImage (0), juce::MemoryBlock (wireImages[productIndexOf (product)][0], wireImageSize));
        EXPECT_EQ (generic.hasLabelChunk (0, 8), product == 2055);
        EXPECT_TRUE (generic.getUnexpected().isEmpty());   // the unit checks the model code
        EXPECT_EQ (generic.getConversation (1).indexOf ("query"), 0);
        EXPECT_FALSE (slotDirty[0] || slotPending[0]);
        host().input.reset();
    }
}
