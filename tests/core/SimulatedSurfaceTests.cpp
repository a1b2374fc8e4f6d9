#include "core/link/MidiPortSystem.h"
#include "core/sync/PortLookup.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/SimulatedSurface.h"

using namespace NsZ9m;
using z9test::SimulatedSurface;
using z9test::waitUntil;
using Answer = SimulatedSurface::Answer;

namespace
{
    using Bytes = std::vector<juce::uint8>;

    // The program's side of one port pair, opened through midiPorts() by name.
    class ProgramSide : public juce::MidiInputCallback
    {
    public:
        ProgramSide (const juce::String& outputName, const juce::String& inputName)
        {
            output = midiPorts().openOutput (midiPorts().getOutputNames().indexOf (outputName));
            input = midiPorts().openInput (midiPorts().getInputNames().indexOf (inputName), this);

            if (input != nullptr)
                input->start();
        }

        ~ProgramSide() override   { input.reset(); }

        bool isOpen() const   { return output != nullptr && input != nullptr; }

        void send (const Bytes& b)   { output->sendMessageNow (juce::MidiMessage (b.data(), (int) b.size(), 0)); }

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            if (juce::MessageManager::getInstance()->isThisTheMessageThread())
                repliesOnMessageThread++;

            {
                const juce::ScopedLock sl (lock);
                replies.add (juce::String::toHexString (m.getRawData(), m.getRawDataSize(), 1).toUpperCase());
            }

            if (onReply)
                onReply (*this);
        }

        /** Called after each reply is recorded, on the thread that delivered it. */
        std::function<void (ProgramSide&)> onReply;
        std::atomic<int> repliesOnMessageThread { 0 };

        juce::StringArray getReplies() const   { const juce::ScopedLock sl (lock); return replies; }
        bool waitForReplies (int n)   { return waitUntil ([&] { return getReplies().size() >= n; }); }

    private:
        std::unique_ptr<MidiOutputPort> output;
        std::unique_ptr<MidiInputPort> input;
        juce::CriticalSection lock;
        juce::StringArray replies;
    };

    Bytes header (int code, int command)
    {
        return { 0xF0, 0x1D, 0x03, (juce::uint8) (code / 128), (juce::uint8) (code % 128), (juce::uint8) command };
    }

    Bytes fingerprintMessage (int code, int command, int f0, int f1, int f2)
    {
        auto b = header (code, command);

        for (int f : { f0, f1, f2 })
            for (int shift : { 16, 8, 0 })
                b.push_back ((juce::uint8) ((f >> shift) & 0x7F));

        b.push_back (0xF7);
        return b;
    }

    juce::uint8 imageByte (int slotIndex, int offset)   { return (juce::uint8) ((offset * 7 + slotIndex * 13) & 0x7F); }

    Bytes imageChunk (int code, int slotIndex, int daw, int chunk)
    {
        auto b = header (code, 0x25);
        b.push_back ((juce::uint8) (((slotIndex << 5) & 0x70) | daw));
        b.push_back ((juce::uint8) chunk);
        b.push_back (28);

        for (int i = 0; i < 224; ++i)
            b.push_back (imageByte (slotIndex, (chunk - 1) * 224 + i));

        b.push_back (0xF7);
        return b;
    }

    juce::String labelText (int slotIndex, int label)
    {
        return ("S" + juce::String (slotIndex) + " L" + juce::String (label)).paddedRight (' ', 17);
    }

    Bytes labelChunk (int slotIndex, int daw, int chunk)
    {
        auto b = header (2055, 0x26);
        b.push_back ((juce::uint8) (((slotIndex << 5) & 0x60) | daw));
        b.push_back ((juce::uint8) chunk);
        b.push_back (10);

        for (int i = 0; i < 10; ++i)
            for (auto c : labelText (slotIndex, (chunk - 1) * 10 + i))
                b.push_back ((juce::uint8) c);

        b.push_back (0xF7);
        return b;
    }

    const Bytes filler { 0xEF, 0x7F, 0x7F };

    class SimulatedSurfaceTest : public z9test::CoreFixture
    {
    protected:
        z9test::ScopedInMemoryMidiPorts ports;
    };
}

