#include "shell/MainComponent.h"
#include "shell/DemoList.h"
#include "shell/EditorPageFactory.h"
#include "shell/SidePanelHeader.h"

MainComponent::MainComponent()
{
    contentComponent = std::make_unique<DemoContentComponent> ([this] (bool heavyweight) { pageShown (heavyweight); });

    sidePanel.setContent (new DemoList (*contentComponent));
    sidePanel.setTitleBarComponent (new SidePanelHeader (sidePanel, [this] { showHome(); }), true);

    addAndMakeVisible (*contentComponent);
    addAndMakeVisible (menuButton);
    addAndMakeVisible (sidePanel);

    // The shown page comes first when the window hands out the keyboard focus
    // (the page's keys work from the start), not the side panel that no
    // control shows.
    contentComponent->setExplicitFocusOrder (1);

    menuButton.onClick = [this] { sidePanel.showOrHide (false); };

    sidePanel.onPanelMove = [this]
    {
        sidePanelWidth = juce::jmax (0, sidePanel.getRight());

        if (isShowingHeavyweightPage)
            resized();
    };

    sidePanel.onPanelShowHide = [this] (bool isShowing)
    {
        if (isShowing)
        {
            sidePanelWidth = juce::jmax (0, sidePanel.getWidth());

            if (isShowingHeavyweightPage)
                resized();
        }
        else
        {
            sidePanelWidth = 0;

            if (isShowingHeavyweightPage)
                juce::Timer::callAfterDelay (250, [safeThis = juce::Component::SafePointer<MainComponent> (this)]
                {
                    if (safeThis != nullptr)
                        safeThis->resized();
                });
        }
    };

    if (auto* page = createEditorPage())
        pageBuilt = contentComponent->showPageComponent (page);
}

MainComponent::~MainComponent()
{
    contentComponent->releasePage();
}

void MainComponent::pageShown (bool isHeavyweight)
{
    sidePanel.showOrHide (false);
    isShowingHeavyweightPage = isHeavyweight;
    resized();
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void MainComponent::resized()
{
    auto bounds = getLocalBounds();

    menuButton.setBounds (0, 0, 150, contentComponent->getTabBarDepth());

    if (isShowingHeavyweightPage)
    {
        bounds.removeFromLeft (sidePanelWidth);
        contentComponent->setTabBarIndent (juce::jmax (0, 150 - sidePanelWidth));
    }
    else
    {
        contentComponent->setTabBarIndent (150);
    }

    contentComponent->setBounds (bounds);
}

bool MainComponent::hitTest (int x, int y)
{
    const auto panelShowing = sidePanel.isPanelShowing();

    if (menuButton.getBounds().contains (x, y) && ! panelShowing)
        sidePanel.showOrHide (false);
    else if (sidePanel.getBounds().contains (x, y))
        ;
    else if (x <= 12 && ! panelShowing)
        sidePanel.showOrHide (false);
    else if (panelShowing)
        sidePanel.showOrHide (false);

    return juce::Component::hitTest (x, y);
}

void MainComponent::showHome()
{
    if (auto* list = dynamic_cast<DemoList*> (sidePanel.getContent()))
        list->openCategoryNamed ({});

    if (contentComponent != nullptr && ! contentComponent->isShowingIntroPage())
    {
        contentComponent->returnToIntroPage();

        if (isShowingHeavyweightPage)
        {
            isShowingHeavyweightPage = false;
            resized();
        }
    }
}
