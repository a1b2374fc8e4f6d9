#include "core/base/Checksums.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/MidiInputHandler.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/SimulatedSurface.h"

using namespace NsZ9m;
using z9test::SimulatedSurface;

namespace
{
    using Answer = SimulatedSurface::Answer;

    juce::String hex (int v)   { return "0x" + juce::String::toHexString (v).toUpperCase().paddedLeft ('0', 2); }

    /** What a send of the given slots (slot number 1 to 3) looks like on the wire. */
    juce::StringArray chunksOf (int slotNumber, bool withLabels)
    {
        juce::StringArray c;

        for (int k = 1; k <= 9; ++k)
            c.add ("image " + juce::String (slotNumber) + "." + juce::String (k));

        if (withLabels)
            for (int k = 1; k <= 8; ++k)
                c.add ("labels " + juce::String (slotNumber) + "." + juce::String (k));

        return c;
    }

    class MappingSendTest : public z9test::SurfaceFixture
    {
    protected:
        void compileAll (int productId)
        {
            for (auto& d : slotDirty)
                d = true;

            compileDeviceImage (productIndexOf (productId) + 1);

            for (auto& d : slotDirty)
                d = false;
        }

        juce::Result sendTo (SimulatedSurface& unit)
        {
            host().setOutputDeviceName (unit.getOutputName());
            return host().sendMapping (unit.getProductId());
        }
    };
}

TEST_F (MappingSendTest, AFullSendToAZ9MLeavesItHoldingTheCompiledSlots)
{
    SimulatedSurface unit (ports, 2055);
    setSlotDaw (1, 2);
    setSlotDaw (2, 4);
    setSlotDaw (3, 5);
    currentSlotIndex = 1;
    compileAll (2055);

    auto result = sendTo (unit);
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

    juce::StringArray expected { "query" };
    for (int s = 1; s <= 3; ++s)
        expected.addArray (chunksOf (s, true));
    expected.addArray ({ "filler", "select " + hex (0x20 | 4), "confirm" });
    EXPECT_EQ (unit.getConversation(), expected);
    EXPECT_TRUE (unit.getUnexpected().isEmpty());

    for (int s = 0; s < numSlots; ++s)
    {
        SCOPED_TRACE (s);
        EXPECT_EQ (unit.getImage (s), juce::MemoryBlock (wireImages[0][s], wireImageSize));
        EXPECT_EQ (unit.getImageDawId (s), (std::array<int, 3> { 2, 4, 5 })[(size_t) s]);
        EXPECT_EQ (unit.getConfirmedFingerprint (s), maskSevenBitTriplet (slotFingerprints[0][s]));

        auto labels = unit.getLabels (s);
        for (int i = 0; i < 80; ++i)
            ASSERT_EQ (labels[i], slotLabels[s][i]) << "label " << i;
    }

    EXPECT_FALSE (sendInProgress);
    ASSERT_NE (host().input, nullptr);
    EXPECT_TRUE (host().input->arePortsOpen());

    // The unit now holds every slot: the next send only selects.
    unit.clearRecords();
    ASSERT_TRUE (sendTo (unit).wasOk());
    EXPECT_EQ (unit.getConversation(), (juce::StringArray { "query", "filler", "select " + hex (0x20 | 4) }));
}

TEST_F (MappingSendTest, AnXFamilyUnitGetsNoLabelsAndItsOwnModelCode)
{
    SimulatedSurface unit (ports, 2070);
    setSlotDaw (2, 7);
    compileAll (2070);

    ASSERT_TRUE (sendTo (unit).wasOk());

    juce::StringArray expected { "query" };
    expected.addArray (chunksOf (2, false));
    expected.addArray ({ "filler", "select " + hex (0), "confirm" });
    EXPECT_EQ (unit.getConversation(), expected);
    EXPECT_TRUE (unit.getUnexpected().isEmpty());   // the unit checks the 10 08 code
    EXPECT_EQ (unit.getImage (1), juce::MemoryBlock (wireImages[productIndexOf (2070)][1], wireImageSize));
}

TEST_F (MappingSendTest, TheQueryAnswerDecidesWhichSlotsGo)
{
    SimulatedSurface unit (ports, 2055);
    setSlotDaw (1, 2);
    setSlotDaw (2, 2);
    setSlotDaw (3, 0);   // never sent, whatever the mask
    compileAll (2055);

    struct Case { const char* what; std::function<void()> arrange; juce::StringArray middle; bool confirms; };
    const Case cases[] = {
        { "mask 5: slot index 1 only",  [&] { unit.setQueryAnswer (5); },                           chunksOf (2, true), true },
        { "mask 0: every slot with a DAW", [&] { unit.setQueryAnswer (0); },
              [] { auto c = chunksOf (1, true); c.addArray (chunksOf (2, true)); return c; }(),  true },
        { "mask 7: nothing",            [&] { unit.setQueryAnswer (7); },                           {}, false },
        { "a lone status reply counts as all present, but confirms",
                                        [&] { unit.setAnswer (0x21, Answer::statusOnly); },          {}, true },
    };

    for (auto& tc : cases)
    {
        SCOPED_TRACE (tc.what);
        unit.clearFaults();
        unit.setQueryAnswer (-1);
        unit.clearRecords();
        tc.arrange();

        ASSERT_TRUE (sendTo (unit).wasOk());

        juce::StringArray expected { "query" };
        expected.addArray (tc.middle);
        expected.addArray ({ "filler", "select " + hex (2) });
        if (tc.confirms)
            expected.add ("confirm");
        EXPECT_EQ (unit.getConversation(), expected);
    }
}