TEST_F (SimulatedSurfaceTest, AUnitShowsWindowsPortNamesThatIdentifyItsProduct)
{
    for (int product : { 2055, 2056, 2067, 2068, 2069, 2070, 2071, 2072, 2054 })
    {
        SCOPED_TRACE (product);
        SimulatedSurface unit (ports, product);
        const auto outputs = midiPorts().getOutputNames();
        const auto inputs = midiPorts().getInputNames();

        ASSERT_EQ (outputs.size(), 4);
        EXPECT_EQ (outputs[0], unit.getDeviceName());
        EXPECT_EQ (inputs[0], unit.getDeviceName());
        EXPECT_EQ (outputs[3], "MIDIOUT4 (" + unit.getDeviceName() + ")");
        EXPECT_EQ (inputs[3], "MIDIIN4 (" + unit.getDeviceName() + ")");

        for (int n = 1; n <= 4; ++n)
        {
            EXPECT_EQ (getProductIdFromPortName (outputs[n - 1]), product);
            EXPECT_EQ (getProductIdFromPortName (inputs[n - 1]), product);
            EXPECT_EQ (portIndexFromName (outputs[n - 1]), n);
            EXPECT_EQ (pairPortName (outputs[n - 1], true), inputs[n - 1]);
        }

        EXPECT_EQ (findBestPortName (inputs, product, false), unit.getInputName (4));
    }

    EXPECT_TRUE (midiPorts().getOutputNames().isEmpty());   // each unit unplugged when it went

    SimulatedSurface m (ports, 2055), x2 (ports, 2067, 2);
    EXPECT_EQ (midiPorts().getOutputNames(),
               juce::StringArray ({ "Z9-M", "MIDIOUT2 (Z9-M)", "MIDIOUT3 (Z9-M)", "MIDIOUT4 (Z9-M)", "Z9-X2", "MIDIOUT2 (Z9-X2)" }));

    m.unplug();
    EXPECT_FALSE (m.isPluggedIn());
    EXPECT_EQ (midiPorts().getInputNames(), juce::StringArray ({ "Z9-X2", "MIDIIN2 (Z9-X2)" }));
    m.plugIn();
    EXPECT_EQ (midiPorts().getInputNames()[2], "Z9-M");
}

TEST_F (SimulatedSurfaceTest, ItHoldsWhatASendDeliversAndAnswersTheQueryFromTheConfirmedFingerprints)
{
    SimulatedSurface unit (ports, 2055);
    ProgramSide program (unit.getOutputName(), unit.getInputName());
    ASSERT_TRUE (program.isOpen());

    program.send (fingerprintMessage (2055, 0x21, 0x112233, 0x445566, 0x0A0B0C));

    for (int c = 1; c <= 9; ++c)
        program.send (imageChunk (2055, 1, 5, c));

    for (int c = 1; c <= 8; ++c)
        program.send (labelChunk (1, 5, c));

    program.send (filler);
    program.send ({ 0xEC, 0x22, 0x25 });
    program.send (fingerprintMessage (2055, 0x24, 0x112233, 0x445566, 0x0A0B0C));
    program.send (fingerprintMessage (2055, 0x21, 0x112233, 0x445566, 0x0A0B0C));
    program.send (fingerprintMessage (2055, 0x21, 0x112233, 0x445567, 0x0A0B0C));

    ASSERT_TRUE (program.waitForReplies (21));
    ASSERT_TRUE (ports.waitUntilDelivered());

    juce::StringArray expectedReplies { "9A 21 00" };
    for (int c = 1; c <= 9; ++c) expectedReplies.add ("9A 25 01");
    for (int c = 1; c <= 8; ++c) expectedReplies.add ("9A 26 01");
    expectedReplies.addArray ({ "9A 24 01", "9A 21 07", "9A 21 05" });   // then slot index 1 no longer matches
    EXPECT_EQ (program.getReplies(), expectedReplies);

    juce::StringArray expected { "query" };
    for (int c = 1; c <= 9; ++c) expected.add ("image 2." + juce::String (c));
    for (int c = 1; c <= 8; ++c) expected.add ("labels 2." + juce::String (c));
    expected.addArray ({ "filler", "select 0x25", "confirm", "query", "query" });
    EXPECT_EQ (unit.getConversation(), expected);
    EXPECT_TRUE (unit.getUnexpected().isEmpty());
    EXPECT_EQ (unit.getSlotSelects(), std::vector<int> { 0x25 });
    EXPECT_EQ (unit.getNumFillers(), 1);

    // the data arrived where it belongs
    auto image = unit.getImage (1);
    ASSERT_EQ (image.getSize(), 2016u);
    bool same = true;
    for (int i = 0; i < 2016; ++i)
        same = same && (juce::uint8) image[i] == imageByte (1, i);
    EXPECT_TRUE (same);
    EXPECT_EQ (unit.getImageDawId (1), 5);
    EXPECT_FALSE (unit.hasImageChunk (0, 1));
    EXPECT_TRUE (unit.hasImageChunk (1, 9));
    EXPECT_EQ (unit.getLabels (1)[79], labelText (1, 79));
    EXPECT_EQ (unit.getLabels (1)[0], labelText (1, 0));
    EXPECT_TRUE (unit.getLabels (0)[0].isEmpty());
    EXPECT_EQ (unit.getConfirmedFingerprint (2), 0x0A0B0C);

    // the fingerprints travel as three 7-bit bytes each
    unit.setConfirmedFingerprints (0x00ABCDEF, -1, -1);
    EXPECT_EQ (unit.getConfirmedFingerprint (0), 0x2B4D6F);
    EXPECT_EQ (unit.getConfirmedFingerprint (1), -1);
}

