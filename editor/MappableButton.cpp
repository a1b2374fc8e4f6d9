#include "editor/MappableButton.h"
#include "editor/EditorState.h"
#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/ControlKind.h"
#include "core/model/ControlNumbers.h"
#include "core/sync/Host.h"
#include "core/model/MidiMessageKind.h"
#include "core/sync/ProcessState.h"
#include "core/model/Products.h"
#include "core/model/ValueTypeKind.h"

namespace NsZ9m
{

MappableButton::MappableButton (const juce::String& text)
    : juce::TextButton (text)
{
}

MappableButton::~MappableButton()
{
    if (currentButton == this)
        currentButton = nullptr;

    for (auto& b : nameButtons)
        if (b == this)
            b = nullptr;
}

void MappableButton::setControl (juce::ValueTree ctl)
{
    controlId = (int) ctl.getProperty (Ids::id);
    refreshText();
}

void MappableButton::refreshText()
{
    setDisplayText (getAssignmentText());
}

void MappableButton::setDisplayText (const juce::String& text)
{
    if (label != nullptr)
        label->setText (text, juce::dontSendNotification);
    else
        setButtonText (text);
}

namespace
{
    KeyCombo comboOf (const juce::ValueTree& ctl, const juce::Identifier& ctrl, const juce::Identifier& shift,
                      const juce::Identifier& alt, const juce::Identifier& cmd, const juce::Identifier& keyName)
    {
        KeyCombo c;
        c.ctrl  = (bool) ctl.getProperty (ctrl, false);
        c.shift = (bool) ctl.getProperty (shift, false);
        c.alt   = (bool) ctl.getProperty (alt, false);
        c.cmd   = (bool) ctl.getProperty (cmd, false);
        c.key   = ctl.getProperty (keyName).toString();
        return c;
    }
}

juce::String MappableButton::getAssignmentText()
{
    auto store = Host::getInstance()->getStore();
    const auto daw = store.getCurrentDaw().get();

    const int lockBy = store.getControlOfCurrentSlot (controlId).getProperty (Ids::lockBy, 0);
    const auto source = store.getControlOfCurrentSlot (lockBy != 0 ? lockBy : controlId);

    if (! isDawIdInRange (daw))
        return {};

    const auto name = source.getProperty (Ids::name).toString();

    switch (ValueTypeKind (source.getProperty (Ids::valueType).toString()).get())
    {
        case ValueTypeKind::Func:
            return name;

        case ValueTypeKind::Hotkey:
            return formatHotkeyText (comboOf (source, Ids::ctrl, Ids::shift, Ids::alt, Ids::cmd, Ids::keyName),
                                     comboOf (source, Ids::ctrl2, Ids::shift2, Ids::alt2, Ids::cmd2, Ids::keyName2),
                                     comboOf (source, Ids::ctrl3, Ids::shift3, Ids::alt3, Ids::cmd3, Ids::keyName3),
                                     name, ValueTypeKind::Hotkey).trim();

        case ValueTypeKind::Midi:
            return formatMidiText (MidiMessageKind (source.getProperty (Ids::type).toString()).getStatusNibble(),
                                   source.getProperty (Ids::chan), source.getProperty (Ids::msgValue), name);

        case ValueTypeKind::Mouse:
        {
            const auto c = comboOf (source, Ids::ctrl, Ids::shift, Ids::alt, Ids::cmd, Ids::keyName);
            return formatKeyComboForButton (c.ctrl, c.shift, c.alt, c.cmd, c.key, name, ValueTypeKind::Mouse);
        }

        case ValueTypeKind::Hui:
            if ((bool) source.getProperty (Ids::diyNameQ, false))
                return name;

            return getFunctionLabel (daw, ControlKind (getControlKind (controlId)), source.getProperty (Ids::value));

        default:
            return {};
    }
}

void updateControlButton (MappableButton& button)
{
    if (! isSlotIndexForLeds (currentSlotIndex))
        return;

    const auto model = Host::getInstance()->getTree().getChild (productIndexOf (currentProductId));
    const auto slot = model.getChild (currentSlotIndex);
    const int daw = slot.getProperty (Ids::current, 1);
    const auto mode = slot.getChild (daw - 1);

    button.setTooltip (mode.isValid() ? button.getAssignmentText() : juce::String());
}

} // namespace NsZ9m
