#include "core/link/JuceMidiPortSystem.h"
#include "core/link/MidiPortSystem.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/InMemoryMidiPorts.h"
#include <atomic>

using namespace NsZ9m;
using z9test::InMemoryMidiPorts;
using z9test::waitUntil;

namespace
{
    class MidiPortSystemTest : public z9test::CoreFixture
    {
    protected:
        z9test::ScopedInMemoryMidiPorts ports;
    };

    // Records what arrives and on which thread; optionally holds each callback
    // at its start until the test releases it, and then lingers a while.
    struct RecordingCallback : public juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& m) override
        {
            inside = true;
            ++entered;

            // Bounded by the test's limit, so that a test that fails before its
            // release still ends.
            if (held.load())
                released.wait (z9test::testTimeLimitMs);

            {
                const juce::ScopedLock sl (lock);
                messages.push_back (m);
                sources.push_back (source);
                onMessageThread.push_back (juce::MessageManager::getInstance()->isThisTheMessageThread());
            }

            if (lingerMs > 0)
                juce::Thread::sleep (lingerMs);

            ++count;
            inside = false;
        }

        std::vector<int> firstDataBytes() const
        {
            const juce::ScopedLock sl (lock);
            std::vector<int> result;

            for (auto& m : messages)
                result.push_back (m.getRawData()[1]);

            return result;
        }

        juce::CriticalSection lock;
        std::vector<juce::MidiMessage> messages;
        std::vector<juce::MidiInput*> sources;
        std::vector<bool> onMessageThread;
        std::atomic<int> count { 0 };
        /** From now on, callbacks wait at their start until release(). */
        void hold()      { released.reset(); held = true; }
        void release()   { released.signal(); }

        std::atomic<bool> inside { false };
        std::atomic<int> entered { 0 };
        std::atomic<bool> held { false };
        juce::WaitableEvent released { true };
        int lingerMs = 0;
    };

    juce::MidiMessage shortMessage (int b1)   { return juce::MidiMessage (0x9A, b1, 1); }
}

TEST_F (MidiPortSystemTest, TheScopeInstallsTheSystemAndPutsThePreviousOneBack)
{
    EXPECT_EQ (&midiPorts(), &ports);

    {
        InMemoryMidiPorts inner;
        ScopedMidiPortSystem scope (inner);
        EXPECT_EQ (&midiPorts(), &inner);
    }

    EXPECT_EQ (&midiPorts(), &ports);
}

TEST (MidiPortSystemDefault, TheJuceSystemIsInUseByDefaultAndListsWithoutCrashing)
{
    EXPECT_NE (dynamic_cast<JuceMidiPortSystem*> (&midiPorts()), nullptr);

    JuceMidiPortSystem system;
    auto outputs = system.getOutputNames();
    auto inputs = system.getInputNames();

    // Whatever the machine has, positions outside the lists open nothing.
    RecordingCallback callback;
    EXPECT_EQ (system.openOutput (-1), nullptr);
    EXPECT_EQ (system.openOutput (outputs.size()), nullptr);
    EXPECT_EQ (system.openInput (-1, &callback), nullptr);
    EXPECT_EQ (system.openInput (inputs.size(), &callback), nullptr);
}

TEST_F (MidiPortSystemTest, ListsKeepTheOrderOfAdditionAndRemoval)
{
    ports.addOutput ("Z9-M");
    ports.addOutput ("MIDIOUT2 (Z9-M)");
    ports.addOutput ("MIDIOUT4 (Z9-M)");
    ports.addInput ("MIDIIN4 (Z9-M)");
    ports.addInput ("Z9-M");

    EXPECT_EQ (midiPorts().getOutputNames(), juce::StringArray ({ "Z9-M", "MIDIOUT2 (Z9-M)", "MIDIOUT4 (Z9-M)" }));
    EXPECT_EQ (midiPorts().getInputNames(), juce::StringArray ({ "MIDIIN4 (Z9-M)", "Z9-M" }));

    EXPECT_TRUE (ports.removeOutput ("MIDIOUT2 (Z9-M)"));
    EXPECT_FALSE (ports.removeOutput ("MIDIOUT2 (Z9-M)"));
    ports.addOutput ("MIDIOUT2 (Z9-M)");

    EXPECT_EQ (midiPorts().getOutputNames(), juce::StringArray ({ "Z9-M", "MIDIOUT4 (Z9-M)", "MIDIOUT2 (Z9-M)" }));

    // opening goes by position in the current list
    auto out = midiPorts().openOutput (1);
    ASSERT_NE (out, nullptr);
    EXPECT_EQ (out->getName(), "MIDIOUT4 (Z9-M)");
    EXPECT_EQ (midiPorts().openOutput (3), nullptr);
    EXPECT_EQ (midiPorts().openOutput (-1), nullptr);
}

