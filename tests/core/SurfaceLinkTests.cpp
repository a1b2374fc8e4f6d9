#include "core/link/SurfaceProtocol.h"
#include "core/link/SurfaceReplies.h"
#include "core/link/PortNames.h"
#include <gtest/gtest.h>

// The surface link's own functions: pure functions of their arguments, with
// no Host and no process-wide state behind them.

using namespace NsZ9m;

namespace
{
    std::vector<int> bytesOf (const juce::MidiMessage& m)
    {
        return std::vector<int> (m.getRawData(), m.getRawData() + m.getRawDataSize());
    }

    juce::MidiMessage messageOf (std::initializer_list<int> bytes)
    {
        std::vector<juce::uint8> b (bytes.begin(), bytes.end());
        return juce::MidiMessage (b.data(), (int) b.size(), 0.0);
    }
}

TEST (SurfaceLink, ShortMessageValuesOfSlotReportsAndTheGreeting)
{
    struct Case { int slotIndex, daw; bool hasDaw; int select, state; };

    const Case cases[] =
    {
        { 0, 0, false, 0x00, 0x00 },
        { 1, 6, true,  0x26, 0x21 },
        { 2, 18, true, 0x52, 0x41 },
        { 3, 31, false, 0x7F, 0x60 },   // a select keeps to 7 bits; the state is masked when sent
    };

    for (auto& c : cases)
    {
        EXPECT_EQ (slotSelectValue (c.slotIndex, c.daw), c.select) << c.slotIndex;
        EXPECT_EQ (slotStateValue (c.slotIndex, c.hasDaw), c.state) << c.slotIndex;
    }

    EXPECT_EQ (bytesOf (makeSlotSelectMessage (slotSelectValue (1, 4))), (std::vector<int> { 0xEC, 0x22, 0x24 }));
    EXPECT_EQ (bytesOf (makeSlotStateMessage (slotStateValue (4, true))), (std::vector<int> { 0xEC, 0x23, 0x01 }));
    EXPECT_EQ (greetingValue(), 0);   // this is a Windows program
    EXPECT_EQ (bytesOf (makeShortMessage (0xEC, 0x1A2, 0xFF)), (std::vector<int> { 0xEC, 0x22, 0x7F }));
}

TEST (SurfaceLink, BuildersTakeTheirDataAsArguments)
{
    const int fingerprints[3] = { 0x00ABCDEF, 0x7FFFFFFF, 5 };
    auto query = bytesOf (buildFingerprintMessage (2070, queryFingerprintsCommand, fingerprints));
    EXPECT_EQ (query, (std::vector<int> { 0xF0, 0x1D, 0x03, 0x10, 0x08, 0x21,
                                          0x2B, 0x4D, 0x6F, 0x7F, 0x7F, 0x7F, 0x00, 0x00, 0x05, 0xF7 }));
    EXPECT_EQ (bytesOf (buildFingerprintMessage (2055, confirmFingerprintsCommand, nullptr)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x10, 0x07, 0x24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF7 }));

    std::vector<juce::uint8> wire (wireImageSize);

    for (int i = 0; i < wireImageSize; ++i)
        wire[(size_t) i] = (juce::uint8) (i % 127);

    auto chunk = bytesOf (buildSlotImageChunk (2055, 3, 9, 0, wire.data()));
    ASSERT_EQ ((int) chunk.size(), imageChunkMessageSize);
    EXPECT_EQ (chunk[6], 0x40 | 1);   // slot index 2, DAW raised to 1
    EXPECT_EQ (chunk[7], 9);
    EXPECT_EQ (chunk[9], 8 * 224 % 127);
    EXPECT_EQ (chunk[232], (wireImageSize - 1) % 127);

    auto empty = bytesOf (buildSlotImageChunk (2056, 1, 1, 7, nullptr));
    EXPECT_EQ (empty[6], 7);
    EXPECT_TRUE (std::all_of (empty.begin() + 9, empty.begin() + 233, [] (int b) { return b == 0; }));

    juce::StringArray labels;
    labels.add (juce::String::charToString (6) + "Play");   // shorter than a label: padded
    auto labelChunk = bytesOf (buildLabelChunk (2, 1, 3, labels));
    ASSERT_EQ ((int) labelChunk.size(), labelChunkMessageSize);
    EXPECT_EQ (labelChunk[6], 0x20 | 3);
    EXPECT_EQ (labelChunk[9], 6);
    EXPECT_EQ (labelChunk[10], 'P');
    EXPECT_EQ (labelChunk[9 + deviceLabelLength], ' ');   // a missing label is all spaces
}

TEST (SurfaceLink, RepliesDecodeIntoTheStateTheyAreGiven)
{
    DeviceReplyState mine;
    mine.resetAcknowledgements();

    decodeSurfaceReply (messageOf ({ 0x9A, 0x25, 0x01 }), mine);
    EXPECT_TRUE (mine.hasArrived (mine.imageChunkAck));
    EXPECT_FALSE (mine.hasArrived (mine.labelChunkAck));

    decodeSurfaceReply (messageOf ({ 0xEC, 0x23, 0x41 }), mine);
    EXPECT_TRUE (mine.slotStatePending.load());
    EXPECT_EQ (mine.reportedSlotNumber.load(), 3);
    EXPECT_TRUE (mine.slotHasDaw[2].load());

    decodeSurfaceReply (messageOf ({ 0x9A, 0x30, 0x00 }), mine);
    EXPECT_TRUE (mine.hasArrived (mine.labelChunkAck));   // a status answers every wait
    EXPECT_EQ (mine.replyStatus.load(), 0);

    mine.clear();
    EXPECT_EQ (mine.imageChunkAck.load(), 0);
    EXPECT_FALSE (mine.slotStatePending.load());
    EXPECT_EQ (mine.reportedSlotNumber.load(), 1);
}

TEST (SurfaceLink, PortLookupsTakeTheirPatternListAsArgument)
{
    const juce::StringArray names { "Z9-M", "MIDIIN4 (Z9-M)", "MIDIIN3 (Z9-M)", "TM-25 MIDI" };

    EXPECT_EQ (productIdFromPortName ("MIDIOUT4 (Z9-M)", false), 2055);
    EXPECT_EQ (productIdFromPortName ("MIDIOUT4 (Z9-M)", true), productUnknown);
    EXPECT_EQ (productIdFromPortName ("TM-25 MIDI", true), 2090);

    EXPECT_EQ (bestPortIndexOf (names, 2055, false), 4);
    EXPECT_EQ (bestPortIndexOf (names, 2055, true), -1);
    EXPECT_EQ (bestPortNameOf (names, 2055, false, false), "MIDIIN4 (Z9-M)");
    EXPECT_EQ (bestPortNameOf (names, 2090, false, true), "TM-25 MIDI");
}
