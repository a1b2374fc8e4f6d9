#include "firmware/MidiBootloader.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Opened without blocking (a FIFO would otherwise wait for a writer) and
    // checked on the opened handle, so what is read is what was checked.
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);

    if (fd < 0)
        return juce::Result::fail ("Cannot open the firmware file " + file.getFullPathName());

    struct Closer { int fd; ~Closer() { ::close (fd); } } closer { fd };
    struct stat info {};

    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
        return juce::Result::fail ("Not a firmware file: " + file.getFullPathName());

    const auto size = (juce::int64) info.st_size;

    if (size < minImageSize || size > maxImageSize)
        return juce::Result::fail ("The firmware file has a wrong size (" + juce::String (size) + " bytes)");

    std::vector<juce::uint8> bytes ((size_t) size);
    size_t done = 0;

    while (done < bytes.size())
    {
        const auto n = ::read (fd, bytes.data() + done, bytes.size() - done);

        if (n < 0 && errno == EINTR)
            continue;

        if (n <= 0)
            break;

        done += (size_t) n;
    }

    // A file that shrank or grew while it was read is not the file checked.
    juce::uint8 extra = 0;

    if (done != bytes.size() || ::read (fd, &extra, 1) != 0)
        return juce::Result::fail ("The firmware file changed while it was read");

    image = std::move (bytes);
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
                hooks.pause = [] (int ms) { NsZ9m::waitWhileDispatching (ms); };
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

            if (! waitFor (flags.connect, true))
                return fail ("Could not connect to hardware");

            hooks.pause (0);
            setProgress (1, total);
            showStatus ("Erasing...");

            // Erase. A unit that does not confirm it is still written: some
            // bootloaders erase without a word.
            flags.erase = false;
            flags.refusal = false;
            sendFiller();
            sendPacket (makeCommandPacket (eraseCommand, getEraseParameter (productCode)));
            pollCounter = 0;

            if (! waitFor (flags.erase, true))
                flags.clear();

            hooks.pause (0);
            setProgress (2, total);
            showStatus ("Installing...");

            // The blocks.
            juce::uint8 counter = 0;

            for (size_t position = 0; position < image.size(); position += blockDataSize)
            {
                const auto block = makeWriteBlock (image.data(), image.size(), position, counter++);

                flags.block = false;
                flags.refusal = false;

                for (auto byte : block)
                    sendByte (byte);

                if (! waitForBlock())
                    return fail ("Could not write new firmware");

                setProgress ((double) std::min (position + blockDataSize, image.size()), total);
            }

            hooks.pause (0);
            showStatus ("Resetting...");

            // Reset. Nothing said before it may pass for its answer.
            flags.clear();
            sendFiller();
            sendPacket (makeCommandPacket (resetCommand, 0));
            pollCounter = 0;
            waitFor (flags.reset, true);

            if (! flags.reset && flags.refusal)
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

        bool answered (const std::atomic<bool>& flag, bool endOnRefusal) const
        {
            return flag.load() || (endOnRefusal && flags.refusal.load());
        }

        /** Polls until the flag (or a refusal) is set or the poll counter
            reaches its limit; true when the flag is set. */
        bool waitFor (const std::atomic<bool>& flag, bool endOnRefusal)
        {
            while (! answered (flag, endOnRefusal) && pollCounter < timing.pollLimit)
            {
                hooks.pause (timing.pollMs);
                ++pollCounter;
            }

            if (pollCounter >= timing.pollLimit)
                pollCounter = 0;

            return flag.load();
        }

        /** A block's two rounds: what is left of the counter, then a full
            wait; true when the unit took the block. */
        bool waitForBlock()
        {
            if (waitFor (flags.block, true))
                return true;

            if (! flags.refusal.load())
            {
                pollCounter = 0;

                if (waitFor (flags.block, true))
                    return true;
            }

            return false;
        }

        NsZ9m::MidiOutputPort& output;
        AcknowledgementFlags& flags;
        const std::vector<juce::uint8>& image;
        const int productCode;
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