TEST_F (SimulatedSurfaceTest, FaultSwitchesChangeOnlyTheAnswers)
{
    struct Case
    {
        const char* name;
        std::function<void (SimulatedSurface&)> setUp;
        const char* replies;   // the answers to: query, image 1.1, image 1.2, labels 1.1, confirm
        bool keepsChunk2;
        bool keepsFingerprints;
    };

    const Case cases[] =
    {
        { "normal",           [] (SimulatedSurface&) {},                                               "9A 21 00|9A 25 01|9A 25 01|9A 26 01|9A 24 01", true, true },
        { "silent",           [] (SimulatedSurface& u) { u.setSilent (true); },                        "", true, true },
        { "refuse chunk 1.2", [] (SimulatedSurface& u) { u.setAnswer (0x25, Answer::refuse, 1, 2); }, "9A 21 00|9A 25 01|9A 25 00|9A 26 01|9A 24 01", false, true },
        { "refuse any image", [] (SimulatedSurface& u) { u.setAnswer (0x25, Answer::refuse); },       "9A 21 00|9A 25 00|9A 25 00|9A 26 01|9A 24 01", false, true },
        { "specific wins",    [] (SimulatedSurface& u) { u.setAnswer (0x25, Answer::refuse);
                                                         u.setAnswer (0x25, Answer::normal, 1, 1); }, "9A 21 00|9A 25 01|9A 25 00|9A 26 01|9A 24 01", false, true },
        { "refuse labels",    [] (SimulatedSurface& u) { u.setAnswer (0x26, Answer::refuse, 1); },    "9A 21 00|9A 25 01|9A 25 01|9A 26 00|9A 24 01", true, true },
        { "ignore chunk 2",   [] (SimulatedSurface& u) { u.setAnswer (0x25, Answer::ignore, 0, 2); }, "9A 21 00|9A 25 01|9A 26 01|9A 24 01", true, true },
        { "status only",      [] (SimulatedSurface& u) { u.setAnswer (0x21, Answer::statusOnly); },   "9A 30 01|9A 25 01|9A 25 01|9A 26 01|9A 24 01", true, true },
        { "forced mask",      [] (SimulatedSurface& u) { u.setQueryAnswer (5); },                     "9A 21 05|9A 25 01|9A 25 01|9A 26 01|9A 24 01", true, true },
        { "refuse confirm",   [] (SimulatedSurface& u) { u.setAnswer (0x24, Answer::refuse); },       "9A 21 00|9A 25 01|9A 25 01|9A 26 01|9A 24 00", true, false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        SimulatedSurface unit (ports, 2055);
        ProgramSide program (unit.getOutputName(), unit.getInputName());
        c.setUp (unit);

        program.send (fingerprintMessage (2055, 0x21, 1, 2, 3));
        program.send (imageChunk (2055, 0, 3, 1));
        program.send (imageChunk (2055, 0, 3, 2));
        program.send (labelChunk (0, 3, 1));
        program.send (fingerprintMessage (2055, 0x24, 1, 2, 3));
        ASSERT_TRUE (ports.waitUntilDelivered());

        EXPECT_EQ (program.getReplies().joinIntoString ("|"), juce::String (c.replies));
        EXPECT_EQ (unit.getConversation(), juce::StringArray ({ "query", "image 1.1", "image 1.2", "labels 1.1", "confirm" }));

        // a refused chunk or confirmation is not kept; an unanswered one is
        EXPECT_EQ (unit.hasImageChunk (0, 2), c.keepsChunk2);
        EXPECT_EQ (unit.getConfirmedFingerprint (0), c.keepsFingerprints ? 1 : -1);
    }
}

TEST_F (SimulatedSurfaceTest, AnAnswerAtOnceIsInTheProgramsHandsWhenTheSendReturns)
{
    SimulatedSurface unit (ports, 2055);
    ProgramSide program (unit.getOutputName(), unit.getInputName());

    // no message loop and no wait between the sends and the looks
    for (int c = 1; c <= 9; ++c)
    {
        program.send (imageChunk (2055, 0, 2, c));
        ASSERT_EQ (program.getReplies().size(), c);
    }

    program.send (fingerprintMessage (2055, 0x21, 0, 0, 0));
    EXPECT_EQ (program.getReplies()[9], "9A 21 00");
    program.send (filler);   // not answered: nothing to wait for
    EXPECT_EQ (program.getReplies().size(), 10);

    // delivered as a MIDI driver would, off the message thread
    EXPECT_EQ (program.repliesOnMessageThread.load(), 0);
    EXPECT_EQ (ports.getNumDelivered(), 10);

    // a program that sends from within its input callback (on the delivery
    // thread) gets the answer there and then, without waiting for itself
    program.onReply = [once = true] (ProgramSide& p) mutable
    {
        if (std::exchange (once, false))
            p.send (imageChunk (2055, 0, 2, 1));
    };
    unit.sendToProgram (juce::MidiMessage (0x9A, 0x30, 0x01));
    ASSERT_TRUE (program.waitForReplies (12));
    EXPECT_EQ (program.getReplies()[11], "9A 25 01");
    EXPECT_TRUE (unit.getUnexpected().isEmpty());
}

TEST_F (SimulatedSurfaceTest, LateAnswersWrongPortsAndUnplugging)
{
    SimulatedSurface unit (ports, 2056);
    ProgramSide program (unit.getOutputName(), unit.getInputName());
    ProgramSide port1 (unit.getOutputName (1), unit.getInputName (1));

    // late: the answer comes after the delay
    unit.setReplyDelayMs (40);
    const auto sent = juce::Time::getMillisecondCounterHiRes();
    program.send (fingerprintMessage (2056, 0x21, 0, 0, 0));
    ASSERT_TRUE (program.waitForReplies (1));
    EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - sent, 35.0);

    // wrong port: the answer reaches the program's input from port 1
    unit.clearFaults();
    unit.setReplyPort (1);
    program.send (imageChunk (2056, 0, 1, 1));
    ASSERT_TRUE (port1.waitForReplies (1));
    EXPECT_EQ (port1.getReplies(), juce::StringArray ({ "9A 25 01" }));
    EXPECT_EQ (program.getReplies().size(), 1);

    // unplugged in the middle: the second message is recorded, not answered; later ones are lost
    unit.clearFaults();
    unit.clearRecords();
    unit.unplugAfterMessages (2);
    program.send (imageChunk (2056, 0, 1, 1));
    ASSERT_TRUE (program.waitForReplies (2));
    program.send (imageChunk (2056, 0, 1, 2));
    program.send (imageChunk (2056, 0, 1, 3));
    ASSERT_TRUE (ports.waitUntilDelivered());

    EXPECT_FALSE (unit.isPluggedIn());
    EXPECT_TRUE (midiPorts().getOutputNames().isEmpty());
    EXPECT_EQ (unit.getConversation(), juce::StringArray ({ "image 1.1", "image 1.2" }));
    EXPECT_EQ (program.getReplies().size(), 2);
    EXPECT_EQ (unit.getSent().size(), 1u);
    EXPECT_FALSE (unit.hasImageChunk (0, 2));
    EXPECT_EQ (ports.getNumLostSends(), 1);

    // an answer still on its way when the unit goes is lost with it (the
    // answer is due long after the unplugging, even on a busy machine)
    unit.plugIn();
    ProgramSide again (unit.getOutputName(), unit.getInputName());
    unit.setReplyDelayMs (500);
    again.send (imageChunk (2056, 0, 1, 4));
    unit.unplug();
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_TRUE (again.getReplies().isEmpty());
}

