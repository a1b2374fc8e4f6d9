#pragma once

#include "core/base/TypedInt.h"
#include <optional>

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
class ValueTypeKind : public TypedInt<ValueTypeKind>
{
public:
    enum Kind { Func = 0, Hotkey = 1, Midi = 2, Mouse = 3, Hui = 4, Null = 5 };

    using TypedInt::TypedInt;   // default: Func
    constexpr ValueTypeKind() noexcept = default;
    explicit ValueTypeKind (const juce::String& text);

    /** The kind whose name is exactly the stored text, untrimmed; nothing for
        any other text ("nil" of a never-assigned control included). For the
        code that must tell such a control from an assigned one. */
    static std::optional<ValueTypeKind> fromStoredText (const juce::String& text);

    juce::String getName() const                  { return getValueTypeName (value); }
};

} // namespace NsZ9m
