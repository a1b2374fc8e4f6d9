#pragma once

#include "gui/JuceGuiIncludes.h"
#include "core/files/PictureReader.h"

namespace NsZ9m
{

/**
    The one way the program turns a picture file into a juce::Image.

    Every picture comes from outside, so none is read by the framework's own
    PNG and JPEG readers (which, built against the system's libraries, leave
    a damaged file's decode half done): the bytes are read only from a regular
    file within a size cap (RegularFile), the header is read and checked
    against a pixel cap before any image exists, and the pixels are decoded by
    PictureReader straight into the new image. A PNG with transparency gives
    an ARGB image, any other picture an RGB one, as the framework's readers
    give. A picture refused for any reason is a null image, which every caller
    treats as a missing picture.

    Any thread (the images are software images, as the framework's readers
    make them).
*/
class SafeImageDecoder
{
public:
    /** No picture file is read beyond this size. */
    static constexpr juce::int64 maxFileBytes = (juce::int64) 16 * 1024 * 1024;

    /** Decodes the PNG or JPEG in data into `image` (left as it was on
        failure); says why when it fails. */
    static juce::Result decode (const void* data, size_t numBytes, juce::Image& image,
                                juce::int64 maxPixels = PictureReader::defaultMaxPixels);

    /** The picture in data, or a null image when it is refused. */
    static juce::Image decode (const void* data, size_t numBytes,
                               juce::int64 maxPixels = PictureReader::defaultMaxPixels);

    /** The picture in the file, or a null image when the file is missing, not
        a regular file, larger than maxBytes, or refused by decode. */
    static juce::Image loadFile (const juce::File& file, juce::int64 maxBytes = maxFileBytes);
};

} // namespace NsZ9m
