#include "tests/support/gui/Snapshot.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace z9test
{

namespace
{
    juce::Image renderComponent (juce::Component& component)
    {
        return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
    }

    bool writePng (const juce::Image& image, const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        file.deleteFile();

        juce::FileOutputStream out (file);
        return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
    }

    /** A reference picture: a plain PNG file of at most 4 MB and 4 million
        pixels, or a null image. */
    juce::Image readReference (const juce::File& file)
    {
        if (! file.existsAsFile() || file.getSize() > 4 * 1024 * 1024)
            return {};

        juce::FileInputStream in (file);
        juce::PNGImageFormat png;

        if (! in.openedOk() || ! png.canUnderstand (in))
            return {};

        in.setPosition (0);
        auto image = png.decodeImage (in);

        if (! image.isValid() || (juce::int64) image.getWidth() * image.getHeight() > 4'000'000)
            return {};

        return image;
    }

    /** Each picture's pixels as ARGB, unpremultiplied, so that two renders of
        an opaque view compare alike whichever format they came in. */
    juce::Colour pixel (const juce::Image::BitmapData& data, int x, int y)
    {
        return data.getPixelColour (x, y);
    }

    int channelDifference (juce::Colour a, juce::Colour b)
    {
        return juce::jmax (std::abs ((int) a.getAlpha() - (int) b.getAlpha()),
                           std::abs ((int) a.getRed()   - (int) b.getRed()),
                           std::abs ((int) a.getGreen() - (int) b.getGreen()),
                           std::abs ((int) a.getBlue()  - (int) b.getBlue()));
    }

    /** The fonts the test main pins (JUCE_FONT_PATH): the three DejaVu
        families of fonts-dejavu-core and nothing else. */
    juce::String checkPinnedFonts()
    {
        const juce::StringArray expected { "DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif" };
        const auto found = juce::Font::findAllTypefaceNames();

        if (found != expected)
            return "The fonts are not the pinned ones (found \"" + found.joinIntoString ("\", \"")
                 + "\", expected \"" + expected.joinIntoString ("\", \"") + "\"): the test main points "
                   "JUCE_FONT_PATH at <build>/test-fonts, which the configure step fills from "
                   "fonts-dejavu-core (scripts/setup.sh installs it; configure again after installing).";

        return {};
    }

    const char* const renewHint = "Renew the references with scripts/renew-snapshots.sh [build-dir], "
                                  "look at the pictures, and commit them.";
}

//==============================================================================
juce::File writeSnapshot (juce::Component& component, const juce::String& suffix)
{
    juce::String name ("snapshot");

    if (auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        name = juce::String (info->test_suite_name()) + "." + info->name();

    if (suffix.isNotEmpty())
        name << "-" << suffix;

    const auto file = juce::File (Z9_SNAPSHOT_DIR).getChildFile (juce::File::createLegalFileName (name) + ".png");

    if (! writePng (renderComponent (component), file))
        ADD_FAILURE() << "Could not write " << file.getFullPathName();

    return file;
}

//==============================================================================
SnapshotDifference compareSnapshots (const juce::Image& actual, const juce::Image& reference, int channelTolerance)
{
    SnapshotDifference result;
    result.totalPixels = actual.getWidth() * actual.getHeight();
    result.sameSize = actual.isValid() && reference.isValid()
                       && actual.getBounds() == reference.getBounds();

    if (! result.sameSize)
    {
        result.differingPixels = result.totalPixels;
        result.largestChannelDifference = 255;
        result.picture = actual.createCopy();
        return result;
    }

    const int w = actual.getWidth(), h = actual.getHeight();
    result.picture = juce::Image (juce::Image::RGB, w, h, false, juce::SoftwareImageType());

    const juce::Image::BitmapData a (actual, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData r (reference, juce::Image::BitmapData::readOnly);
    juce::Image::BitmapData d (result.picture, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const auto pa = pixel (a, x, y), pr = pixel (r, x, y);
            const auto difference = channelDifference (pa, pr);
            result.largestChannelDifference = juce::jmax (result.largestChannelDifference, difference);

            const auto faded = (juce::uint8) (200 + (int) (pr.getPerceivedBrightness() * 55.0f));
            auto shown = juce::Colour::greyLevel (faded / 255.0f);

            if (difference > channelTolerance)
            {
                ++result.differingPixels;
                shown = juce::Colour ((juce::uint8) juce::jmax (128, difference), 0, 0);
            }
            else if (difference > 0)
            {
                shown = juce::Colour (0xffffd000);
            }

            d.setPixelColour (x, y, shown);
        }
    }

    return result;
}

juce::File getReferenceSnapshotFolder()   { return juce::File (Z9_SNAPSHOT_REFERENCE_DIR); }
juce::File getComparedSnapshotFolder()    { return juce::File (Z9_SNAPSHOT_DIR).getChildFile ("compared"); }

bool isRenewingSnapshots()
{
    const auto* value = std::getenv ("Z9_RENEW_SNAPSHOTS");
    return value != nullptr && juce::String (value) == "1";
}

void expectSnapshotMatchesReference (juce::Component& component, const juce::String& name,
                                     SnapshotTolerance tolerance)
{
    const auto fontProblem = checkPinnedFonts();
    ASSERT_TRUE (fontProblem.isEmpty()) << fontProblem;

    const auto folder = getComparedSnapshotFolder();
    const auto snapshotFile = folder.getChildFile (name + ".png");
    const auto diffFile = folder.getChildFile (name + ".diff.png");
    const auto referenceCopy = folder.getChildFile (name + ".reference.png");
    diffFile.deleteFile();
    referenceCopy.deleteFile();

    const auto actual = renderComponent (component);
    ASSERT_TRUE (writePng (actual, snapshotFile)) << "Could not write " << snapshotFile.getFullPathName();

    if (isRenewingSnapshots())
    {
        std::cout << "Renewing: wrote " << snapshotFile.getFullPathName() << std::endl;
        return;
    }

    const auto referenceFile = getReferenceSnapshotFolder().getChildFile (name + ".png");
    const auto reference = readReference (referenceFile);

    ASSERT_TRUE (reference.isValid())
        << "No readable reference picture " << referenceFile.getFullPathName()
        << " for the snapshot " << snapshotFile.getFullPathName() << ". " << renewHint;

    const auto difference = compareSnapshots (actual, reference, tolerance.channel);
    const auto allowed = difference.allowedPixels (tolerance);

    if (difference.passes (tolerance))
        return;

    writePng (difference.picture, diffFile);
    referenceFile.copyFileTo (referenceCopy);

    if (! difference.sameSize)
        ADD_FAILURE() << "The snapshot " << snapshotFile.getFullPathName() << " is "
                      << actual.getWidth() << " x " << actual.getHeight() << ", its reference "
                      << referenceFile.getFullPathName() << " " << reference.getWidth() << " x "
                      << reference.getHeight() << ". If the change is meant: " << renewHint;
    else
        ADD_FAILURE() << "The snapshot " << snapshotFile.getFullPathName() << " differs from its reference "
                      << referenceFile.getFullPathName() << " in " << difference.differingPixels << " of "
                      << difference.totalPixels << " pixels (at most " << allowed << " may differ by more than "
                      << tolerance.channel << " in a channel; the largest difference is "
                      << difference.largestChannelDifference << "). The difference, in red: "
                      << diffFile.getFullPathName() << ". If the change is meant: " << renewHint;
}

} // namespace z9test
