#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** Text of assignment type i: "func", "hotkey", "midi", "mouse", "hui", "null";
    empty outside 0 to 5. */
juce::String getValueTypeName (int index);

//==============================================================================
/** The assignment type of a control.

    Built from a stored text by trimming it and comparing it case-sensitively
    with the six names; any other text, the stored "nil" of a never-assigned
    control included, reads as Func.
*/
class ValueTypeKind
{
public:
    enum Kind { Func = 0, Hotkey = 1, Midi = 2, Mouse = 3, Hui = 4, Null = 5 };

    constexpr ValueTypeKind() noexcept = default;
    constexpr explicit ValueTypeKind (int v) noexcept : value (v) {}
    explicit ValueTypeKind (const juce::String& text);

    constexpr int get() const noexcept            { return value; }
    juce::String getName() const                  { return getValueTypeName (value); }

    constexpr bool operator== (ValueTypeKind o) const noexcept { return value == o.value; }
    constexpr bool operator!= (ValueTypeKind o) const noexcept { return value != o.value; }
    constexpr bool operator== (int o) const noexcept           { return value == o; }
    constexpr bool operator!= (int o) const noexcept           { return value != o; }

private:
    int value = Func;
};

} // namespace NsZ9m
