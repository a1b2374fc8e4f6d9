#include "core/model/ControlNumbers.h"
#include "core/model/DawId.h"
#include "core/model/KeyTables.h"
#include "core/model/MidiMessageKind.h"
#include "core/model/Products.h"
#include "core/model/NameLists.h"
#include "core/model/ValueTypeKind.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

TEST (ControlNumbers, RowOfEveryRangeBoundary)
{
    const std::pair<int, int> cases[] = {
        { 1, 0 }, { 80, 79 }, { 81, -1 }, { 92, -1 }, { 93, 92 }, { 106, 105 }, { 107, -1 },
        { 115, -1 }, { 116, 115 }, { 144, 143 }, { 145, -1 }, { 164, -1 }, { 165, 164 },
        { 188, 187 }, { 189, 106 }, { 196, 113 }, { 197, 196 }, { 252, 251 }, { 0, -1 }, { 253, -1 }
    };

    for (auto [control, row] : cases)
        EXPECT_EQ (controlRowOf (control), row) << "control " << control;
}

TEST (ControlNumbers, RowsAreDistinctAndLeaveTheDocumentedGaps)
{
    std::set<int> rows;
    int withRow = 0;

    for (int c = 1; c <= 252; ++c)
        if (auto r = controlRowOf (c); r >= 0)
        {
            ++withRow;
            EXPECT_TRUE (rows.insert (r).second) << "row " << r << " used twice";
        }

    EXPECT_EQ (withRow, 211);

    std::set<int> unused;
    for (int r = 0; r < 252; ++r)
        if (rows.count (r) == 0)
            unused.insert (r);

    std::set<int> expected { 114 };
    for (int r = 80; r <= 91; ++r)   expected.insert (r);
    for (int r = 144; r <= 163; ++r) expected.insert (r);
    for (int r = 188; r <= 195; ++r) expected.insert (r);
    EXPECT_EQ (unused, expected);
}

TEST (ControlNumbers, KindsAndClasses)
{
    int knobs = 0, faders = 0;

    for (int c = 1; c <= 252; ++c)
    {
        knobs += isKnobControl (c) ? 1 : 0;
        faders += isFaderControl (c) ? 1 : 0;
        EXPECT_EQ (isButtonControl (c), ! isKnobControl (c) && ! isFaderControl (c));
    }

    EXPECT_EQ (knobs, 40);
    EXPECT_EQ (faders, 9);
    EXPECT_EQ (getControlKind (124), ControlKind::Button);
    EXPECT_EQ (getControlKind (189), ControlKind::Button);
    EXPECT_EQ (getControlKind (136), ControlKind::Fader);
    EXPECT_EQ (getControlKind (252), ControlKind::Knob);
    EXPECT_EQ (getControlKind (116), ControlKind::Knob);
    EXPECT_EQ (getControlKind (115), ControlKind::Button);

    EXPECT_TRUE (isLabelledButton (1));
    EXPECT_TRUE (isLabelledButton (80));
    EXPECT_FALSE (isLabelledButton (81));
    EXPECT_FALSE (isLabelledButton (0));
    EXPECT_TRUE (isControl124 (124));
    EXPECT_TRUE (isControl116To123 (123));
    EXPECT_FALSE (isControl116To123 (124));
    EXPECT_TRUE (isControl189To196 (189));
    EXPECT_FALSE (isControl189To196 (197));
    EXPECT_TRUE (isValidControlNumber (252));
    EXPECT_FALSE (isValidControlNumber (253));

    EXPECT_TRUE (isValidSlotNumber (3));
    EXPECT_FALSE (isValidSlotNumber (0));
    EXPECT_TRUE (isSlotIndexForLeds (3));
    EXPECT_FALSE (isSlotIndexForLeds (4));
}

TEST (TextKinds, ValueTypeFromText)
{
    const std::pair<const char*, int> cases[] = {
        { "func", 0 }, { "hotkey", 1 }, { " hotkey ", 1 }, { "midi", 2 }, { "mouse", 3 }, { "hui", 4 },
        { "null", 5 }, { "Hotkey", 0 }, { "nil", 0 }, { "", 0 }, { "\tmidi\n", 2 }
    };

    for (auto [text, index] : cases)
        EXPECT_EQ (ValueTypeKind (juce::String (text)).get(), index) << "'" << text << "'";

    EXPECT_EQ (ValueTypeKind (4).getName(), "hui");
    EXPECT_EQ (getValueTypeName (6), "");
}

TEST (TextKinds, MidiKindFromTextAndStatus)
{
    const std::pair<const char*, int> cases[] = {
        { "note", 0 }, { "CC ", 1 }, { "Program", 2 }, { " pitch", 3 }, { "null", 4 }, { "sysex", 0 }, { "", 0 }
    };

    for (auto [text, index] : cases)
        EXPECT_EQ (MidiMessageKind (juce::String (text)).get(), index) << "'" << text << "'";

    EXPECT_EQ (midiKindIndexOfStatus (9), 0);
    EXPECT_EQ (midiKindIndexOfStatus (11), 1);
    EXPECT_EQ (midiKindIndexOfStatus (12), 2);
    EXPECT_EQ (midiKindIndexOfStatus (14), 3);
    EXPECT_EQ (midiKindIndexOfStatus (0), 4);
    EXPECT_EQ (midiKindIndexOfStatus (8), -1);

    EXPECT_EQ (statusNibbleOfMidiKind (1), 11);
    EXPECT_EQ (statusNibbleOfMidiKind (5), 0);
    EXPECT_EQ (getMidiKindDisplayName (2), "Program Change");
    EXPECT_EQ (getMidiKindName (-1), "");
    EXPECT_EQ (getControlKindName (4), "button");
    EXPECT_EQ (getControlKindName (7), "");
}

