#include "core/sync/CompiledSlots.h"
#include "core/sync/SurfaceMessages.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/HostFixture.h"
#include <thread>

using namespace NsZ9m;

namespace
{
    std::vector<int> bytesOf (const juce::MidiMessage& m)
    {
        return std::vector<int> (m.getRawData(), m.getRawData() + m.getRawDataSize());
    }

    class SurfaceProtocolTest : public z9test::HostFixture
    {
    protected:
        void SetUp() override
        {
            HostFixture::SetUp();
            host();
        }

        void setSlotDaw (int slotNumber, int daw)
        {
            host().getStore().getSlot (slotNumber).setProperty (Ids::current, daw, nullptr);
        }

        static void feed (std::initializer_list<int> bytes)
        {
            std::vector<juce::uint8> b (bytes.begin(), bytes.end());
            decodeSurfaceReply (juce::MidiMessage (b.data(), (int) b.size(), 0.0));
        }
    };
}

TEST_F (SurfaceProtocolTest, FingerprintMessagesCarryTheModelCodeAndSevenBitFingerprints)
{
    auto x5 = productIndexOf (2070);
    slotFingerprints[x5][0] = 0x00ABCDEF;
    slotFingerprints[x5][1] = 0x00010203;
    slotFingerprints[x5][2] = -1;

    EXPECT_EQ (bytesOf (makeFingerprintMessage (2070, 0x21)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x10, 0x08, 0x21, 0x2B, 0x4D, 0x6F, 0x01, 0x02, 0x03, 0x7F, 0x7F, 0x7F, 0xF7 }));

    auto confirm = bytesOf (makeFingerprintMessage (2055, 0x24));
    ASSERT_EQ (confirm.size(), 16u);
    EXPECT_EQ (confirm[3], 0x10);
    EXPECT_EQ (confirm[4], 0x07);
    EXPECT_EQ (confirm[5], 0x24);
    EXPECT_EQ (sysexHeaderSize(), 9);
}

TEST_F (SurfaceProtocolTest, ImageChunkCarries28WireRecordsOfTheSlot)
{
    auto x2 = productIndexOf (2067);

    for (int i = 0; i < wireImageSize; ++i)
        wireImages[x2][2][i] = (juce::uint8) ((i * 7) & 0x7F);

    setSlotDaw (3, 5);
    auto chunk = bytesOf (makeSlotImageChunk (2067, 3, 9));

    ASSERT_EQ (chunk.size(), 234u);
    EXPECT_EQ (std::vector<int> (chunk.begin(), chunk.begin() + 9),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x10, 0x08, 0x25, 0x40 | 5, 0x09, 28 }));
    EXPECT_EQ (std::vector<int> (chunk.begin() + 9, chunk.end() - 1),
               std::vector<int> (wireImages[x2][2] + 1792, wireImages[x2][2] + 2016));
    EXPECT_EQ (chunk.back(), 0xF7);

    // a slot without a DAW still names DAW 1
    setSlotDaw (1, 0);
    EXPECT_EQ (bytesOf (makeSlotImageChunk (2055, 1, 1))[6], 0x01);
}

TEST_F (SurfaceProtocolTest, LabelChunkIsAlways180BytesOfTheZ9MCode)
{
    for (int i = 0; i < 80; ++i)
        slotLabels[1].set (i, juce::String::charToString (7) + juce::String (i).paddedLeft ('0', 16));

    // a label that is not 17 ASCII characters still fills exactly 17 bytes
    slotLabels[1].set (71, juce::String::fromUTF8 ("\x07" "Caf\xc3\xa9"));
    slotLabels[1].set (72, juce::String::charToString (7) + juce::String::repeatedString ("x", 30));

    setSlotDaw (2, 9);
    auto chunk = bytesOf (makeLabelChunk (2, 8));

    ASSERT_EQ (chunk.size(), 180u);
    EXPECT_EQ (std::vector<int> (chunk.begin(), chunk.begin() + 9),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x10, 0x07, 0x26, 0x20 | 9, 0x08, 10 }));
    EXPECT_EQ (chunk.back(), 0xF7);

    auto text = [&] (int k)
    {
        std::string s;
        for (int i = 0; i < 17; ++i)
            s += (char) chunk[(size_t) (9 + 17 * k + i)];
        return s;
    };

    EXPECT_EQ (text (0), slotLabels[1][70].toStdString());
    EXPECT_EQ (text (9), slotLabels[1][79].toStdString());
    EXPECT_EQ (text (1), std::string ("\x07" "Caf?") + std::string (12, ' '));
    EXPECT_EQ (text (2), std::string ("\x07") + std::string (16, 'x'));

    for (size_t i = 1; i < chunk.size() - 1; ++i)
        ASSERT_LT (chunk[i], 0x80) << "byte " << i;

    // whatever the product, the code is the Z9-M's
    EXPECT_EQ (bytesOf (makeLabelChunk (1, 1))[4], 0x07);
}

