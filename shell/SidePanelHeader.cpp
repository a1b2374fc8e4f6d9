#include "shell/SidePanelHeader.h"

namespace
{
    /** A house: a roof over a body with a door. */
    juce::Path houseShape()
    {
        juce::Path p;
        p.startNewSubPath (50.0f, 5.0f);
        p.lineTo (95.0f, 45.0f);
        p.lineTo (82.0f, 45.0f);
        p.lineTo (82.0f, 95.0f);
        p.lineTo (60.0f, 95.0f);
        p.lineTo (60.0f, 65.0f);
        p.lineTo (40.0f, 65.0f);
        p.lineTo (40.0f, 95.0f);
        p.lineTo (18.0f, 95.0f);
        p.lineTo (18.0f, 45.0f);
        p.lineTo (5.0f, 45.0f);
        p.closeSubPath();
        return p;
    }
}

SidePanelHeader::SidePanelHeader (juce::SidePanel& p, std::function<void()> onHome)
    : panel (p)
{
    setOpaque (true);

    titleLabel.setText (panel.getTitleText(), juce::dontSendNotification);
    addAndMakeVisible (titleLabel);

    homeButton.setShape (houseShape(), false, true, false);
    homeButton.onClick = std::move (onHome);
    addAndMakeVisible (homeButton);

    lookAndFeelChanged();
}

void SidePanelHeader::lookAndFeelChanged()
{
    auto& lf = panel.getLookAndFeel();

    if (auto* methods = dynamic_cast<juce::SidePanel::LookAndFeelMethods*> (&lf))
    {
        titleLabel.setFont (methods->getSidePanelTitleFont (panel));
        titleLabel.setJustificationType (methods->getSidePanelTitleJustification (panel));
    }

    titleLabel.setColour (juce::Label::textColourId, panel.findColour (juce::SidePanel::titleTextColour));
    homeButton.setColours (panel.findColour (juce::SidePanel::dismissButtonNormalColour),
                           panel.findColour (juce::SidePanel::dismissButtonOverColour),
                           panel.findColour (juce::SidePanel::dismissButtonDownColour));
}

void SidePanelHeader::paint (juce::Graphics& g)
{
    g.fillAll (panel.findColour (juce::SidePanel::backgroundColour));
}

void SidePanelHeader::resized()
{
    auto r = getLocalBounds();
    const auto square = panel.getTitleBarHeight();

    r.removeFromLeft (10);
    homeButton.setBounds (r.removeFromLeft (square).reduced (7));
    r.removeFromLeft (square);
    r.removeFromLeft (10);
    titleLabel.setBounds (r.withTrimmedRight (10));
}
