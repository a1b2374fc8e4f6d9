#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    Decodes a PNG or JPEG picture held in memory into pixels, safely.

    Pictures come from outside (anyone may replace the program's assets), so
    they are decoded only through the libraries' own checked paths: libpng's
    simplified API and libjpeg-turbo's TurboJPEG API, which report a damaged
    file as an error instead of leaving the decode half done. The header is
    read first and a picture of more than the pixel cap is refused before any
    pixel memory exists; a picture whose pixel data has any error (for a JPEG
    any warning too) is refused as a whole.

    This knows nothing of the framework's images (the GUI layer turns the
    pixels into one, SafeImageDecoder), so that it can be built and fuzzed
    with the core alone. Stateless; any thread.
*/
class PictureReader
{
public:
    enum class Kind { png, jpeg };

    /** What the header says. */
    struct Header
    {
        Kind kind = Kind::png;
        int width = 0;
        int height = 0;
        bool hasAlpha = false;   ///< a PNG with an alpha channel or a transparent colour
    };

    /** The pixels' layout in memory, 8 bits a channel, left to right. */
    enum class Layout
    {
        bgr,    ///< blue, green, red
        bgra    ///< blue, green, red, alpha (not premultiplied; 255 for a picture without alpha)
    };

    /** The most pixels a picture may have (4096 x 4096). */
    static constexpr juce::int64 defaultMaxPixels = (juce::int64) 4096 * 4096;

    /** Reads only the header of the picture in data. Fails for anything but a
        PNG or JPEG, a header that does not read, and a picture of no pixels or
        of more than maxPixels. */
    static juce::Result readHeader (const void* data, size_t numBytes, juce::int64 maxPixels, Header& header);

    /** Decodes the picture whose header readHeader gave into `pixels`:
        header.height rows of header.width pixels in the layout, each row
        lineStride bytes after the one before (at least width x 3 or 4). Fails
        when the data does not decode cleanly; the pixels are then undefined. */
    static juce::Result decode (const void* data, size_t numBytes, const Header& header,
                                Layout layout, juce::uint8* pixels, int lineStride);

    /** The bytes of a pixel in a layout. */
    static constexpr int bytesPerPixel (Layout layout) noexcept   { return layout == Layout::bgra ? 4 : 3; }
};

} // namespace NsZ9m
