#include "core/model/AssignmentTexts.h"
#include "core/model/MappingIds.h"
#include "core/model/NameLists.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

namespace
{

/** Two display lines of 8 characters, each given as written. */
juce::String lines (const char* line1, const char* line2 = "        ")
{
    EXPECT_EQ (strlen (line1), 8u);
    EXPECT_EQ (strlen (line2), 8u);
    return juce::String (line1) + line2;
}

const juce::String sixteenSpaces = juce::String::repeatedString (" ", 16);

KeyCombo combo (const char* mods, const char* key)
{
    KeyCombo c;
    const juce::String m (mods);
    c.ctrl = m.containsChar ('c');
    c.shift = m.containsChar ('s');
    c.alt = m.containsChar ('a');
    c.cmd = m.containsChar ('m');
    c.key = key;
    return c;
}

juce::ValueTree ctlFromXml (const char* xml)
{
    auto tree = juce::ValueTree::fromXml (xml);
    EXPECT_TRUE (tree.isValid()) << xml;
    return tree;
}

} // namespace

//==============================================================================
TEST (FitText, FitsTheDisplaysTwoLines)
{
    const std::pair<const char*, juce::String> cases[] = {
        { "",                   sixteenSpaces },
        { "Copy",               lines ("  Copy  ") },
        { "A",                  lines ("   A    ") },
        { "ABCDEFGH",           lines ("ABCDEFGH") },
        { "Fast Forward",       lines ("  Fast  ", "Forward ") },   // an odd leftover space goes after the word
        { " Fast  Forward ",    lines ("  Fast  ", "Forward ") },   // extra spaces make no pieces
        { "ABCDEFGHIJKLMNOP",   "ABCDEFGHIJKLMNOP" },
        { "ABCDEFGHIJKLMNOPQ",  "ABCDEFGHIJKLMNOP" },
        { "Ultrawide Mode",     "Ultrawide Mode  " },              // a piece longer than a line breaks after 8
        { "a b c d e",          "a b c d e       " },              // three or more pieces
        { "ABCDEFGHIJ",         "ABCDEFGHIJ      " },
        { "         ",          sixteenSpaces },                   // no piece at all
        { "Loop Record",        lines ("  Loop  ", " Record ") },
    };

    for (auto& [text, fitted] : cases)
    {
        EXPECT_EQ (fitText (text), fitted) << "\"" << text << "\"";
        EXPECT_EQ (fitText (text).length(), fittedTextLength) << "\"" << text << "\"";
    }

    // Another fill and another field keep the same rules.
    EXPECT_EQ (fitText ("Fast.Forward", 8, 2, '.'), juce::String ("..Fast..Forward."));
    EXPECT_EQ (fitText ("ab cd ef", 4, 3, ' '), juce::String (" ab  cd  ef "));
}

//==============================================================================
TEST (KeyComboTexts, ModifierWordsAndStyles)
{
    struct Case { const char* mods; const char* key; int style; const char* combo; const char* comboAt; };
    const Case cases[] = {
        { "",     "A",        0, "A",                            "A" },
        { "cs",   "A",        0, "ctrl + shift + A",             "ctrl+shift+A" },
        { "csam", "A",        0, "cmd + ctrl + shift + alt + A", "cmd+ctrl+shift+alt+A" },
        { "am",   "A",        0, "cmd + alt + A",                "cmd+alt+A" },
        { "c",    "Page Up",  0, "ctrl + Page Up",               "ctrl+PageUp" },
        { "c",    "Page Up",  1, "ctrl + PageUp",                "ctrl+PageUp" },
        { "",     "Page Up",  1, "PageUp",                       "PageUp" },
        { "a",    "",         0, "alt + ",                       "alt+" },
    };

    for (auto& c : cases)
    {
        const auto k = combo (c.mods, c.key);
        EXPECT_EQ (formatKeyCombo (k.ctrl, k.shift, k.alt, k.cmd, k.key, c.style), juce::String (c.combo))
            << c.mods << " " << c.key;
        EXPECT_EQ (formatKeyComboAt (k.ctrl, k.shift, k.alt, k.cmd, k.key, c.style), juce::String (c.comboAt))
            << c.mods << " " << c.key;
    }
}

