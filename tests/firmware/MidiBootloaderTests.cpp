#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/SimulatedBootloaderUnit.h"
#include "tests/support/TempFolder.h"
#include "firmware/MidiBootloader.h"
#include "core/sync/ProcessState.h"
#include <chrono>
#include <sys/stat.h>

using namespace vorlix;
namespace mb = vorlix::MidiBootloader;

namespace
{
    std::vector<juce::uint8> bytesOf (const juce::MidiMessage& m)
    {
        return { m.getRawData(), m.getRawData() + m.getRawDataSize() };
    }

    std::vector<juce::uint8> makeImage (size_t size, int seed = 7)
    {
        juce::Random random (seed);
        std::vector<juce::uint8> image (size);

        for (auto& b : image)
            b = (juce::uint8) random.nextInt (256);

        return image;
    }

    /** The program's end of the unit's ports: its output, and its input
        recording the answers into the flags on the ports' own thread. */
    struct ProgramSide final : juce::MidiInputCallback
    {
        ProgramSide (z9test::InMemoryMidiPorts& ports, const juce::String& name)
        {
            output = ports.openOutput (ports.getOutputNames().indexOf (name));
            input = ports.openInput (ports.getInputNames().indexOf (name), this);

            if (input != nullptr)
                input->start();
        }

        ~ProgramSide() override
        {
            if (input != nullptr)
                input->stop();
        }

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override   { flags.record (m); }

        AcknowledgementFlags flags;
        std::unique_ptr<NsZ9m::MidiOutputPort> output;
        std::unique_ptr<NsZ9m::MidiInputPort> input;
    };

    /** A transfer's hooks that record everything; pauses only handle what
        the message loop has pending, so no wait of the transfer takes real
        time. */
    struct Recorder
    {
        std::vector<int> pauses;
        std::vector<double> progress;
        juce::StringArray statuses;

        MidiTransferHooks hooks()
        {
            MidiTransferHooks h;
            h.setProgress = [this] (double p) { progress.push_back (p); };
            h.showStatus = [this] (const juce::String& s) { statuses.add (s); };
            h.pause = [this, pass = std::make_shared<TransferPause>()] (int ms)
            {
                pauses.push_back (ms);
                (*pass) (0);
            };
            return h;
        }

        int count (int ms) const   { return (int) std::count (pauses.begin(), pauses.end(), ms); }
    };
}

class MidiBootloaderTest : public z9test::FirmwareFixture
{
protected:
    void SetUp() override
    {
        FirmwareFixture::SetUp();
        NsZ9m::windowsVersionIndex = 7;   // Windows 10, as the wizard's launch finds it
    }

    juce::Result transfer (const std::vector<juce::uint8>& image, MidiTransferTiming timing = {})
    {
        ProgramSide side (ports, unit.portName);
        return upgradeOverMidi (side.output.get(), side.input != nullptr, side.flags, image,
                                z9test::midiBootloaderProduct, recorder.hooks(), timing);
    }

    z9test::SimulatedBootloaderUnit unit { ports };
    Recorder recorder;
};

//==============================================================================
TEST (MidiBootloaderPackets, CommandPacketsCarryTheirSums)
{
    const mb::Packet connect { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55,
                               0x1d, 0x03, 0x00, 0x49, 0x7f, 0x00, 0x3a };
    EXPECT_EQ (mb::makeCommandPacket (mb::connectCommand, 0), connect);

    EXPECT_EQ (mb::makeCommandPacket (mb::resetCommand, 0)[16], 0xbd);
    EXPECT_EQ (mb::makeCommandPacket (mb::eraseCommand, 0x70)[16], 0x2b);
    EXPECT_EQ (mb::makeCommandPacket (mb::eraseCommand, 0x71)[16], 0x2c);

    EXPECT_EQ (bytesOf (mb::encodeByte (0x55)), (std::vector<juce::uint8> { 0x9f, 0x05, 0x05 }));
    EXPECT_EQ (bytesOf (mb::encodeByte (0x3a)), (std::vector<juce::uint8> { 0x9f, 0x03, 0x0a }));
    EXPECT_EQ (bytesOf (mb::makeFiller()), (std::vector<juce::uint8> { 0xef, 0x7f, 0x7f }));

    EXPECT_EQ (mb::getEraseParameter (z9test::midiBootloaderProduct), 0x70);
    EXPECT_EQ (mb::getEraseParameter (2055), 0x70);
    EXPECT_EQ (mb::getEraseParameter (-1), 0x70);

    EXPECT_EQ (mb::countTransferMessages (1024), 18 + 18 + 530 * 2 + 18);
}

