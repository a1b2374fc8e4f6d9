#pragma once

#include "gui/JuceGuiIncludes.h"

namespace z9test
{

/** Paints the component off-screen and writes it as a PNG to the build
    folder's snapshots/, named after the running test (plus the suffix, if
    any), so a person can look at what the test built. Returns the file. */
juce::File writeSnapshot (juce::Component& component, const juce::String& suffix = {});

//==============================================================================
/** How far a picture may stray from its reference and still pass: a pixel
    differs when one of its channels is further off than `channel` (0 to 255),
    and at most `fraction` of all pixels may differ. The defaults absorb the
    antialiasing of another compiler or optimisation level, and still catch a
    moved or missing widget and a changed word. */
struct SnapshotTolerance
{
    int channel = 24;
    double fraction = 2.0e-5;
};

/** What a comparison of two pictures found. */
struct SnapshotDifference
{
    bool sameSize = false;
    int differingPixels = 0;          ///< pixels beyond the channel tolerance
    int largestChannelDifference = 0; ///< over all pixels, 0 to 255
    int totalPixels = 0;

    /** Same size, and no more differing pixels than the tolerance allows. */
    bool passes (const SnapshotTolerance& tolerance) const
    {
        return sameSize && differingPixels <= allowedPixels (tolerance);
    }

    int allowedPixels (const SnapshotTolerance& tolerance) const
    {
        return (int) (tolerance.fraction * totalPixels);
    }

    /** The reference, faded, with every differing pixel in red (brighter the
        further off) and every pixel that strays within the tolerance in
        yellow; the actual picture itself when the sizes differ. */
    juce::Image picture;
};

/** Compares two pictures pixel by pixel (alpha included). */
SnapshotDifference compareSnapshots (const juce::Image& actual, const juce::Image& reference, int channelTolerance);

/** The folder of the committed reference pictures (tests/snapshots/reference),
    and the folder where the compared snapshots of a run go
    (<build>/snapshots/compared). */
juce::File getReferenceSnapshotFolder();
juce::File getComparedSnapshotFolder();

/** True when the environment variable Z9_RENEW_SNAPSHOTS is 1: the compared
    snapshots are only written, for scripts/renew-snapshots.sh to copy into
    the reference folder. */
bool isRenewingSnapshots();

/**
    Paints the component off-screen, writes it as compared/<name>.png in the
    build's snapshots folder and compares it with the reference <name>.png.
    A mismatch fails the test and writes <name>.diff.png (the difference) and
    <name>.reference.png beside the snapshot; a missing or unreadable
    reference fails it too, saying how to renew. The fonts must be the ones
    the test main pins (the DejaVu families only), or the comparison fails
    saying so. When renewing, nothing is compared.
*/
void expectSnapshotMatchesReference (juce::Component& component, const juce::String& name,
                                     SnapshotTolerance tolerance = {});

} // namespace z9test
