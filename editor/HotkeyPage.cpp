#include "editor/HotkeyPage.h"
#include "editor/EditorColours.h"
#include "editor/EditorForwarders.h"
#include "editor/EditorState.h"
#include "editor/KeyEntryWindow.h"
#include "editor/MappableButton.h"
#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/KeyTables.h"
#include "core/base/StoredNumber.h"
#include "core/sync/EditorLink.h"
#include "core/sync/Host.h"
#include "core/sync/StoreEdits.h"
#include "gui/Dialogs.h"

namespace NsZ9m
{

namespace
{
    bool flag (const juce::ValueTree& node, const juce::Identifier& name)
    {
        return StoredNumber::read (node, name) != 0 || node.getProperty (name).toString() == "true";
    }

    HotkeyCombination combinationOf (const juce::KeyPress& key)
    {
        const auto mods = key.getModifiers();
        return makeHotkeyCombination (key.getTextDescription(), mods.isCtrlDown(), mods.isShiftDown(), mods.isAltDown());
    }

    void refreshColumnOf (int controlId)
    {
        const auto column = (controlId - 1) % 16;

        for (int k = 0; k < 5; ++k)
        {
            const auto member = column + 16 * k + 1;

            if (member != controlId)
                if (auto* b = nameButtons[(size_t) (member - 1)])
                    b->refreshText();
        }
    }
}

//==============================================================================
HotkeyPage::HotkeyPage()
{
    nameCaption.setText ("Name:", juce::dontSendNotification);
    nameCaption.setJustificationType (juce::Justification::centredLeft);

    const auto& first = capturedHotkeys.getReference (0);
    keysLabel.setText (first.isValid() ? first.getTextDescription() : juce::String(), juce::dontSendNotification);
    keysLabel.setJustificationType (juce::Justification::centred);

    hotkeyCaption.setText ("Hotkey:", juce::dontSendNotification);
    hotkeyCaption.setJustificationType (juce::Justification::centredLeft);

    nameField.setJustificationType (juce::Justification::centred);
    nameField.setEditable (true, false, false);
    nameField.setColour (juce::Label::outlineColourId, juce::Colour (0xffd3d3d3));
    nameField.onEditorShow = [this] { restrictHotkeyNameEditor(); };
    nameField.onTextChange = [this] { applyHotkeyNameEdit(); };

    changeButton.addListener (this);

    for (auto* c : std::initializer_list<juce::Component*> { &nameCaption, &nameField, &hotkeyCaption, &keysLabel, &changeButton })
        addAndMakeVisible (c);
}

HotkeyPage::~HotkeyPage()
{
    changeButton.removeListener (this);
}

void HotkeyPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Colours::pageColour));
}

void HotkeyPage::resized()
{
    const auto W = getWidth(), H = getHeight();
    const auto w = (int) (W * 0.8);
    const auto y0 = (int) (H * 0.2);
    const auto x = (W - w) / 2;

    nameCaption.setBounds (x, y0 - 33, w, 28);
    nameField.setBounds (x, y0, w, 28);
    hotkeyCaption.setBounds (x, y0 + 42, w, 28);
    keysLabel.setBounds ((int) ((W - w * 1.2) / 2.0), y0 + 75, (int) (w * 1.2), 56);
    changeButton.setBounds (x, y0 + 145, w, 28);
}

