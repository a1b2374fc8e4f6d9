#include "editor/MappableButton.h"
#include "editor/EditorState.h"
#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/base/StoredNumber.h"
#include "core/model/ControlKind.h"
#include "core/model/ControlNumbers.h"
#include "core/sync/Host.h"
#include "core/model/MidiMessageKind.h"
#include "core/sync/ProcessState.h"
#include "core/sync/StoreEdits.h"
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

int MappableButton::getFunctionCode() const
{
    return StoredNumber::fromVar (functionCode.getValue());
}

void MappableButton::setControl (juce::ValueTree ctl)
{
    controlId = StoredNumber::read (ctl, Ids::id);
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
        c.ctrl  = StoredNumber::readFlag (ctl, ctrl);
        c.shift = StoredNumber::readFlag (ctl, shift);
        c.alt   = StoredNumber::readFlag (ctl, alt);
        c.cmd   = StoredNumber::readFlag (ctl, cmd);
        c.key   = ctl.getProperty (keyName).toString();
        return c;
    }
}

juce::String MappableButton::getAssignmentText()
{
    auto store = Host::getInstance()->getStore();
    const auto daw = store.getCurrentDaw().get();

    const auto lockBy = StoredNumber::read (store.getControlOfCurrentSlot (controlId), Ids::lockBy);
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
                                   StoredNumber::read (source, Ids::chan), StoredNumber::read (source, Ids::msgValue), name);

        case ValueTypeKind::Mouse:
        {
            const auto c = comboOf (source, Ids::ctrl, Ids::shift, Ids::alt, Ids::cmd, Ids::keyName);
            return formatKeyComboForButton (c.ctrl, c.shift, c.alt, c.cmd, c.key, name, ValueTypeKind::Mouse);
        }

        case ValueTypeKind::Hui:
            // a typed name, the function's label, or a pair of the user's own by its address
            return getMidiAssignmentText (store, controlId);

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
    // The slot's DAW comes from a file: no child below the first.
    const auto daw = StoredNumber::read (slot, Ids::current, 1);
    const auto mode = daw >= 1 ? slot.getChild (daw - 1) : juce::ValueTree();

    button.setTooltip (mode.isValid() ? button.getAssignmentText() : juce::String());
}

} // namespace NsZ9m
