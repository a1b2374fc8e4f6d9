#include "shell/DemoContentComponent.h"
#include "shell/IntroScreen.h"
#include "shell/PageRegistry.h"

namespace
{
    int& layoutsSoFar()
    {
        static int count = 0;
        return count;
    }
}

DemoContentComponent::DemoContentComponent (std::function<void (bool)> callback)
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop),
      pageShownCallback (std::move (callback)),
      demoContent (std::make_unique<DemoContent>())
{
    addTab (" ", juce::Colours::transparentBlack, demoContent.get(), false);
    setTabBarDepth (0);
    setOutline (0);
    lookAndFeelChanged();
}

DemoContentComponent::~DemoContentComponent()
{
    clearTabs();
}

bool DemoContentComponent::showPageComponent (juce::Component* page)
{
    demoContent->setPageComponent (page);
    return true;
}

void DemoContentComponent::showRegisteredPage (const juce::String& category, int index)
{
    if (category == currentCategory && index == currentPageIndex)
        return;

    auto* entry = findRegisteredPage (category, index);

    if (entry == nullptr || entry->factory == nullptr)
        return;

    const auto heavyweight = entry->isHeavyweight;
    demoContent->setPageComponent (entry->factory());

    if (pageShownCallback != nullptr)
        pageShownCallback (heavyweight);

    setCurrentTabIndex (0);
    currentCategory = category;
    currentPageIndex = index;
}

void DemoContentComponent::returnToIntroPage()
{
    demoContent->showIntroPage();

    if (pageShownCallback != nullptr)
        pageShownCallback (false);

    setCurrentTabIndex (0);
    resized();
    currentCategory.clear();
    currentPageIndex = -1;
}

bool DemoContentComponent::isShowingIntroPage() const
{
    return isIntroScreen (demoContent->getPageComponent()) && getCurrentTabIndex() == 0;
}

void DemoContentComponent::releasePage()
{
    demoContent->setPageComponent (nullptr);

    if (pageShownCallback != nullptr)
        pageShownCallback (false);
}

void DemoContentComponent::setTabBarIndent (int indent)
{
    tabBarIndent = indent;
}

void DemoContentComponent::resized()
{
    juce::TabbedComponent::resized();

    if (tabBarIndent > 0)
        getTabbedButtonBar().setBounds (getTabbedButtonBar().getBounds().withTrimmedLeft (tabBarIndent));

    // Only layouts inside a window on the screen count: a content laid out
    // before its window owns it has nothing to centre.
    if (auto* window = getTopLevelComponent(); window != this && window->isOnDesktop()
                                                && layoutsSoFar() < centringLayouts)
    {
        ++layoutsSoFar();
        window->centreWithSize (window->getWidth(), window->getHeight());
    }
}

void DemoContentComponent::lookAndFeelChanged()
{
    for (int i = 0; i < getNumTabs(); ++i)
        setTabBackgroundColour (i, findColour (juce::ResizableWindow::backgroundColourId));
}

void DemoContentComponent::mouseDown (const juce::MouseEvent& e)
{
    juce::TabbedComponent::mouseDown (e);
}
