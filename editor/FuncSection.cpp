#include "editor/FuncSection.h"
#include "editor/EditorColours.h"
#include "core/model/DawId.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

FuncSection::FuncSection()
{
    addAndMakeVisible (pageTabs);
    pageTabs.setComponentID ("GO");

    addAndMakeVisible (pageViewport);
    pageViewport.setComponentID ("VIEW");

    addAndMakeVisible (dawCaption);
    dawCaption.setText ("DAW", juce::dontSendNotification);
    dawCaption.setFont (juce::Font (18.0f));
    dawCaption.setJustificationType (juce::Justification::centred);

    buttonSection.setComponentID ("GO");
    pageViewport.setViewedComponent (&buttonSection, false);

    const juce::Colour page (Colours::pageColour);
    pageTabs.setTabBarDepth (0);
    pageTabs.setOutline (0);
    pageTabs.setIndent (3);
    pageTabs.setColour (juce::TabbedComponent::outlineColourId, page);
    pageTabs.setColour (juce::TabbedComponent::backgroundColourId, page);
    pageTabs.addTab ("Cubase", page, &pageViewport, false, 0);
}

FuncSection::~FuncSection()
{
    pageTabs.clearTabs();
    pageViewport.setViewedComponent (nullptr, false);
}

void FuncSection::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Colours::panelColour));
}

void FuncSection::resized()
{
    const auto w = getWidth() - 8;
    dawCaption.setBounds ((int) (w / 2 - 97.2), 12, 194, 39);
    pageTabs.setBounds (4, 60, getWidth() - 8, getHeight() - 64);

    const auto a = (int) (w / 2.06);
    buttonSection.setBounds (4, 4, 2 * a, (int) (3 * a * 0.62));
}

void FuncSection::refresh()
{
    const auto daw = juce::isPositiveAndBelow (currentSlotIndex, numSlots) ? slotDawIds[currentSlotIndex] : 0;
    dawCaption.setText (daw < 1 ? juce::String ("DAW") : getDawDisplayName (daw).removeCharacters ("\n"),
                        juce::dontSendNotification);

    buttonSection.refreshButtons();
}

} // namespace NsZ9m
