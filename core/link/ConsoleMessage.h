#pragma once

#include "core/base/JuceIncludes.h"
#include <optional>
#include <vector>

namespace NsZ9m
{

/**
    What the editor's SysEx console makes of the text the user typed into it:
    either the bytes of one MIDI message to send as typed, or the reason why
    nothing is sent.

    The text loses every blank (" ") and is read as consecutive pairs of
    characters, each pair a hexadecimal number of which the low 8 bits make
    one byte; characters that are not hexadecimal digits count towards the
    length but add nothing to their pair's value ("G1" gives 01, "ZZ" 00).
    The bytes are not checked to form a valid MIDI or SysEx message.

    Any text gives one of the outcomes; none is refused by throwing or
    asserting. A pure function of its argument; any thread.
*/
struct ConsoleMessage
{
    enum class Outcome
    {
        send,           ///< bytes holds the message
        wrongLength,    ///< an odd number of characters: "Wrong length!"
        nothingToSend,  ///< nothing but blanks: "Nothing to send!"
        tooLong         ///< more than maxBytes bytes: "Too long!"
    };

    Outcome outcome = Outcome::nothingToSend;
    std::vector<juce::uint8> bytes;

    /** The text the console shows instead of sending; empty for send. */
    juce::String getErrorText() const;

    /** The bytes as one message with time stamp 0; nothing unless the
        outcome is send. */
    std::optional<juce::MidiMessage> toMidiMessage() const;

    /** The longest message the console sends: far beyond anything the
        surface takes, small enough that no typed or pasted text ties up the
        program or the port. */
    static constexpr int maxBytes = 65536;
};

/** Reads the console's text (see ConsoleMessage). */
ConsoleMessage parseConsoleText (const juce::String& typedText);

/** The text the console's field holds when it opens: the nine bytes
    F0 22 15 10 09 00 04 26 F7. */
extern const char* const consolePrefillText;

} // namespace NsZ9m