TEST_F (MappingSendTest, EachFailureStopsTheSendWithItsText)
{
    struct Case
    {
        const char* what;
        std::function<void (SimulatedSurface&, z9test::InMemoryMidiPorts&)> arrange;
        juce::String outputName;        // empty: the unit's port 4
        juce::String error;
        juce::StringArray conversation;
    };

    const juce::String out = SimulatedSurface::outputPortName ("Z9-M", 4);
    const Case cases[] = {
        { "unknown output", {}, "MIDIOUT4 (Z9-X9)", "MIDIOUT4 (Z9-X9): device does not exist", {} },
        { "output does not open", [] (auto&, auto& p) { p.setOpenFails (SimulatedSurface::outputPortName ("Z9-M", 4)); },
              {}, out + ": could not open device", {} },
        { "paired input missing", [] (auto&, auto& p) { p.removeInput (SimulatedSurface::inputPortName ("Z9-M", 4)); },
              {}, "Cannot use this input device: " + out, {} },
        { "silent unit", [] (auto& u, auto&) { u.setSilent (true); }, {}, "Time out!", { "query" } },
        { "answer on another port", [] (auto& u, auto&) { u.setReplyPort (3); }, {}, "Time out!", { "query" } },
        { "answer too late", [] (auto& u, auto&) { u.setReplyDelayMs (1000); }, {}, "Time out!", { "query" } },
        { "image chunk refused", [] (auto& u, auto&) { u.setAnswer (0x25, Answer::refuse, 1, 2); },
              {}, "Failed to send data!", { "query", "image 1.1", "image 1.2" } },
        { "image chunk unanswered", [] (auto& u, auto&) { u.setAnswer (0x25, Answer::ignore, 1, 2); },
              {}, "Time out!", { "query", "image 1.1", "image 1.2" } },
        { "label chunk refused", [] (auto& u, auto&) { u.setAnswer (0x26, Answer::refuse, 1, 3); },
              {}, "Failed to send texts!", [] { auto c = juce::StringArray ("query"); c.addArray (chunksOf (1, false));
                                               c.addArray ({ "labels 1.1", "labels 1.2", "labels 1.3" }); return c; }() },
        { "unplugged in the middle", [] (auto& u, auto&) { u.unplugAfterMessages (4); },
              {}, "Time out!", { "query", "image 1.1", "image 1.2", "image 1.3" } },
    };

    for (auto& tc : cases)
    {
        SCOPED_TRACE (tc.what);
        resetProcessWideState();
        z9test::ScopedInMemoryMidiPorts casePorts;
        SimulatedSurface unit (casePorts, 2055);
        setSlotDaw (1, 2);
        setSlotDaw (2, 2);
        compileAll (2055);

        if (tc.arrange)
            tc.arrange (unit, casePorts);

        host().setOutputDeviceName (tc.outputName.isEmpty() ? unit.getOutputName() : tc.outputName);
        auto result = host().sendMapping (2055);

        EXPECT_EQ (result.getErrorMessage(), tc.error);
        EXPECT_EQ (unit.getConversation(), tc.conversation);
        EXPECT_FALSE (sendInProgress);
        EXPECT_NE (host().input, nullptr);   // a send always leaves a fresh handler
    }
}

TEST_F (MappingSendTest, FromWindows10OnEverySecondCountedPacketPausesAcrossTheWholeSend)
{
    // Tells, for each message the unit receives, whether the message loop ran
    // since the one before: a pause posts nothing of its own, so a callback
    // posted at each message shows it. The unit answers at once, so the
    // acknowledgement waits find their answer without running the loop.
    struct LoopRunsBetweenMessages : z9test::InMemoryMidiPorts::OutputListener
    {
        void messageSentToOutput (const juce::String&, const juce::MidiMessage&) override
        {
            ranBefore.push_back (*ran);
            ran = std::make_shared<bool> (false);
            juce::MessageManager::callAsync ([r = ran] { *r = true; });
        }

        std::shared_ptr<bool> ran = std::make_shared<bool> (false);
        std::vector<bool> ranBefore;
    };

    SimulatedSurface unit (ports, 2055);
    setSlotDaw (1, 2);
    compileAll (2055);

    juce::StringArray expected { "query" };
    expected.addArray (chunksOf (1, true));
    expected.addArray ({ "filler", "select " + hex (2), "confirm" });
    const auto firstChunk = 1, filler = expected.indexOf ("filler"), select = filler + 1;

    for (int version : { 7, 6 })
    {
        SCOPED_TRACE (version);
        windowsVersionIndex = version;
        unit.clearRecords();
        unit.setConfirmedFingerprints (-1, -1, -1);

        LoopRunsBetweenMessages loop;
        ports.addOutputListener (&loop);
        ASSERT_TRUE (sendTo (unit).wasOk());
        ports.removeOutputListener (&loop);
        z9test::drainMessageLoop();   // the last callback

        ASSERT_EQ (unit.getConversation(), expected);
        ASSERT_EQ (loop.ranBefore.size(), (size_t) expected.size());

        // The query counts 3 (a pause at its second), the filler before the
        // select is the fourth: it pauses only because the count runs on
        // through the whole send. Every chunk is followed by 10 ms anyway.
        EXPECT_EQ (loop.ranBefore[(size_t) firstChunk], version >= 7);
        EXPECT_EQ (loop.ranBefore[(size_t) select], version >= 7);
        EXPECT_TRUE (loop.ranBefore[(size_t) filler]);
        EXPECT_TRUE (loop.ranBefore[(size_t) firstChunk + 1]);
    }
}

