#include "core/model/ControlNumbers.h"

namespace NsZ9m
{

static bool within (int x, int lo, int hi) noexcept   { return x >= lo && x <= hi; }

bool isValidControlNumber (int c) noexcept   { return within (c, 1, numControls); }

bool isKnobControl (int c) noexcept
{
    return within (c, 116, 123) || within (c, 197, 204) || within (c, 213, 220)
        || within (c, 229, 236) || within (c, 245, 252);
}

bool isFaderControl (int c) noexcept         { return within (c, 136, 144); }
bool isButtonControl (int c) noexcept        { return ! isKnobControl (c) && ! isFaderControl (c); }
bool isLabelledButton (int c) noexcept       { return within (c, 1, numLabelledButtons); }
bool isControl116To123 (int c) noexcept      { return within (c, 116, 123); }
bool isControl189To196 (int c) noexcept      { return within (c, 189, 196); }
bool isControl124 (int c) noexcept           { return c == 124; }

int getControlKind (int c) noexcept
{
    if (isKnobControl (c))   return ControlKind::Knob;
    if (isFaderControl (c))  return ControlKind::Fader;
    return ControlKind::Button;
}

int controlRowOf (int c) noexcept
{
    if (within (c, 1, 80) || within (c, 93, 106) || within (c, 116, 144)
         || within (c, 165, 188) || within (c, 197, 252))
        return c - 1;

    if (within (c, 189, 196))
        return c - 83;

    return -1;
}

bool isValidSlotNumber (int n) noexcept      { return within (n, 1, numSlots); }
bool isSlotIndexForLeds (int i) noexcept     { return within (i, 0, 3); }

} // namespace NsZ9m
