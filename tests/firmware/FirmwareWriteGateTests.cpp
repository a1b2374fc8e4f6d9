#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/FirmwareWriteGate.h"

using namespace vorlix;

TEST (FirmwareWriteGate, WorkRunsAtOnceWithoutAWriteAndOnceTheOutermostWriteEnds)
{
    juce::StringArray done;
    EXPECT_FALSE (FirmwareWriteGate::isWriteRunning());

    FirmwareWriteGate::callWhenWriteEnds ([&] { done.add ("idle"); });
    EXPECT_EQ (done, juce::StringArray ({ "idle" }));

    {
        FirmwareWriteGate::ScopedWrite outer;
        FirmwareWriteGate::callWhenWriteEnds ([&] { done.add ("first"); });

        {
            FirmwareWriteGate::ScopedWrite inner;
            FirmwareWriteGate::callWhenWriteEnds ([&] { done.add ("second"); });
            inner.end();
            inner.end();   // ended once only
            EXPECT_TRUE (FirmwareWriteGate::isWriteRunning());
        }

        EXPECT_EQ (done.size(), 1);
        outer.end();
        EXPECT_FALSE (FirmwareWriteGate::isWriteRunning());
        EXPECT_EQ (done, juce::StringArray ({ "idle", "first", "second" }));
    }

    // The destructor of an ended write calls nothing again.
    EXPECT_EQ (done.size(), 3);
}

TEST (FirmwareWriteGate, WorkThatStartsAWriteWaitsForThatOne)
{
    juce::StringArray done;
    std::unique_ptr<FirmwareWriteGate::ScopedWrite> next;

    {
        FirmwareWriteGate::ScopedWrite write;
        FirmwareWriteGate::callWhenWriteEnds ([&]
        {
            done.add ("first");
            next = std::make_unique<FirmwareWriteGate::ScopedWrite>();
            FirmwareWriteGate::callWhenWriteEnds ([&] { done.add ("after the next"); });
        });
    }

    EXPECT_EQ (done, juce::StringArray ({ "first" }));
    EXPECT_TRUE (FirmwareWriteGate::isWriteRunning());
    next.reset();
    EXPECT_EQ (done, juce::StringArray ({ "first", "after the next" }));
    EXPECT_FALSE (FirmwareWriteGate::isWriteRunning());
}

class FirmwareWriteGateStep : public z9test::FirmwareFixture {};

TEST_F (FirmwareWriteGateStep, TheUpgradeStepHoldsTheGateForTheWholeWriteAndOpensItBeforeItsReport)
{
    struct Case { const char* what; bool toolFamily; bool m2; };
    const Case cases[] = { { "tool", true, false }, { "midi", false, false }, { "m2 refusal", true, true } };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        z9test::ScriptedDialogs caseDialogs;
        z9test::StepLog log;
        auto fake = std::make_unique<z9test::FakeUpgradeSteps> (log);
        auto* steps = fake.get();
        FirmwareUpgradeComponent wizard (c.toolFamily ? 2056 : z9test::midiBootloaderProduct, true, std::move (fake));

        upgraderState().automaticStepping = false;
        steps->m2 = c.m2;

        bool heldDuringTheWrite = false;
        int boxesWhenTheWriteEnded = -1;
        steps->writeResult = [&]
        {
            heldDuringTheWrite = FirmwareWriteGate::isWriteRunning();
            FirmwareWriteGate::callWhenWriteEnds ([&] { boxesWhenTheWriteEnded = (int) caseDialogs.getRequests().size(); });
            return juce::Result::ok();
        };

        caseDialogs.answerBox (0);
        wizard.stepUpgrade();

        EXPECT_EQ (heldDuringTheWrite, ! c.m2);
        EXPECT_EQ (boxesWhenTheWriteEnded, c.m2 ? -1 : 0);
        EXPECT_FALSE (FirmwareWriteGate::isWriteRunning());
        EXPECT_EQ (caseDialogs.getRequests().size(), 1u);
    }
}
