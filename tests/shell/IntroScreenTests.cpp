#include "shell/Assets.h"
#include "shell/IntroScreen.h"
#include "tests/support/TempFolder.h"
#include "tests/support/gui/Snapshot.h"
#include <gtest/gtest.h>

namespace
{
    /** A window holding a page, as the main window holds its content. */
    struct PageWindow : public juce::DocumentWindow
    {
        PageWindow() : juce::DocumentWindow ("test", juce::Colours::black, 0, false)
        {
            setUsingNativeTitleBar (true);
            setBounds (0, 0, 700, 500);
        }
    };
}

TEST (IntroScreenTest, ShowingThePageSizesAndTitlesTheWindow)
{
    PageWindow window;
    window.setContentOwned (createIntroScreen(), false);
    window.getContentComponent()->setSize (830, 560);

    EXPECT_EQ (window.getWidth(), 850);
    EXPECT_EQ (window.getHeight(), 600);
    EXPECT_EQ (window.getName(), "Z9-M Ostrik");
    EXPECT_TRUE (isIntroScreen (window.getContentComponent()));
}

TEST (IntroScreenTest, LayoutAndTexts)
{
    IntroScreen page;
    page.setSize (830, 600);

    EXPECT_EQ (page.greeting.getText(),
               "Hello! You could choose a view from the menu on your left-hand side for getting started.");
    EXPECT_EQ (page.name.getText(), "Z9-M Ostrik");
    EXPECT_EQ (page.version.getText(), "V1.00  Build 43, Nov 2 2023");
    EXPECT_EQ (page.link.getButtonText(), IntroScreen::accountSiteAddress);
    EXPECT_EQ (page.link.getURL().toString (false), IntroScreen::accountSiteAddress);
    EXPECT_EQ (page.link.findColour (juce::HyperlinkButton::textColourId).getARGB(), 0xffadd8e6u);
    EXPECT_EQ (page.greeting.findColour (juce::Label::textColourId).getARGB(), 0xffffffffu);

    EXPECT_EQ (page.logo.getBounds(), juce::Rectangle<int> (50, 30, 120, 60));
    EXPECT_EQ (page.greeting.getBounds(), juce::Rectangle<int> (250, 50, 600, 32));
    EXPECT_EQ (page.name.getBounds(), juce::Rectangle<int> (190, 200, 450, 64));
    EXPECT_EQ (page.version.getBounds(), juce::Rectangle<int> (10, 566, 810, 24));
    EXPECT_EQ (page.link.getBounds(), juce::Rectangle<int> (613, 566, 207, 24));
    EXPECT_EQ (page.wave.getBounds(), juce::Rectangle<int> (10, 10, 810, 556));

    // A page that is not inside a window sizes only itself.
    EXPECT_EQ (page.getWidth(), 830);

    z9test::writeSnapshot (page);
}

TEST (IntroScreenTest, TheLogoComesFromTheAssetsAndIsEmptyWithoutThem)
{
    z9test::TempFolder temp;
    juce::ImageCache::releaseUnusedImages();

    {
        ScopedApplicationFile app (temp / "app");
        IntroScreen page;
        EXPECT_FALSE (page.logo.getImage().isValid());
    }

    juce::Image image (juce::Image::ARGB, 240, 80, true);
    (temp / "resources/Assets").createDirectory();
    juce::FileOutputStream out (temp / "resources/Assets/Vorlix Logo.png");
    juce::PNGImageFormat().writeImageToStream (image, out);
    out.flush();

    ScopedApplicationFile app (temp / "app");
    IntroScreen page;
    EXPECT_EQ (page.logo.getImage().getWidth(), 240);
    juce::ImageCache::releaseUnusedImages();
}

TEST (IntroScreenTest, TheWaveMovesOnAtEveryTick)
{
    IntroScreen::LogoDrawComponent wave;
    wave.setSize (400, 200);

    for (int i = 0; i < 30; ++i)
        wave.timerCallback();

    EXPECT_NEAR (wave.getPhase(), 0.3f, 1.0e-5f);
    EXPECT_TRUE (wave.isTimerRunning());
    EXPECT_EQ (wave.getTimerInterval(), 33);
}