TEST_F (MappingSendTest, WithoutAnOutputNothingHappens)
{
    SimulatedSurface unit (ports, 2055);
    host().setOutputDeviceName ({});

    EXPECT_EQ (host().sendMapping (2055).getErrorMessage(), "No selected output device!");
    EXPECT_EQ (host().input, nullptr);
    EXPECT_FALSE (sendInProgress);
    EXPECT_TRUE (unit.getConversation().isEmpty());
}

TEST_F (MappingSendTest, TheMessageLoopRunsThroughoutASend)
{
    SimulatedSurface unit (ports, 2055);
    setSlotDaw (1, 2);
    compileAll (2055);

    struct Probe : juce::Timer
    {
        void timerCallback() override   { ++ticks; sawSendRunning |= sendInProgress; }
        int ticks = 0;
        bool sawSendRunning = false;
    } probe;

    probe.startTimer (5);
    ASSERT_TRUE (sendTo (unit).wasOk());
    probe.stopTimer();

    EXPECT_GT (probe.ticks, 5);
    EXPECT_TRUE (probe.sawSendRunning);
}

TEST_F (MappingSendTest, TheHandlerOpensThePairedPortsAndIgnoresRepliesOnceStopped)
{
    SimulatedSurface unit (ports, 2055);

    Host::MidiInputHandler handler;
    handler.openPorts (unit.getInputName());
    EXPECT_TRUE (handler.arePortsOpen());
    EXPECT_TRUE (ports.isOutputOpen (unit.getOutputName()));
    EXPECT_TRUE (ports.isInputStarted (unit.getInputName()));

    {
        // the input is found ignoring case, the output exactly
        Host::MidiInputHandler other;
        other.openPorts (unit.getInputName().toLowerCase());
        EXPECT_NE (other.input, nullptr);
        EXPECT_EQ (other.output, nullptr);
    }

    resetDeviceReplyState();
    handler.setStopped (1);
    ports.sendToProgram (unit.getInputName(), juce::MidiMessage (0x9A, 0x21, 0x07));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (deviceReplyState.queryReply.load(), DeviceReplyState::none);

    handler.setStopped (0);
    ports.sendToProgram (unit.getInputName(), juce::MidiMessage (0x9A, 0x21, 0x07));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (deviceReplyState.queryReply.load(), 7);

    handler.closePorts();
    EXPECT_TRUE (handler.isStopped());
    EXPECT_FALSE (handler.arePortsOpen());
    EXPECT_FALSE (ports.isInputOpen (unit.getInputName()));
}

TEST_F (MappingSendTest, TheSendTalksThroughTheHandlersOneOutput)
{
    SimulatedSurface unit (ports, 2055);
    setSlotDaw (1, 2);
    compileAll (2055);

    ASSERT_TRUE (sendTo (unit).wasOk());
    EXPECT_EQ (ports.getNumOutputOpens (unit.getOutputName()), 1);
    EXPECT_TRUE (ports.isOutputOpen (unit.getOutputName()));   // the handler keeps it after the send
}

TEST_F (MappingSendTest, PortsClosedDuringASendLeaveItTalkingToNobody)
{
    SimulatedSurface unit (ports, 2055);
    setSlotDaw (1, 2);
    compileAll (2055);

    // After the second image chunk, something closes the surface's ports
    // while the send waits for the acknowledgement (as a firmware hand-off may).
    struct Closer : z9test::InMemoryMidiPorts::OutputListener
    {
        void messageSentToOutput (const juce::String&, const juce::MidiMessage& m) override
        {
            if (m.getRawDataSize() == imageChunkMessageSize && ++chunks == 2)
                juce::MessageManager::callAsync ([] { Host::getInstance()->input.reset(); });
        }

        int chunks = 0;
    } closer;

    ports.addOutputListener (&closer);
    auto result = sendTo (unit);
    ports.removeOutputListener (&closer);

    EXPECT_EQ (result.getErrorMessage(), "Time out!");
    EXPECT_EQ (unit.getConversation(), (juce::StringArray { "query", "image 1.1", "image 1.2" }));
    EXPECT_FALSE (sendInProgress);
}
