#pragma once

#include "gui/JuceGuiIncludes.h"
#include <vector>

namespace z9test
{

/*  The damaged pictures that crashed the program at start, or took gigabytes
    and many seconds to load, when the framework's own readers decoded them;
    made here from small pictures that the framework writes. Message thread.
*/
using PictureBytes = std::vector<juce::uint8>;

/** A PNG of the given header (IHDR fields) and picture data, with correct
    checksums. */
PictureBytes makePng (juce::uint32 width, juce::uint32 height, juce::uint8 bitDepth,
                      juce::uint8 colourType, const PictureBytes& pictureData);

/** 69 bytes: a PNG whose header says 20000 x 20000 RGBA, with 12 bytes of
    picture data. */
PictureBytes pngWithLyingHeader();

/** A whole, well-formed PNG of 20000 x 20000 black pixels of one bit, in
    less than 400 KB. */
PictureBytes smallPngOfHugeSize();

/** A 64 x 64 picture of noise, with alpha, as the framework writes it. */
PictureBytes realPng();

/** A 64 x 64 picture of noise as the framework writes it as a JPEG. */
PictureBytes realJpeg();

/** The offset of the first JPEG marker segment of that type (0xff, type), 0
    when there is none. */
size_t findJpegMarker (const PictureBytes& jpeg, juce::uint8 type);

/** realJpeg cut inside its headers (in its first Huffman table). */
PictureBytes jpegCutInItsHeaders();

/** realJpeg with its first Huffman table made impossible: three codes of one
    bit (one of which cannot exist), the rest moved to 16 bits; the segment's
    length and symbols stay as they were. */
PictureBytes jpegWithBadHuffmanTable();

/** realJpeg whose frame header says width x height. */
PictureBytes jpegWithFrameSize (int width, int height);

/** The first n bytes. */
PictureBytes firstBytes (const PictureBytes& bytes, size_t n);

/** What the framework's writer of that format makes of the image. */
PictureBytes writtenBy (juce::ImageFileFormat&& format, const juce::Image& image);

/** A picture of reproducible noise; without alpha every pixel is opaque. */
juce::Image noisePicture (int width, int height, bool withAlpha);

/** Writes the bytes as the file (its folder made when missing). */
void writePicture (const juce::File& file, const PictureBytes& bytes);

} // namespace z9test