TEST_F (SurfaceProtocolTest, ShortMessagesAndPacketCounts)
{
    EXPECT_EQ (bytesOf (makeSlotSelectMessage (0x20 | 4)), (std::vector<int> { 0xEC, 0x22, 0x24 }));
    EXPECT_EQ (bytesOf (makeSlotStateMessage (0x41)), (std::vector<int> { 0xEC, 0x23, 0x41 }));
    EXPECT_EQ (bytesOf (makeGreetingMessage()), (std::vector<int> { 0xEC, 0x2A, 0x00 }));
    EXPECT_EQ (bytesOf (makeFillerMessage()), (std::vector<int> { 0xEF, 0x7F, 0x7F }));

    EXPECT_EQ (packetCount (makeFingerprintMessage (2055, 0x21)), 6);
    EXPECT_EQ (packetCount (makeSlotImageChunk (2055, 1, 1)), 78);
    EXPECT_EQ (packetCount (makeLabelChunk (1, 1)), 60);
    EXPECT_EQ (packetCount (makeFillerMessage()), 1);
}

TEST_F (SurfaceProtocolTest, PacingPausesEverySecondStepFromWindows10On)
{
    // A pause runs the message loop: a posted callback tells whether one happened.
    auto pausedDuring = [] (auto&& step)
    {
        auto ran = std::make_shared<bool> (false);
        juce::MessageManager::callAsync ([ran] { *ran = true; });
        step();
        auto result = *ran;
        z9test::drainMessageLoop();   // drain what is left
        return result;
    };

    windowsVersionIndex = 7;
    int counter = 0;
    EXPECT_FALSE (pausedDuring ([&] { pacePacket (counter); }));
    EXPECT_EQ (counter, 1);
    EXPECT_TRUE (pausedDuring ([&] { pacePacket (counter); }));
    EXPECT_EQ (counter, 0);
    EXPECT_FALSE (pausedDuring ([&] { pacePacket (counter); }));
    EXPECT_TRUE (pausedDuring ([&] { pacePackets (counter, 3); }));
    EXPECT_EQ (counter, 0);

    windowsVersionIndex = 6;
    counter = 0;
    EXPECT_FALSE (pausedDuring ([&] { pacePackets (counter, 4); }));
    EXPECT_EQ (counter, 0);
}

