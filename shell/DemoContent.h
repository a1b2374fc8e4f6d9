#pragma once

#include "shell/ShellIncludes.h"

/**
    Holds the one page that the window shows and sizes it to fill itself.
    Owns the page. Message thread only.
*/
class DemoContent final : public juce::Component
{
public:
    DemoContent() = default;

    /** Shows page (ownership passes; null shows nothing). The new page exists
        before the old one is deleted. */
    void setPageComponent (juce::Component* page);

    /** Shows a new intro page. */
    void showIntroPage();

    juce::Component* getPageComponent() const noexcept   { return page.get(); }

    void resized() override;

private:
    std::unique_ptr<juce::Component> page;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoContent)
};
