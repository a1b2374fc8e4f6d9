#include "gui/SafeImageDecoder.h"
#include "core/base/RegularFile.h"

// PictureReader's layouts are the in-memory order of the framework's pixels on
// little-endian Windows and Linux.
#if JUCE_BIG_ENDIAN || JUCE_ANDROID || JUCE_MAC
 #error "The pixel layouts below need the little-endian Windows and Linux pixel order"
#endif

namespace NsZ9m
{

juce::Result SafeImageDecoder::decode (const void* data, size_t numBytes, juce::Image& image, juce::int64 maxPixels)
{
    PictureReader::Header header;

    if (auto read = PictureReader::readHeader (data, numBytes, maxPixels, header); read.failed())
        return read;

    const auto layout = header.hasAlpha ? PictureReader::Layout::bgra : PictureReader::Layout::bgr;
    juce::Image decoded (header.hasAlpha ? juce::Image::ARGB : juce::Image::RGB,
                         header.width, header.height, false, juce::SoftwareImageType());

    {
        juce::Image::BitmapData pixels (decoded, juce::Image::BitmapData::readWrite);

        if (pixels.pixelStride != PictureReader::bytesPerPixel (layout))
            return juce::Result::fail ("Unexpected image layout");

        if (auto done = PictureReader::decode (data, numBytes, header, layout, pixels.data, pixels.lineStride); done.failed())
            return done;

        // The framework keeps ARGB pixels premultiplied.
        if (header.hasAlpha)
            for (int y = 0; y < header.height; ++y)
            {
                auto* row = reinterpret_cast<juce::PixelARGB*> (pixels.getLinePointer (y));

                for (int x = 0; x < header.width; ++x)
                    row[x].premultiply();
            }
    }

    image = decoded;
    return juce::Result::ok();
}

juce::Image SafeImageDecoder::decode (const void* data, size_t numBytes, juce::int64 maxPixels)
{
    juce::Image image;
    decode (data, numBytes, image, maxPixels);
    return image;
}

juce::Image SafeImageDecoder::loadFile (const juce::File& file, juce::int64 maxBytes)
{
    juce::MemoryBlock bytes;

    if (RegularFile::read (file, maxBytes, bytes) != RegularFile::Status::ok)
        return {};

    return decode (bytes.getData(), bytes.getSize());
}

} // namespace NsZ9m
