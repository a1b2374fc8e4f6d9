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
    : TypedInt (juce::jmax (0, valueTypeNames().indexOf (text.trim(), false)))
{
}

std::optional<ValueTypeKind> ValueTypeKind::fromStoredText (const juce::String& text)
{
    auto index = valueTypeNames().indexOf (text, false);

    if (index < 0)
        return std::nullopt;

    return ValueTypeKind (index);
}

} // namespace NsZ9m
