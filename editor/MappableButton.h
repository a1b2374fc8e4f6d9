#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/**
    A button that stands for one of the surface's controls, or for a slot,
    a slot colour or a function, and shows a control's assignment.

    Its role says what a click means: controlRole buttons select their control
    (the editor page listens to them); the other roles belong to the section
    that made them. The text comes from the mapping store of the Host and goes
    to the button itself or, when a label is set, to that label.

    Message thread only.
*/
class MappableButton : public juce::TextButton
{
public:
    enum Role
    {
        functionRole = 0,   ///< a function button of the function grid
        controlRole  = 1,   ///< a surface control, selected on click
        slotRole     = 3,   ///< a slot button of the general settings
        colourRole   = 4    ///< a slot colour button of the general settings
    };

    explicit MappableButton (const juce::String& text = {});

    /** Takes itself out of the editor-wide selection state. */
    ~MappableButton() override;

    int getControlId() const noexcept           { return controlId; }
    void setControlId (int newControlId) noexcept   { controlId = newControlId; }

    int getRole() const noexcept                { return role; }
    void setRole (int newRole) noexcept         { role = newRole; }

    /** The label that shows the text instead of the button (not owned; it
        must outlive the button or be set back to null). */
    void setLabel (juce::Label* newLabel) noexcept  { label = newLabel; }
    juce::Label* getLabel() const noexcept          { return label; }

    /** The number kept by the function grid and the general settings. */
    int getFunctionCode() const;
    juce::Value& getFunctionCodeValue() noexcept    { return functionCode; }

    /** Takes the control id from the node's `id`, then refreshes the text. */
    void setControl (juce::ValueTree ctl);

    /** Shows the control's assignment text. */
    virtual void refreshText();

    /** The text of the control's assignment in the current slot's DAW
        profile: for a control of a linked column that of the column's source
        (the HUI labels use this control's own kind); empty when the slot has
        no DAW or the assignment is "null". */
    virtual juce::String getAssignmentText();

    /** Shows the text on the label when one is set, else on the button. */
    virtual void setDisplayText (const juce::String& text);

private:
    int role = functionRole;
    int controlId = 0;
    juce::Label* label = nullptr;
    juce::Value functionCode;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MappableButton)
};

/** Sets the button's tooltip to its assignment text in the current model's
    current slot, or to the empty text when that slot holds no DAW profile;
    with a currentSlotIndex outside 0 to 3 the tooltip stays as it was. */
void updateControlButton (MappableButton& button);

} // namespace NsZ9m
