#pragma once

#include "shell/ShellIncludes.h"

class MainComponent;

/**
    The side panel's title bar: a "Home" button that shows the intro page and
    the panel's title (empty here). Owned by the side panel; refers to the
    MainComponent that owns the panel. Message thread only.
*/
class SidePanelHeader final : public juce::Component
{
public:
    explicit SidePanelHeader (MainComponent& owner);

    void lookAndFeelChanged() override;
    void paint (juce::Graphics&) override;
    void resized() override;

    juce::Label titleLabel;
    juce::ShapeButton homeButton { "Home", juce::Colours::transparentBlack,
                                   juce::Colours::transparentBlack, juce::Colours::transparentBlack };

private:
    MainComponent& owner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SidePanelHeader)
};