TEST_F (SurfaceProtocolTest, RepliesDecodeIntoTheReplyState)
{
    auto& r = deviceReplyState;

    resetDeviceReplyState();
    feed ({ 0x9A, 0x21, 0x7F });   EXPECT_EQ (r.queryReply.load(), 7);
    feed ({ 0x9A, 0x24, 0x01 });   EXPECT_EQ (r.confirmAck.load(), 1);
    feed ({ 0x9A, 0x25, 0x02 });   EXPECT_EQ (r.imageChunkAck.load(), 0);
    feed ({ 0x9A, 0x26, 0x01 });   EXPECT_EQ (r.labelChunkAck.load(), 1);
    EXPECT_EQ (r.replyStatus.load(), DeviceReplyState::none);

    feed ({ 0x9A, 0x2C, 0x01 });
    feed ({ 0x9A, 0x2E, 0x01 });
    EXPECT_EQ (r.replyStatus.load(), DeviceReplyState::none);
    feed ({ 0x9A, 0x30, 0x01 });   EXPECT_EQ (r.replyStatus.load(), 1);
    feed ({ 0xEC, 0x2F, 0x00 });   EXPECT_EQ (r.replyStatus.load(), 0);

    // other statuses and other EC values change nothing
    resetDeviceReplyState();
    feed ({ 0x9B, 0x21, 0x07 });
    feed ({ 0xEC, 0x30, 0x01 });
    feed ({ 0xF8 });
    EXPECT_EQ (r.queryReply.load(), DeviceReplyState::none);
    EXPECT_EQ (r.replyStatus.load(), DeviceReplyState::none);
    EXPECT_FALSE (r.slotSelectPending.load());

    feed ({ 0xEC, 0x22, 0x25 });
    EXPECT_TRUE (r.slotSelectPending.load());
    EXPECT_EQ (r.selectedSlotNumber.load(), 2);

    feed ({ 0xEC, 0x23, 0x65 });   // (0x65 >> 5) = 3 folds onto slot 1, which has a DAW
    EXPECT_TRUE (r.slotStatePending.load());
    EXPECT_EQ (r.reportedSlotNumber.load(), 1);
    EXPECT_TRUE (r.slotHasDaw[0].load());
    feed ({ 0xEC, 0x23, 0x40 });
    EXPECT_EQ (r.reportedSlotNumber.load(), 3);
    EXPECT_FALSE (r.slotHasDaw[2].load());
}

TEST_F (SurfaceProtocolTest, ASlotSelectForAFourthSlotIsDropped)
{
    feed ({ 0xEC, 0x22, 0x61 });
    EXPECT_FALSE (deviceReplyState.slotSelectPending.load());
    EXPECT_EQ (deviceReplyState.selectedSlotNumber.load(), 0);
}

TEST_F (SurfaceProtocolTest, ResetTouchesOnlyTheAcknowledgements)
{
    feed ({ 0xEC, 0x22, 0x40 });
    feed ({ 0x9A, 0x21, 0x03 });
    resetDeviceReplyState();

    EXPECT_EQ (deviceReplyState.queryReply.load(), DeviceReplyState::none);
    EXPECT_EQ (deviceReplyState.confirmAck.load(), DeviceReplyState::none);
    EXPECT_EQ (deviceReplyState.imageChunkAck.load(), DeviceReplyState::none);
    EXPECT_EQ (deviceReplyState.labelChunkAck.load(), DeviceReplyState::none);
    EXPECT_EQ (deviceReplyState.replyStatus.load(), DeviceReplyState::none);
    EXPECT_TRUE (deviceReplyState.slotSelectPending.load());
    EXPECT_EQ (deviceReplyState.selectedSlotNumber.load(), 3);
}

TEST_F (SurfaceProtocolTest, WaitForReplyEndsOnTheReplyOrAfterThirtyPolls)
{
    resetDeviceReplyState();
    auto start = juce::Time::getMillisecondCounterHiRes();
    EXPECT_FALSE (waitForReply (deviceReplyState.imageChunkAck));
    auto waited = juce::Time::getMillisecondCounterHiRes() - start;
    EXPECT_GE (waited, 25.0);
    EXPECT_LT (waited, 1000.0);

    // a reply stored by another thread while the wait polls ends it: the
    // wait's first dispatch starts that thread and lets it finish, so the
    // reply is there for the next poll however late the thread gets to run
    resetDeviceReplyState();
    bool fedDuringTheWait = false;
    juce::MessageManager::callAsync ([&fedDuringTheWait]
    {
        std::thread midiThread ([] { feed ({ 0x9A, 0x25, 0x01 }); });
        midiThread.join();
        fedDuringTheWait = true;
    });
    EXPECT_TRUE (waitForReply (deviceReplyState.imageChunkAck));
    EXPECT_TRUE (fedDuringTheWait);
    EXPECT_EQ (deviceReplyState.imageChunkAck.load(), 1);

    // a lone status report ends it too
    resetDeviceReplyState();
    feed ({ 0x9A, 0x30, 0x01 });
    EXPECT_TRUE (waitForReply (deviceReplyState.queryReply));
    EXPECT_EQ (deviceReplyState.queryReply.load(), DeviceReplyState::none);
}
