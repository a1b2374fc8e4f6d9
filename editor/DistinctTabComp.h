#pragma once

#include "editor/EditorColours.h"

namespace NsZ9m
{

/**
    The editor page's inner tabs ("FUNCTION", "HOTKEY", "MIDI"): the current
    tab is drawn skyblue, the one it replaces goes back to cadetblue. A tab
    that was never current keeps the colour it was added with. It shows the
    page's pages but never owns them.
    Message thread only.
*/
class DistinctTabComp : public juce::TabbedComponent
{
public:
    explicit DistinctTabComp (juce::TabbedButtonBar::Orientation orientation);

    void currentTabChanged (int newCurrentTabIndex, const juce::String& newCurrentTabName) override;

    static constexpr juce::uint32 normalTabColour  = Colours::tabColourPair[0];   ///< cadetblue
    static constexpr juce::uint32 currentTabColour = Colours::tabColourPair[1];   ///< skyblue

private:
    int previousTab = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DistinctTabComp)
};

} // namespace NsZ9m