TEST_F (MidiPortSystemTest, OutputsRecordEverySendInOrderUntilTheirPortIsRemoved)
{
    ports.addOutput ("A");
    ports.addOutput ("B");

    auto a = midiPorts().openOutput (0);
    auto b = midiPorts().openOutput (1);
    ASSERT_TRUE (a != nullptr && b != nullptr);
    EXPECT_TRUE (ports.isOutputOpen ("A"));

    const juce::uint8 sysex[] = { 0xF0, 0x1D, 0x03, 0x10, 0x07, 0x21, 0xF7 };
    a->sendMessageNow (shortMessage (1));
    b->sendMessageNow (shortMessage (9));
    a->sendMessageNow (juce::MidiMessage (sysex, (int) sizeof (sysex), 0));
    a->sendMessageNow (shortMessage (2));

    auto got = ports.getReceived ("A");
    ASSERT_EQ (got.size(), 3u);
    EXPECT_EQ (got[0].getRawData()[1], 1);
    EXPECT_EQ (juce::MemoryBlock (got[1].getRawData(), (size_t) got[1].getRawDataSize()),
               juce::MemoryBlock (sysex, sizeof (sysex)));
    EXPECT_EQ (got[2].getRawData()[1], 2);
    EXPECT_EQ (ports.getNumReceived ("B"), 1);

    // unplugged while open: the port is dead, even once a port of that name is back
    ports.removeOutput ("A");
    EXPECT_FALSE (ports.isOutputOpen ("A"));
    a->sendMessageNow (shortMessage (3));
    ports.addOutput ("A");
    a->sendMessageNow (shortMessage (4));

    EXPECT_EQ (ports.getNumReceived ("A"), 3);
    EXPECT_EQ (ports.getNumLostSends(), 2);

    auto again = midiPorts().openOutput (midiPorts().getOutputNames().indexOf ("A"));
    ASSERT_NE (again, nullptr);
    again->sendMessageNow (shortMessage (5));
    EXPECT_EQ (ports.getNumReceived ("A"), 4);
    EXPECT_EQ (ports.getNumOutputOpens ("A"), 2);
}

TEST_F (MidiPortSystemTest, AnOpenCanBeMadeToFailPerName)
{
    RecordingCallback callback;
    ports.addOutput ("MIDIOUT4 (Z9-M)");
    ports.addInput ("MIDIIN4 (Z9-M)");
    ports.addInput ("Z9-M");

    ports.setOpenFails ("MIDIIN4 (Z9-M)");
    ports.setOpenFails ("MIDIOUT4 (Z9-M)");

    EXPECT_EQ (midiPorts().openOutput (0), nullptr);
    EXPECT_EQ (midiPorts().openInput (0, &callback), nullptr);
    EXPECT_NE (midiPorts().openInput (1, &callback), nullptr);   // other names still open
    EXPECT_EQ (ports.getNumInputOpens ("MIDIIN4 (Z9-M)"), 0);

    ports.setOpenFails ("MIDIIN4 (Z9-M)", false);
    EXPECT_NE (midiPorts().openInput (0, &callback), nullptr);
    EXPECT_EQ (midiPorts().openOutput (0), nullptr);
}

