#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/**
    The editor page's outer tabs ("GENERAL SETTINGS", "BUTTON FUNCTIONS").
    It remembers the current tab and repaints the page around it when the tab
    changes. It shows the page's sections but never owns them.
    Message thread only.
*/
class MyTabComp : public juce::TabbedComponent
{
public:
    explicit MyTabComp (juce::TabbedButtonBar::Orientation orientation);

    void currentTabChanged (int newCurrentTabIndex, const juce::String& newCurrentTabName) override;

    /** The index of the last change, -1 before the first. */
    int getRememberedTabIndex() const noexcept   { return currentTab; }

private:
    int currentTab = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MyTabComp)
};

} // namespace NsZ9m
