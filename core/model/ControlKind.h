#pragma once

#include "core/base/TypedInt.h"

namespace NsZ9m
{

/** "keyboard", "pad", "knob", "fader", "button", "pedal", "other"; empty
    outside 0 to 6. */
juce::String getControlKindName (int index);

//==============================================================================
/** The kind of one of the surface's controls. The control numbers themselves
    only ever give Knob, Fader or Button (see getControlKind()).
*/
class ControlKind : public TypedInt<ControlKind>
{
public:
    enum Kind { Keyboard = 0, Pad = 1, Knob = 2, Fader = 3, Button = 4, Pedal = 5, Other = 6 };

    using TypedInt::TypedInt;   // default: Keyboard
    constexpr ControlKind() noexcept = default;

    /** Looks the text up exactly; an unknown text gives Keyboard (index 0). */
    explicit ControlKind (const juce::String& text);

    juce::String getName() const                  { return getControlKindName (value); }
};

} // namespace NsZ9m
