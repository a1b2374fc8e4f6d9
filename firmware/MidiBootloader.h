#pragma once

#include "firmware/AcknowledgementFlags.h"
#include "core/link/MidiPortSystem.h"
#include <array>
#include <functional>
#include <vector>

namespace vorlix
{

/*  The MIDI bootloader of the maker's units that are not written through the
    bootloader tool.

    Once such a unit runs its bootloader it takes four commands, each a
    17-byte packet (ten 0x55, 1D 03 00 49, the command, its parameter and the
    sum of the 16 bytes before), and the image in write blocks of 530 bytes
    (a write packet carrying the block counter, 512 image bytes and the sum of
    the 529 bytes before). Every byte travels as a Note-On on channel 16
    whose note is its high and whose velocity its low four bits; the unit
    answers each command with a Note-On on channel 16 whose note is the
    command (AcknowledgementFlags), or refuses it with velocity 127.

    The builders below are pure functions (any thread); the transfer runs on
    the message thread.
*/
namespace MidiBootloader
{
    constexpr int packetSize = 17;
    constexpr int blockDataSize = 512;
    constexpr int blockSize = packetSize + blockDataSize + 1;

    /** The sizes of image the bootloader takes: at least one whole block,
        less than 2 MiB. */
    constexpr juce::int64 minImageSize = 512;
    constexpr juce::int64 maxImageSize = 2097152 - 1;

    /** What fills the last block behind an image whose size is not a whole
        number of blocks: the value of erased flash, so the unit's memory
        behind the image stays as the erase left it. */
    constexpr juce::uint8 blockFillByte = 0xff;

    enum Command : juce::uint8
    {
        connectCommand = 0x7f,
        eraseCommand   = 0x00,
        writeCommand   = 0x01,
        resetCommand   = 0x02
    };

    using Packet = std::array<juce::uint8, packetSize>;
    using Block = std::array<juce::uint8, blockSize>;

    /** The sum of the bytes modulo 256. */
    juce::uint8 sumOfBytes (const juce::uint8* data, size_t size) noexcept;

    /** A command packet: byte 14 the command, byte 15 its parameter, byte 16
        the sum of bytes 0 to 15. */
    Packet makeCommandPacket (juce::uint8 command, juce::uint8 parameter) noexcept;

    /** The write block that carries image bytes from position on (position
        below imageSize): the write packet with the block counter and a check
        byte of 0, the 512 bytes (filled with blockFillByte past the image's
        end), and the sum of bytes 0 to 528. */
    Block makeWriteBlock (const juce::uint8* image, size_t imageSize, size_t position, juce::uint8 counter) noexcept;

    /** One byte on the wire: 9F, its high four bits, its low four bits. */
    juce::MidiMessage encodeByte (juce::uint8 byte);

    /** The pitch bend EF 7F 7F sent before the connect, erase and reset packets. */
    juce::MidiMessage makeFiller();

    /** The erase command's parameter for a unit's product code: 0x71 for four
        of the maker's units, 0x70 for every other code (all Z9 codes too). */
    juce::uint8 getEraseParameter (int productCode) noexcept;

    /** The messages a whole transfer of an image sends: three fillers, three
        17-byte commands and 530 per block. */
    juce::int64 countTransferMessages (juce::int64 imageSize) noexcept;

