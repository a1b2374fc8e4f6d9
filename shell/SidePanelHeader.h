#pragma once

#include "shell/ShellIncludes.h"
#include <functional>

/**
    The side panel's title bar: a "Home" button and the panel's title (empty
    here), drawn in the panel's colours and fonts. Owned by the side panel,
    which must outlive it; the button calls onHome (which shows the intro
    page). Message thread only.
*/
class SidePanelHeader final : public juce::Component
{
public:
    SidePanelHeader (juce::SidePanel& panel, std::function<void()> onHome);

    void lookAndFeelChanged() override;
    void paint (juce::Graphics&) override;
    void resized() override;

    juce::Label titleLabel;
    juce::ShapeButton homeButton { "Home", juce::Colours::transparentBlack,
                                   juce::Colours::transparentBlack, juce::Colours::transparentBlack };

private:
    juce::SidePanel& panel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SidePanelHeader)
};