//==============================================================================
void HotkeyPage::showButton (MappableButton* b)
{
    juce::String keyText, nameText;
    const auto id = b != nullptr ? b->getControlId() : 0;

    if (b != nullptr)
    {
        const auto node = getEditedNode (Host::getInstance()->getStore(), id);

        if (node.getProperty (Ids::valueType).toString() == "hotkey")
        {
            auto comboOf = [&node] (const juce::Identifier& ctrl, const juce::Identifier& shift,
                                    const juce::Identifier& alt, const juce::Identifier& cmd,
                                    const juce::Identifier& key, const juce::Identifier& keyName)
            {
                KeyCombo c;
                c.ctrl = flag (node, ctrl);
                c.shift = flag (node, shift);
                c.alt = flag (node, alt);
                c.cmd = flag (node, cmd);
                c.key = node.getProperty (keyName).toString();
                return std::make_pair (c, getKeyDescription (StoredNumber::read (node, key)));
            };

            const auto c1 = comboOf (Ids::ctrl,  Ids::shift,  Ids::alt,  Ids::cmd,  Ids::key,  Ids::keyName);
            const auto c2 = comboOf (Ids::ctrl2, Ids::shift2, Ids::alt2, Ids::cmd2, Ids::key2, Ids::keyName2);
            const auto c3 = comboOf (Ids::ctrl3, Ids::shift3, Ids::alt3, Ids::cmd3, Ids::key3, Ids::keyName3);

            juce::StringArray lines;

            for (auto* c : { &c1, &c2, &c3 })
                lines.add (formatKeyComboAt (c->first.ctrl, c->first.shift, c->first.alt, c->first.cmd, c->second, 1));

            keyText = lines.joinIntoString ("\n");
            nameText = formatHotkeyText (c1.first, c2.first, c3.first, node.getProperty (Ids::name).toString(),
                                         ValueTypeKind::Hotkey);
        }
    }

    nameField.setText (nameText.trim(), juce::dontSendNotification);
    keysLabel.setText (keyText.toUpperCase(), juce::dontSendNotification);

    const auto named = isLabelledButton (id);
    nameField.setEditable (named, false, false);
    nameCaption.setVisible (named);
    nameField.setVisible (named);
}

void HotkeyPage::refresh()
{
    if (currentButton != nullptr)
        showButton (currentButton);
}

void HotkeyPage::clearTexts()
{
    nameField.setText ({}, juce::dontSendNotification);
    keysLabel.setText ({}, juce::dontSendNotification);
}

//==============================================================================
void HotkeyPage::restrictHotkeyNameEditor()
{
    if (auto* editor = nameField.getCurrentTextEditor())
    {
        editor->setInputRestrictions (maxNameLength, keyboardCharacters());
        editor->setJustification (juce::Justification::centredBottom);
    }
}

void HotkeyPage::applyHotkeyNameEdit()
{
    if (currentButton == nullptr)
        return;

    auto store = Host::getInstance()->getStore();
    const auto id = currentButton->getControlId();
    const auto lockBy = getLockBy (store, id);
    const auto oldText = currentButton->getAssignmentText();

    const auto edit = setHotkeyName (store, id, nameField.getText());

    // A function or MIDI message that the name turned into a hotkey is free
    // again in the function grid.
    if (edit.kindChanged && (edit.previousKind == ValueTypeKind (ValueTypeKind::Func)
                              || edit.previousKind == ValueTypeKind (ValueTypeKind::Midi)))
        setMainFunctionButtonEnabledFromHotkeys (oldText, true);

    showButton (currentButton);
    currentButton->refreshText();

    if (lockBy > 0)
        refreshColumnOf (id);
}

void HotkeyPage::buttonClicked (juce::Button* button)
{
    if (button == &changeButton)
        captureHotkey();
}

void HotkeyPage::captureHotkey()
{
    juce::Component::SafePointer<HotkeyPage> self (this);
    KeyEntryWindow window;
    const auto result = Dialogs::runAlertWindow (window);

    // The page or the selection may have gone while the window was open.
    if (self == nullptr || result != 1 || currentButton == nullptr)
        return;

    auto store = Host::getInstance()->getStore();
    const auto id = currentButton->getControlId();

    if (! isValidControlNumber (id) || isHuiReservedControl (store, id))
        return;

    if (lastKeyEntryKind == ValueTypeKind (ValueTypeKind::Hotkey))
    {
        const std::array<HotkeyCombination, 3> combinations { combinationOf (capturedHotkeys[0]),
                                                              combinationOf (capturedHotkeys[1]),
                                                              combinationOf (capturedHotkeys[2]) };

        // The function that the control itself held is free again.
        const auto oldText = currentButton->getAssignmentText();

        if (store.getControlOfCurrentSlot (id).getProperty (Ids::valueType).toString().equalsIgnoreCase ("func"))
            setMainFunctionButtonEnabledFromHotkeys (oldText, true);

        assignHotkey (store, id, combinations);
        currentButton->refreshText();
    }

    if (currentButton != nullptr)
    {
        refreshMainComp();
        markCurrentSlotDirty (store);
    }
}

} // namespace NsZ9m