TEST_F (SimulatedSurfaceTest, WhatItCannotParseIsFlaggedAndNotAnswered)
{
    SimulatedSurface x (ports, 2070);
    ProgramSide program (x.getOutputName(), x.getInputName());

    auto shortChunk = imageChunk (2056, 0, 1, 1);
    shortChunk.erase (shortChunk.begin() + 20);
    auto badChunkNumber = imageChunk (2056, 0, 1, 10);
    auto slotFour = imageChunk (2056, 3, 1, 1);

    const Bytes unexpected[] =
    {
        imageChunk (2055, 0, 1, 1),                    // the Z9-M's model code to an X unit
        labelChunk (0, 1, 1),                          // labels to an X unit
        shortChunk,
        badChunkNumber,
        slotFour,
        { 0xF0, 0x41, 0x10, 0x42, 0xF7 },              // another maker's SysEx
        fingerprintMessage (2056, 0x22, 0, 0, 0),      // an unknown command
        { 0x90, 0x40, 0x7F },
        { 0xEC, 0x2B, 0x00 },
    };

    for (auto& b : unexpected)
        program.send (b);

    program.send ({ 0xEC, 0x2A, 0x00 });   // the greeting is understood
    program.send ({ 0xEC, 0x23, 0x41 });
    ASSERT_TRUE (ports.waitUntilDelivered());
    z9test::drainMessageLoop();

    EXPECT_EQ (x.getUnexpected().size(), (int) std::size (unexpected));
    EXPECT_TRUE (x.getUnexpected()[7].startsWith ("port 4: 90 40 7F"));
    EXPECT_TRUE (program.getReplies().isEmpty());
    EXPECT_TRUE (x.getConversation()[0].startsWith ("unexpected F0 1D 03 10 07 25"));
    EXPECT_EQ (x.getConversation().joinIntoString ("|").fromLastOccurrenceOf ("unexpected", true, false)
                .fromFirstOccurrenceOf ("|", false, false), "greeting 0x00|state 0x41");
    EXPECT_EQ (x.getGreetings(), std::vector<int> { 0 });
    EXPECT_EQ (x.getSlotStates(), std::vector<int> { 0x41 });
}