TEST_F (MidiPortSystemTest, InputReachesTheCallbackOnAnotherThreadInOrderOnlyWhileStarted)
{
    RecordingCallback callback;
    ports.addInput ("MIDIIN4 (Z9-M)");

    auto in = midiPorts().openInput (0, &callback);
    ASSERT_NE (in, nullptr);
    EXPECT_EQ (in->getName(), "MIDIIN4 (Z9-M)");
    EXPECT_TRUE (ports.isInputOpen ("MIDIIN4 (Z9-M)"));
    EXPECT_FALSE (ports.isInputStarted ("MIDIIN4 (Z9-M)"));

    // not started yet: lost
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (0x20));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (callback.count.load(), 0);
    EXPECT_EQ (ports.getNumUndelivered(), 1);

    in->start();
    EXPECT_TRUE (ports.isInputStarted ("MIDIIN4 (Z9-M)"));

    // a delayed message arrives after later ones without delay; equal delays
    // keep their order (the delay is far longer than the sends take, even on
    // a busy machine)
    const auto sent = juce::Time::getMillisecondCounterHiRes();
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (0x21), 300);
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (0x22));
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (0x23));
    ports.sendToProgram ("other", shortMessage (0x24));

    ASSERT_TRUE (waitUntil ([&] { return callback.count.load() == 3; }));
    const auto took = juce::Time::getMillisecondCounterHiRes() - sent;

    EXPECT_EQ (callback.firstDataBytes(), std::vector<int> ({ 0x22, 0x23, 0x21 }));
    EXPECT_GE (took, 300.0);
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (ports.getNumUndelivered(), 2);

    const juce::ScopedLock sl (callback.lock);
    for (size_t i = 0; i < callback.messages.size(); ++i)
    {
        EXPECT_FALSE (callback.onMessageThread[i]);
        EXPECT_EQ (callback.sources[i], nullptr);
    }
}

TEST_F (MidiPortSystemTest, NothingArrivesAfterStopOrCloseOrRemoval)
{
    RecordingCallback callback;
    callback.lingerMs = 30;
    ports.addInput ("MIDIIN4 (Z9-M)");

    auto in = midiPorts().openInput (0, &callback);
    ASSERT_NE (in, nullptr);
    in->start();

    // stop() while a delivery is running returns only once it is over (the
    // callback is held inside until the test is about to stop, then lingers)
    callback.hold();
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (1));
    ASSERT_TRUE (waitUntil ([&] { return callback.entered.load() == 1; }));
    callback.release();
    in->stop();
    EXPECT_FALSE (callback.inside.load());
    EXPECT_EQ (callback.count.load(), 1);

    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (2));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (callback.count.load(), 1);

    // restarted, then the port is unplugged while open
    in->start();
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (3));
    ASSERT_TRUE (waitUntil ([&] { return callback.count.load() == 2; }));
    ports.removeInput ("MIDIIN4 (Z9-M)");
    EXPECT_FALSE (ports.isInputOpen ("MIDIIN4 (Z9-M)"));
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (4));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (callback.count.load(), 2);

    // destroyed in the middle of a delivery: the destructor waits for it
    ports.addInput ("MIDIIN4 (Z9-M)");
    in = midiPorts().openInput (0, &callback);
    in->start();
    callback.hold();
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (5), 0);
    ports.sendToProgram ("MIDIIN4 (Z9-M)", shortMessage (6), 500);   // due long after the port goes
    ASSERT_TRUE (waitUntil ([&] { return callback.entered.load() == 3; }));
    callback.release();
    in.reset();
    EXPECT_FALSE (callback.inside.load());
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_EQ (callback.count.load(), 3);
    EXPECT_FALSE (ports.isInputOpen ("MIDIIN4 (Z9-M)"));
}

TEST_F (MidiPortSystemTest, PortsMayOutliveTheirSystem)
{
    RecordingCallback callback;
    std::unique_ptr<MidiOutputPort> out;
    std::unique_ptr<MidiInputPort> in;

    {
        InMemoryMidiPorts temporary;
        temporary.addOutput ("A");
        temporary.addInput ("A");
        out = temporary.openOutput (0);
        in = temporary.openInput (0, &callback);
        in->start();
        temporary.sendToProgram ("A", shortMessage (1), 500);
    }

    out->sendMessageNow (shortMessage (2));
    in->stop();
    in.reset();
    out.reset();
    EXPECT_EQ (callback.count.load(), 0);
}