TEST (DawTable, NamesAndTests)
{
    EXPECT_EQ (getDawIdString (1), "bitwig");
    EXPECT_EQ (getDawIdString (3), "pro-tools");
    EXPECT_EQ (getDawIdString (18), "luna");
    EXPECT_EQ (getDawDisplayName (8), "Studio one");
    EXPECT_EQ (getDawDisplayName (15), "Adobe audition");
    EXPECT_EQ (getDawDisplayName (0), "");
    EXPECT_EQ (getDawDisplayName (19), "");

    for (int d = 1; d <= 18; ++d)
    {
        EXPECT_TRUE (isValidDawId (d));
        EXPECT_EQ (DawId (d).protocol(), d == 3 ? 1 : 0);
        EXPECT_EQ (isNotHuiDaw (d), d != 3);
    }

    EXPECT_FALSE (isValidDawId (0));
    EXPECT_FALSE (isDawIdInRange (19));
}

TEST (Products, ListAndTests)
{
    EXPECT_EQ (productList(), juce::Array<int> ({ 2055, 2056, 2067, 2068, 2069, 2070, 2071, 2072 }));
    EXPECT_EQ (modelNames()[0], "Z9-M");
    EXPECT_EQ (modelNames()[7], "Z9-X7");
    EXPECT_EQ (productIndexOf (2054), -1);

    EXPECT_FALSE (isSupportedProduct (2054));
    EXPECT_TRUE (isMTypeProduct (2054));
    EXPECT_TRUE (isMTypeProduct (2055));
    EXPECT_FALSE (isMTypeProduct (2056));
    EXPECT_TRUE (isXFamilyProduct (2056));
    EXPECT_TRUE (isXFamilyProduct (2072));
    EXPECT_FALSE (isXExtendedProduct (2056));
    EXPECT_FALSE (isXFamilyProduct (2073));
    EXPECT_FALSE (isSupportedProduct (2000));

    for (int p : productList())
        EXPECT_TRUE (isSupportedProduct (p));
}

TEST (KeyTables, CaptionsAndDescriptions)
{
    struct Row { int usage; const char* caption; const char* description; };
    const Row rows[] = {
        { 0x00, "", "" }, { 0x01, "#1", "#1" }, { 0x03, "Error Undefined", "Error Undefined" },
        { 0x04, "A", "A" }, { 0x1D, "Z", "Z" }, { 0x1E, "1", "1" }, { 0x27, "0", "0" },
        { 0x28, "Enter", "return" }, { 0x2C, "Spacebar", "spacebar" }, { 0x2D, "-", "-" },
        { 0x31, "\\", "\\" }, { 0x32, "#32", "#32" }, { 0x33, ";", ";" }, { 0x38, "/", "/" },
        { 0x39, "#39", "#39" }, { 0x3A, "F1", "F1" }, { 0x45, "F12", "F12" }, { 0x48, "Pause", "#3" },
        { 0x4F, "Right", "cursor right" }, { 0x53, "NumLock", "#53" }, { 0x56, "Num-", "numpad -" },
        { 0x59, "Num1", "numpad 1" }, { 0x62, "Num0", "numpad 0" }, { 0x67, "#67", "#67" },
        { 0x68, "F13", "F13" }, { 0x73, "F24", "F24" }, { 0x74, "Execute", "execute" }, { 0x7F, "Mute", "mute" }
    };

    for (auto& r : rows)
    {
        EXPECT_EQ (getKeyCaption (r.usage), r.caption) << std::hex << r.usage;
        EXPECT_EQ (getKeyDescription (r.usage), r.description) << std::hex << r.usage;
    }

    EXPECT_EQ (getKeyCaption (0x80), "");
    EXPECT_EQ (getKeyCaption (-1), "");
    EXPECT_EQ (getKeyDescription (128), "");
    EXPECT_EQ (hidUsageCaptions().size(), 128);

    for (int u = 1; u < 128; ++u)
        EXPECT_TRUE (getKeyCaption (u).isNotEmpty() && getKeyDescription (u).isNotEmpty()) << std::hex << u;
}

TEST (KeyTables, KeyboardCharactersHoldEveryPrintableCharacterOnce)
{
    auto& chars = keyboardCharacters();
    ASSERT_EQ (chars.length(), 95);
    EXPECT_TRUE (chars.startsWith ("`1234567890-=qwertyuiop"));
    EXPECT_EQ (chars[47], ' ');

    for (juce::juce_wchar c = 32; c <= 126; ++c)
        EXPECT_EQ (chars.indexOfChar (c), chars.lastIndexOfChar (c)) << (char) c;

    for (juce::juce_wchar c = 32; c <= 126; ++c)
        EXPECT_GE (chars.indexOfChar (c), 0) << (char) c;
}

TEST (SharedVocabulary, WordListsAndAscii)
{
    EXPECT_EQ (transportNames().joinIntoString (","), "Play,Stop,Record,Rewind,Fast Forward,Loop");
    EXPECT_EQ (rotationTypeNames()[1], "Numerical");
    EXPECT_FALSE (containsNonAscii ("plain ~ text"));
    EXPECT_TRUE (containsNonAscii (juce::String::fromUTF8 ("caf\xc3\xa9")));
    EXPECT_TRUE (containsNonAscii (juce::String::charToString (127)));
    EXPECT_EQ (toOneBased (0), 1);
    EXPECT_EQ (toZeroBased (1), 0);
    EXPECT_EQ (isOdd (3), 1);
}
