#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** "keyboard", "pad", "knob", "fader", "button", "pedal", "other"; empty
    outside 0 to 6. */
juce::String getControlKindName (int index);

//==============================================================================
/** The kind of one of the surface's controls. The control numbers themselves
    only ever give Knob, Fader or Button (see getControlKind()).
*/
class ControlKind
{
public:
    enum Kind { Keyboard = 0, Pad = 1, Knob = 2, Fader = 3, Button = 4, Pedal = 5, Other = 6 };

    constexpr ControlKind() noexcept = default;
    constexpr explicit ControlKind (int v) noexcept : value (v) {}

    /** Looks the text up exactly; an unknown text gives Keyboard (index 0). */
    explicit ControlKind (const juce::String& text);

    constexpr int get() const noexcept            { return value; }
    juce::String getName() const                  { return getControlKindName (value); }

    constexpr bool operator== (ControlKind o) const noexcept { return value == o.value; }
    constexpr bool operator!= (ControlKind o) const noexcept { return value != o.value; }
    constexpr bool operator== (int o) const noexcept         { return value == o; }
    constexpr bool operator!= (int o) const noexcept         { return value != o; }

private:
    int value = Keyboard;
};

} // namespace NsZ9m
