#pragma once

#include "editor/ButtonSection.h"

namespace NsZ9m
{

/**
    The "BUTTON FUNCTIONS" tab: the current slot's DAW name ("DAW" while the
    slot runs none) above the 80 name buttons, which scroll in their view.

    The section owns its caption, tab holder, viewport and button section;
    the editor page owns the section and listens to the name buttons.
    Message thread only.
*/
class FuncSection : public juce::Component,
                    public juce::Button::Listener
{
public:
    FuncSection();
    ~FuncSection() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Listens to no button: clicks on the name buttons go to the editor page. */
    void buttonClicked (juce::Button*) override {}

    /** The caption from slotDawIds, then every name button from the store. */
    void refresh();

    ButtonSection& getButtonSection() noexcept      { return buttonSection; }
    juce::Viewport& getViewport() noexcept          { return pageViewport; }
    juce::TabbedComponent& getPageTabs() noexcept   { return pageTabs; }
    juce::Label& getDawCaption() noexcept           { return dawCaption; }

private:
    juce::TabbedComponent pageTabs { juce::TabbedButtonBar::TabsAtTop };
    juce::Viewport pageViewport { juce::String() };
    ButtonSection buttonSection;
    juce::Label dawCaption;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FuncSection)
};

} // namespace NsZ9m