TEST_F (SimulatedSurfaceTest, ReportsReachTheProgramAndUnitsKeepToTheirOwnPorts)
{
    SimulatedSurface m (ports, 2055), x2 (ports, 2067);
    ProgramSide toM (m.getOutputName(), m.getInputName());
    ProgramSide toX2 (x2.getOutputName(), x2.getInputName());
    ProgramSide toM2 (m.getOutputName (2), m.getInputName (2));

    m.reportSlotSelect (1, 5);
    m.reportSlotState (2, 0);
    x2.reportSlotSelect (0, 18);
    m.reportSlotState (1, 3, 2);
    ASSERT_TRUE (ports.waitUntilDelivered());

    EXPECT_EQ (toM.getReplies(), juce::StringArray ({ "EC 22 25", "EC 23 40" }));
    EXPECT_EQ (toX2.getReplies(), juce::StringArray ({ "EC 22 12" }));
    EXPECT_EQ (toM2.getReplies(), juce::StringArray ({ "EC 23 23" }));

    toX2.send (filler);
    toX2.send ({ 0xEC, 0x2A, 0x00 });
    toM2.send ({ 0xEC, 0x22, 0x01 });

    EXPECT_EQ (x2.getConversation(), juce::StringArray ({ "filler", "greeting 0x00" }));
    EXPECT_TRUE (m.getConversation().isEmpty());
    EXPECT_EQ (m.getConversationOnAllPorts(), juce::StringArray ({ "2: select 0x01" }));
    EXPECT_EQ (m.getReceivedOn (2).size(), 1u);
}
