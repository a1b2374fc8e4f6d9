#pragma once

#include "core/model/ValueTypeKind.h"
#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/** The key combinations of the last key-entry window closed with OK (three
    entries; a combination that was not captured is an invalid key press).
    They live for the process: a new hotkey page shows the first of them.
    Message thread only. */
extern juce::Array<juce::KeyPress> capturedHotkeys;

/** "hotkey" when the last window closed with OK had captured a key, else
    "func" (nothing captured). */
extern ValueTypeKind lastKeyEntryKind;

/** capturedHotkeys and lastKeyEntryKind back to their start values (for tests). */
void resetCapturedHotkeys();

//==============================================================================
/**
    The modal "New hotkey" window: it captures up to three key combinations,
    every key included (Escape, Return and Tab do not close it), and shows
    them as they come, e.g. "CTRL + A, SHIFT + F5". A fourth combination
    starts a new list. A key that the surface cannot send (one that the key
    table does not know, such as a shifted digit on some keyboards) is
    refused with a message saying so.

    OK publishes the capture in capturedHotkeys and lastKeyEntryKind; Cancel
    publishes nothing. Created on the stack for one capture and run through
    Dialogs::runAlertWindow. Message thread only.
*/
class KeyEntryWindow : public juce::AlertWindow,
                       public juce::Button::Listener
{
public:
    KeyEntryWindow();
    ~KeyEntryWindow() override;

    /** Records one combination; always true, so every key is captured. */
    bool keyPressed (const juce::KeyPress&) override;

    /** OK: the capture becomes capturedHotkeys and lastKeyEntryKind. */
    void buttonClicked (juce::Button*) override;

    //==============================================================================
    int getCount() const noexcept                           { return count; }
    const juce::Array<juce::KeyPress>& getKeys() const noexcept   { return keys; }
    ValueTypeKind getValueKind() const noexcept             { return valueKind; }

    /** The message the window shows now. */
    const juce::String& getShownMessage() const noexcept    { return shownMessage; }

    /** The window's OK and Cancel buttons. */
    juce::Button* getOkButton() const;
    juce::Button* getCancelButton() const;

private:
    juce::Button* findButton (const juce::String& text) const;
    void show (const juce::String& message);
    juce::String capturedText() const;

    ValueTypeKind valueKind { ValueTypeKind::Func };
    juce::String okText, cancelText;
    int count = 0;
    juce::Array<juce::String> descriptions;
    juce::Array<juce::KeyPress> keys;
    juce::String shownMessage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KeyEntryWindow)
};

} // namespace NsZ9m
