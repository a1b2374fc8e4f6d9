// The picture loader with whatever bytes a picture file may hold: the header,
// then, when it is accepted, the decode in both pixel layouts. The pixel cap is
// smaller than the program's so that each input stays quick; the code paths
// are the same.
#include "core/files/PictureReader.h"
#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace NsZ9m;
    constexpr juce::int64 maxPixels = 512 * 512;

    PictureReader::Header header;

    if (PictureReader::readHeader (data, size, maxPixels, header).failed())
        return 0;

    if (header.width <= 0 || header.height <= 0 || (juce::int64) header.width * header.height > maxPixels)
        __builtin_trap();   // the cap was not kept

    for (auto layout : { PictureReader::Layout::bgr, PictureReader::Layout::bgra })
    {
        // Rows padded as the framework pads them, and exactly as large as
        // they must be, so any write beyond them is seen.
        const auto stride = (header.width * PictureReader::bytesPerPixel (layout) + 3) & ~3;
        std::vector<juce::uint8> pixels ((size_t) stride * (size_t) header.height);
        PictureReader::decode (data, size, header, layout, pixels.data(), stride);
    }

    return 0;
}
