#include "core/model/ValueTypeKind.h"

namespace NsZ9m
{

static const juce::StringArray& valueTypeNames()
{
    static const juce::StringArray list { "func", "hotkey", "midi", "mouse", "hui", "null" };
    return list;
}

juce::String getValueTypeName (int index)   { return valueTypeNames()[index]; }

ValueTypeKind::ValueTypeKind (const juce::String& text)
    : value (juce::jmax (0, valueTypeNames().indexOf (text.trim(), false)))
{
}

} // namespace NsZ9m
