#include "shell/DemoSlaveProcess.h"
#include "core/files/ValueTreeMessage.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/TempFolder.h"
#include "tests/support/program/ProgramUnderTest.h"
#include "core/base/PlatformHelpers.h"
#include <gtest/gtest.h>
#include <csignal>
#include <mutex>

using NsZ9m::valueTreeFromMemoryBlock;
using NsZ9m::valueTreeToMemoryBlock;

TEST (ChildProcessMessagesTest, RepliesCountPlusOne)
{
    struct Case { juce::var count; juce::var expected; };
    const Case cases[] =
    {
        { 41, 42 },
        { 0, 1 },
        { -5, -4 },
        { 2.9, 3 },
        { juce::var ("41"), 1 },
        { juce::var(), 1 },
        { std::numeric_limits<int>::max(), (juce::int64) std::numeric_limits<int>::max() + 1 },
    };

    for (auto& c : cases)
    {
        juce::ValueTree request ("ANY");

        if (! c.count.isVoid())
            request.setProperty ("count", c.count, nullptr);

        auto reply = DemoSlaveProcess::createReply (valueTreeFromMemoryBlock (valueTreeToMemoryBlock (request)));
        EXPECT_TRUE (reply.hasType ("REPLY"));
        EXPECT_EQ ((juce::int64) reply.getProperty ("countPlusOne"), (juce::int64) c.expected) << c.count.toString();
    }

    EXPECT_EQ ((int) DemoSlaveProcess::createReply ({}).getProperty ("countPlusOne"), 1);
}

TEST (ChildProcessMessagesTest, TheTokenIsRecognised)
{
    EXPECT_TRUE (hasChildProcessToken ("--demoUID:pipe123"));
    EXPECT_TRUE (hasChildProcessToken ("  --demoUID:pipe123 more"));
    EXPECT_FALSE (hasChildProcessToken (""));
    EXPECT_FALSE (hasChildProcessToken ("file.ostrik --demoUID:pipe"));
    EXPECT_FALSE (hasChildProcessToken ("--otherUID:pipe"));
    EXPECT_FALSE (startChildProcessIfRequested ("no token here"));
}

//==============================================================================
namespace
{
    /** The master's side: the framework's own coordinator, recording what
        the child sends. */
    struct Master : public juce::ChildProcessCoordinator
    {
        void handleMessageFromWorker (const juce::MemoryBlock& block) override
        {
            std::lock_guard<std::mutex> lock (mutex);
            received.push_back (valueTreeFromMemoryBlock (block));
        }

        void handleConnectionLost() override   { lost = true; }

        std::vector<juce::ValueTree> take()
        {
            std::lock_guard<std::mutex> lock (mutex);
            return received;
        }

        std::mutex mutex;
        std::vector<juce::ValueTree> received;
        std::atomic<bool> lost { false };
    };
}

TEST (ChildProcessModeTest, TheProgramGreetsAndAnswersItsMaster)
{
    Master master;
    ASSERT_TRUE (master.launchWorkerProcess (z9test::getProgramFile(), childProcessId, z9test::testTimeLimitMs, 0));

    ASSERT_TRUE (z9test::waitUntil ([&] { return master.take().size() >= 1; }));
    EXPECT_TRUE (master.take()[0].hasType ("HelloWorld"));
    EXPECT_EQ (master.take()[0].getNumProperties(), 0);

    juce::ValueTree request ("REQ");
    request.setProperty ("count", 41, nullptr);
    ASSERT_TRUE (master.sendMessageToWorker (valueTreeToMemoryBlock (request)));

    const char garbage[] = "not a value tree at all";
    ASSERT_TRUE (master.sendMessageToWorker (juce::MemoryBlock (garbage, sizeof (garbage))));

    ASSERT_TRUE (z9test::waitUntil ([&] { return master.take().size() >= 3; }));
    auto replies = master.take();
    EXPECT_TRUE (replies[1].hasType ("REPLY"));
    EXPECT_EQ ((int) replies[1].getProperty ("countPlusOne"), 42);
    EXPECT_TRUE (replies[2].hasType ("REPLY"));
    EXPECT_EQ ((int) replies[2].getProperty ("countPlusOne"), 1);
    EXPECT_FALSE (master.lost);
}

namespace
{
    /** A master's end of the connection, run by the test itself so that the
        child can be started like any other run of the program. Speaks the
        framework's coordinator protocol: the same header, the start message,
        the goodbye. */
    struct BareMaster : public juce::InterprocessConnection
    {
        BareMaster() : juce::InterprocessConnection (false, 0x712baf04) {}
        ~BareMaster() override   { disconnect(); }

        void connectionMade() override   {}
        void connectionLost() override   {}

        void messageReceived (const juce::MemoryBlock& block) override
        {
            if (block.getSize() == 8 && block.matches ("__ipc_p_", 8))
                return;

            std::lock_guard<std::mutex> lock (mutex);
            received.push_back (valueTreeFromMemoryBlock (block));
        }

        size_t count()
        {
            std::lock_guard<std::mutex> lock (mutex);
            return received.size();
        }

        std::mutex mutex;
        std::vector<juce::ValueTree> received;
    };
}

TEST (ChildProcessModeTest, AChildServesWhileAWindowedInstanceRunsAndEndsWhenTheMasterGoes)
{
    if (! z9test::canIsolateProgramRuns())
        GTEST_SKIP() << "this machine does not let a test give the program a mount namespace (unshare)";

    z9test::TempFolder temp;
    z9test::VirtualDisplay display;
    ASSERT_TRUE (display.getName().isNotEmpty());
    z9test::ProgramScratch scratch (temp.get());

    z9test::ProgramRun windowed (scratch, display.getName());
    ASSERT_TRUE (windowed.start());
    z9test::XProbe probe (display.getName());
    ASSERT_TRUE (probe.waitForPaintedWindow ("Z9-M/X Ostrik V1.04 - " + juce::String (NsZ9m::getCpuModelTag()), z9test::testTimeLimitMs).id != 0)
        << windowed.getOutput();

    BareMaster master;
    const auto pipeName = "z9test_" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64());
    ASSERT_TRUE (master.createPipe (pipeName, 10000));

    z9test::ProgramRun child (scratch, display.getName(), { "--" + juce::String (childProcessId) + ":" + pipeName });
    ASSERT_TRUE (child.start());

    ASSERT_TRUE (z9test::waitUntil ([&] { return master.isConnected(); })) << child.getOutput();
    ASSERT_TRUE (master.sendMessage (juce::MemoryBlock ("__ipc_st", 8)));
    ASSERT_TRUE (z9test::waitUntil ([&] { return master.count() >= 1; }));
    EXPECT_TRUE (master.received[0].hasType ("HelloWorld"));

    // The master goes, saying goodbye as the framework's coordinator does: the
    // child ends by itself. (A master that vanishes without a word is noticed
    // by the framework's pings after its time-out of several seconds.)
    ASSERT_TRUE (master.sendMessage (juce::MemoryBlock ("__ipc_k_", 8)));
    master.disconnect();
    int code = -1;
    EXPECT_TRUE (child.waitForExit (z9test::testTimeLimitMs, code)) << child.getOutput();
    EXPECT_EQ (code, 0);

    // The windowed instance runs on, with its one window.
    EXPECT_TRUE (windowed.isRunning());
    windowed.sendSignal (SIGINT);
    EXPECT_TRUE (windowed.waitForExit (z9test::testTimeLimitMs, code));
    EXPECT_EQ (code, 0);
}
