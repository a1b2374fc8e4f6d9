#pragma once

#include "shell/DemoContentComponent.h"

/**
    The main window's content: the page holder filling the window, a hidden
    200-pixel side panel with the page list and a "Home" button, and a "Menu"
    button (as tall as the holder's tab bar, 0 pixels). At start it shows the
    mapping editor's page.

    Owned by the main window. Message thread only.
*/
class MainComponent final : public juce::Component
{
public:
    MainComponent();

    /** Releases the page first (an editor page saves the settings as it goes),
        then the members. */
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    bool hitTest (int x, int y) override;

    juce::SidePanel& getSidePanel() noexcept   { return sidePanel; }
    DemoContentComponent& getContentComponent() noexcept   { return *contentComponent; }
    juce::TextButton& getMenuButton() noexcept   { return menuButton; }

    /** "Home": the page list goes back to its categories, and the intro page
        replaces the shown page unless it is already shown. */
    void showHome();

    /** True when the start-up page was made (the window reads this). */
    bool isPageBuilt() const noexcept   { return pageBuilt; }

private:
    void pageShown (bool isHeavyweight);

    std::unique_ptr<DemoContentComponent> contentComponent;
    juce::SidePanel sidePanel { {}, 200, true, nullptr, true };
    juce::TextButton menuButton { "Menu" };
    int sidePanelWidth = 0;
    bool isShowingHeavyweightPage = false;
    bool pageBuilt = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
