#include "shell/DemoContent.h"
#include "shell/IntroScreen.h"

void DemoContent::setPageComponent (juce::Component* newPage)
{
    std::unique_ptr<juce::Component> old (page.release());
    page.reset (newPage);

    if (page != nullptr)
    {
        addAndMakeVisible (*page);
        resized();
    }

    old.reset();
}

void DemoContent::showIntroPage()
{
    setPageComponent (createIntroScreen());
}

void DemoContent::resized()
{
    if (page != nullptr)
        page->setBounds (getLocalBounds());
}
