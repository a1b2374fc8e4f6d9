#include "core/files/PictureReader.h"
#include <png.h>
#include <turbojpeg.h>

namespace NsZ9m
{

namespace
{
    bool startsWith (const void* data, size_t numBytes, std::initializer_list<juce::uint8> magic)
    {
        return numBytes >= magic.size() && std::equal (magic.begin(), magic.end(), static_cast<const juce::uint8*> (data));
    }

    bool isPng (const void* data, size_t numBytes)
    {
        return startsWith (data, numBytes, { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a });
    }

    bool isJpeg (const void* data, size_t numBytes)
    {
        return startsWith (data, numBytes, { 0xff, 0xd8, 0xff });
    }

    juce::Result checkSize (juce::int64 width, juce::int64 height, juce::int64 maxPixels)
    {
        if (width <= 0 || height <= 0)
            return juce::Result::fail ("The picture has no pixels");

        // Both at most 2^31 - 1, so the product cannot overflow.
        if (width * height > maxPixels)
            return juce::Result::fail ("The picture is larger than " + juce::String (maxPixels) + " pixels");

        return juce::Result::ok();
    }

    //==============================================================================
    /** libpng's simplified reader, freed on every path. */
    struct PngImage
    {
        PngImage()    { image.version = PNG_IMAGE_VERSION; }
        ~PngImage()   { png_image_free (&image); }

        juce::Result begin (const void* data, size_t numBytes)
        {
            if (png_image_begin_read_from_memory (&image, data, numBytes) == 0)
                return failure ("The PNG header does not read");

            return juce::Result::ok();
        }

        juce::Result failure (const char* what) const
        {
            return juce::Result::fail (juce::String (what) + ": " + juce::String (image.message));
        }

        png_image image {};

        JUCE_DECLARE_NON_COPYABLE (PngImage)
    };

    juce::Result readPngHeader (const void* data, size_t numBytes, juce::int64 maxPixels, PictureReader::Header& header)
    {
        PngImage png;

        if (auto begun = png.begin (data, numBytes); begun.failed())
            return begun;

        if (auto size = checkSize (png.image.width, png.image.height, maxPixels); size.failed())
            return size;

        header.kind = PictureReader::Kind::png;
        header.width = (int) png.image.width;
        header.height = (int) png.image.height;
        header.hasAlpha = (png.image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
        return juce::Result::ok();
    }

    juce::Result decodePng (const void* data, size_t numBytes, const PictureReader::Header& header,
                            PictureReader::Layout layout, juce::uint8* pixels, int lineStride)
    {
        PngImage png;

        if (auto begun = png.begin (data, numBytes); begun.failed())
            return begun;

        if ((int) png.image.width != header.width || (int) png.image.height != header.height)
            return juce::Result::fail ("The PNG header has changed");

        png.image.format = layout == PictureReader::Layout::bgra ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;

        // A picture with transparency read without alpha is put on black.
        static const png_color black {};

        // A damaged picture chunk is an error; what the reader only warns
        // about (a colour profile it ignores, say) leaves the pixels whole.
        if (png_image_finish_read (&png.image, &black, pixels, lineStride, nullptr) == 0)
            return png.failure ("The PNG does not decode");

        return juce::Result::ok();
    }

    //==============================================================================
    /** A TurboJPEG decompressor, destroyed on every path. */
    struct JpegDecompressor
    {
        JpegDecompressor() : handle (tjInitDecompress()) {}
        ~JpegDecompressor()   { if (handle != nullptr) tjDestroy (handle); }

        juce::Result failure (const char* what) const
        {
            return juce::Result::fail (juce::String (what) + ": " + juce::String (tjGetErrorStr2 (handle)));
        }

        tjhandle handle;

        JUCE_DECLARE_NON_COPYABLE (JpegDecompressor)
    };

    juce::Result readJpegHeader (JpegDecompressor& jpeg, const void* data, size_t numBytes,
                                 juce::int64 maxPixels, PictureReader::Header& header)
    {
        if (jpeg.handle == nullptr)
            return juce::Result::fail ("No JPEG decoder");

        int width = 0, height = 0, subsampling = 0, colourspace = 0;

        if (tjDecompressHeader3 (jpeg.handle, static_cast<const unsigned char*> (data), (unsigned long) numBytes,
                                 &width, &height, &subsampling, &colourspace) != 0)
            return jpeg.failure ("The JPEG header does not read");

        if (auto size = checkSize (width, height, maxPixels); size.failed())
            return size;

        header.kind = PictureReader::Kind::jpeg;
        header.width = width;
        header.height = height;
        header.hasAlpha = false;
        return juce::Result::ok();
    }

    juce::Result decodeJpeg (const void* data, size_t numBytes, const PictureReader::Header& header,
                             PictureReader::Layout layout, juce::uint8* pixels, int lineStride)
    {
        JpegDecompressor jpeg;
        PictureReader::Header again;

        if (auto read = readJpegHeader (jpeg, data, numBytes, header.width * (juce::int64) header.height, again); read.failed())
            return read;

        if (again.width != header.width || again.height != header.height)
            return juce::Result::fail ("The JPEG header has changed");

        // Any warning (damaged data that the library would paper over) ends
        // the decode; a progressive picture may not have more than 500 scans.
        const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;

        if (tjDecompress2 (jpeg.handle, static_cast<const unsigned char*> (data), (unsigned long) numBytes,
                           pixels, header.width, lineStride, header.height,
                           layout == PictureReader::Layout::bgra ? TJPF_BGRA : TJPF_BGR, flags) != 0)
            return jpeg.failure ("The JPEG does not decode");

        return juce::Result::ok();
    }
}

//==============================================================================
juce::Result PictureReader::readHeader (const void* data, size_t numBytes, juce::int64 maxPixels, Header& header)
{
    if (data == nullptr || numBytes == 0)
        return juce::Result::fail ("The picture is empty");

    if (isPng (data, numBytes))
        return readPngHeader (data, numBytes, maxPixels, header);

    if (isJpeg (data, numBytes))
    {
        JpegDecompressor jpeg;
        return readJpegHeader (jpeg, data, numBytes, maxPixels, header);
    }

    return juce::Result::fail ("The picture is neither a PNG nor a JPEG");
}

juce::Result PictureReader::decode (const void* data, size_t numBytes, const Header& header,
                                    Layout layout, juce::uint8* pixels, int lineStride)
{
    // The rows must hold a whole row of pixels each.
    jassert (pixels != nullptr && lineStride >= header.width * bytesPerPixel (layout));

    if (data == nullptr || numBytes == 0 || pixels == nullptr || header.width <= 0 || header.height <= 0
         || lineStride < header.width * bytesPerPixel (layout))
        return juce::Result::fail ("Nothing to decode into");

    if (header.kind == Kind::png && isPng (data, numBytes))
        return decodePng (data, numBytes, header, layout, pixels, lineStride);

    if (header.kind == Kind::jpeg && isJpeg (data, numBytes))
        return decodeJpeg (data, numBytes, header, layout, pixels, lineStride);

    return juce::Result::fail ("The picture is not the one whose header was read");
}

} // namespace NsZ9m
