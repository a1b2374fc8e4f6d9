#include "gui/SafeImageDecoder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/gui/DamagedPictures.h"
#include <gtest/gtest.h>
#include <sys/stat.h>

using NsZ9m::SafeImageDecoder;

// The damaged pictures that crashed the program at start, or took gigabytes
// and many seconds, when the framework's readers decoded them: each, as a
// file, must be refused.

namespace
{
    using namespace z9test;

    struct SafeImageDecoderTest : public ::testing::Test
    {
        juce::File write (const juce::String& name, const PictureBytes& bytes)
        {
            auto file = temp / name;
            writePicture (file, bytes);
            return file;
        }

        z9test::TempFolder temp;
    };
}

TEST_F (SafeImageDecoderTest, DamagedPicturesAreRefused)
{
    const auto lyingHeader = pngWithLyingHeader();
    ASSERT_EQ (lyingHeader.size(), 69u);
    const auto hugeButSmall = smallPngOfHugeSize();
    EXPECT_LT (hugeButSmall.size(), 400000u);

    const auto png = realPng();
    const auto jpeg = realJpeg();
    const auto sos = findJpegMarker (jpeg, 0xda);
    const auto dht = findJpegMarker (jpeg, 0xc4);
    ASSERT_LT (dht, sos);
    ASSERT_GT (dht, 0u);

    const std::pair<const char*, PictureBytes> cases[] =
    {
        { "a 69-byte PNG whose header says 20000 x 20000 (SIGSEGV)",  lyingHeader },
        { "a PNG cut in half (SIGSEGV)",                              firstBytes (png, png.size() / 2) },
        { "a PNG cut after its header",                               firstBytes (png, 33) },
        { "a JPEG cut inside its headers (SIGFPE)",                   jpegCutInItsHeaders() },
        { "a JPEG with a bad Huffman table (wild write)",             jpegWithBadHuffmanTable() },
        { "a JPEG whose header says 65500 x 65500 (12.9 GB)",         jpegWithFrameSize (65500, 65500) },
        { "a small PNG of 20000 x 20000 pixels (2.8 GB, 18 s)",       hugeButSmall },
        { "a JPEG cut in its picture data",                           firstBytes (jpeg, sos + (jpeg.size() - sos) / 2) },
        { "neither PNG nor JPEG",                                     PictureBytes { 'G', 'I', 'F', '8', '9', 'a' } },
        { "empty",                                                    PictureBytes {} },
    };

    for (auto& [what, bytes] : cases)
    {
        SCOPED_TRACE (what);
        const auto start = juce::Time::getMillisecondCounterHiRes();
        EXPECT_FALSE (SafeImageDecoder::loadFile (write ("picture", bytes)).isValid());

        juce::Image untouched (juce::Image::RGB, 1, 1, true);
        EXPECT_TRUE (SafeImageDecoder::decode (bytes.data(), bytes.size(), untouched).failed());
        EXPECT_EQ (untouched.getWidth(), 1);

        // Refused on its header or on its first damaged bytes, never after
        // decoding gigabytes (generous for a busy machine under the sanitizers).
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 5000.0);
    }

    // The undamaged originals decode.
    EXPECT_TRUE (SafeImageDecoder::loadFile (write ("good.png", png)).isValid());
    EXPECT_TRUE (SafeImageDecoder::loadFile (write ("good.jpg", jpeg)).isValid());
}

