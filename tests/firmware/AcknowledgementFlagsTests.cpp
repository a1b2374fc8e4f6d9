#include "tests/firmware/FirmwareTestSupport.h"
#include "core/link/MidiPortSystem.h"

using namespace vorlix;

namespace
{
    juce::MidiMessage bytes (int a, int b, int c)   { return juce::MidiMessage (a, b, c, 0.0); }

    struct FlagSet
    {
        bool refusal, connect, erase, block, reset, upgradeMode;

        static FlagSet of (const AcknowledgementFlags& f)
        {
            return { f.refusal, f.connect, f.erase, f.block, f.reset, f.upgradeMode };
        }

        bool operator== (const FlagSet& o) const
        {
            return refusal == o.refusal && connect == o.connect && erase == o.erase
                && block == o.block && reset == o.reset && upgradeMode == o.upgradeMode;
        }
    };

    /** Hands what arrives at an input to the upgrader's flags, on the port's own thread. */
    struct FlagRecorder final : juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            upgraderState().acknowledgements.record (m);
        }
    };
}

class AcknowledgementFlagsTest : public z9test::FirmwareFixture {};

TEST_F (AcknowledgementFlagsTest, EachReplySetsItsOwnFlag)
{
    struct Case { juce::MidiMessage message; FlagSet expected; };

    const Case cases[] =
    {
        { bytes (0x9f, 0x02, 0x7f), { true,  false, false, false, false, false } },   // a refusal only
        { bytes (0x9f, 0x7f, 0x7f), { true,  false, false, false, false, false } },
        { bytes (0x9f, 0x7f, 0x01), { false, true,  false, false, false, false } },
        { bytes (0x9f, 0x00, 0x01), { false, false, true,  false, false, false } },
        { bytes (0x9f, 0x01, 0x40), { false, false, false, true,  false, false } },
        { bytes (0x9f, 0x02, 0x40), { false, false, false, false, true,  false } },
        { bytes (0xec, 0x2d, 0x01), { false, false, false, false, false, true  } },
        { bytes (0x9f, 0x03, 0x10), { false, false, false, false, false, false } },   // nothing a step reads
        { bytes (0x9e, 0x02, 0x40), { false, false, false, false, false, false } },   // another channel
        { bytes (0xec, 0x2c, 0x01), { false, false, false, false, false, false } },
    };

    auto& flags = upgraderState().acknowledgements;

    for (auto& c : cases)
    {
        flags.clear();
        flags.record (c.message);
        EXPECT_TRUE (FlagSet::of (flags) == c.expected) << juce::String::toHexString (c.message.getRawData(), 3);
    }
}

TEST_F (AcknowledgementFlagsTest, TheUpgradeModeReplyAlsoClearsItsFlag)
{
    auto& flags = upgraderState().acknowledgements;
    flags.record (bytes (0xec, 0x2d, 0x01));
    EXPECT_TRUE (flags.upgradeMode);
    flags.record (bytes (0xec, 0x2d, 0x00));
    EXPECT_FALSE (flags.upgradeMode);

    const juce::uint8 shortMessage[] = { 0x9f, 0x7f };
    flags.record (shortMessage, 2);
    flags.record (nullptr, 3);
    EXPECT_FALSE (flags.connect);
}

TEST_F (AcknowledgementFlagsTest, RepliesWrittenOnTheMidiThreadReachTheMessageThread)
{
    ports.addInput ("VORLIX Pad16 Upgrade");
    FlagRecorder recorder;
    auto input = NsZ9m::midiPorts().openInput (0, &recorder);
    ASSERT_NE (input, nullptr);
    input->start();

    auto& flags = upgraderState().acknowledgements;
    ports.sendToProgram ("VORLIX Pad16 Upgrade", bytes (0x9f, 0x7f, 0x00), 5);
    ports.sendToProgram ("VORLIX Pad16 Upgrade", bytes (0x9f, 0x01, 0x00), 10);

    // The message thread polls between its pauses, as the steps do.
    EXPECT_TRUE (z9test::waitUntil ([&] { return flags.connect && flags.block; }));
    EXPECT_FALSE (flags.refusal);

    flags.clear();
    ports.sendToProgram ("VORLIX Pad16 Upgrade", bytes (0x9f, 0x05, 0x7f));
    EXPECT_TRUE (z9test::waitUntil ([&] { return flags.refusal.load(); }));
    EXPECT_FALSE (flags.connect);

    input->stop();
}
