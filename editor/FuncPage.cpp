#include "editor/FuncPage.h"
#include "editor/EditorColours.h"
#include "editor/EditorForwarders.h"
#include "core/model/DawId.h"
#include "core/sync/EditorLink.h"
#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/sync/StoreEdits.h"

namespace NsZ9m
{

juce::String FuncPage::dawItemText (int dawId)
{
    return juce::String (dawId) + ") " + getDawDisplayName (dawId).removeCharacters ("\n");
}

FuncPage::FuncPage()
{
    // 1. and 2. the tab holder, the grid and its viewport
    addAndMakeVisible (pageTabs);
    pageTabs.setComponentID ("GO");

    funcLayer = std::make_unique<FuncLayer>();
    funcLayer->setComponentID ("GO");
    pageViewport = std::make_unique<juce::Viewport> (juce::String());
    pageViewport->setComponentID ("VIEW");
    pageViewport->setViewedComponent (funcLayer.get(), false);

    // 3. one tab without a visible bar
    const juce::Colour panel (Colours::panelColour);
    pageTabs.setTabBarDepth (0);
    pageTabs.setOutline (0);
    pageTabs.setIndent (1);
    pageTabs.setColour (juce::TabbedComponent::outlineColourId, panel);
    pageTabs.setColour (juce::TabbedComponent::backgroundColourId, panel);
    pageTabs.addTab ("Functions", panel, pageViewport.get(), false, 0);

    // 4. and 5. the DAW chooser and its caption
    addAndMakeVisible (dawChooser);
    addAndMakeVisible (dawCaption);
    dawCaption.setText ("DAW", juce::dontSendNotification);
    dawCaption.setJustificationType (juce::Justification::centred);
    dawChooser.addListener (this);

    for (int d = 1; d <= numDaws; ++d)
        dawChooser.addItem (dawItemText (d), d);

    if (juce::isPositiveAndBelow (currentSlotIndex, numSlots))
        dawChooser.setSelectedId (slotDawIds[currentSlotIndex], juce::dontSendNotification);

    // 6. the grid's caption
    addAndMakeVisible (functionCaption);
    functionCaption.setText ("Function", juce::dontSendNotification);
    functionCaption.setJustificationType (juce::Justification::centred);
}

FuncPage::~FuncPage()
{
    dawChooser.removeListener (this);
    pageTabs.clearTabs();
    pageViewport->setViewedComponent (nullptr, false);
}

void FuncPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Colours::pageColour));
}

void FuncPage::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto cw = (float) w * 0.8f;
    const auto x = (int) (((float) w - cw) / 2.0f);

    dawCaption.setBounds (x, 5, (int) cw, 28);
    dawChooser.setBounds (x, 33, (int) cw, 28);
    functionCaption.setBounds (x, 67, (int) cw, 28);

    pageTabs.setBounds (getLocalBounds().withTrimmedTop (95));

    // taller than the view: the grid scrolls
    funcLayer->setBounds (0, 95, w - 10, (int) ((h - 95) * 2.7234042));
}

//==============================================================================
void FuncPage::comboBoxChanged (juce::ComboBox* box)
{
    if (box != &dawChooser)
        return;

    const auto index = dawChooser.getSelectedItemIndex();

    if (index < 0)
        return;

    if (! chooseSlotDaw (Host::getInstance()->getStore(), index + 1))
        return;

    rebuildMainCompFromFuncPage();
    refreshMainComp();
}

void FuncPage::fillFunctionButtons()
{
    funcLayer->fill (juce::isPositiveAndBelow (currentSlotIndex, numSlots) ? slotDawIds[currentSlotIndex] : 0);
}

void FuncPage::setFunctionButtonEnabled (const juce::String& text, bool enabled)
{
    funcLayer->setFunctionButtonEnabled (text, enabled);
}

} // namespace NsZ9m
