// The editor's SysEx console with whatever text a user may type or paste:
// every text gives either a message of half its length or a reason, and the
// pairs read the same as the framework's own hexadecimal reading of them.
#include "core/link/ConsoleMessage.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace NsZ9m;

    // The console's field only ever holds valid text.
    if (! juce::CharPointer_UTF8::isValidString (reinterpret_cast<const char*> (data), (int) size))
        return 0;

    const auto typed = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
    const auto message = parseConsoleText (typed);
    const auto text = typed.removeCharacters (" ").toUpperCase();
    const auto length = text.length();
    const auto midi = message.toMidiMessage();

    switch (message.outcome)
    {
        case ConsoleMessage::Outcome::send:
        {
            if (length % 2 != 0 || length == 0 || length / 2 > ConsoleMessage::maxBytes
                 || (int) message.bytes.size() != length / 2 || ! midi.has_value()
                 || midi->getRawDataSize() != length / 2 || message.getErrorText().isNotEmpty())
                __builtin_trap();

            for (int i = 0; i < length / 2; ++i)
                if (message.bytes[(size_t) i] != (juce::uint8) (text.substring (2 * i, 2 * i + 2).getHexValue32() & 0xff)
                     || midi->getRawData()[i] != message.bytes[(size_t) i])
                    __builtin_trap();

            break;
        }

        case ConsoleMessage::Outcome::wrongLength:
            if (length % 2 == 0 || midi.has_value() || message.getErrorText() != "Wrong length!")
                __builtin_trap();
            break;

        case ConsoleMessage::Outcome::nothingToSend:
            if (length != 0 || midi.has_value() || message.getErrorText().isEmpty())
                __builtin_trap();
            break;

        case ConsoleMessage::Outcome::tooLong:
            if (length / 2 <= ConsoleMessage::maxBytes || length % 2 != 0 || midi.has_value()
                 || message.getErrorText().isEmpty())
                __builtin_trap();
            break;
    }

    return 0;
}