TEST_F (SafeImageDecoderTest, PicturesDecodeAsTheFrameworkKeepsThem)
{
    // A PNG with transparency becomes a premultiplied ARGB image.
    juce::Image source (juce::Image::ARGB, 3, 2, true);
    source.setPixelAt (0, 0, juce::Colour (0xff102030));
    source.setPixelAt (1, 0, juce::Colour (0x80ff0000));
    source.setPixelAt (2, 1, juce::Colour (0x00000000));
    const auto png = writtenBy (juce::PNGImageFormat(), source);

    const auto image = SafeImageDecoder::decode (png.data(), png.size());
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getFormat(), juce::Image::ARGB);
    EXPECT_EQ (image.getWidth(), 3);
    EXPECT_EQ (image.getHeight(), 2);

    // An opaque pixel comes back exactly; a translucent one within the steps
    // of its premultiplied channels (about 2 at half alpha, through the
    // writer's and the reader's rounding).
    for (auto [x, y, tolerance] : { std::tuple { 0, 0, 0 }, { 1, 0, 4 }, { 2, 1, 0 } })
    {
        const auto got = image.getPixelAt (x, y), wanted = source.getPixelAt (x, y);
        EXPECT_EQ (got.getAlpha(), wanted.getAlpha()) << x << "," << y;
        EXPECT_NEAR (got.getRed(), wanted.getRed(), tolerance) << x << "," << y;
        EXPECT_NEAR (got.getGreen(), wanted.getGreen(), tolerance) << x << "," << y;
        EXPECT_NEAR (got.getBlue(), wanted.getBlue(), tolerance) << x << "," << y;
    }

    // A JPEG is an RGB image (within the loss of its compression).
    juce::Image flat (juce::Image::RGB, 16, 16, false);
    flat.clear (flat.getBounds(), juce::Colour (0xff3060c0));
    const auto jpeg = writtenBy (juce::JPEGImageFormat(), flat);
    const auto decodedJpeg = SafeImageDecoder::decode (jpeg.data(), jpeg.size());
    ASSERT_TRUE (decodedJpeg.isValid());
    EXPECT_EQ (decodedJpeg.getFormat(), juce::Image::RGB);
    const auto c = decodedJpeg.getPixelAt (8, 8);
    EXPECT_NEAR (c.getRed(), 0x30, 4);
    EXPECT_NEAR (c.getGreen(), 0x60, 4);
    EXPECT_NEAR (c.getBlue(), 0xc0, 4);

    // An opaque PNG of an odd width (padded rows) is an RGB image.
    const auto opaque = writtenBy (juce::PNGImageFormat(), noisePicture (5, 3, false));
    const auto decodedOpaque = SafeImageDecoder::decode (opaque.data(), opaque.size());
    ASSERT_TRUE (decodedOpaque.isValid());
    EXPECT_EQ (decodedOpaque.getFormat(), juce::Image::RGB);
    EXPECT_EQ (decodedOpaque.getPixelAt (4, 2), noisePicture (5, 3, false).getPixelAt (4, 2));
}

TEST_F (SafeImageDecoderTest, ThePixelCapHoldsAtItsEdgeForBothKinds)
{
    const auto png = writtenBy (juce::PNGImageFormat(), noisePicture (10, 10, true));
    const auto jpeg = writtenBy (juce::JPEGImageFormat(), noisePicture (10, 10, false));

    for (auto* bytes : { &png, &jpeg })
    {
        EXPECT_TRUE (SafeImageDecoder::decode (bytes->data(), bytes->size(), 100).isValid());
        EXPECT_FALSE (SafeImageDecoder::decode (bytes->data(), bytes->size(), 99).isValid());
    }

    // The program's cap: one pixel more than 4096 x 4096 is refused by its
    // header alone.
    const auto justOver = makePng (4097, 4096, 8, 0, {});
    EXPECT_FALSE (SafeImageDecoder::decode (justOver.data(), justOver.size()).isValid());
    EXPECT_EQ (NsZ9m::PictureReader::defaultMaxPixels, 4096 * 4096);
}

TEST_F (SafeImageDecoderTest, OnlyRegularFilesWithinTheCapAreRead)
{
    const auto png = realPng();

    const auto fifo = temp / "fifo.png";
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0666), 0);
    EXPECT_FALSE (SafeImageDecoder::loadFile (fifo).isValid());   // opening it waited for a writer

    const auto file = write ("cap.png", png);
    EXPECT_TRUE (SafeImageDecoder::loadFile (file, (juce::int64) png.size()).isValid());
    EXPECT_FALSE (SafeImageDecoder::loadFile (file, (juce::int64) png.size() - 1).isValid());
    EXPECT_FALSE (SafeImageDecoder::loadFile (temp.get()).isValid());
}