TEST (KeyComboTexts, ButtonText)
{
    struct Case { const char* mods; const char* key; const char* name; int style; const char* text; };
    const Case cases[] = {
        { "cs",   "Wheel Up", "",     0, "ctrl+shift Wheel Up" },
        { "cs",   "Wheel Up", "",     1, "ctrl+shift WheelUp" },
        { "cs",   "Wheel Up", "Undo", 1, "Undo" },
        { "",     "Wheel Up", "",     0, "Wheel Up" },
        { "",     "Wheel Up", "",     1, "WheelUp" },
        { "csam", "A",        "",     0, "cmd+ctrl+shift+alt A" },
        { "am",   "+",        "",     0, "cmd+alt +" },             // the key's own "+" is kept
        { "c",    "",         "",     0, "ctrl " },
    };

    for (auto& c : cases)
    {
        const auto k = combo (c.mods, c.key);
        EXPECT_EQ (formatKeyComboForButton (k.ctrl, k.shift, k.alt, k.cmd, k.key, c.name, c.style), juce::String (c.text))
            << c.mods << " " << c.key << " " << c.name;
    }
}

//==============================================================================
TEST (HotkeyText, AbbreviationsByModifierAndKeyCount)
{
    struct Case { KeyCombo k1, k2, k3; const char* name; int style; juce::String text; };
    const Case cases[] = {
        // a name wins, whatever the keys
        { combo ("cs", "A"),     combo ("a", "B"),  {},                "Copy", 1, lines ("  Copy  ") },
        // one key: modifiers abbreviated by their number
        { combo ("", "A"),       {}, {},                               "", 1, lines ("   A    ") },
        { combo ("c", "A"),      {}, {},                               "", 1, lines (" Ctrl A ") },
        { combo ("s", "A"),      {}, {},                               "", 1, lines ("Shift A ") },
        { combo ("a", "A"),      {}, {},                               "", 1, lines (" Alt A  ") },
        { combo ("m", "A"),      {}, {},                               "", 1, lines (" Cmd A  ") },
        { combo ("cs", "A"),     {}, {},                               "", 1, lines ("Ctl+Sft ", "   A    ") },
        { combo ("am", "A"),     {}, {},                               "", 1, lines ("Cmd+Alt ", "   A    ") },
        { combo ("sa", "Home"),  {}, {},                               "", 1, lines ("Sft+Alt ", "  Home  ") },
        { combo ("csa", "Home"), {}, {},                               "", 1, lines ("Ct+Sf+Al", "  Home  ") },
        { combo ("csm", "Home"), {}, {},                               "", 1, lines ("Cm+Ct+Sf", "  Home  ") },
        { combo ("csam", "Home"),{}, {},                               "", 1, lines ("CmCtSfAl", "  Home  ") },
        // style 1 removes the key's spaces, any other style keeps them
        { combo ("c", "Page Up"),{}, {},                               "", 1, lines ("  Ctrl  ", " PageUp ") },
        { combo ("c", "Page Up"),{}, {},                               "", 0, "Ctrl Page Up    " },
        // only combination 1 is shown with one key; k1 is empty when the key is elsewhere
        { {},                    combo ("", "A"), {},                  "", 1, sixteenSpaces },
        { combo ("c", ""),       {}, combo ("", "A"),                  "", 1, lines (" Ctrl   ") },
        { combo ("", "A"),       combo ("csa", ""), {},                "", 1, lines ("   A    ") },
        // two or three keys: one short part per combination
        { combo ("c", "a"),      combo ("s", "b"), {},                 "", 1, lines (" cA sB  ") },
        { combo ("c", "a"),      combo ("s", "b"), combo ("", "c"),    "", 1, lines ("cA sB C ") },
        { combo ("", "home"),    {}, combo ("ma", "end"),              "", 1, lines (" H  maE ") },
        { combo ("csam", "x"),   combo ("csam", "y"), combo ("csam", "z"), "", 1, "mcsaX mcsaY mcsa" },
    };

    for (size_t i = 0; i < std::size (cases); ++i)
    {
        auto& c = cases[i];
        EXPECT_EQ (formatHotkeyText (c.k1, c.k2, c.k3, c.name, c.style), c.text) << "case " << i;
    }
}

