#include "editor/DistinctTabComp.h"
#include "editor/EditorAssets.h"
#include "editor/MyTabComp.h"
#include "editor/OstrikLookAndFeel.h"
#include "tests/support/gui/ScriptedDialogs.h"
#include "tests/support/gui/Snapshot.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

namespace
{
    /** A button drawn with the look and feel on a black background. */
    juce::Image drawButton (OstrikLookAndFeel& look, juce::TextButton& button)
    {
        button.setLookAndFeel (&look);
        juce::Image image (juce::Image::ARGB, button.getWidth(), button.getHeight(), true);
        juce::Graphics g (image);
        g.fillAll (juce::Colours::black);
        look.drawButtonBackground (g, button, button.findColour (juce::TextButton::buttonColourId),
                                   button.isOver(), button.isDown());
        button.setLookAndFeel (nullptr);
        return image;
    }

    bool near (juce::Colour a, juce::Colour b, int tolerance = 6)
    {
        return std::abs (a.getRed() - b.getRed()) <= tolerance
            && std::abs (a.getGreen() - b.getGreen()) <= tolerance
            && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
    }

    std::string describe (juce::Colour c)   { return c.toDisplayString (true).toStdString(); }
}

TEST (OstrikLookAndFeel, StartsWithItsDefaults)
{
    OstrikLookAndFeel look;
    juce::LookAndFeel_V4 plain;

    EXPECT_FALSE (look.getHighlightFill());
    EXPECT_FLOAT_EQ (look.getCornerSize(), 5.0f);
    EXPECT_FLOAT_EQ (look.getOutlineThickness(), 1.0f);
    EXPECT_FLOAT_EQ (look.getHighlightThickness(), 2.0f);
    EXPECT_EQ (look.getOutlineColour(), plain.findColour (juce::ComboBox::outlineColourId));
    EXPECT_EQ (look.getHighlightColour(), juce::Colour (0xff87ceeb));
    EXPECT_EQ (look.findColour (juce::TreeView::selectedItemBackgroundColourId), juce::Colour (0x99ffffff));
}

TEST (OstrikLookAndFeel, TheBaseColourFollowsEnablementDownAndHighlight)
{
    const juce::Colour grey (0xff484848), light (0xffe0e0e0);

    struct Case { juce::Colour background; bool enabled, highlighted, down; juce::Colour expected; };

    const auto dim = [] (juce::Colour c) { return c.withMultipliedSaturation (0.9f); };
    const Case cases[] = {
        { grey,  true,  false, false, dim (grey) },
        { grey,  false, false, false, dim (grey).withMultipliedAlpha (0.5f) },
        { grey,  true,  false, true,  dim (grey).overlaidWith (juce::Colours::white.withAlpha (0.2f)) },
        { light, true,  false, true,  dim (light).overlaidWith (juce::Colours::black.withAlpha (0.2f)) },
        { grey,  true,  true,  false, dim (grey).overlaidWith (juce::Colours::white.withAlpha (0.05f)) },
    };

    for (const auto& c : cases)
    {
        juce::TextButton button;
        button.setEnabled (c.enabled);
        EXPECT_EQ (OstrikLookAndFeel::baseColourFor (button, c.background, c.highlighted, c.down), c.expected)
            << describe (c.background) << " enabled " << c.enabled << " down " << c.down;
    }
}

TEST (OstrikLookAndFeel, ASwitchedOnButtonIsFramedInTheHighlightColour)
{
    OstrikLookAndFeel look;
    juce::TextButton button;
    button.setSize (60, 37);
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff484848));

    const auto off = drawButton (look, button);
    button.setToggleState (true, juce::dontSendNotification);
    const auto on = drawButton (look, button);

    const auto base = juce::Colour (0xff484848).withMultipliedSaturation (0.9f);
    EXPECT_TRUE (near (on.getPixelAt (30, 18), base)) << describe (on.getPixelAt (30, 18));
    EXPECT_TRUE (near (on.getPixelAt (1, 18), juce::Colour (0xff87ceeb), 20)) << describe (on.getPixelAt (1, 18));
    EXPECT_FALSE (near (off.getPixelAt (1, 18), juce::Colour (0xff87ceeb), 40)) << describe (off.getPixelAt (1, 18));

    // with highlightFill, the active button is filled with the highlight colour
    look.setHighlightFill (true);
    look.setHighlightColour (juce::Colours::red);
    const auto filled = drawButton (look, button);
    EXPECT_TRUE (near (filled.getPixelAt (30, 18), juce::Colours::red)) << describe (filled.getPixelAt (30, 18));

    juce::Image strip (juce::Image::ARGB, 200, 37, true);
    juce::Graphics g (strip);
    g.drawImageAt (off, 0, 0);
    g.drawImageAt (on, 70, 0);
    g.drawImageAt (filled, 140, 0);
    juce::ImageComponent view;
    view.setImage (strip);
    view.setSize (200, 37);
    z9test::writeSnapshot (view);
}

