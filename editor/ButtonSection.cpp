#include "editor/ButtonSection.h"
#include "editor/EditorColours.h"
#include "editor/EditorState.h"
#include "editor/EditorForwarders.h"

namespace NsZ9m
{

ButtonSection::ButtonSection()
{
    const juce::Colour buttonColour (Colours::pageColour);

    for (int id = 1; id <= numNameButtons; ++id)
    {
        auto& b = buttons[(size_t) (id - 1)];
        b = std::make_unique<MappableDragButton>();
        addAndMakeVisible (*b);
        b->setColour (juce::TextButton::buttonColourId, buttonColour);
        b->setColour (juce::TextButton::buttonOnColourId, buttonColour);
        b->setLookAndFeel (&look);
        b->setRole (MappableButton::controlRole);
        b->setControlId (id);
        b->setComponentID ("GOTCHA");
        nameButtons[(size_t) (id - 1)] = b.get();
    }
}

ButtonSection::~ButtonSection()
{
    // The buttons go before the look and feel they draw with; each takes
    // itself out of nameButtons.
    for (auto& b : buttons)
        b.reset();
}

void ButtonSection::refreshButtons()
{
    for (auto& b : buttons)
    {
        updateControlButton (*b);
        b->refreshText();
    }
}

void ButtonSection::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        showMainContextMenuFromButtons();
}

juce::Point<int> ButtonSection::bankOrigin (int bank, int width)
{
    const auto xs = (width - 2 * blockWidth) / 3;
    const auto ys = (int) (gap * 1.3);
    return { (bank % 2) * (blockWidth + xs) + xs, (bank / 2) * (blockHeight + ys) + ys };
}

juce::Rectangle<int> ButtonSection::buttonBounds (int controlId, int width)
{
    const auto bank = (controlId - 1) / 16;
    const auto j = (controlId - 1) % 16;
    const auto origin = bankOrigin (bank, width);

    return { origin.x + gap + (j % 4) * (buttonWidth + gap),
             origin.y + gap + (j / 4) * (buttonHeight + gap),
             buttonWidth, buttonHeight };
}

juce::Colour ButtonSection::bankColour (int bank)
{
    return juce::Colour (Colours::bankColours[juce::jlimit (0, 4, bank)]);
}

void ButtonSection::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Colours::panelColour));

    for (int bank = 0; bank < 5; ++bank)
    {
        const auto origin = bankOrigin (bank, getWidth());
        g.setColour (bankColour (bank));
        g.drawRoundedRectangle (juce::Rectangle<int> (origin.x, origin.y, blockWidth, blockHeight).toFloat(), 12.0f, 1.0f);
    }
}

void ButtonSection::resized()
{
    for (int id = 1; id <= numNameButtons; ++id)
        buttons[(size_t) (id - 1)]->setBounds (buttonBounds (id, getWidth()));
}

} // namespace NsZ9m