TEST (MidiBootloaderPackets, BlocksCarryCounterDataAndSum)
{
    const auto image = makeImage (1024 + 100);

    const auto first = mb::makeWriteBlock (image.data(), image.size(), 0, 0);
    const auto third = mb::makeWriteBlock (image.data(), image.size(), 1024, 2);

    for (auto* block : { &first, &third })
    {
        EXPECT_TRUE (std::all_of (block->begin(), block->begin() + 10, [] (auto b) { return b == 0x55; }));
        EXPECT_EQ ((*block)[10], 0x1d);
        EXPECT_EQ ((*block)[13], 0x49);
        EXPECT_EQ ((*block)[14], 0x01);
        EXPECT_EQ ((*block)[16], 0x00);   // no check byte in a write header

        unsigned sum = 0;
        for (int i = 0; i < 529; ++i)
            sum += (*block)[(size_t) i];

        EXPECT_EQ ((*block)[529], sum % 256);
    }

    EXPECT_EQ (first[15], 0);
    EXPECT_EQ (third[15], 2);
    EXPECT_TRUE (std::equal (image.begin(), image.begin() + 512, first.begin() + 17));

    // The last, partial block: the image's 100 bytes, then erased-flash fill.
    EXPECT_TRUE (std::equal (image.begin() + 1024, image.end(), third.begin() + 17));
    EXPECT_TRUE (std::all_of (third.begin() + 117, third.begin() + 529, [] (auto b) { return b == mb::blockFillByte; }));

    // A hand-made block of zeros: the header's sum alone, 0x55 x 10 + 1D 03 00 49 01 counter.
    const std::vector<juce::uint8> zeros (512, 0);
    EXPECT_EQ (mb::makeWriteBlock (zeros.data(), zeros.size(), 0, 5)[529], (0x55 * 10 + 0x1d + 0x03 + 0x49 + 0x01 + 5) % 256);
}

//==============================================================================
TEST_F (MidiBootloaderTest, SmallImageIsWrittenWholeAgainstTheUnit)
{
    const auto image = makeImage (1300);

    ASSERT_TRUE (transfer (image).wasOk());

    EXPECT_EQ (unit.getConversation(),
               juce::StringArray ({ "filler", "connect", "filler", "erase 0x70", "block 0", "block 1", "block 2",
                                    "filler", "reset" }));
    EXPECT_EQ (unit.getNumMessagesReceived(), mb::countTransferMessages (1300));

    auto expectedFlash = image;
    expectedFlash.resize (1536, mb::blockFillByte);
    EXPECT_EQ (unit.getFlash(), expectedFlash);

    EXPECT_EQ (recorder.statuses, juce::StringArray ({ "Connecting...", "Erasing...", "Installing...", "Resetting..." }));
    ASSERT_EQ (recorder.progress.size(), 6u);
    EXPECT_DOUBLE_EQ (recorder.progress.front(), 0.8);
    EXPECT_DOUBLE_EQ (recorder.progress[2], 0.8 + 0.2 * 2 / 1303.0);
    EXPECT_DOUBLE_EQ (recorder.progress.back(), 0.8 + 0.2 * 1300 / 1303.0);
    EXPECT_TRUE (std::is_sorted (recorder.progress.begin(), recorder.progress.end()));

    // Every answer came before the program looked: no poll was needed.
    EXPECT_EQ (recorder.count (33), 0);
}

TEST_F (MidiBootloaderTest, EveryOtherMessageIsPacedOnWindows10Only)
{
    const auto image = makeImage (1024);
    const auto messages = (int) mb::countTransferMessages (1024);

    ASSERT_TRUE (transfer (image).wasOk());
    EXPECT_EQ (recorder.count (1), messages / 2);

    recorder = {};
    NsZ9m::windowsVersionIndex = 6;   // Windows 8.1
    ASSERT_TRUE (transfer (image).wasOk());
    EXPECT_EQ (recorder.count (1), 0);
}

TEST_F (MidiBootloaderTest, WaitsUseTheBootloadersPollsAndLimits)
{
    const MidiTransferTiming real;
    EXPECT_EQ (real.paceEvery, 2);
    EXPECT_EQ (real.pacePauseMs, 1);
    EXPECT_EQ (real.pollMs, 33);
    EXPECT_EQ (real.pollLimit, 150);

    // Silence to the connect: 150 polls of 33 ms, then the failure.
    unit.silent = true;
    EXPECT_EQ (transfer (makeImage (512)).getErrorMessage(), "Could not connect to hardware");
    EXPECT_EQ (recorder.count (33), 150);
    EXPECT_EQ (unit.getConversation(), juce::StringArray ({ "filler", "connect" }));

    // A block never taken: two rounds of 150 polls.
    recorder = {};
    unit.silent = false;
    unit.silentTo = { mb::writeCommand };
    EXPECT_EQ (transfer (makeImage (512)).getErrorMessage(), "Could not write new firmware");
    EXPECT_EQ (recorder.count (33), 300);

    // A reset that is never answered counts as done, after 150 polls.
    recorder = {};
    unit.silentTo = { mb::resetCommand };
    EXPECT_TRUE (transfer (makeImage (512)).wasOk());
    EXPECT_EQ (recorder.count (33), 150);
}

