#include "core/model/MidiMessageKind.h"

namespace NsZ9m
{

static const juce::StringArray& midiKindNames()
{
    static const juce::StringArray list { "note", "cc", "program", "pitch", "null" };
    return list;
}

static const juce::StringArray& midiKindDisplayNames()
{
    static const juce::StringArray list { "Note", "CC", "Program Change", "Pitch Bend", "null" };
    return list;
}

static const juce::Array<int>& midiStatusNibbles()
{
    static const juce::Array<int> list { 9, 11, 12, 14, 0 };
    return list;
}

juce::String getMidiKindName (int index)          { return midiKindNames()[index]; }
juce::String getMidiKindDisplayName (int index)   { return midiKindDisplayNames()[index]; }
int statusNibbleOfMidiKind (int index) noexcept   { return midiStatusNibbles()[index]; }
int midiKindIndexOfStatus (int nibble) noexcept   { return midiStatusNibbles().indexOf (nibble); }

MidiMessageKind::MidiMessageKind (const juce::String& text)
    : TypedInt (juce::jmax (0, midiKindNames().indexOf (text.trim().toLowerCase(), false)))
{
}

} // namespace NsZ9m
