#include "tests/support/gui/Snapshot.h"
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

namespace
{
    /** A page-sized view with a caption and a row of buttons, as the compared
        views have them; each variant changes one thing a user would see. */
    struct Page : public juce::Component
    {
        Page()
        {
            setOpaque (true);
            caption.setText ("GENERAL SETTINGS", juce::dontSendNotification);
            addAndMakeVisible (caption);

            for (auto* b : { &lock, &save, &load })
                addAndMakeVisible (b);

            setSize (850, 720);
        }

        void paint (juce::Graphics& g) override   { g.fillAll (background); }

        void resized() override
        {
            caption.setBounds (20, 20, 200, 24);
            lock.setBounds (20 + shift, 680, 100, 26);
            save.setBounds (630, 680, 100, 26);
            load.setBounds (740, 680, 100, 26);
        }

        juce::Colour background { 0xffd3d3d3 };
        int shift = 0;
        juce::Label caption;
        juce::TextButton lock { "LOCK" }, save { "SAVE FILE" }, load { "LOAD FILE" };
    };

    juce::Image render (Page& p)
    {
        p.resized();
        return p.createComponentSnapshot (p.getLocalBounds(), true, 1.0f);
    }

    void compareAViewWithoutReference()
    {
        Page page;
        z9test::expectSnapshotMatchesReference (page, "SnapshotComparison.NoSuchView");
    }
}

TEST (SnapshotComparison, AbsorbsSmallDriftsAndCatchesWhatAUserWouldSee)
{
    Page page;
    const auto reference = render (page);

    struct Case { const char* what; std::function<void (Page&)> change; bool passes; };
    const Case cases[] =
    {
        { "the same view",           [] (Page&) {},                                                        true },
        { "a shade lighter",         [] (Page& p) { p.background = juce::Colour (0xffd6d6d6); },          true },
        { "a button moved 2 px",     [] (Page& p) { p.shift = 2; },                                        false },
        { "a button missing",        [] (Page& p) { p.lock.setVisible (false); },                          false },
        { "one letter changed",      [] (Page& p) { p.lock.setButtonText ("LOCX"); },                      false },
        { "a caption's other word",  [] (Page& p) { p.caption.setText ("GENERAL SETTING", juce::dontSendNotification); }, false },
    };

    for (auto& c : cases)
    {
        Page changed;
        c.change (changed);
        const auto difference = z9test::compareSnapshots (render (changed), reference, z9test::SnapshotTolerance().channel);

        EXPECT_TRUE (difference.sameSize) << c.what;
        EXPECT_EQ (difference.passes ({}), c.passes) << c.what << ": " << difference.differingPixels << " pixels differ";
        EXPECT_EQ (difference.picture.getBounds(), reference.getBounds()) << c.what;
    }

    // Another size never passes, and the picture shows what was drawn.
    Page smaller;
    smaller.setSize (850, 700);
    const auto difference = z9test::compareSnapshots (render (smaller), reference, 255);
    EXPECT_FALSE (difference.sameSize);
    EXPECT_FALSE (difference.passes ({}));
    EXPECT_EQ (difference.picture.getHeight(), 700);
}

TEST (SnapshotComparison, AMissingReferenceFailsAndSaysHowToRenew)
{
    if (z9test::isRenewingSnapshots())
        GTEST_SKIP() << "renewing: nothing is compared";

    EXPECT_FATAL_FAILURE (compareAViewWithoutReference(), "scripts/renew-snapshots.sh");
    z9test::getComparedSnapshotFolder().getChildFile ("SnapshotComparison.NoSuchView.png").deleteFile();
}
