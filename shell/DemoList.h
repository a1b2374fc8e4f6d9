#pragma once

#include "shell/ShellIncludes.h"

class DemoContentComponent;

/**
    The side panel's page list: the categories of the page registry, and once
    one is chosen, its pages under a header whose "<" goes back. Choosing a
    page builds it from the registry and shows it in the page holder.

    Owned by the side panel; refers to the page holder, which outlives it.
    Message thread only.
*/
class DemoList final : public juce::Component,
                       public juce::ListBoxModel
{
public:
    explicit DemoList (DemoContentComponent& pageHolder);

    int getNumRows() override;
    void paintListBoxItem (int row, juce::Graphics&, int width, int height, bool rowIsSelected) override;
    void selectedRowsChanged (int lastRowSelected) override;
    void resized() override;

    /** Opens the named category; an empty name shows the categories again. */
    void openCategoryNamed (const juce::String& name);

    /** The text of a row: a category's name, or a page's caption (its file
        name); empty for a row outside the list. */
    juce::String getRowText (int row) const;

    const juce::String& getOpenCategory() const noexcept   { return openCategory; }
    juce::ListBox& getListBox() noexcept   { return pageList; }

    /** The list's header while a category is open: "<" goes back. */
    class Header final : public juce::Component
    {
    public:
        explicit Header (DemoList& owner);

        void paint (juce::Graphics&) override;
        void mouseDown (const juce::MouseEvent&) override;

    private:
        DemoList& owner;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Header)
    };

private:
    DemoContentComponent& pageHolder;
    juce::String openCategory;
    juce::ListBox pageList;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoList)
};