    /** Reads a firmware image from a file for the transfer. Only a regular
        file is read, and only when its size (checked before anything is
        read) lies within minImageSize to maxImageSize; it must then read
        whole. On failure the image is left empty and the result says why. */
    juce::Result readImageFile (const juce::File& file, std::vector<juce::uint8>& image);
}

//==============================================================================
/**
    The waits of a transfer. The defaults are the bootloader's own; tests
    give shorter polls so that a unit that stays silent fails within a
    moment.
*/
struct MidiTransferTiming
{
    int paceEvery = 2;        ///< a pacing pause after every this many messages (Windows 10 and later)
    int pacePauseMs = 1;
    int pollMs = 33;          ///< one poll of an acknowledgement wait
    int pollLimit = 150;      ///< polls of one wait (of each of a block's two rounds)
};

/**
    The transfer's own pause: never shorter than asked, with the message loop
    running, and ending as soon after its deadline as the system wakes the
    thread.

    The pacing asks for a 1 ms pause after every second message, tens of
    thousands of times in one transfer, so what a pause adds beyond its time
    adds up. The framework's loop (waitWhileDispatching) counts whole
    milliseconds of the wall clock and sleeps 1 ms at a time: it may end
    early when it had something to dispatch, and ends late by the sleep's
    overshoot (the thread's timer slack of 50 us, and the time the system
    takes to wake it) when it had not. This one measures its deadline on the
    monotonic clock, handles what the message loop has pending (timers,
    repaints, input; at least once a millisecond in a longer pause), sleeps
    towards the deadline with the thread's timer slack lowered to 1 ns, and
    watches the clock for the last stretch, as long as the system took to
    wake this object's earlier sleeps (their mean lateness plus its mean
    deviation), at most maxSpinMicroseconds. With 0 it only sleeps. It never
    shortens a pause to make up for an earlier one that ended late.

    Once the application has begun to quit, the message loop is no longer
    run (as in the framework's own loop), but the pause still lasts its time.

    Make one for a transfer and call it on the message thread; its lifetime
    is the span for which the thread's timer slack stays lowered.
*/
class TransferPause
{
public:
    static constexpr int defaultMaxSpinMicroseconds = 100;

    explicit TransferPause (int maxSpinMicroseconds = defaultMaxSpinMicroseconds);
    ~TransferPause();

    /** Pauses at least ms milliseconds (0 or less: handles what is pending
        and returns). */
    void operator() (int ms);

private:
    void dispatchPending (juce::int64 deadlineNs);
    void sleepUntil (juce::int64 deadlineNs);

    const juce::int64 maxSpinNs;
    juce::int64 lateNs = 0, lateDeviationNs = 0;   // how late the sleeps woke: running mean and deviation
    unsigned long savedTimerSlack = 0;

    JUCE_DECLARE_NON_COPYABLE (TransferPause)
};

/**
    What the transfer reports and how it pauses. The wizard shows the
    progress (0 to 1) and the status text; pause waits at least ms
    milliseconds with the message loop running (a TransferPause of the
    transfer's own unless a test gives another). Each is called on the
    message thread.
*/
struct MidiTransferHooks
{
    std::function<void (double)> setProgress;
    std::function<void (const juce::String&)> showStatus;
    std::function<void (int)> pause;
};

/** Counts one sent message and, on Windows 10 and later (windowsVersionIndex
    7 or higher), pauses pauseMs after every `every` of them. */
void paceMidiPackets (int& counter, int every, int pauseMs, const std::function<void (int)>& pause);

/**
    Writes a firmware image through a unit's MIDI bootloader: connect, erase,
    the blocks, reset, each waited for on the acknowledgement flags that the
    unit's input fills.

    output is the unit's open output (nullptr: none); inputOpen tells whether
    its input, which records the answers into flags, is open. productCode
    chooses the erase parameter. Returns success, or one of the failure texts
    "No MIDI input device is open", "No MIDI output device is open",
    "Firmware exception!" (an image outside the bootloader's sizes),
    "Could not connect to hardware", "Could not write new firmware" (a block
    refused, or not taken within its waits) and
    "OK. But reset failed!" (the image is in, the unit refused its restart).

    Each acknowledgement flag is cleared before the message it answers is
    sent, so an answer that comes at once is never lost, and every flag is
    cleared before the reset, so nothing left from before can pass for the
    unit's answer. A refused connect or block fails the transfer at once,
    even when an acknowledgement came with the refusal. An erase without
    acknowledgement, or refused, is carried on (each block is then taken or
    refused on its own), and a reset fails only when refused and not
    acknowledged.

    Message thread only; it pauses only through hooks.pause.
*/
juce::Result upgradeOverMidi (NsZ9m::MidiOutputPort* output, bool inputOpen, AcknowledgementFlags& flags,
                              const std::vector<juce::uint8>& image, int productCode,
                              const MidiTransferHooks& hooks, const MidiTransferTiming& timing = {});

} // namespace vorlix
