#include "editor/KeyEntryWindow.h"
#include "core/sync/StoreEdits.h"

namespace NsZ9m
{

juce::Array<juce::KeyPress> capturedHotkeys { juce::KeyPress (0), juce::KeyPress (0), juce::KeyPress (0) };
ValueTypeKind lastKeyEntryKind { juce::String ("nil") };

void resetCapturedHotkeys()
{
    capturedHotkeys = { juce::KeyPress (0), juce::KeyPress (0), juce::KeyPress (0) };
    lastKeyEntryKind = ValueTypeKind (juce::String ("nil"));
}

namespace
{
    constexpr int maxCombinations = 3;
}

//==============================================================================
KeyEntryWindow::KeyEntryWindow()
    : juce::AlertWindow (juce::translate ("New hotkey"),
                         juce::translate ("Please press your key combinations now..."),
                         juce::MessageBoxIconType::NoIcon, nullptr),
      okText (juce::translate ("OK")),
      cancelText (juce::translate ("Cancel"))
{
    shownMessage = juce::translate ("Please press your key combinations now...");

    for (int i = 0; i < maxCombinations; ++i)
    {
        descriptions.add ({});
        keys.add ({});
    }

    addButton (okText, 1);
    addButton (cancelText, 0);

    // The window adds each button in front of the others: OK is found by its text.
    if (auto* ok = getOkButton())
        ok->addListener (this);

    // Every key comes to the window, none to its buttons.
    for (auto* child : getChildren())
        child->setWantsKeyboardFocus (false);

    setWantsKeyboardFocus (true);

    if (isShowing())
        grabKeyboardFocus();
}

KeyEntryWindow::~KeyEntryWindow()
{
    if (auto* ok = getOkButton())
        ok->removeListener (this);
}

juce::Button* KeyEntryWindow::findButton (const juce::String& text) const
{
    for (auto* child : getChildren())
        if (auto* b = dynamic_cast<juce::Button*> (child))
            if (b->getButtonText() == text)
                return b;

    return nullptr;
}

juce::Button* KeyEntryWindow::getOkButton() const       { return findButton (okText); }
juce::Button* KeyEntryWindow::getCancelButton() const   { return findButton (cancelText); }

void KeyEntryWindow::show (const juce::String& message)
{
    shownMessage = message;
    setMessage (message);
}

juce::String KeyEntryWindow::capturedText() const
{
    juce::StringArray shown;

    for (int i = 0; i < count; ++i)
        shown.add (descriptions[i]);

    return shown.joinIntoString (", ").toUpperCase();
}

bool KeyEntryWindow::keyPressed (const juce::KeyPress& key)
{
    const auto description = key.getTextDescription();

    // A key without a description has nothing to replace before the first
    // combination.
    if (description.isEmpty() && count == 0)
        return true;

    // The surface sends keys by their USB usage: a key that the table does not
    // know would reach the computer as no key at all.
    if (! canSendKeyDescription (description))
    {
        const auto captured = capturedText();
        show ((captured.isNotEmpty() ? captured + "\n" : juce::String())
              + description.toUpperCase() + " cannot be sent by the surface. Please press another key.");
        return true;
    }

    if (description.isNotEmpty())
    {
        if (count < maxCombinations)
        {
            ++count;
        }
        else
        {
            // a fourth combination starts a new list
            count = 1;

            for (int i = 0; i < maxCombinations; ++i)
            {
                descriptions.set (i, {});
                keys.set (i, {});
            }
        }
    }

    valueKind = ValueTypeKind (ValueTypeKind::Hotkey);
    keys.set (count - 1, key);
    descriptions.set (count - 1, description);

    show (capturedText());
    return true;
}

void KeyEntryWindow::buttonClicked (juce::Button* button)
{
    if (button == nullptr || button->getButtonText() != okText)
        return;

    lastKeyEntryKind = valueKind;

    for (int i = 0; i < maxCombinations; ++i)
        capturedHotkeys.set (i, keys[i]);
}

} // namespace NsZ9m