TEST_F (MidiBootloaderTest, EachFailureHasItsText)
{
    ProgramSide side (ports, unit.portName);
    const auto hooks = recorder.hooks();
    const auto image = makeImage (512);

    EXPECT_EQ (upgradeOverMidi (side.output.get(), false, side.flags, image, 2017, hooks).getErrorMessage(),
               "No MIDI input device is open");
    EXPECT_EQ (upgradeOverMidi (nullptr, true, side.flags, image, 2017, hooks).getErrorMessage(),
               "No MIDI output device is open");

    for (size_t size : { (size_t) 0, (size_t) 511, (size_t) 2097152 })
        EXPECT_EQ (upgradeOverMidi (side.output.get(), true, side.flags, std::vector<juce::uint8> (size), 2017, hooks).getErrorMessage(),
                   "Firmware exception!") << size;

    EXPECT_EQ (unit.getNumMessagesReceived(), 0);   // nothing was sent
}

TEST_F (MidiBootloaderTest, RefusalsAndBadSumsEndTheTransfer)
{
    struct Case { const char* what; std::function<void (z9test::SimulatedBootloaderUnit&)> set; const char* text; };

    const Case cases[] = {
        { "refused connect",   [] (auto& u) { u.refuse = { mb::connectCommand }; }, "Could not connect to hardware" },
        { "refused block",     [] (auto& u) { u.refuse = { mb::writeCommand }; },   "Could not write new firmware" },
        { "bad sum at block 1",[] (auto& u) { u.badSumAtBlock = 1; },               "Could not write new firmware" },
        { "refused reset",     [] (auto& u) { u.refuse = { mb::resetCommand }; },   "OK. But reset failed!" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        z9test::SimulatedBootloaderUnit other (ports, "Vorlix firmware upgrade (Pad16 #2)");
        c.set (other);

        ProgramSide side (ports, other.portName);
        recorder = {};
        const auto result = upgradeOverMidi (side.output.get(), true, side.flags, makeImage (1536), 2017, recorder.hooks());

        EXPECT_EQ (result.getErrorMessage(), c.text);
        EXPECT_FALSE (other.sawUnexpected());
        EXPECT_EQ (recorder.count (33), 0);   // a refusal ends its wait at once
        EXPECT_FALSE (side.flags.refusal.load());   // nothing is left for the next transfer
    }
}

TEST_F (MidiBootloaderTest, ARefusalOutweighsTheAcknowledgementThatCameWithIt)
{
    // The unit acknowledges and refuses the command in one breath: both flags
    // are set before the transfer looks.
    struct Case { int command; const char* text; juce::StringArray conversation; };

    const auto wholeTransfer = juce::StringArray ({ "filler", "connect", "filler", "erase 0x70", "block 0", "block 1",
                                                    "block 2", "filler", "reset" });
    const Case cases[] = {
        { mb::connectCommand, "Could not connect to hardware", { "filler", "connect" } },
        { mb::writeCommand,   "Could not write new firmware",  { "filler", "connect", "filler", "erase 0x70", "block 0" } },
        { mb::eraseCommand,   "",                              wholeTransfer },   // a refused erase is carried on
        { mb::resetCommand,   "",                              wholeTransfer },   // the unit acknowledged its restart
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String::toHexString (c.command).toStdString());
        z9test::SimulatedBootloaderUnit other (ports, "Vorlix firmware upgrade (Pad16 #2)");
        other.answerBoth = { c.command };

        ProgramSide side (ports, other.portName);
        recorder = {};
        const auto image = makeImage (1536);
        const auto result = upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, recorder.hooks());

        EXPECT_EQ (result.getErrorMessage(), c.text);
        EXPECT_EQ (other.getConversation().joinIntoString (", "), c.conversation.joinIntoString (", "));   // nothing after a failure
        EXPECT_FALSE (other.sawUnexpected());
        EXPECT_EQ (recorder.count (33), 0);
        EXPECT_FALSE (side.flags.refusal.load());

        if (c.command == mb::writeCommand)
            EXPECT_EQ (other.getNumMessagesReceived(), 18 + 18 + mb::blockSize);
    }
}