TEST (MidiText, KindAndNumber)
{
    struct Case { int status, channel, value; const char* name; const char* text; };
    const Case cases[] = {
        { 9,  1,  60,  "",       "Note 60" },
        { 9,  1,  0,   "",       "Note 0" },
        { 9,  1,  -1,  "",       "Note" },
        { 8,  1,  5,   "",       "Note 5" },    // any other nibble reads as a note
        { 11, 1,  7,   "",       "CC 7" },
        { 12, 1,  3,   "",       "PC 3" },
        { 14, 3,  100, "",       "PB 3" },      // pitch bend shows the channel
        { 0,  1,  5,   "",       "" },
        { 11, 1,  7,   "Volume", "Volume" },
        { 0,  1,  5,   "Mine",   "Mine" },
    };

    for (auto& c : cases)
        EXPECT_EQ (formatMidiText (c.status, c.channel, c.value, c.name), juce::String (c.text))
            << c.status << " " << c.channel << " " << c.value << " " << c.name;
}

//==============================================================================
TEST (DeviceLabelText, OfStoredControls)
{
    const std::pair<const char*, juce::String> cases[] = {
        { R"(<ctl valueType="hotkey" name="" ctrl="1" shift="0" alt="0" cmd="0" keyName="Page Up"/>)",
          lines ("  Ctrl  ", " PageUp ") },
        { R"(<ctl valueType="hotkey" name="" ctrl="0" keyName="a" ctrl2="1" keyName2="b" shift3="1" keyName3="c"/>)",
          lines ("A cB sC ") },
        { R"(<ctl valueType="hotkey" name="Save" ctrl="1" keyName="S"/>)",       lines ("  Save  ") },
        { R"(<ctl valueType="midi" name="" type="cc" chan="2" msgValue="7"/>)",  lines ("  CC 7  ") },
        { R"(<ctl valueType="midi" name="" type=" PITCH " chan="3" msgValue="1"/>)", lines ("  PB 3  ") },
        { R"(<ctl valueType="midi" name="" type="note" chan="1" msgValue="60"/>)", lines ("Note 60 ") },
        { R"(<ctl valueType="midi" name="" type="null" chan="1" msgValue="60"/>)", sixteenSpaces },
        { R"(<ctl valueType="midi" name="Drum" type="cc" chan="1" msgValue="1"/>)", lines ("  Drum  ") },
        { R"(<ctl valueType="func" name="Fast Forward" value="5"/>)",           lines ("  Fast  ", "Forward ") },
        { R"(<ctl valueType="mouse" name="Wheel Up" keyName="Wheel Up"/>)",      lines ("Wheel Up") },
        { R"(<ctl valueType="nil" name=""/>)",                                   sixteenSpaces },
        // the type is compared exactly: a padded "hotkey" shows only the name
        { R"(<ctl valueType=" hotkey" name="X" ctrl="1" keyName="A"/>)",         lines ("   X    ") },
        { R"(<ctl/>)",                                                           sixteenSpaces },
    };

    for (auto& [xml, text] : cases)
        EXPECT_EQ (formatDeviceLabelText (ctlFromXml (xml)), text) << xml;

    // Flags written by the program are booleans and ints, not texts.
    juce::ValueTree ctl (Ids::ctl);
    ctl.setProperty (Ids::valueType, "hotkey", nullptr);
    ctl.setProperty (Ids::ctrl, true, nullptr);
    ctl.setProperty (Ids::shift, 1, nullptr);
    ctl.setProperty (Ids::keyName, "A", nullptr);
    EXPECT_EQ (formatDeviceLabelText (ctl), lines ("Ctl+Sft ", "   A    "));
}

//==============================================================================
TEST (DeviceLabel, FlagCharacterOfEachShape)
{
    const std::pair<juce::String, int> cases[] = {
        { sixteenSpaces,                   7 },   // unassigned
        { lines ("ABCDEFGH"),              2 },   // one full line
        { lines ("ABCDEFG "),              1 },   // one odd line
        { lines ("  Copy  "),              3 },
        { lines ("   A    "),              1 },
        { lines ("Ctl+Sft ", "   A    "),  4 },
        { lines ("  Fast  ", "Forward "),  6 },
        { "ABCDEFGHIJKLMNOP",              7 },
        { lines ("  ABCDEF", "GH      "),  6 },   // trimmed exactly 8 long, but over two lines
    };

    for (auto& [text, flags] : cases)
    {
        const auto label = makeDeviceLabel (text);
        ASSERT_EQ (label.length(), deviceLabelLength) << "\"" << text << "\"";
        EXPECT_EQ ((int) label[0], flags) << "\"" << text << "\"";
        EXPECT_EQ (label.substring (1), text);

        EXPECT_EQ (labelNeedsTwoLines (text), (flags & 4) != 0) << "\"" << text << "\"";
        EXPECT_EQ (firstLineEven (text), (flags & 2) != 0) << "\"" << text << "\"";
        EXPECT_EQ (secondLineEven (text), (flags & 1) != 0) << "\"" << text << "\"";
    }
}

