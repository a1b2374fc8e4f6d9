#include "core/link/ConsoleMessage.h"

namespace NsZ9m
{

const char* const consolePrefillText = "F02215 100900 0426F7";

juce::String ConsoleMessage::getErrorText() const
{
    switch (outcome)
    {
        case Outcome::wrongLength:      return "Wrong length!";
        case Outcome::nothingToSend:    return "Nothing to send!";
        case Outcome::tooLong:          return "Too long!";
        case Outcome::send:             break;
    }

    return {};
}

std::optional<juce::MidiMessage> ConsoleMessage::toMidiMessage() const
{
    // The framework's message needs at least one byte.
    if (outcome != Outcome::send || bytes.empty())
        return {};

    // The console sends what was typed, valid MIDI or not. The framework's
    // constructor checks that a short message's length matches its first
    // byte, so the message is made with a first byte it takes as it stands
    // (a system byte) and the typed one is put in its place afterwards: the
    // message is this function's own, not a const object.
    auto first = bytes.front();
    auto typed = bytes;
    typed.front() = 0xF0;

    juce::MidiMessage message (typed.data(), (int) typed.size(), 0.0);
    *const_cast<juce::uint8*> (message.getRawData()) = first;
    return message;
}

ConsoleMessage parseConsoleText (const juce::String& typedText)
{
    ConsoleMessage result;

    // Every character but the blank counts, whatever it is. Two walks over
    // the text, each linear however long it is: the length first, then the
    // pairs.
    size_t length = 0;

    // The text ends at its first null character, as the framework reads it
    // (which a malformed sequence of bytes may also decode to).
    for (auto p = typedText.getCharPointer();;)
    {
        const auto c = p.getAndAdvance();

        if (c == 0)
            break;

        if (c != ' ')
            ++length;
    }

    if (length % 2 != 0)
    {
        result.outcome = ConsoleMessage::Outcome::wrongLength;
        return result;
    }

    if (length == 0)
    {
        result.outcome = ConsoleMessage::Outcome::nothingToSend;
        return result;
    }

    if (length / 2 > (size_t) ConsoleMessage::maxBytes)
    {
        result.outcome = ConsoleMessage::Outcome::tooLong;
        return result;
    }

    result.bytes.reserve (length / 2);
    int value = 0;
    bool secondOfPair = false;

    for (auto p = typedText.getCharPointer();;)
    {
        const auto c = p.getAndAdvance();

        if (c == 0)
            break;

        if (c == ' ')
            continue;

        // Read as typed in upper case; anything but a digit adds nothing.
        const auto digit = juce::CharacterFunctions::getHexDigitValue (juce::CharacterFunctions::toUpperCase (c));

        if (digit >= 0)
            value = (value << 4) | digit;

        if (secondOfPair)
        {
            result.bytes.push_back ((juce::uint8) (value & 0xff));
            value = 0;
        }

        secondOfPair = ! secondOfPair;
    }

    result.outcome = ConsoleMessage::Outcome::send;
    return result;
}

} // namespace NsZ9m
