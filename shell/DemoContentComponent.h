#pragma once

#include "shell/DemoContent.h"
#include <functional>

/**
    The page holder: a tabbed component with one invisible tab (tab bar depth
    0) whose content is the DemoContent that shows the current page. It shows
    pages given to it, pages of the registry and the intro page, and tells its
    owner through the page-shown callback whenever the page changes.

    Owned by MainComponent. Message thread only.
*/
class DemoContentComponent final : public juce::TabbedComponent
{
public:
    /** pageShownCallback is called with the shown page's heavyweight flag
        whenever a page is shown or released. */
    explicit DemoContentComponent (std::function<void (bool isHeavyweight)> pageShownCallback);
    ~DemoContentComponent() override;

    /** Shows page (ownership passes) and returns true. The page did not come
        from the list, so no registry position is remembered. */
    bool showPageComponent (juce::Component* page);

    /** Builds and shows the registered page at index of category; nothing
        happens when that page is already shown or when there is no such page. */
    void showRegisteredPage (const juce::String& category, int index);

    /** Shows a new intro page in place of the current page. */
    void returnToIntroPage();

    /** True while an intro page is shown in the first tab. */
    bool isShowingIntroPage() const;

    /** Deletes the shown page (its owner runs this before it goes). */
    void releasePage();

    void setTabBarIndent (int indent);

    juce::Component* getPageComponent() const noexcept   { return demoContent->getPageComponent(); }
    const juce::String& getCurrentCategory() const noexcept   { return currentCategory; }
    int getCurrentPageIndex() const noexcept   { return currentPageIndex; }

    void resized() override;
    void lookAndFeelChanged() override;
    void mouseDown (const juce::MouseEvent&) override;

    /** Layouts of the page holder inside a window on the screen that re-centre
        that window, for the whole process. */
    static constexpr int centringLayouts = 5;

private:
    std::function<void (bool)> pageShownCallback;
    std::unique_ptr<DemoContent> demoContent;
    juce::String currentCategory;
    int currentPageIndex = -1;
    int tabBarIndent = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoContentComponent)
};