TEST_F (MidiBootloaderTest, LateAnswersAndAMissingEraseAnswerStillSucceed)
{
    unit.answerDelayMs = 20;
    unit.silentTo = { mb::eraseCommand };

    ProgramSide side (ports, unit.portName);
    MidiTransferHooks hooks;   // the real pause, with the message loop running
    MidiTransferTiming timing;
    timing.pollMs = 5;

    const auto image = makeImage (1024);
    ASSERT_TRUE (upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, hooks, timing).wasOk());
    EXPECT_EQ (unit.getConversation(),
               juce::StringArray ({ "filler", "connect", "filler", "erase 0x70", "block 0", "block 1", "filler", "reset" }));
    EXPECT_EQ (unit.getFlash(), image);

    // An answer later than the whole wait is no answer.
    unit.answerDelayMs = 500;
    timing.pollMs = 1;
    timing.pollLimit = 20;
    EXPECT_EQ (upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, hooks, timing).getErrorMessage(),
               "Could not connect to hardware");
}

//==============================================================================
namespace
{
    double elapsedMsSince (std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
    }
}

// Only lower bounds: a busy machine makes the pauses longer, never shorter.
TEST_F (MidiBootloaderTest, TheTransfersPauseIsNeverShorterThanAskedAndRunsTheMessageLoop)
{
    for (int maxSpin : { 0, TransferPause::defaultMaxSpinMicroseconds })
    {
        SCOPED_TRACE (maxSpin);
        TransferPause pause (maxSpin);

        for (int ms : { 0, 1, 1, 1, 2, 5, 33 })
        {
            // Posted before the pause: it is handled inside it.
            bool handled = false;
            juce::MessageManager::callAsync ([&handled] { handled = true; });

            const auto start = std::chrono::steady_clock::now();
            pause (ms);
            const auto elapsed = elapsedMsSince (start);

            EXPECT_GE (elapsed, (double) ms) << ms;
            EXPECT_TRUE (handled) << ms;
        }

        // A whole run of pacing pauses, one after another.
        for (int i = 0; i < 200; ++i)
        {
            const auto start = std::chrono::steady_clock::now();
            pause (1);
            ASSERT_GE (elapsedMsSince (start), 1.0) << i;
        }
    }
}

TEST_F (MidiBootloaderTest, EveryPauseOfAPacedTransferLastsItsTime)
{
    // Each of the transfer's pauses, timed around the transfer's own kind of
    // pause.
    TransferPause pause;
    std::vector<std::pair<int, double>> shortPauses;
    int pauses = 0;

    ProgramSide side (ports, unit.portName);
    MidiTransferHooks hooks;
    hooks.pause = [&] (int ms)
    {
        const auto start = std::chrono::steady_clock::now();
        pause (ms);
        const auto elapsed = elapsedMsSince (start);
        ++pauses;

        if (elapsed < (double) ms)
            shortPauses.emplace_back (ms, elapsed);
    };

    const auto image = makeImage (1024);
    ASSERT_TRUE (upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, hooks).wasOk());
    EXPECT_EQ (unit.getFlash(), image);
    EXPECT_GE (pauses, (int) mb::countTransferMessages (1024) / 2);
    EXPECT_TRUE (shortPauses.empty()) << shortPauses.size() << " pauses were short, the first "
                                      << shortPauses.front().second << " ms of " << shortPauses.front().first;

    // Without a pause of its own, the transfer paces with its own pause: it
    // lasts at least its floor of 1 ms for every second message.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE (upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, {}).wasOk());
    EXPECT_GE (elapsedMsSince (start), (double) (mb::countTransferMessages (1024) / 2));
}

//==============================================================================
class FirmwareImageFileTest : public ::testing::Test
{
protected:
    juce::File write (const juce::String& name, size_t size)
    {
        auto file = folder / name;
        const auto bytes = makeImage (size);
        file.replaceWithData (bytes.data(), bytes.size());
        return file;
    }

    z9test::TempFolder folder;
};

TEST_F (FirmwareImageFileTest, OnlyRegularFilesOfTheBootloadersSizesAreRead)
{
    std::vector<juce::uint8> image { 1, 2, 3 };

    auto good = write ("pad16_102.bin", 1300);
    ASSERT_TRUE (mb::readImageFile (good, image).wasOk());
    EXPECT_EQ (image, makeImage (1300));

    for (size_t size : { (size_t) 0, (size_t) 511, (size_t) 2097152 })
    {
        EXPECT_FALSE (mb::readImageFile (write ("size.bin", size), image).wasOk()) << size;
        EXPECT_TRUE (image.empty());
    }

    EXPECT_FALSE (mb::readImageFile (folder / "missing.bin", image).wasOk());
    EXPECT_FALSE (mb::readImageFile (folder.get(), image).wasOk());

    // A FIFO is refused at once, without waiting for a writer.
    const auto fifo = folder / "fifo.bin";
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    EXPECT_FALSE (mb::readImageFile (fifo, image).wasOk());
}
