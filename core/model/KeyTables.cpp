#include "core/model/KeyTables.h"

namespace NsZ9m
{

namespace
{
    struct KeyTablePair
    {
        juce::Array<juce::String> captions, descriptions;

        KeyTablePair()
        {
            captions.resize (128);
            descriptions.resize (128);

            auto both = [this] (int usage, const juce::String& text) { set (usage, text, text); };

            // usages without a key of their own read as "#" and the usage in hex
            for (int usage : { 0x32, 0x39, 0x46, 0x47, 0x54, 0x58, 0x63, 0x64, 0x65, 0x66, 0x67 })
                both (usage, "#" + juce::String::toHexString (usage));

            both (0x01, "#1");
            both (0x02, "#2");
            both (0x03, "Error Undefined");

            for (int i = 0; i < 26; ++i)
                both (0x04 + i, juce::String::charToString ((juce::juce_wchar) ('A' + i)));

            for (int i = 0; i < 9; ++i)
                both (0x1E + i, juce::String (i + 1));

            both (0x27, "0");

            for (int i = 0; i < 12; ++i)
            {
                both (0x3A + i, "F" + juce::String (i + 1));
                both (0x68 + i, "F" + juce::String (i + 13));
            }

            const char* punctuation[] = { "-", "=", "[", "]", "\\", nullptr, ";", "'", "`", ",", ".", "/" };

            for (int i = 0; i < 12; ++i)
                if (punctuation[i] != nullptr)
                    both (0x2D + i, punctuation[i]);

            set (0x28, "Enter",    "return");
            set (0x29, "Esc",      "escape");
            set (0x2A, "Bksp",     "backspace");
            set (0x2B, "Tab",      "tab");
            set (0x2C, "Spacebar", "spacebar");
            set (0x48, "Pause",    "#3");
            set (0x49, "Ins",      "insert");
            set (0x4A, "Home",     "home");
            set (0x4B, "PageUp",   "page up");
            set (0x4C, "Del",      "delete");
            set (0x4D, "End",      "end");
            set (0x4E, "PageDown", "page down");
            set (0x4F, "Right",    "cursor right");
            set (0x50, "Left",     "cursor left");
            set (0x51, "Down",     "cursor down");
            set (0x52, "Up",       "cursor up");
            set (0x53, "NumLock",  "#53");
            set (0x55, "*",        "*");
            set (0x56, "Num-",     "numpad -");
            set (0x57, "+",        "+");

            for (int i = 0; i < 9; ++i)
                set (0x59 + i, "Num" + juce::String (i + 1), "numpad " + juce::String (i + 1));

            set (0x62, "Num0", "numpad 0");

            const char* commands[] = { "Execute", "Help", "Menu", "Select", "Stop", "Again",
                                       "Undo", "Cut", "Copy", "Paste", "Find", "Mute" };

            for (int i = 0; i < 12; ++i)
                set (0x74 + i, commands[i], juce::String (commands[i]).toLowerCase());
        }

        void set (int usage, const juce::String& caption, const juce::String& description)
        {
            captions.set (usage, caption);
            descriptions.set (usage, description);
        }
    };

    const KeyTablePair& keyTables()
    {
        static const KeyTablePair tables;
        return tables;
    }
}

const juce::Array<juce::String>& hidUsageCaptions()   { return keyTables().captions; }
const juce::Array<juce::String>& keyDescriptions()    { return keyTables().descriptions; }

juce::String getKeyCaption (int usage)        { return hidUsageCaptions()[usage]; }
juce::String getKeyDescription (int usage)    { return keyDescriptions()[usage]; }

const juce::String& keyboardCharacters()
{
    static const juce::String chars = juce::String ("`1234567890-=qwertyuiop[]asdfghjkl;'\\zxcvbnm,./")
                                      + " "
                                      + "~!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"|ZXCVBNM<>?";
    return chars;
}

} // namespace NsZ9m
