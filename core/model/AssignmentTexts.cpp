#include "core/model/AssignmentTexts.h"
#include "core/model/MappingIds.h"
#include "core/model/MidiMessageKind.h"
#include "core/model/ValueTypeKind.h"
#include "core/base/PlatformHelpers.h"
#include "core/base/StoredNumber.h"

namespace NsZ9m
{

static juce::String applyKeyStyle (const juce::String& key, int style)
{
    return style == keyTextStyleWithoutSpaces ? key.removeCharacters (" ") : key;
}

juce::String formatKeyCombo (bool ctrl, bool shift, bool alt, bool cmd, const juce::String& key, int style)
{
    juce::String mods;

    if (cmd)    mods << "cmd + ";
    if (ctrl)   mods << "ctrl + ";
    if (shift)  mods << "shift + ";
    if (alt)    mods << "alt + ";

    return mods + applyKeyStyle (key, style);
}

juce::String formatKeyComboAt (bool ctrl, bool shift, bool alt, bool cmd, const juce::String& key, int style)
{
    return formatKeyCombo (ctrl, shift, alt, cmd, key, style).removeCharacters (" ");
}

juce::String formatKeyComboForButton (bool ctrl, bool shift, bool alt, bool cmd,
                                      const juce::String& key, const juce::String& name, int style)
{
    const auto k = applyKeyStyle (key, style);

    if (name.isNotEmpty())
        return name;

    if (! (ctrl || shift || alt || cmd))
        return k;

    const auto mods = formatKeyCombo (ctrl, shift, alt, cmd, k, style)
                          .upToLastOccurrenceOf (" + ", false, false)
                          .removeCharacters (" ")
                          .toLowerCase();

    return mods + " " + k;
}

//==============================================================================
/** The set ones of four modifier texts in the order cmd, ctrl, shift, alt. */
static juce::String joinSetModifiers (const KeyCombo& c, const char* cmdText, const char* ctrlText,
                                      const char* shiftText, const char* altText)
{
    juce::String s;

    if (c.cmd)    s << cmdText;
    if (c.ctrl)   s << ctrlText;
    if (c.shift)  s << shiftText;
    if (c.alt)    s << altText;

    return s;
}

static juce::String shortComboPart (const KeyCombo& c, const juce::String& styledKey)
{
    return joinSetModifiers (c, "m", "c", "s", "a") + styledKey.substring (0, 1).toUpperCase();
}

juce::String formatHotkeyText (const KeyCombo& combo1, const KeyCombo& combo2, const KeyCombo& combo3,
                               const juce::String& name, int style)
{
    const int keyCount = (combo1.key.isNotEmpty() ? 1 : 0)
                       + (combo2.key.isNotEmpty() ? 1 : 0)
                       + (combo3.key.isNotEmpty() ? 1 : 0);

    const int modCount = (combo1.ctrl ? 1 : 0) + (combo1.shift ? 1 : 0)
                       + (combo1.alt ? 1 : 0) + (combo1.cmd ? 1 : 0);

    const auto k1 = applyKeyStyle (combo1.key, style);
    const auto k2 = applyKeyStyle (combo2.key, style);
    const auto k3 = applyKeyStyle (combo3.key, style);

    if (name.isNotEmpty())
        return fitText (name);

    if (keyCount <= 1)
    {
        switch (modCount)
        {
            case 0:  return fitText (k1);
            case 1:  return fitText (joinSetModifiers (combo1, "Cmd ", "Ctrl ", "Shift ", "Alt ") + k1);
            case 2:  return fitText (joinSetModifiers (combo1, "Cmd+", "Ctl+", "Sft+", "Alt+").dropLastCharacters (1) + " " + k1);
            case 3:  return fitText (joinSetModifiers (combo1, "Cm+", "Ct+", "Sf+", "Al+").dropLastCharacters (1) + fitText (k1));
            default: return fitText ("CmCtSfAl" + fitText (k1));
        }
    }

    return fitText (shortComboPart (combo1, k1) + " "
                  + shortComboPart (combo2, k2) + " "
                  + shortComboPart (combo3, k3));
}

juce::String formatMidiText (int statusNibble, int channel, int value, const juce::String& name)
{
    if (name.isNotEmpty())
        return name;

    switch (statusNibble)
    {
        case 0:   return {};
        case 11:  return "CC " + juce::String (value);
        case 12:  return "PC " + juce::String (value);
        case 14:  return "PB " + juce::String (channel);
        default:  return value >= 0 ? "Note " + juce::String (value) : juce::String ("Note");
    }
}

static KeyCombo comboOf (const juce::ValueTree& ctl, const juce::Identifier& ctrl, const juce::Identifier& shift,
                         const juce::Identifier& alt, const juce::Identifier& cmd, const juce::Identifier& keyName)
{
    KeyCombo c;
    c.ctrl  = StoredNumber::readFlag (ctl, ctrl);
    c.shift = StoredNumber::readFlag (ctl, shift);
    c.alt   = StoredNumber::readFlag (ctl, alt);
    c.cmd   = StoredNumber::readFlag (ctl, cmd);
    c.key   = ctl[keyName].toString();
    return c;
}

juce::String formatDeviceLabelText (const juce::ValueTree& ctl)
{
    const auto vt = ValueTypeKind::fromStoredText (ctl[Ids::valueType].toString());
    const auto name = ctl[Ids::name].toString();

    if (vt == ValueTypeKind (ValueTypeKind::Hotkey))
        return formatHotkeyText (comboOf (ctl, Ids::ctrl,  Ids::shift,  Ids::alt,  Ids::cmd,  Ids::keyName),
                                 comboOf (ctl, Ids::ctrl2, Ids::shift2, Ids::alt2, Ids::cmd2, Ids::keyName2),
                                 comboOf (ctl, Ids::ctrl3, Ids::shift3, Ids::alt3, Ids::cmd3, Ids::keyName3),
                                 name, keyTextStyleWithoutSpaces);

    if (vt == ValueTypeKind (ValueTypeKind::Midi))
    {
        const MidiMessageKind kind (ctl[Ids::type].toString());
        return fitText (formatMidiText (kind.getStatusNibble(), StoredNumber::read (ctl, Ids::chan),
                                       StoredNumber::read (ctl, Ids::msgValue), name));
    }

    return fitText (name);
}

//==============================================================================
juce::String fitText (const juce::String& text, int width, int lines, juce::juce_wchar fill)
{
    jassert (width > 0 && lines > 0); // the field needs at least one line of one character

    if (width <= 0 || lines <= 0)
        return {};

    const int total = width * lines;
    const int length = text.length();

    if (length > total)
        return text.substring (0, total);

    if (length <= width)
        return padToField (centreText (text, width, fill), width, lines, fill);

    const auto pieces = splitString (text, juce::String::charToString (fill));
    bool piecesFit = ! pieces.isEmpty() && pieces.size() <= lines;

    for (auto& piece : pieces)
        piecesFit = piecesFit && piece.length() <= width;

    if (! piecesFit)
        return padToField (text, width, lines, fill);

    juce::String result;

    for (auto& piece : pieces)
        result << centreText (piece, width, fill);

    return padToField (result, width, lines, fill);
}

//==============================================================================
static int trimmedLength (const juce::String& s)   { return s.trim().length(); }

bool labelNeedsTwoLines (const juce::String& text, int width)
{
    const auto used = text.trimEnd().length();
    return ! (used >= 1 && used <= width);
}

bool firstLineEven (const juce::String& text, int width)
{
    return trimmedLength (text.substring (0, width)) % 2 == 0;
}

bool secondLineEven (const juce::String& text, int width)
{
    if (trimmedLength (text) == width)
        return false;

    return trimmedLength (text.substring (width, 2 * width)) % 2 == 0;
}

juce::String makeDeviceLabel (const juce::String& fittedText)
{
    // The surface takes one printable byte per character: anything a name
    // brought in from outside them (a loaded file), control characters
    // included, shows as '?'.
    juce::String text;

    for (auto p = fittedText.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        text += (c < 32 || c > 126) ? juce::juce_wchar ('?') : c;
    }

    // Any other length would shift every later label on the surface.
    text = text.substring (0, fittedTextLength).paddedRight (' ', fittedTextLength);

    const int flags = (labelNeedsTwoLines (text, labelLineWidth) ? 4 : 0)
                    + (firstLineEven (text, labelLineWidth) ? 2 : 0)
                    + (secondLineEven (text, labelLineWidth) ? 1 : 0);

    // A full-length text never gives 0, which a juce::String could not hold.
    jassert (flags != 0);

    return juce::String::charToString ((juce::juce_wchar) flags) + text;
}

int mouseActionCode (const juce::String& keyText)
{
    return keyText.removeCharacters (" ").equalsIgnoreCase ("WheelUp") ? 1 : 2;
}

juce::String formatHexPair (int a, int b)
{
    return juce::String::formatted ("#%02X%02X", a, b);
}

} // namespace NsZ9m
