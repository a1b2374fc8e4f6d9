#pragma once

#include "shell/ShellIncludes.h"

/**
    The page shown after "Home": a dark page with a greeting, the application's
    name in large type, a version line, a link to the maker's user-account web
    site, the maker's logo and an animated wave of dots. While it is laid out
    it sets the main window to 850 x 600 and titles it "Z9-M Ostrik".

    Created by createIntroScreen; owned by the page holder. Message thread only.
*/
class IntroScreen final : public juce::Component
{
public:
    IntroScreen();

    void paint (juce::Graphics&) override;
    void resized() override;

    /** The wave of dots, moved on at 30 Hz. */
    class LogoDrawComponent final : public juce::Component,
                                    public juce::Timer
    {
    public:
        LogoDrawComponent();

        void paint (juce::Graphics&) override;

        /** How far the wave has moved: 0.01 per tick. */
        float getPhase() const noexcept   { return phase; }

        /** One animation tick: repaint, then move the wave on. */
        void timerCallback() override;

    private:
        float phase = 0.0f;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LogoDrawComponent)
    };

    /** The maker's user-account web site, the link's text and target. */
    static constexpr const char* accountSiteAddress = "https://www.vorlixsound.com/my-account/";

    //==============================================================================
    // The children, for tests and the page holder.
    juce::Label greeting, name, version;
    juce::HyperlinkButton link;
    LogoDrawComponent wave;
    juce::ImageComponent logo;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IntroScreen)
};

/** A new intro page, owned by the caller. */
juce::Component* createIntroScreen();

/** Whether the component is an intro page. */
bool isIntroScreen (juce::Component*);
