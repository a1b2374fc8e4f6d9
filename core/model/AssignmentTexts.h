#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/*  The texts that show a control's assignment: on the editor's buttons and
    pages, and on the Z9-M's own display, which shows two lines of eight
    characters per labelled button.

    Every function here is pure: it reads only its arguments and may be called
    from any thread.
*/

/** Width and line count of the surface display's label field. */
inline constexpr int labelLineWidth = 8;
inline constexpr int labelLineCount = 2;

/** Characters of a fitted text (two display lines) and of a DeviceLabel
    (a flag character and a fitted text). */
inline constexpr int fittedTextLength = labelLineWidth * labelLineCount;
inline constexpr int deviceLabelLength = fittedTextLength + 1;

/** The key-text style that removes every space from the key texts before use
    (the device label uses it); any other style keeps them. */
inline constexpr int keyTextStyleWithoutSpaces = 1;

/** One key combination of a hotkey assignment: its modifier flags and its
    key text. */
struct KeyCombo
{
    bool ctrl = false, shift = false, alt = false, cmd = false;
    juce::String key;
};

//==============================================================================
/** The modifier words and the key, e.g. "ctrl + shift + A" (order cmd, ctrl,
    shift, alt); the key alone when no flag is set. */
juce::String formatKeyCombo (bool ctrl, bool shift, bool alt, bool cmd, const juce::String& key, int style);

/** formatKeyCombo with every space removed, e.g. "ctrl+shift+A". */
juce::String formatKeyComboAt (bool ctrl, bool shift, bool alt, bool cmd, const juce::String& key, int style);

/** The name when it is not empty; else the key when no flag is set; else the
    compact modifiers, a space and the key, e.g. "ctrl+shift Wheel Up". */
juce::String formatKeyComboForButton (bool ctrl, bool shift, bool alt, bool cmd,
                                      const juce::String& key, const juce::String& name, int style);

/** The fitted text (fitText) of a hotkey assignment of up to three
    combinations: the name when there is one, else combination 1 with its
    modifiers abbreviated by their number when at most one key text is set,
    else one short part per combination ("cA sB C"). Only the flags of
    combination 1 count towards the abbreviation. */
juce::String formatHotkeyText (const KeyCombo& combo1, const KeyCombo& combo2, const KeyCombo& combo3,
                               const juce::String& name, int style);

/** The name when it is not empty; else by MIDI status nibble: 0 empty,
    11 "CC <value>", 12 "PC <value>", 14 "PB <channel>", any other
    "Note <value>" ("Note" for a negative value). */
juce::String formatMidiText (int statusNibble, int channel, int value, const juce::String& name);

/** The fitted text of the assignment held by a ctl node of the mapping store:
    its hotkey text, its MIDI text or its name. The node is only read. */
juce::String formatDeviceLabelText (const juce::ValueTree& ctl);

/** The text fitted into lines x width characters: a short text centred on
    line 1; a text of one or two words that each fit, one word per line, each
    centred; anything else cut or padded with fill to the full field. Every
    caller uses the display's 8 x 2 with spaces. */
juce::String fitText (const juce::String& text,
                      int width = labelLineWidth,
                      int lines = labelLineCount,
                      juce::juce_wchar fill = ' ');

/** The DeviceLabel of a fitted text: one flag character whose code is 0 to 7
    (4 two lines needed, 2 first line even, 1 second line even), then the text.
    Always exactly deviceLabelLength ASCII characters: a character below 32
    or above 126 becomes '?', and a text that is not fittedTextLength long is
    cut or padded with spaces first, so the surface never receives a label of
    another size. */
juce::String makeDeviceLabel (const juce::String& fittedText);

/** The three flag bits of makeDeviceLabel. */
bool labelNeedsTwoLines (const juce::String& text, int width = labelLineWidth);
bool firstLineEven (const juce::String& text, int width = labelLineWidth);
bool secondLineEven (const juce::String& text, int width = labelLineWidth);

/** 1 when the key text of a mouse assignment is "Wheel Up" (ignoring case and
    spaces), else 2. */
int mouseActionCode (const juce::String& keyText);

/** "#" and a and b as two upper-case hexadecimal digits each, e.g. "#0A7F". */
juce::String formatHexPair (int a, int b);

} // namespace NsZ9m
