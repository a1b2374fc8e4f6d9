// A firmware image file for the MIDI bootloader: any bytes as the file, read
// with its size checks, then cut into write blocks whose sums and wire form
// must hold whatever the image holds.
#include "firmware/MidiBootloader.h"

namespace
{
    juce::File scratchFile()
    {
        static const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                     .getChildFile ("z9fuzz-image-" + juce::String (juce::Time::currentTimeMillis()) + "-"
                                                    + juce::String (juce::Random::getSystemRandom().nextInt()) + ".bin");
        return file;
    }
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    namespace mb = vorlix::MidiBootloader;

    const auto file = scratchFile();
    file.replaceWithData (data, size);

    std::vector<juce::uint8> image;
    const auto read = mb::readImageFile (file, image);

    if (read.wasOk() != ((juce::int64) size >= mb::minImageSize && (juce::int64) size <= mb::maxImageSize))
        __builtin_trap();

    if (read.failed() && ! image.empty())
        __builtin_trap();

    // Too small for the bootloader: the blocks of the bytes as they are.
    if (read.failed())
        image.assign (data, data + size);

    juce::uint8 counter = 0;

    for (size_t position = 0; position < image.size(); position += mb::blockDataSize)
    {
        const auto block = mb::makeWriteBlock (image.data(), image.size(), position, counter++);

        if (block[15] != (juce::uint8) (counter - 1) || block[16] != 0
             || block[mb::blockSize - 1] != mb::sumOfBytes (block.data(), mb::blockSize - 1))
            __builtin_trap();

        const auto taken = std::min ((size_t) mb::blockDataSize, image.size() - position);

        for (size_t i = 0; i < (size_t) mb::blockDataSize; ++i)
        {
            const auto expected = i < taken ? image[position + i] : mb::blockFillByte;
            const auto byte = block[(size_t) mb::packetSize + i];
            const auto wire = mb::encodeByte (byte);

            if (byte != expected || wire.getRawDataSize() != 3 || wire.getRawData()[0] != 0x9f
                 || ((wire.getRawData()[1] << 4) | wire.getRawData()[2]) != byte)
                __builtin_trap();
        }
    }

    if (size >= 2)
    {
        const auto packet = mb::makeCommandPacket (data[0], data[1]);

        if (packet[16] != mb::sumOfBytes (packet.data(), 16))
            __builtin_trap();
    }

    return 0;
}
