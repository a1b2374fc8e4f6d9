#pragma once

#include "editor/MappableDragButton.h"
#include "editor/OstrikLookAndFeel.h"
#include <array>
#include <memory>

namespace NsZ9m
{

/**
    The surface's 80 name buttons (controls 1 to 80) in five framed banks of
    16: banks 1 and 2 side by side, 3 and 4 below them, 5 below 3.

    The section owns its buttons and the look and feel they draw with, and
    enters the buttons in the editor-wide nameButtons while it lives. The
    editor page listens to the buttons (selection). A right-click on the
    section's background opens the editor's context menu.

    Message thread only.
*/
class ButtonSection : public juce::Component
{
public:
    ButtonSection();
    ~ButtonSection() override;

    /** Tooltip and text of every button from the store, in control order. */
    void refreshButtons();

    /** The button of control id 1 to 80. */
    MappableDragButton& getButton (int controlId)   { return *buttons[(size_t) (controlId - 1)]; }

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    //==============================================================================
    static constexpr int gap = 4;
    static constexpr int buttonWidth = 60;
    static constexpr int buttonHeight = 37;
    static constexpr int blockWidth = 4 * buttonWidth + 5 * gap;     // 260
    static constexpr int blockHeight = 4 * buttonHeight + 5 * gap;   // 168

    /** The top-left corner of bank 0 to 4 in a section of width w. */
    static juce::Point<int> bankOrigin (int bank, int width);

    /** Where the button of control 1 to 80 goes in a section of width w. */
    static juce::Rectangle<int> buttonBounds (int controlId, int width);

    /** The frame colours of banks 0 to 4. */
    static juce::Colour bankColour (int bank);

private:
    OstrikLookAndFeel look;
    std::array<std::unique_ptr<MappableDragButton>, 80> buttons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ButtonSection)
};

} // namespace NsZ9m
