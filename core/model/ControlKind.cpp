#include "core/model/ControlKind.h"

namespace NsZ9m
{

static const juce::StringArray& controlKindNames()
{
    static const juce::StringArray list { "keyboard", "pad", "knob", "fader", "button", "pedal", "other" };
    return list;
}

juce::String getControlKindName (int index)   { return controlKindNames()[index]; }

ControlKind::ControlKind (const juce::String& text)
    : TypedInt (juce::jmax (0, controlKindNames().indexOf (text, false)))
{
}

} // namespace NsZ9m
