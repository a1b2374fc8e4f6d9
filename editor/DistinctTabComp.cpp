#include "editor/DistinctTabComp.h"

namespace NsZ9m
{

DistinctTabComp::DistinctTabComp (juce::TabbedButtonBar::Orientation orientation)
    : juce::TabbedComponent (orientation)
{
}

void DistinctTabComp::currentTabChanged (int newCurrentTabIndex, const juce::String&)
{
    // setTabBackgroundColour ignores an index the bar no longer holds.
    if (previousTab != -1)
        setTabBackgroundColour (previousTab, juce::Colour (normalTabColour));

    previousTab = newCurrentTabIndex;
    setTabBackgroundColour (newCurrentTabIndex, juce::Colour (currentTabColour));
}

} // namespace NsZ9m