TEST (DeviceLabel, AlwaysSeventeenAsciiBytes)
{
    // Names as a loaded file may bring them: accents, other scripts, symbols,
    // and texts of the wrong length.
    const juce::String names[] = {
        "", "Copy", "Fast Forward", "Ultrawide Mode", "ABCDEFGHIJKLMNOPQRSTU",
        juce::String::fromUTF8 ("Caf\xc3\xa9"),
        juce::String::fromUTF8 ("\xc3\x9cber Stra\xc3\x9f" "e"),
        juce::String::fromUTF8 ("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"),
        juce::String::fromUTF8 ("\xf0\x9f\x8e\xb9 Piano \xe2\x82\xac"),
        "~", juce::String::charToString (127),
        "Tab\there", "Two\nLines\r\n", juce::String::charToString (1) + "Esc\x1b", juce::String::charToString (0x1f),
    };

    auto expectSound = [] (const juce::String& label, const juce::String& context)
    {
        EXPECT_EQ (label.length(), deviceLabelLength) << context;
        EXPECT_EQ (label.getNumBytesAsUTF8(), (size_t) deviceLabelLength) << context;
        EXPECT_FALSE (containsNonAscii (label)) << context;
        EXPECT_GE ((int) label[0], 1) << context;
        EXPECT_LE ((int) label[0], 7) << context;

        // only the flag byte is below the printable characters
        for (int i = 1; i < label.length(); ++i)
            EXPECT_TRUE (label[i] >= 32 && label[i] <= 126) << context << ", character " << i;
    };

    for (auto& name : names)
    {
        expectSound (makeDeviceLabel (fitText (name)), "fitted " + name);
        expectSound (makeDeviceLabel (name), "raw " + name);   // not fitted: cut or padded
    }

    for (auto& name : transportNames())
        expectSound (makeDeviceLabel (fitText (name)), name);

    EXPECT_EQ (makeDeviceLabel (fitText (juce::String::fromUTF8 ("Caf\xc3\xa9"))).substring (1),
               lines ("  Caf?  "));
    EXPECT_EQ (makeDeviceLabel (juce::String::charToString (127)).substring (1),
               juce::String ("?") + juce::String::repeatedString (" ", 15));
    EXPECT_EQ (makeDeviceLabel (juce::String::charToString (1) + "A\tB\x1b" "C\n").substring (1),
               juce::String ("?A?B?C?") + juce::String::repeatedString (" ", 9));
    EXPECT_EQ (makeDeviceLabel ("Copy").substring (1), juce::String ("Copy") + juce::String::repeatedString (" ", 12));
    EXPECT_EQ (makeDeviceLabel ("ABCDEFGHIJKLMNOPQRSTU").substring (1), juce::String ("ABCDEFGHIJKLMNOP"));
}

//==============================================================================
TEST (AssignmentTexts, MouseActionCode)
{
    const std::pair<const char*, int> cases[] = {
        { "Wheel Up", 1 }, { "wheel up", 1 }, { "WHEELUP", 1 }, { " Wheel  Up ", 1 }, { "wHeElUp", 1 },
        { "Wheel Down", 2 }, { "", 2 }, { "Wheel Upx", 2 }, { "Wheel", 2 },
    };

    for (auto [text, code] : cases)
        EXPECT_EQ (mouseActionCode (text), code) << "\"" << text << "\"";
}

TEST (AssignmentTexts, FormatHexPair)
{
    const std::tuple<int, int, const char*> cases[] = {
        { 10, 127, "#0A7F" }, { 0, 0, "#0000" }, { 255, 1, "#FF01" }, { 0xab, 0xcd, "#ABCD" }, { 256, 5, "#10005" },
    };

    for (auto [a, b, text] : cases)
        EXPECT_EQ (formatHexPair (a, b), juce::String (text)) << a << " " << b;
}
