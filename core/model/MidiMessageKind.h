#pragma once

#include "core/base/TypedInt.h"

namespace NsZ9m
{

/** "note", "cc", "program", "pitch", "null"; empty outside 0 to 4. */
juce::String getMidiKindName (int index);

/** "Note", "CC", "Program Change", "Pitch Bend", "null"; empty outside 0 to 4. */
juce::String getMidiKindDisplayName (int index);

/** The MIDI status nibble of kind i: 9, 11, 12, 14, 0; 0 outside 0 to 4. */
int statusNibbleOfMidiKind (int index) noexcept;

/** The kind index of a status nibble (order 9, 11, 12, 14, 0), or -1. */
int midiKindIndexOfStatus (int nibble) noexcept;

//==============================================================================
/** The kind of a MIDI assignment.

    Built from a stored text by trimming it, lower-casing it and comparing it
    with the five names; an unknown text reads as Note.
*/
class MidiMessageKind : public TypedInt<MidiMessageKind>
{
public:
    enum Kind { Note = 0, Cc = 1, Program = 2, Pitch = 3, Null = 4 };

    using TypedInt::TypedInt;   // default: Note
    constexpr MidiMessageKind() noexcept = default;
    explicit MidiMessageKind (const juce::String& text);

    juce::String getName() const                  { return getMidiKindName (value); }
    juce::String getDisplayName() const           { return getMidiKindDisplayName (value); }
    int getStatusNibble() const noexcept          { return statusNibbleOfMidiKind (value); }
};

} // namespace NsZ9m
