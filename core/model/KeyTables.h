#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** Modifier bits of a key combination as packed into one nibble in the
    built-in records and the device image. */
enum ModifierBits
{
    modifierCtrl  = 1,
    modifierShift = 2,
    modifierAlt   = 4,
    modifierCmd   = 8
};

/** Short key captions shown to the user, indexed by USB HID keyboard usage id
    0x00 to 0x7F. Reading outside the table gives the empty text. */
const juce::Array<juce::String>& hidUsageCaptions();

/** Key texts in the style of juce::KeyPress::getTextDescription(), indexed by
    the same usage id. Reading outside the table gives the empty text. */
const juce::Array<juce::String>& keyDescriptions();

juce::String getKeyCaption (int usage);
juce::String getKeyDescription (int usage);

/** The 95 printable ASCII characters in US keyboard order: the unshifted rows,
    a space, then the shifted rows. The editors' name fields accept only these. */
const juce::String& keyboardCharacters();

} // namespace NsZ9m
