#include "editor/MyTabComp.h"

namespace NsZ9m
{

MyTabComp::MyTabComp (juce::TabbedButtonBar::Orientation orientation)
    : juce::TabbedComponent (orientation)
{
}

void MyTabComp::currentTabChanged (int newCurrentTabIndex, const juce::String&)
{
    currentTab = newCurrentTabIndex;

    if (auto* parent = getParentComponent())
        parent->repaint();
}

} // namespace NsZ9m
