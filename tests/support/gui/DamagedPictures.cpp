#include "tests/support/gui/DamagedPictures.h"
#include <zlib.h>

namespace z9test
{

namespace
{
    void appendBigEndian (PictureBytes& b, juce::uint32 v)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            b.push_back ((juce::uint8) (v >> shift));
    }

    void appendChunk (PictureBytes& png, const char* type, const PictureBytes& data)
    {
        appendBigEndian (png, (juce::uint32) data.size());
        const auto start = png.size();
        png.insert (png.end(), type, type + 4);
        png.insert (png.end(), data.begin(), data.end());
        appendBigEndian (png, (juce::uint32) crc32 (0, png.data() + start, (uInt) (png.size() - start)));
    }

    /** The compressed rows of a black picture, one row at a time. */
    PictureBytes compressedBlackRows (size_t rowBytes, juce::uint32 rows)
    {
        z_stream z {};
        deflateInit (&z, 9);
        const PictureBytes row (rowBytes + 1, 0);   // filter byte, then the pixels
        PictureBytes out, buffer (1 << 16);

        for (juce::uint32 r = 0; r <= rows; ++r)
        {
            const bool last = r == rows;
            z.next_in = const_cast<Bytef*> (row.data());
            z.avail_in = last ? 0 : (uInt) row.size();

            do
            {
                z.next_out = buffer.data();
                z.avail_out = (uInt) buffer.size();
                deflate (&z, last ? Z_FINISH : Z_NO_FLUSH);
                out.insert (out.end(), buffer.data(), z.next_out);
            }
            while (z.avail_out == 0);
        }

        deflateEnd (&z);
        return out;
    }
}

PictureBytes makePng (juce::uint32 width, juce::uint32 height, juce::uint8 bitDepth,
                      juce::uint8 colourType, const PictureBytes& pictureData)
{
    PictureBytes png { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };
    PictureBytes ihdr;
    appendBigEndian (ihdr, width);
    appendBigEndian (ihdr, height);
    ihdr.insert (ihdr.end(), { bitDepth, colourType, 0, 0, 0 });
    appendChunk (png, "IHDR", ihdr);
    appendChunk (png, "IDAT", pictureData);
    appendChunk (png, "IEND", {});
    return png;
}

PictureBytes pngWithLyingHeader()
{
    // 8 + 25 + (12 + 12) + 12 = 69 bytes
    return makePng (20000, 20000, 8, 6, { 0x78, 0x9c, 0x63, 0, 0, 0, 1, 0, 1, 0, 0, 0 });
}

PictureBytes smallPngOfHugeSize()
{
    return makePng (20000, 20000, 1, 0, compressedBlackRows (2500, 20000));
}

juce::Image noisePicture (int w, int h, bool withAlpha)
{
    juce::Image image (withAlpha ? juce::Image::ARGB : juce::Image::RGB, w, h, true);
    juce::Random random (7);

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelAt (x, y, juce::Colour ((juce::uint32) random.nextInt())
                                        .withAlpha (withAlpha ? (juce::uint8) (x * 4) : (juce::uint8) 255));

    return image;
}

PictureBytes writtenBy (juce::ImageFileFormat&& format, const juce::Image& image)
{
    juce::MemoryOutputStream out;
    format.writeImageToStream (image, out);
    auto* p = static_cast<const juce::uint8*> (out.getData());
    return PictureBytes (p, p + out.getDataSize());
}

PictureBytes realPng()
{
    return writtenBy (juce::PNGImageFormat(), noisePicture (64, 64, true));
}

PictureBytes realJpeg()
{
    juce::JPEGImageFormat jpeg;
    jpeg.setQuality (0.9f);
    return writtenBy (std::move (jpeg), noisePicture (64, 64, false));
}

size_t findJpegMarker (const PictureBytes& jpeg, juce::uint8 type)
{
    for (size_t i = 2; i + 3 < jpeg.size();)
    {
        if (jpeg[i] != 0xff)
            break;

        if (jpeg[i + 1] == type)
            return i;

        i += 2 + (size_t) ((jpeg[i + 2] << 8) | jpeg[i + 3]);
    }

    return 0;
}

PictureBytes jpegCutInItsHeaders()
{
    const auto jpeg = realJpeg();
    return firstBytes (jpeg, findJpegMarker (jpeg, 0xc4) + 10);
}

PictureBytes jpegWithBadHuffmanTable()
{
    auto jpeg = realJpeg();
    const auto dht = findJpegMarker (jpeg, 0xc4);

    if (dht == 0)
        return jpeg;

    // marker (2), length (2), table class and number (1), then 16 counts
    auto* counts = jpeg.data() + dht + 5;
    int total = 0;

    for (int i = 0; i < 16; ++i)
        total += counts[i];

    std::fill (counts, counts + 16, 0);
    counts[0] = 3;
    counts[15] = (juce::uint8) juce::jmax (0, total - 3);
    return jpeg;
}

PictureBytes jpegWithFrameSize (int width, int height)
{
    auto jpeg = realJpeg();
    const auto sof = findJpegMarker (jpeg, 0xc0);

    if (sof == 0)
        return jpeg;

    jpeg[sof + 5] = (juce::uint8) (height >> 8);
    jpeg[sof + 6] = (juce::uint8) height;
    jpeg[sof + 7] = (juce::uint8) (width >> 8);
    jpeg[sof + 8] = (juce::uint8) width;
    return jpeg;
}

PictureBytes firstBytes (const PictureBytes& bytes, size_t n)
{
    return PictureBytes (bytes.begin(), bytes.begin() + (std::ptrdiff_t) juce::jmin (n, bytes.size()));
}

void writePicture (const juce::File& file, const PictureBytes& bytes)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithData (bytes.data(), bytes.size());
}

} // namespace z9test
