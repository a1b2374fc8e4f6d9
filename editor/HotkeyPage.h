#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

class MappableButton;

/**
    The "HOTKEY" tab (offered for controls 1 to 80): the selected control's
    hotkey, its name in an editable field and its key combinations, with
    "Click To Change", which captures new ones in the key-entry window.

    Every change goes into the selected control's node (or its linked
    column's source) through the store edits and marks the current slot, so
    the synchronisation timer sends it. The page owns its five components;
    the editor page owns the page. Message thread only.
*/
class HotkeyPage : public juce::Component,
                   public juce::Button::Listener
{
public:
    HotkeyPage();
    ~HotkeyPage() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** "Click To Change": captures a hotkey for the selected control. */
    void buttonClicked (juce::Button*) override;

    /** Shows the name and key combinations of the button's control (empty
        unless it holds a hotkey); the name can be edited only for controls
        1 to 80. */
    void showButton (MappableButton* button);

    /** showButton with the selected control, when there is one. */
    void refresh();

    /** Empties the name field and then the key text. */
    void clearTexts();

    /** The name field's callbacks: the editor's restrictions, and the store
        write of a name the user typed. */
    void restrictHotkeyNameEditor();
    void applyHotkeyNameEdit();

    //==============================================================================
    juce::Label& getNameCaption() noexcept          { return nameCaption; }
    juce::Label& getKeysLabel() noexcept            { return keysLabel; }
    juce::Label& getHotkeyCaption() noexcept        { return hotkeyCaption; }
    juce::Label& getNameField() noexcept            { return nameField; }
    juce::TextButton& getChangeButton() noexcept    { return changeButton; }

private:
    void captureHotkey();

    juce::Label nameCaption;
    juce::Label keysLabel;
    juce::Label hotkeyCaption;
    juce::Label nameField;
    juce::TextButton changeButton { "Click To Change" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HotkeyPage)
};

} // namespace NsZ9m
