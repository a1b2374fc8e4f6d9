#include "core/link/ConsoleMessage.h"
#include <gtest/gtest.h>

using NsZ9m::ConsoleMessage;
using NsZ9m::parseConsoleText;
using Outcome = ConsoleMessage::Outcome;

namespace
{
    std::vector<juce::uint8> bytes (std::initializer_list<int> values)
    {
        std::vector<juce::uint8> result;

        for (auto v : values)
            result.push_back ((juce::uint8) v);

        return result;
    }
}

TEST (ConsoleMessageTest, TypedTextGivesItsBytesOrTheReasonWhyNot)
{
    struct Case { const char* typed; Outcome outcome; std::vector<juce::uint8> bytes; const char* error; };

    const Case cases[] =
    {
        { "f0 7e 7f 06 01 f7",      Outcome::send,          bytes ({ 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }), "" },
        { "F02215 100900 0426F7",   Outcome::send,          bytes ({ 0xF0, 0x22, 0x15, 0x10, 0x09, 0x00, 0x04, 0x26, 0xF7 }), "" },
        { "G1",                     Outcome::send,          bytes ({ 0x01 }), "" },   // G is no digit: the pair is 1
        { "ZZ",                     Outcome::send,          bytes ({ 0x00 }), "" },
        { "1G",                     Outcome::send,          bytes ({ 0x01 }), "" },
        { " 9 0 3C7F ",             Outcome::send,          bytes ({ 0x90, 0x3C, 0x7F }), "" },
        { "\t9",                    Outcome::send,          bytes ({ 0x09 }), "" },   // only blanks go; a tab counts
        { "F02",                    Outcome::wrongLength,   {}, "Wrong length!" },
        { "f0 7",                   Outcome::wrongLength,   {}, "Wrong length!" },
        { "",                       Outcome::nothingToSend, {}, "Nothing to send!" },
        { "    ",                   Outcome::nothingToSend, {}, "Nothing to send!" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.typed);
        const auto m = parseConsoleText (c.typed);
        EXPECT_EQ (m.outcome, c.outcome);
        EXPECT_EQ (m.bytes, c.bytes);
        EXPECT_EQ (m.getErrorText(), juce::String (c.error));

        const auto midi = m.toMidiMessage();

        ASSERT_EQ (midi.has_value(), c.outcome == Outcome::send);

        if (midi)
        {
            ASSERT_EQ (midi->getRawDataSize(), (int) c.bytes.size());
            EXPECT_EQ (std::vector<juce::uint8> (midi->getRawData(), midi->getRawData() + midi->getRawDataSize()), c.bytes);
            EXPECT_EQ (midi->getTimeStamp(), 0.0);
        }
    }
}

TEST (ConsoleMessageTest, CharactersBeyondAsciiCountAsOneCharacterEachAndAddNothing)
{
    // "é" is one character (two bytes of UTF-8): with "1" it makes one pair.
    auto m = parseConsoleText (juce::String (juce::CharPointer_UTF8 ("\xc3\xa9" "1")));
    EXPECT_EQ (m.outcome, Outcome::send);
    EXPECT_EQ (m.bytes, bytes ({ 0x01 }));

    // Full-width digits are no hexadecimal digits.
    m = parseConsoleText (juce::String (juce::CharPointer_UTF8 ("\xef\xbc\x91" "\xef\xbc\x92")));
    EXPECT_EQ (m.bytes, bytes ({ 0x00 }));
}

TEST (ConsoleMessageTest, ALongMessageIsSentAndAnOverlongOneRefused)
{
    juce::String text;
    text.preallocateBytes ((size_t) 2 * ConsoleMessage::maxBytes + 4);

    for (int i = 0; i < ConsoleMessage::maxBytes; ++i)
        text << "7f";

    auto m = parseConsoleText (text);
    EXPECT_EQ (m.outcome, Outcome::send);
    EXPECT_EQ ((int) m.bytes.size(), ConsoleMessage::maxBytes);

    m = parseConsoleText (text + "00");
    EXPECT_EQ (m.outcome, Outcome::tooLong);
    EXPECT_EQ (m.getErrorText(), "Too long!");
    EXPECT_TRUE (m.bytes.empty());
    EXPECT_FALSE (m.toMidiMessage().has_value());

    // Odd stays odd, however long.
    EXPECT_EQ (parseConsoleText (text + "000").outcome, Outcome::wrongLength);
}
