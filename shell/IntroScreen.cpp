#include "shell/IntroScreen.h"
#include "shell/Assets.h"

namespace
{
    const juce::String applicationName ("Z9-M Ostrik");

    /** The version line: version, two blanks, build, a comma and the build date
        with its double blanks made single. */
    juce::String versionLine()
    {
        auto date = juce::String ("Nov  2 2023").replace ("  ", " ");

        return juce::String ("{version}  {build}, {date}")
                   .replace ("{version}", "V1.00")
                   .replace ("{build}", "Build 43")
                   .replace ("{date}", date);
    }
}

IntroScreen::IntroScreen()
    : link (accountSiteAddress, juce::URL (accountSiteAddress))
{
    setOpaque (true);

    greeting.setText ("Hello! You could choose a view from the menu on your left-hand side for getting started.",
                      juce::dontSendNotification);
    greeting.setColour (juce::Label::textColourId, juce::Colour (0xffffffff));

    name.setText (juce::String ("{name}").replace ("{name}", applicationName), juce::dontSendNotification);
    name.setColour (juce::Label::textColourId, juce::Colour::greyLevel (0.8f));
    name.setFont (juce::Font ("YaHei", 60.0f, juce::Font::bold));

    version.setText (versionLine(), juce::dontSendNotification);

    link.setColour (juce::HyperlinkButton::textColourId, juce::Colour (0xffadd8e6));

    logo.setImage (loadAssetImage ("Vorlix Logo.png"));

    for (auto* child : std::initializer_list<juce::Component*> { &greeting, &name, &version, &link, &logo, &wave })
        addAndMakeVisible (child);
}

void IntroScreen::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour::greyLevel (0.11f));
}

void IntroScreen::resized()
{
    auto* window = getTopLevelComponent();

    if (window != this)
        window->setSize (850, 600);

    const auto w = getWidth();
    const auto h = getHeight();

    logo.setBounds (50, (int) (0.05f * (float) h), juce::roundToInt (100 * 1.2), juce::roundToInt (50 * 1.2));

    auto area = getLocalBounds().reduced (10);
    auto strip = area.removeFromBottom (24);

    greeting.setBounds (250, 50, 600, 32);
    name.setBounds ((w - 450) / 2, 200, 450, 64);
    version.setBounds (strip);
    link.setBounds (strip.withLeft (strip.getRight() - w / 4));
    wave.setBounds (area);

    if (window != this)
        window->setName (applicationName);
}

//==============================================================================
IntroScreen::LogoDrawComponent::LogoDrawComponent()
{
    startTimerHz (30);
}

void IntroScreen::LogoDrawComponent::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const float d = 10.0f;
    const float y0 = 0.7f * h;

    juce::Path wavePath;
    int i = 0;

    for (float x = d / 2.0f; x < w; x = d / 2.0f + (float) ++i * d)
    {
        const auto fi = (float) i;
        const auto y1 = y0 + 0.05f * h * std::sin (0.38f * fi + phase);
        const auto y2 = y0 + 0.1f * h * std::sin (0.2f * fi + 2.0f * phase);

        wavePath.addLineSegment ({ x, y1, x, y2 }, 2.0f);
        wavePath.addEllipse (x - 0.3f * d, y1 - 0.3f * d, 0.6f * d, 0.6f * d);
        wavePath.addEllipse (x - 0.3f * d, y2 - 0.3f * d, 0.6f * d, 0.6f * d);
    }

    g.setColour (juce::Colour::greyLevel (0.18f));
    g.fillPath (wavePath);
}

void IntroScreen::LogoDrawComponent::timerCallback()
{
    repaint();
    phase += 0.01f;
}

//==============================================================================
juce::Component* createIntroScreen()
{
    return new IntroScreen();
}

bool isIntroScreen (juce::Component* c)
{
    return dynamic_cast<IntroScreen*> (c) != nullptr;
}
