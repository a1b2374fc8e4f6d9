#include "shell/DemoList.h"
#include "shell/DemoContentComponent.h"
#include "shell/PageRegistry.h"

namespace
{
    const PageCategory* findCategory (const juce::String& name)
    {
        for (auto& c : getPageCategories())
            if (c.name == name)
                return &c;

        return nullptr;
    }
}

DemoList::DemoList (DemoContentComponent& holder)
    : pageHolder (holder)
{
    pageList.setModel (this);
    pageList.setRowHeight (40);
    addAndMakeVisible (pageList);
}

int DemoList::getNumRows()
{
    if (openCategory.isEmpty())
        return (int) getPageCategories().size();

    if (auto* category = findCategory (openCategory))
        return (int) category->pages.size();

    return 0;
}

juce::String DemoList::getRowText (int row) const
{
    if (row < 0)
        return {};

    if (openCategory.isEmpty())
    {
        auto& categories = getPageCategories();
        return row < (int) categories.size() ? categories[(size_t) row].name : juce::String();
    }

    if (auto* category = findCategory (openCategory))
        if (row < (int) category->pages.size())
            return category->pages[(size_t) row].pageFile.getFileName();

    return {};
}

void DemoList::paintListBoxItem (int row, juce::Graphics& g, int width, int height, bool rowIsSelected)
{
    auto lineColour = getLookAndFeel().findColour (juce::Label::textColourId).withAlpha (0.4f);
    juce::Rectangle<int> bounds (0, 0, width, height);

    g.setColour (lineColour);

    if (row == 0)
        g.fillRect (bounds.removeFromTop (2).reduced (7, 0));

    g.fillRect (bounds.removeFromBottom (2).reduced (7, 0));

    auto textColour = getLookAndFeel().findColour (juce::Label::textColourId);

    if (rowIsSelected)
    {
        g.setColour (getLookAndFeel().findColour (juce::TextEditor::highlightColourId).withAlpha (0.4f));
        g.fillRect (bounds);
        textColour = getLookAndFeel().findColour (juce::TextEditor::highlightedTextColourId);
    }

    if (row >= getNumRows())
        return;

    g.setColour (textColour);
    g.drawFittedText (getRowText (row), bounds, juce::Justification::centred, 1);
}

void DemoList::selectedRowsChanged (int lastRowSelected)
{
    if (lastRowSelected < 0)
        return;

    if (openCategory.isEmpty())
        openCategoryNamed (getRowText (lastRowSelected));
    else
        pageHolder.showRegisteredPage (openCategory, lastRowSelected);
}

void DemoList::resized()
{
    pageList.setBounds (getLocalBounds());
}

void DemoList::openCategoryNamed (const juce::String& name)
{
    openCategory = name;
    pageList.deselectAllRows();

    if (name.isNotEmpty())
    {
        auto header = std::make_unique<Header> (*this);
        header->setSize (getWidth(), 30);
        pageList.setHeaderComponent (std::move (header));
    }
    else
    {
        pageList.setHeaderComponent (nullptr);
    }

    pageList.updateContent();
    pageList.repaint();
}

//==============================================================================
DemoList::Header::Header (DemoList& o)
    : owner (o)
{
    setSize (0, 30);
}

void DemoList::Header::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::Label::textColourId));
    g.drawFittedText ("<", getLocalBounds().reduced (20, 0), juce::Justification::centredLeft, 1);
}

void DemoList::Header::mouseDown (const juce::MouseEvent&)
{
    // The header is deleted by what follows: touch nothing after it.
    owner.openCategoryNamed ({});
}
