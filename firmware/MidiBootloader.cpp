#include "firmware/MidiBootloader.h"
#include "core/sync/ProcessState.h"
#include "core/base/RegularFile.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#if JUCE_LINUX
 #include <ctime>
 #include <sys/prctl.h>

namespace juce
{
    // The framework's own step of its message loop (runDispatchLoopUntil):
    // handles one round of what is pending and, asked to return when nothing
    // is, returns false without sleeping. JUCE declares it in its message
    // manager's source rather than in a header.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}
#endif

namespace vorlix
{
namespace MidiBootloader
{

juce::uint8 sumOfBytes (const juce::uint8* data, size_t size) noexcept
{
    unsigned sum = 0;

    for (size_t i = 0; i < size; ++i)
        sum += data[i];

    return (juce::uint8) (sum & 0xff);
}

namespace
{
    void writeHeader (juce::uint8* packet, juce::uint8 command, juce::uint8 parameter) noexcept
    {
        std::fill (packet, packet + 10, (juce::uint8) 0x55);
        packet[10] = 0x1d;
        packet[11] = 0x03;
        packet[12] = 0x00;
        packet[13] = 0x49;
        packet[14] = command;
        packet[15] = parameter;
        packet[16] = 0x00;
    }
}

Packet makeCommandPacket (juce::uint8 command, juce::uint8 parameter) noexcept
{
    Packet packet {};
    writeHeader (packet.data(), command, parameter);
    packet[16] = sumOfBytes (packet.data(), 16);
    return packet;
}

Block makeWriteBlock (const juce::uint8* image, size_t imageSize, size_t position, juce::uint8 counter) noexcept
{
    Block block {};
    writeHeader (block.data(), writeCommand, counter);

    auto* data = block.data() + packetSize;
    const auto available = position < imageSize ? std::min ((size_t) blockDataSize, imageSize - position) : (size_t) 0;

    if (available > 0)
        std::copy (image + position, image + position + available, data);

    std::fill (data + available, data + blockDataSize, blockFillByte);
    block[blockSize - 1] = sumOfBytes (block.data(), blockSize - 1);
    return block;
}

juce::MidiMessage encodeByte (juce::uint8 byte)
{
    const juce::uint8 raw[] = { 0x9f, (juce::uint8) (byte >> 4), (juce::uint8) (byte & 0x0f) };
    return juce::MidiMessage (raw, 3, 0.0);
}

juce::MidiMessage makeFiller()
{
    const juce::uint8 raw[] = { 0xef, 0x7f, 0x7f };
    return juce::MidiMessage (raw, 3, 0.0);
}

juce::uint8 getEraseParameter (int productCode) noexcept
{
    // Four of the maker's older units erase with the larger parameter; their
    // codes are the only ones of the table's range 0 to 199 that differ.
    switch (productCode)
    {
        case 41: case 42: case 57: case 58:
            return 0x71;
        default:
            return 0x70;
    }
}

juce::int64 countTransferMessages (juce::int64 imageSize) noexcept
{
    const auto blocks = (imageSize + blockDataSize - 1) / blockDataSize;
    return 3 * (1 + packetSize) + blockSize * blocks;
}

juce::Result readImageFile (const juce::File& file, std::vector<juce::uint8>& image)
{
    image.clear();

    // Only a regular file, checked on its opened handle, and never read
    // beyond the largest image the bootloader takes.
    juce::MemoryBlock bytes;
    const auto status = NsZ9m::RegularFile::read (file, maxImageSize, bytes);

    if (status == NsZ9m::RegularFile::Status::tooLarge)
        return juce::Result::fail ("The firmware file is too large for the unit");

    if (status != NsZ9m::RegularFile::Status::ok)
        return juce::Result::fail ("Cannot read the firmware file " + file.getFullPathName() + ": "
                                   + NsZ9m::RegularFile::describe (status));

    if ((juce::int64) bytes.getSize() < minImageSize)
        return juce::Result::fail ("The firmware file is too small for the unit (" + juce::String ((juce::int64) bytes.getSize()) + " bytes)");

    const auto* data = static_cast<const juce::uint8*> (bytes.getData());
    image.assign (data, data + bytes.getSize());
    return juce::Result::ok();
}

} // namespace MidiBootloader

//==============================================================================
void paceMidiPackets (int& counter, int every, int pauseMs, const std::function<void (int)>& pause)
{
    if (NsZ9m::windowsVersionIndex < 7)
        return;

    if (++counter == every)
    {
        pause (pauseMs);
        counter = 0;
    }
}

//==============================================================================
namespace
{
    juce::int64 nowNs() noexcept
    {
        return (juce::int64) std::chrono::duration_cast<std::chrono::nanoseconds> (
                   std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    constexpr juce::int64 nsPerMs = 1000000;
}

TransferPause::TransferPause (int maxSpinMicroseconds)
    : maxSpinNs (juce::jmax (0, maxSpinMicroseconds) * (juce::int64) 1000)
{
   #if JUCE_LINUX
    // 1 ns: 0 would restore the thread's default of 50 us.
    savedTimerSlack = (unsigned long) ::prctl (PR_GET_TIMERSLACK, 0, 0, 0, 0);
    ::prctl (PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
   #endif
}

TransferPause::~TransferPause()
{
   #if JUCE_LINUX
    if (savedTimerSlack > 0)
        ::prctl (PR_SET_TIMERSLACK, savedTimerSlack, 0, 0, 0);
   #endif
}

void TransferPause::dispatchPending (juce::int64 deadlineNs)
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();

    if (mm == nullptr || mm->hasStopMessageBeenSent())
        return;

    jassert (mm->isThisTheMessageThread()); // only the message thread may run the loop

   #if JUCE_LINUX
    while (juce::dispatchNextMessageOnSystemQueue (true) && nowNs() < deadlineNs)
    {
    }
   #else
    juce::ignoreUnused (deadlineNs);
    mm->runDispatchLoopUntil (0);
   #endif
}

void TransferPause::sleepUntil (juce::int64 deadlineNs)
{
   #if JUCE_LINUX
    const timespec until { (time_t) (deadlineNs / 1000000000), (long) (deadlineNs % 1000000000) };

    // steady_clock is CLOCK_MONOTONIC here; an interrupted sleep goes on to
    // the same deadline.
    while (::clock_nanosleep (CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR)
    {
    }
   #else
    std::this_thread::sleep_until (std::chrono::steady_clock::time_point (std::chrono::nanoseconds (deadlineNs)));
   #endif
}

void TransferPause::operator() (int ms)
{
    const auto start = nowNs();
    const auto deadline = start + juce::jmax (0, ms) * nsPerMs;

    dispatchPending (deadline);

    for (;;)
    {
        const auto now = nowNs();

        if (now >= deadline)
            return;

        // How long before the deadline to stop sleeping: as late as the
        // wakes have come, plus one mean deviation. Watching the clock for
        // longer gains little: on a busy machine a thread that keeps the
        // processor is put aside for a millisecond or more all the more often.
        const auto margin = juce::jlimit ((juce::int64) 0, maxSpinNs, lateNs + lateDeviationNs);

        // Far from the deadline: sleep a millisecond at a time and keep the
        // message loop going in between.

        if (deadline - now > nsPerMs + margin)
        {
            sleepUntil (now + nsPerMs);
            dispatchPending (deadline);
            continue;
        }

        // The last stretch: sleep until the system can be expected to wake
        // the thread at the deadline, then watch the clock.
        const auto target = deadline - margin;

        if (target > now)
        {
            sleepUntil (target);

            // How late this wake came, kept as a running mean and mean
            // deviation (weights 1/8 and 1/4, as a round-trip estimate is).
            const auto late = nowNs() - target;
            const auto error = late - lateNs;
            lateNs += error / 8;
            lateDeviationNs += (std::abs (error) - lateDeviationNs) / 4;
        }

        while (nowNs() < deadline)
        {
        }

        return;
    }
}

//==============================================================================
namespace
{
    using namespace MidiBootloader;

    class Transfer
    {
    public:
        Transfer (NsZ9m::MidiOutputPort& out, AcknowledgementFlags& f, const std::vector<juce::uint8>& img,
                  int code, const MidiTransferHooks& h, const MidiTransferTiming& t)
            : output (out), flags (f), image (img), productCode (code), hooks (h), timing (t)
        {
            if (! hooks.pause)
                hooks.pause = [this] (int ms) { ownPause (ms); };
        }

        juce::Result run()
        {
            const auto imageSize = (juce::int64) image.size();
            const auto total = (double) imageSize + 3.0;

            setProgress (0, total);
            showStatus ("Connecting...");

            // Connect.
            flags.clear();
            sendFiller();
            sendPacket (makeCommandPacket (connectCommand, 0));
            pollCounter = 0;

            // A unit that refuses the connect is never erased, whatever else
            // it said.
            if (waitFor (flags.connect) != Answer::taken)
                return fail ("Could not connect to hardware");

            hooks.pause (0);
            setProgress (1, total);
            showStatus ("Erasing...");

            // Erase. A unit that does not confirm it is still written: some
            // bootloaders erase without a word, and each block is taken or
            // refused on its own.
            flags.erase = false;
            flags.refusal = false;
            sendFiller();
            sendPacket (makeCommandPacket (eraseCommand, getEraseParameter (productCode)));
            pollCounter = 0;

            if (waitFor (flags.erase) != Answer::taken)
                flags.clear();

            hooks.pause (0);
            setProgress (2, total);
            showStatus ("Installing...");

            // The blocks.
            juce::uint8 counter = 0;

            for (size_t position = 0; position < image.size(); position += blockDataSize)
            {
                const auto block = makeWriteBlock (image.data(), image.size(), position, counter++);

                // A refusal that came after the previous block's answer was
                // seen still counts against that block. One left from the
                // erase is forgotten: the erase goes on, answered or not.
                flags.block = false;

                if (flags.refusal.exchange (false) && position > 0)
                    return fail ("Could not write new firmware");

                for (auto byte : block)
                    sendByte (byte);

                if (! waitForBlock())
                    return fail ("Could not write new firmware");

                setProgress ((double) std::min (position + blockDataSize, image.size()), total);
            }

            // ... and against the last block.
            if (flags.refusal.load())
                return fail ("Could not write new firmware");

            hooks.pause (0);
            showStatus ("Resetting...");

            // Reset. Nothing said before it may pass for its answer.
            flags.clear();
            sendFiller();
            sendPacket (makeCommandPacket (resetCommand, 0));
            pollCounter = 0;
            waitFor (flags.reset);

            // The image is in: only a refusal without the acknowledgement
            // tells that the unit did not restart.
            if (! flags.reset.load() && flags.refusal.load())
                return fail ("OK. But reset failed!");

            flags.clear();
            hooks.pause (0);
            return juce::Result::ok();
        }

    private:
        juce::Result fail (const juce::String& text)
        {
            flags.clear();
            return juce::Result::fail (text);
        }

        void setProgress (double done, double total)
        {
            if (hooks.setProgress)
                hooks.setProgress (4.0 / 5.0 + 0.2 * done / total);
        }

        void showStatus (const juce::String& text)
        {
            if (hooks.showStatus)
                hooks.showStatus (text);
        }

        void send (const juce::MidiMessage& message)
        {
            output.sendMessageNow (message);
            paceMidiPackets (pacingCounter, timing.paceEvery, timing.pacePauseMs, hooks.pause);
        }

        void sendByte (juce::uint8 byte)   { send (encodeByte (byte)); }
        void sendFiller()                  { send (makeFiller()); }

        void sendPacket (const Packet& packet)
        {
            for (auto byte : packet)
                sendByte (byte);
        }

        enum class Answer { taken, refused, none };

        /** Polls until the flag or the refusal flag is set, or the poll
            counter reaches its limit. A refusal outweighs the flag: both may
            arrive before one poll, and a refused command was not carried out. */
        Answer waitFor (const std::atomic<bool>& flag)
        {
            while (! flag.load() && ! flags.refusal.load() && pollCounter < timing.pollLimit)
            {
                hooks.pause (timing.pollMs);
                ++pollCounter;
            }

            if (pollCounter >= timing.pollLimit)
                pollCounter = 0;

            // The flag first: a refusal that arrives between the two reads
            // is still seen.
            const auto taken = flag.load();

            if (flags.refusal.load())
                return Answer::refused;

            return taken ? Answer::taken : Answer::none;
        }

        /** A block's two rounds: what is left of the counter, then a full
            wait; true when the unit took the block and did not refuse it. */
        bool waitForBlock()
        {
            const auto first = waitFor (flags.block);

            if (first != Answer::none)
                return first == Answer::taken;

            pollCounter = 0;
            return waitFor (flags.block) == Answer::taken;
        }

        NsZ9m::MidiOutputPort& output;
        AcknowledgementFlags& flags;
        const std::vector<juce::uint8>& image;
        const int productCode;
        TransferPause ownPause;
        MidiTransferHooks hooks;
        const MidiTransferTiming timing;

        int pacingCounter = 0;
        int pollCounter = 0;
    };
}

juce::Result upgradeOverMidi (NsZ9m::MidiOutputPort* output, bool inputOpen, AcknowledgementFlags& flags,
                              const std::vector<juce::uint8>& image, int productCode,
                              const MidiTransferHooks& hooks, const MidiTransferTiming& timing)
{
    if (! inputOpen)
        return juce::Result::fail ("No MIDI input device is open");

    if (output == nullptr)
        return juce::Result::fail ("No MIDI output device is open");

    flags.clear();

    const auto size = (juce::int64) image.size();

    if (size < minImageSize || size > maxImageSize)
        return juce::Result::fail ("Firmware exception!");

    return Transfer (*output, flags, image, productCode, hooks, timing).run();
}

} // namespace vorlix