TEST (OstrikLookAndFeel, AButtonConnectedOnAnEdgeIsDrawnAsAPathWithSquareCornersThere)
{
    OstrikLookAndFeel look;
    look.setCornerSize (10.0f);
    juce::TextButton button;
    button.setSize (60, 37);
    button.setColour (juce::TextButton::buttonColourId, juce::Colours::white);

    const auto free = drawButton (look, button);
    button.setConnectedEdges (juce::Button::ConnectedOnLeft);
    const auto joined = drawButton (look, button);

    // the rounded top-left corner leaves the background; the connected one is filled
    EXPECT_EQ (free.getPixelAt (1, 1), juce::Colours::black);
    EXPECT_NE (joined.getPixelAt (1, 1), juce::Colours::black);
    EXPECT_EQ (joined.getPixelAt (58, 1), juce::Colours::black);
}

TEST (OstrikLookAndFeel, TheTooltipAndTheResizerBarDraw)
{
    OstrikLookAndFeel look;
    juce::Image image (juce::Image::ARGB, 120, 30, true);
    {
        juce::Graphics g (image);
        look.drawTooltip (g, "About..", 120, 30);
    }
    const auto translucentWhite = juce::Colours::white.withAlpha (0.6f);
    const auto frame = translucentWhite.overlaidWith (look.findColour (juce::TooltipWindow::outlineColourId));
    EXPECT_TRUE (near (image.getPixelAt (0, 0), frame)) << describe (image.getPixelAt (0, 0));
    EXPECT_EQ (image.getPixelAt (3, 3).getAlpha(), translucentWhite.getAlpha());

    bool textDrawn = false;
    for (int x = 0; x < 120 && ! textDrawn; ++x)
        textDrawn = image.getPixelAt (x, 15) != image.getPixelAt (3, 3);
    EXPECT_TRUE (textDrawn);

    juce::Image bar (juce::Image::ARGB, 10, 40, true);
    {
        juce::Graphics g (bar);
        look.drawStretchableLayoutResizerBar (g, 10, 40, true, true, false);
    }
    EXPECT_TRUE (near (bar.getPixelAt (0, 0), juce::Colour (0xff808080), 2));
    EXPECT_EQ (bar.getPixelAt (0, 0).getAlpha(), juce::Colour (0xff808080).withAlpha (0.8f).getAlpha());
    EXPECT_EQ (bar.getPixelAt (5, 20).getRed(), 0);
}

//==============================================================================
TEST (DistinctTabComp, OnlyTheCurrentTabIsSkyblueAndANeverSelectedTabKeepsItsColour)
{
    DistinctTabComp tabs (juce::TabbedButtonBar::TabsAtTop);
    juce::Component a, b, c;
    const juce::Colour cadet (0xff5f9ea0), sky (0xff87ceeb), added (0xff112233);
    tabs.addTab ("A", cadet, &a, false);
    tabs.addTab ("B", cadet, &b, false);
    tabs.addTab ("C", added, &c, false);
    auto& bar = tabs.getTabbedButtonBar();

    tabs.setCurrentTabIndex (0);
    EXPECT_EQ (bar.getTabBackgroundColour (0), sky);

    tabs.setCurrentTabIndex (1);
    EXPECT_EQ (bar.getTabBackgroundColour (0), cadet);
    EXPECT_EQ (bar.getTabBackgroundColour (1), sky);
    EXPECT_EQ (bar.getTabBackgroundColour (2), added);

    tabs.setSize (300, 100);
    z9test::writeSnapshot (tabs);
}

TEST (MyTabComp, RemembersTheCurrentTab)
{
    juce::Component parent;
    MyTabComp tabs (juce::TabbedButtonBar::TabsAtTop);
    parent.addAndMakeVisible (tabs);
    juce::Component a, b;
    EXPECT_EQ (tabs.getRememberedTabIndex(), -1);

    tabs.addTab ("A", juce::Colours::grey, &a, false);
    tabs.addTab ("B", juce::Colours::grey, &b, false);
    tabs.setCurrentTabIndex (1);
    EXPECT_EQ (tabs.getRememberedTabIndex(), 1);

    tabs.setSize (300, 100);
    z9test::writeSnapshot (tabs);
}

//==============================================================================
TEST (EditorAssets, WithoutALoaderEveryPictureIsNull)
{
    EXPECT_FALSE (EditorAssets::load ("Vorlix Logo.png").isValid());

    {
        EditorAssets::ScopedLoader loader ([] (const juce::String& name)
        {
            return name == "z9-m.png" ? juce::Image (juce::Image::RGB, 4, 2, true) : juce::Image();
        });

        EXPECT_EQ (EditorAssets::load ("z9-m.png").getWidth(), 4);
        EXPECT_FALSE (EditorAssets::load ("z9-x.png").isValid());
    }

    EXPECT_FALSE (EditorAssets::load ("z9-m.png").isValid());
}
