#include "core/model/BuiltInProfiles.h"
#include "core/base/StoredNumber.h"
#include "core/model/MappingStore.h"
#include "core/model/ControlNumbers.h"
#include "core/model/KeyTables.h"
#include "core/model/MidiMessageKind.h"
#include "core/model/Products.h"
#include <array>
#include <iterator>

namespace NsZ9m
{

namespace
{

//==============================================================================
// The HUI function table: label and address (zone, port byte) of each function.

struct HuiTable
{
    juce::StringArray buttonLabels, faderLabels, knobLabels;
    HuiAddress addresses[huiFunctionTableSize];

    HuiTable()
    {
        struct Entry { const char* label; int zone, port; };

        static const Entry fixed[] =
        {
            { "(blank)", -1, -1 },         { "Stop", 0x0E, 0x43 },        { "Play", 0x0E, 0x44 },
            { "Rewind", 0x0E, 0x41 },      { "Fast Forward", 0x0E, 0x42 },{ "Record", 0x0E, 0x45 },
            { "Loop", 0x0F, 0x43 },        { "Ctrl", 0x08, 0x40 },        { "Shift / Add", 0x08, 0x41 },
            { "Option", 0x08, 0x42 },      { "Undo", 0x08, 0x43 },        { "Ctrl / Clutch", 0x08, 0x44 },
            { "Alt /CMD /Fine", 0x08, 0x45 }, { "Save", 0x08, 0x47 },     { "Mix", 0x09, 0x40 },
            { "Edit", 0x09, 0x41 },        { "Transprt", 0x09, 0x42 },    { "Memory Location", 0x09, 0x43 },
            { "Alt View", 0x09, 0x45 },    { "|<", 0x0A, 0x40 },          { "<<8", 0x0A, 0x41 },
            { ">|", 0x0A, 0x42 },          { "8>>", 0x0A, 0x43 },         { "Send A", 0x0B, 0x47 },
            { "Send B", 0x0B, 0x46 },      { "Send C", 0x0B, 0x45 },      { "Send D", 0x0B, 0x44 },
            { "Send E", 0x0B, 0x43 },      { "Pan", 0x0B, 0x42 },         { "Input", 0x0B, 0x41 },
            { "Output", 0x0B, 0x40 },      { "Plug-in*", 0x0B, 0x48 },    { "Assign", 0x0C, 0x40 },
            { "Default", 0x0C, 0x41 },     { "Suspend", 0x0C, 0x42 },     { "Flip", 0x0C, 0x43 },
            { "Up", 0x0D, 0x40 },          { "Right", 0x0D, 0x41 },       { "Zoom", 0x0D, 0x42 },
            { "Left", 0x0D, 0x43 },        { "Down", 0x0D, 0x44 },        { "Scrub*", 0x0D, 0x45 },
            { "RTZ", 0x0F, 0x40 },         { "End", 0x0F, 0x41 },         { "Online", 0x0F, 0x42 },
            { "Quick Punch", 0x0F, 0x44 }, { "V-Select *", 0x00, 0x46 },  { "Previous", 0x10, 0x41 },
            { "In", 0x10, 0x42 },          { "Out", 0x10, 0x43 },         { "Post", 0x10, 0x44 },
            { "Enter", 0x14, 0x40 },       { "Click", 0x15, 0x40 },       { "Count Off", 0x15, 0x41 },
            { "MIDI Merge", 0x15, 0x42 },  { "Trim", 0x18, 0x40 },        { "Latch", 0x18, 0x41 },
            { "Read / Off", 0x18, 0x42 },  { "Off", 0x18, 0x43 },         { "Write", 0x18, 0x44 },
            { "Touch", 0x18, 0x45 },       { "Auto", 0x19, 0x42 },        { "Paste", 0x1A, 0x40 },
            { "Cut", 0x1A, 0x41 },         { "Clear", 0x1A, 0x43 },       { "Copy", 0x1A, 0x44 },
            { "Separate", 0x1A, 0x45 },    { "Esc / Cancel", 0x1B, 0x47 },{ "Plug-in Assign", 0x1C, 0x41 },
            { "Bypass", 0x1C, 0x46 },      { "Compare", 0x1C, 0x47 },     { "User A", 0x1D, 0x00 },
            { "User B", 0x1D, 0x01 },      { "TouchM", 0x00, 0x00 }
        };

        for (auto& e : fixed)
            add (e.label, e.zone, e.port);

        // 74 to 121: the channel strips, zone = channel - 1
        struct StripGroup { const char* prefix; int port; };
        static const StripGroup strips[] = { { "Touch ", 0x40 }, { "SEL ", 0x41 }, { "MUTE", 0x42 },
                                             { "SOLO", 0x43 }, { "REC ", 0x47 }, { "MON ", 0x44 } };
        for (auto& g : strips)
            for (int ch = 0; ch < 8; ++ch)
                add (juce::String (g.prefix) + juce::String (ch + 1), ch, g.port);

        add ("(custom)", -1, -1);
        jassert (buttonLabels.size() == huiFunctionTableSize);

        for (int i = 1; i <= 8; ++i)
        {
            faderLabels.add ("Volume " + juce::String (i));
            knobLabels.add ("Pan " + juce::String (i));
        }

        faderLabels.add ("VolumeM");
    }

    void add (const juce::String& label, int zone, int port)
    {
        auto index = buttonLabels.size();
        buttonLabels.add (label);
        addresses[index] = { (juce::int8) zone, (juce::int8) port };
    }
};

const HuiTable& huiTable()
{
    static const HuiTable table;
    return table;
}

//==============================================================================
// Mackie Control note numbers of the standard layout, as the function label
// tables index them.

enum MackieNote
{
    noteRecArm = 0, noteSolo = 8, noteMute = 16, noteSelect = 24, noteVSelect = 32,
    noteAssignTrack = 40, noteBankLeft = 46, noteChannelLeft = 48, noteFlip = 50, noteGlobalView = 51,
    noteNameValue = 52, noteFunction1 = 54, noteViewMidi = 62, noteShift = 70, noteRead = 74,
    noteSave = 80, noteMarker = 84, noteNudge = 85, noteCycle = 86, noteDrop = 87, noteClick = 89,
    noteSoloClear = 90, noteRewind = 91, noteUp = 96, noteZoom = 100, noteScrub = 101, noteUserA = 102,
    noteFaderTouch = 104, noteMasterTouch = 112
};

/** A run of consecutive controls on consecutive notes (or HUI functions). */
struct Run
{
    int firstControl, lastControl, first;
};

// The buttons of every non-HUI profile unless a DAW says otherwise. Controls
// 49 to 80 have no note here: they carry the hotkey block.
const Run mackieButtonLayout[] =
{
    // labelled bank 1: assignment, display, view groups
    { 1, 6, noteAssignTrack }, { 7, 8, noteNameValue }, { 9, 16, noteViewMidi },
    // labelled bank 2: modifiers, automation, utilities, drop and replace
    { 17, 20, noteShift }, { 21, 26, noteRead }, { 27, 30, noteSave }, { 31, 32, noteDrop },
    // labelled bank 3: F1 to F8, marker, nudge, click, scrub, bank and channel again
    { 33, 40, noteFunction1 }, { 41, 42, noteMarker }, { 43, 43, noteClick }, { 44, 44, noteScrub },
    { 45, 48, noteBankLeft },
    // navigation and transport
    { 93, 97, noteBankLeft }, { 98, 98, noteGlobalView }, { 99, 103, noteRewind }, { 104, 104, noteCycle },
    { 105, 106, noteClick },
    // beside the jog wheel (control 124): user keys, cursor, zoom, scrub, marker, nudge, master touch
    { 125, 126, noteUserA }, { 127, 130, noteUp }, { 131, 132, noteZoom }, { 133, 134, noteMarker },
    { 135, 135, noteMasterTouch },
    // channel strips: record, solo, mute, select
    { 165, 196, noteRecArm },
    // below the knob banks: V-Pot select, fader touch, F1 to F8
    { 205, 212, noteVSelect }, { 221, 228, noteFaderTouch }, { 237, 244, noteFunction1 }
};

int runValueOf (const Run* runs, size_t numRuns, int control)
{
    for (size_t i = 0; i < numRuns; ++i)
        if (control >= runs[i].firstControl && control <= runs[i].lastControl)
            return runs[i].first + control - runs[i].firstControl;

    return -1;
}

constexpr int jogWheelControl = 124;
constexpr int jogWheelController = 60;   // Mackie Control jog wheel, relative
constexpr int vPotController = 16;       // Mackie Control V-Pot 1, relative
constexpr int firstFader = 136;

/** Knob bank (0 to 4) and position (0 to 7) of a knob control. */
std::pair<int, int> knobBankAndPosition (int control)
{
    if (control >= 116 && control <= 123)
        return { 0, control - 116 };

    auto offset = control - 197;                 // 197, 213, 229, 245: 16 apart
    return { 1 + offset / 16, offset % 16 };
}

//==============================================================================
// Hotkey blocks. Keys are written as the user reads them ("Ctrl+Shift+S"):
// modifiers Ctrl, Shift, Alt, Cmd and a key caption of the HID usage table;
// up to three combinations separated by ", ".

struct HotkeyEntry
{
    int control;
    const char* caption;   // empty: the hotkey has no caption
    const char* keys;
};

using HotkeyBlock = std::vector<HotkeyEntry>;

/** Replaces the entries of `changes`' controls (or adds them) and orders the
    block by control. */
HotkeyBlock withChanges (HotkeyBlock block, const HotkeyBlock& changes)
{
    for (auto& change : changes)
    {
        auto found = std::find_if (block.begin(), block.end(), [&] (auto& e) { return e.control == change.control; });

        if (found != block.end())
            *found = change;
        else
            block.push_back (change);
    }

    std::sort (block.begin(), block.end(), [] (auto& a, auto& b) { return a.control < b.control; });
    return block;
}

HotkeyBlock withoutCaptions (HotkeyBlock block)
{
    for (auto& e : block)
        e.caption = "";

    return block;
}

// File and edit commands, the same keys in nearly every Windows DAW.
const HotkeyBlock fileAndEditBlock =
{
    { 49, "Open", "Ctrl+O" },        { 50, "Close", "Ctrl+W" },        { 51, "Quit", "Ctrl+Q" },
    { 52, "New Project", "Ctrl+N" }, { 53, "Save", "Ctrl+S" },         { 54, "Save As", "Ctrl+Shift+S" },
    { 55, "Undo", "Ctrl+Z" },        { 56, "Redo", "Ctrl+Shift+Z" },   { 57, "Cut", "Ctrl+X" },
    { 58, "Copy", "Ctrl+C" },        { 59, "Paste", "Ctrl+V" },        { 60, "Delete", "Del" },
    { 61, "Select All", "Ctrl+A" },  { 62, "Duplicate", "Ctrl+D" }
};

// The same commands on a Mac keyboard (Logic, Digital Performer).
const HotkeyBlock macFileAndEditBlock =
{
    { 49, "Open", "Cmd+O" },         { 50, "Close", "Cmd+W" },         { 51, "Quit", "Cmd+Q" },
    { 52, "New Project", "Cmd+N" },  { 53, "Save", "Cmd+S" },          { 54, "Save As", "Cmd+Shift+S" },
    { 55, "Undo", "Cmd+Z" },         { 56, "Redo", "Cmd+Shift+Z" },    { 57, "Cut", "Cmd+X" },
    { 58, "Copy", "Cmd+C" },         { 59, "Paste", "Cmd+V" },         { 60, "Delete", "Bksp" },
    { 61, "Select All", "Cmd+A" },   { 62, "Duplicate", "Cmd+D" }
};

// Transport and navigation keys shared by the DAWs whose blocks carry no
// captions (play, start, end, cursor, page, zoom, record, stop, locators).
const HotkeyBlock transportAndNavigationBlock =
{
    { 63, "", "Spacebar" }, { 64, "", "Home" },     { 65, "", "End" },      { 66, "", "Left" },
    { 67, "", "Right" },    { 68, "", "Up" },       { 69, "", "Down" },     { 70, "", "PageUp" },
    { 71, "", "PageDown" }, { 72, "", "+" },        { 73, "", "Num-" },     { 74, "", "*" },
    { 75, "", "Num0" },     { 76, "", "Num1" },     { 77, "", "Num2" },     { 78, "", "Enter" },
    { 79, "", "Esc" },      { 80, "", "Tab" }
};

/** One combination: modifier nibble and key code, 0 and 0 when the text is empty. */
std::pair<int, int> parseCombination (const juce::String& text)
{
    if (text.isEmpty())
        return { 0, 0 };

    // the last "+" separates the key, unless the key itself is "+"
    auto keyText = text.endsWith ("+") ? juce::String ("+")
                                       : text.fromLastOccurrenceOf ("+", false, false);
    auto modifierText = text.dropLastCharacters (keyText.length());

    int modifiers = 0;

    for (auto& m : juce::StringArray::fromTokens (modifierText, "+", {}))
    {
        if      (m == "Ctrl")   modifiers |= modifierCtrl;
        else if (m == "Shift")  modifiers |= modifierShift;
        else if (m == "Alt")    modifiers |= modifierAlt;
        else if (m == "Cmd")    modifiers |= modifierCmd;
        else if (m.isNotEmpty()) jassertfalse;   // a modifier name is misspelt in a hotkey block
    }

    auto key = hidUsageCaptions().indexOf (keyText);
    jassert (key > 0);   // a key caption in a hotkey block is not in the HID caption table
    return { modifiers, juce::jmax (0, key) };
}

//==============================================================================
// The profiles: what each DAW changes against the shared rules.

struct DawProfile
{
    int slotNibble = 0;                                 // high nibble of its MIDI records
    std::vector<std::pair<int, int>> noteChanges;       // control, note
    std::vector<int> emptyButtons;                      // buttons left unassigned
    HotkeyBlock hotkeys;
    std::vector<std::pair<int, const char*>> labelChanges;   // label table entry, text
    std::vector<int> unlabelled;                        // label table entries left empty
    int lastLedEntry = 0;                               // LED entries from 113 up to this one
};

const DawProfile& profileOf (int dawId)
{
    static const std::vector<DawProfile> profiles = []
    {
        std::vector<DawProfile> p (numDaws + 1);

        // 1 Bitwig
        p[1].emptyButtons = { 41, 42, 43, 44, 45, 46, 47, 48 };
        p[1].hotkeys = withChanges (fileAndEditBlock,
        {
            { 63, "Split", "Ctrl+E" },          { 64, "Consolidate", "Ctrl+J" },    { 65, "Rename", "Ctrl+R" },
            { 66, "Group Tracks", "Ctrl+G" },   { 67, "Arrange Layout", "Alt+1" },  { 68, "Mix Layout", "Alt+2" },
            { 69, "Edit Layout", "Alt+3" },     { 70, "Play", "Spacebar" },         { 71, "Toggle Loop", "L" },
            { 72, "Quantize", "Q" },            { 73, "Zoom In", "+" },             { 74, "Zoom Out", "Num-" },
            { 75, "Zoom to Fit", "Z" },         { 76, "Select None", "Ctrl+Shift+A" },
            { 77, "Add Instr. Track", "Ctrl+T" }, { 78, "Add Audio Track", "Ctrl+Shift+T" },
            { 79, "Add Effect Track", "Ctrl+Alt+T" }, { 80, "Settings", "Ctrl+," }
        });
        p[1].labelChanges = { { 43, "Device" }, { 59, "Punch In" }, { 60, "Punch Out" }, { 87, "Dupli- cate" } };
        p[1].unlabelled = { 103 };

        // 2 Cubase (14 Nuendo is the same)
        p[2].slotNibble = 1;
        p[2].noteChanges = { { 1, 42 }, { 2, 43 }, { 3, 44 }, { 4, 45 }, { 5, 40 }, { 6, 41 } };
        p[2].emptyButtons = { 44, 45, 46, 47, 48 };
        p[2].hotkeys = withChanges (fileAndEditBlock,
        {
            { 63, "Repeat", "Ctrl+K" },         { 64, "Split at Cursor", "Alt+X" }, { 65, "Mixer", "F3" },
            { 66, "Connections", "F4" },        { 67, "MediaBay", "F5" },           { 68, "VST Instruments", "F11" },
            { 69, "Project Setup", "Shift+S" }, { 70, "Markers", "Ctrl+M" },        { 71, "Pool", "Ctrl+P" },
            { 72, "Quantize", "Q" },            { 73, "Snap On/Off", "J" },         { 74, "Metronome", "C" },
            { 75, "Punch In", "I" },            { 76, "Punch Out", "O" },           { 77, "Auto-Scroll", "F" },
            { 78, "Zoom In", "H" },             { 79, "Zoom Out", "G" },            { 80, "To Project Start", "Home" }
        });
        p[2].labelChanges = { { 40, "Page Up" }, { 41, "Page Down" }, { 43, "Inserts" }, { 45, "Dyn/ Fx/Aux" },
                              { 62, "Fader Group 1" }, { 63, "Fader Group 2" }, { 64, "Fader Group 3" },
                              { 65, "Fader Group 4" }, { 66, "Fader Group 5" }, { 67, "Fader Group 6" },
                              { 68, "Fader Group 7" }, { 69, "Fader Group 8" }, { 87, "Punch In" },
                              { 88, "Punch Out" }, { 89, "Metro- nome" } };
        p[2].lastLedEntry = 114;

        // 4 Logic Pro (Mac keys)
        p[4].emptyButtons = { 37, 38, 39, 40, 45, 46, 47, 48 };
        p[4].hotkeys = withChanges (macFileAndEditBlock,
        {
            { 62, "Duplicate Track", "Cmd+D" }, { 63, "Split Regions", "Cmd+T" },   { 64, "Join Regions", "Cmd+J" },
            { 65, "Mixer", "X" },               { 66, "Library", "Y" },             { 67, "Inspector", "I" },
            { 68, "Editors", "E" },             { 69, "Piano Roll", "P" },          { 70, "Score", "N" },
            { 71, "Smart Controls", "B" },      { 72, "Loop Browser", "O" },        { 73, "Browsers", "F" },
            { 74, "Metronome", "K" },           { 75, "Cycle", "C" },               { 76, "Record", "R" },
            { 77, "Quantize", "Q" },            { 78, "New Tracks", "Cmd+Alt+N" },  { 79, "Bounce", "Cmd+B" },
            { 80, "Go to Beginning", "Enter" }
        });
        p[4].labelChanges = { { 42, "Pan/ Surround" }, { 45, "Instru- ment" }, { 73, "Cmd/ Alt" }, { 86, "Cycle" } };
        p[4].lastLedEntry = 116;

        // 5 Ableton Live
        p[5].emptyButtons = { 44, 47, 48 };
        p[5].hotkeys = withChanges (fileAndEditBlock,
        {
            { 50, "Insert Scene", "Ctrl+I" },   { 52, "New Live Set", "Ctrl+N" },   { 56, "Redo", "Ctrl+Y" },
            { 63, "Split", "Ctrl+E" },          { 64, "Consolidate", "Ctrl+J" },    { 65, "Session/Arrange", "Tab" },
            { 66, "Browser", "Ctrl+Alt+B" },    { 67, "Detail View", "Ctrl+Alt+L" },{ 68, "Mixer", "Ctrl+Alt+M" },
            { 69, "Audio Track", "Ctrl+T" },    { 70, "MIDI Track", "Ctrl+Shift+T" },
            { 71, "Return Track", "Ctrl+Alt+T" }, { 72, "Group Tracks", "Ctrl+G" },
            { 73, "Loop Selection", "Ctrl+L" }, { 74, "Quantize", "Ctrl+U" },       { 75, "Draw Mode", "B" },
            { 76, "Rename", "Ctrl+R" },         { 77, "MIDI Map", "Ctrl+M" },       { 78, "Key Map", "Ctrl+K" },
            { 79, "Export Audio", "Ctrl+Shift+R" }, { 80, "Capture MIDI", "Ctrl+Shift+C" }
        });
        p[5].labelChanges = { { 43, "Device" }, { 86, "Loop" }, { 89, "Metro- nome" } };
        p[5].lastLedEntry = 116;

        // 6 Reaper
        p[6].emptyButtons = { 40, 41, 42, 43, 44, 45, 46, 47, 48 };
        p[6].hotkeys = withChanges (fileAndEditBlock,
        {
            { 50, "Close Project", "Ctrl+F4" }, { 54, "Save As", "Ctrl+Alt+S" },    { 63, "Split", "S" },
            { 64, "Glue", "Ctrl+G" },           { 65, "Mixer", "Ctrl+M" },          { 66, "Routing Matrix", "Alt+R" },
            { 67, "Insert Track", "Ctrl+T" },   { 68, "Render", "Ctrl+Alt+R" },     { 69, "Project Settings", "Alt+Enter" },
            { 70, "Media Explorer", "Ctrl+Alt+X" }, { 71, "Preferences", "Ctrl+P" }, { 72, "Insert Marker", "M" },
            { 73, "Repeat", "R" },              { 74, "Record", "Ctrl+R" },         { 75, "Play", "Spacebar" },
            { 76, "Go to Start", "Home" },      { 77, "Go to End", "End" },         { 78, "Zoom In", "=" },
            { 79, "Zoom Out", "-" },            { 80, "Ripple Editing", "Alt+P" }
        });
        p[6].labelChanges = { { 43, "FX" }, { 86, "Repeat" } };

        // 7 Reason
        p[7].emptyButtons = { 41, 42, 45, 46, 47, 48 };
        p[7].hotkeys = withChanges (fileAndEditBlock,
        {
            { 56, "Redo", "Ctrl+Y" },           { 63, "Mixer", "F5" },              { 64, "Rack", "F6" },
            { 65, "Sequencer", "F7" },          { 66, "Tool Window", "F8" },        { 67, "Flip Rack", "Tab" },
            { 68, "Quantize", "Ctrl+K" },       { 69, "Join Clips", "Ctrl+J" },     { 70, "Select Tool", "Q" },
            { 71, "Pencil Tool", "W" },         { 72, "Eraser Tool", "E" },         { 73, "Razor Tool", "R" },
            { 74, "Mute Tool", "T" },           { 75, "Magnify Tool", "Y" },        { 76, "Hand Tool", "U" },
            { 77, "Loop On/Off", "L" },         { 78, "Play", "Spacebar" },         { 79, "Record", "*" },
            { 80, "Stop", "Num0" }
        });
        p[7].labelChanges = { { 43, "Device" }, { 62, "Mixer" }, { 63, "Rack" }, { 64, "Sequen- cer" } };
        p[7].unlabelled = { 53 };

        // 8 Studio one: tools, views and song commands on 32 to 48 as well,
        // so no button is left empty; it has no view groups and no user keys.
        p[8].hotkeys = withChanges (fileAndEditBlock,
        {
            { 32, "Arrow Tool", "1" },          { 33, "Range Tool", "2" },          { 34, "Split Tool", "3" },
            { 35, "Eraser Tool", "4" },         { 36, "Paint Tool", "5" },          { 37, "Mute Tool", "6" },
            { 38, "Bend Tool", "7" },           { 39, "Listen Tool", "8" },         { 40, "Edit View", "F2" },
            { 41, "Console", "F3" },            { 42, "Inspector", "F4" },          { 43, "Browser", "F5" },
            { 44, "Add Tracks", "T" },          { 45, "Add Marker", "Ins" },        { 46, "Loop Selection", "P" },
            { 47, "Metronome", "C" },           { 48, "Snap", "N" },
            { 52, "New Song", "Ctrl+N" },       { 56, "Redo", "Ctrl+Y" },           { 62, "Duplicate", "D" },
            { 63, "Split", "Alt+X" },           { 64, "Merge", "G" },               { 65, "Bounce", "Ctrl+B" },
            { 66, "Quantize", "Q" },            { 67, "Zoom In", "E" },             { 68, "Zoom Out", "W" },
            { 69, "Zoom Full", "Z" },           { 70, "Export Mixdown", "Ctrl+E" }, { 71, "Play", "Spacebar" },
            { 72, "Record", "*" },              { 73, "Stop", "Num0" },             { 74, "Rewind", "Num-" },
            { 75, "Forward", "+" },             { 76, "Return to Zero", "Home" },   { 77, "Mute Event", "Shift+M" },
            { 78, "Save New Version", "Ctrl+Alt+S" }, { 79, "Options", "Ctrl+," },
            { 80, "Record Panel", "Alt+Shift+R" }
        });
        p[8].labelChanges = { { 43, "Inserts" }, { 86, "Loop" } };
        p[8].unlabelled = { 51, 62, 63, 64, 65, 66, 67, 68, 69, 102, 103 };

        // 9 FL Studio
        p[9].emptyButtons = { 45, 46, 47, 48 };
        p[9].hotkeys = withChanges (fileAndEditBlock,
        {
            { 50, "Close Windows", "F12" },     { 51, "Quit", "Alt+F4" },           { 55, "Undo/Redo", "Ctrl+Z" },
            { 56, "Undo Step", "Ctrl+Alt+Z" },  { 62, "Duplicate", "Ctrl+B" },      { 63, "Playlist", "F5" },
            { 64, "Channel Rack", "F6" },       { 65, "Piano Roll", "F7" },         { 66, "Plugin Picker", "F8" },
            { 67, "Mixer", "F9" },              { 68, "MIDI Settings", "F10" },     { 69, "Song Info", "F11" },
            { 70, "Browser", "Alt+F8" },        { 71, "Export Wave", "Ctrl+R" },    { 72, "Export MP3", "Ctrl+Shift+R" },
            { 73, "Metronome", "Ctrl+M" },      { 74, "Quick Quantize", "Ctrl+Q" }, { 75, "Song/Pattern", "L" },
            { 76, "Record", "R" },              { 77, "Play", "Spacebar" },         { 78, "Panic", "Ctrl+H" },
            { 79, "Typing Keyboard", "Ctrl+T" }, { 80, "Step Edit", "Ctrl+E" }
        });
        p[9].labelChanges = { { 43, "Plug-in" }, { 86, "Loop" }, { 89, "Metro- nome" } };
        p[9].unlabelled = { 103 };

        // 10 Cakewalk
        p[10].emptyButtons = { 44, 45, 46, 47, 48 };
        p[10].hotkeys = withChanges (fileAndEditBlock,
        {
            { 50, "Close Window", "Ctrl+F4" },  { 63, "Split", "S" },               { 64, "Console View", "Alt+2" },
            { 65, "Track View", "Alt+1" },      { 66, "Piano Roll", "Alt+3" },      { 67, "Browser", "B" },
            { 68, "Inspector", "I" },           { 69, "Multidock", "D" },           { 70, "Snap On/Off", "N" },
            { 71, "Loop On/Off", "L" },         { 72, "Record", "R" },              { 73, "Play", "Spacebar" },
            { 74, "Go to Start", "W" },         { 75, "Go to End", "Ctrl+End" },    { 76, "Insert Marker", "F11" },
            { 77, "Preferences", "P" },         { 78, "Zoom In", "Ctrl+Up" },       { 79, "Zoom Out", "Ctrl+Down" },
            { 80, "Select None", "Ctrl+Shift+A" }
        });
        p[10].labelChanges = { { 43, "FX" }, { 84, "Markers" } };
        p[10].unlabelled = { 103 };

        // 11 Digital Performer (Mac keys)
        p[11].emptyButtons = { 41, 42, 43, 44, 45, 46, 47, 48 };
        p[11].hotkeys = withChanges (macFileAndEditBlock,
        {
            { 63, "Tracks Window", "Shift+T" }, { 64, "Mixing Board", "Shift+M" },  { 65, "Sequence Editor", "Shift+G" },
            { 66, "Event List", "Shift+E" },    { 67, "QuickScribe", "Shift+Q" },   { 68, "Soundbites", "Shift+B" },
            { 69, "Markers", "Shift+K" },       { 70, "Chunks", "Shift+C" },        { 71, "Drum Editor", "Shift+D" },
            { 72, "Play", "Spacebar" },         { 73, "Record", "*" },              { 74, "Stop", "Num0" },
            { 75, "Quantize", "Cmd+0" },        { 76, "Transpose", "Cmd+9" },       { 77, "Bounce to Disk", "Cmd+Alt+B" },
            { 78, "Zoom In", "Cmd+]" },         { 79, "Zoom Out", "Cmd+[" },        { 80, "Go to Start", "Home" }
        });
        p[11].labelChanges = { { 86, "Memory Cycle" }, { 87, "Auto Record" } };
        p[11].unlabelled = { 65, 66, 67, 68, 69, 103 };

        // 12 Samplitude: hotkeys without captions
        p[12].emptyButtons = { 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48 };
        p[12].hotkeys = withoutCaptions (withChanges (fileAndEditBlock, transportAndNavigationBlock));
        p[12].unlabelled = { 62, 63, 64, 65, 66, 67, 68, 69 };

        // 13 Harrison (Mixbus)
        p[13].emptyButtons = { 40, 41, 42, 43, 44, 45, 46, 47, 48 };
        p[13].hotkeys = withChanges (fileAndEditBlock,
        {
            { 50, "Close Session", "Ctrl+W" },  { 52, "New Session", "Ctrl+N" },    { 54, "Snapshot", "Ctrl+Shift+S" },
            { 56, "Redo", "Ctrl+R" },           { 62, "Duplicate", "Alt+D" },       { 63, "Split", "S" },
            { 64, "Mixer Window", "Alt+M" },    { 65, "Editor Window", "Alt+E" },   { 66, "Locations", "Alt+L" },
            { 67, "Add Track", "Ctrl+Shift+N" }, { 68, "Preferences", "Alt+P" },    { 69, "Play", "Spacebar" },
            { 70, "Record Enable", "Shift+R" }, { 71, "Loop Play", "L" },           { 72, "Go to Start", "Home" },
            { 73, "Go to End", "End" },         { 74, "Add Marker", "Tab" },        { 75, "Zoom In", "=" },
            { 76, "Zoom Out", "-" },            { 77, "Range Tool", "R" },          { 78, "Grab Tool", "G" },
            { 79, "Cut Tool", "C" },            { 80, "Stretch Tool", "T" }
        });
        p[13].labelChanges = { { 43, "Plugins" } };
        p[13].unlabelled = { 102, 103 };

        // 15 Adobe audition: hotkeys without captions
        p[15].emptyButtons = { 39, 40, 41, 42, 43, 44, 45, 46, 47, 48 };
        p[15].hotkeys = withoutCaptions (withChanges (fileAndEditBlock, transportAndNavigationBlock));
        p[15].unlabelled = { 45, 62, 65, 69, 102, 103 };

        // 16 Tracktion: hotkeys without captions
        p[16].emptyButtons = { 41, 42, 43, 44, 45, 46, 47, 48 };
        p[16].hotkeys = withoutCaptions (withChanges (fileAndEditBlock, transportAndNavigationBlock));
        p[16].unlabelled = { 51, 102, 103 };

        // 17 Ability: a smaller block (29, 45 to 48, 53 to 71); the bank and
        // channel keys move from 45-48 to 49-52 and 72 to 80 stay empty.
        p[17].noteChanges = { { 49, noteBankLeft }, { 50, noteBankLeft + 1 },
                              { 51, noteChannelLeft }, { 52, noteChannelLeft + 1 } };
        p[17].emptyButtons = { 72, 73, 74, 75, 76, 77, 78, 79, 80 };
        p[17].hotkeys =
        {
            { 29, "Erase", "Del" },
            // screen sets 1 to 4
            { 45, "", "Ctrl+1" },               { 46, "", "Ctrl+2" },               { 47, "", "Ctrl+3" },
            { 48, "", "Ctrl+4" },
            { 53, "New Project", "Ctrl+N" },    { 54, "Open", "Ctrl+O" },           { 55, "Save", "Ctrl+S" },
            { 56, "Save As", "Ctrl+Shift+S" },  { 57, "Undo", "Ctrl+Z" },           { 58, "Redo", "Ctrl+Y" },
            { 59, "Cut", "Ctrl+X" },            { 60, "Copy", "Ctrl+C" },           { 61, "Paste", "Ctrl+V" },
            { 62, "Select All", "Ctrl+A" },     { 63, "Play", "Spacebar" },         { 64, "Record", "R" },
            { 65, "Go to Start", "Home" },      { 66, "Go to End", "End" },         { 67, "Loop", "L" },
            { 68, "Metronome", "C" },           { 69, "Mixer", "Ctrl+M" },          { 70, "Zoom In", "Ctrl+Up" },
            { 71, "Zoom Out", "Ctrl+Down" }
        };
        p[17].unlabelled = { 103 };
        p[17].lastLedEntry = 116;

        // 18 luna: hotkeys without captions
        p[18].emptyButtons = { 42, 43, 44, 45, 46, 47, 48 };
        p[18].hotkeys = withoutCaptions (withChanges (fileAndEditBlock, transportAndNavigationBlock));

        p[14] = p[2];
        return p;
    }();

    jassert (isValidDawId (dawId) && dawId != huiDawId);   // only non-HUI DAWs have a profile
    return profiles[(size_t) juce::jlimit (0, numDaws, dawId)];
}

//==============================================================================
// Pro tools (HUI): every button on a HUI function, by function number.

const Run huiButtonLayout[] =
{
    { 1, 1, 28 }, { 2, 2, 31 }, { 3, 7, 23 }, { 8, 9, 29 }, { 10, 10, 32 }, { 12, 12, 46 }, { 13, 14, 33 },
    { 15, 16, 68 },
    { 17, 19, 7 }, { 20, 20, 12 }, { 21, 21, 57 }, { 22, 22, 59 }, { 23, 23, 55 }, { 24, 24, 60 }, { 25, 25, 56 },
    { 26, 26, 58 }, { 27, 27, 13 }, { 28, 28, 10 }, { 29, 29, 67 }, { 30, 30, 51 }, { 31, 31, 11 }, { 32, 32, 61 },
    { 33, 37, 14 }, { 38, 38, 70 }, { 39, 40, 62 }, { 41, 41, 65 }, { 42, 42, 64 }, { 43, 43, 66 }, { 44, 46, 52 },
    { 47, 47, 44 },
    { 93, 93, 20 }, { 94, 94, 22 }, { 95, 95, 19 }, { 96, 96, 21 }, { 97, 97, 35 }, { 98, 98, 45 }, { 99, 100, 3 },
    { 101, 102, 1 }, { 103, 103, 5 }, { 104, 104, 6 }, { 105, 106, 42 },
    { 124, 124, 41 }, { 125, 126, 71 }, { 127, 127, 36 }, { 128, 128, 40 }, { 129, 129, 39 }, { 130, 130, 37 },
    { 131, 131, 38 }, { 132, 134, 47 }, { 135, 135, 73 },
    { 165, 172, 106 }, { 173, 180, 98 }, { 181, 188, 90 }, { 189, 196, 82 },
    { 205, 212, 114 }, { 221, 228, 74 }, { 237, 241, 14 }, { 242, 242, 50 }, { 243, 243, 45 }, { 244, 244, 44 }
};

const HotkeyBlock proToolsHotkeys =
{
    { 49, "Shuffle", "F1" },            { 50, "Slip", "F2" },               { 51, "Spot", "F3" },
    { 52, "Grid", "F4" },               { 53, "Zoomer", "F5" },             { 54, "Trimmer", "F6" },
    { 55, "Selector", "F7" },           { 56, "Grabber", "F8" },            { 57, "Scrubber", "F9" },
    { 58, "Pencil", "F10" },            { 59, "New Session", "Ctrl+N" },    { 60, "Open Session", "Ctrl+O" },
    { 61, "Save", "Ctrl+S" },           { 62, "Save As", "Ctrl+Shift+S" },  { 63, "Undo", "Ctrl+Z" },
    { 64, "Redo", "Ctrl+Shift+Z" },     { 65, "Cut", "Ctrl+X" },            { 66, "Copy", "Ctrl+C" },
    { 67, "Paste", "Ctrl+V" },          { 68, "Duplicate", "Ctrl+D" },      { 69, "Separate Clip", "Ctrl+E" },
    { 70, "Mix/Edit Window", "Ctrl+=" },{ 71, "New Track", "Ctrl+Shift+N" },{ 72, "Bounce Mix", "Ctrl+Alt+B" }
};

constexpr int huiSlotNibble = 2;
constexpr int huiNoFunctionControl = 11;   // reserved for the insert key: no HUI function of its own
constexpr int firstHuiUserControl = 125, lastHuiUserControl = 126;   // User A and B, authored on slot 0

// Nuendo (14) is driven exactly like Cubase (2): one image and one label table.
int sharedTableOf (int dawId)   { return dawId == 14 ? 2 : dawId; }

const HotkeyBlock& hotkeyBlockOf (int dawId)
{
    return dawId == huiDawId ? proToolsHotkeys : profileOf (dawId).hotkeys;
}

//==============================================================================
// The built-in images and the tables derived from the same data.

using Record = std::array<juce::uint8, controlRecordSize>;

Record hotkeyRecord (const HotkeyEntry& entry)
{
    Record r {};
    juce::StringArray combinations;

    for (auto rest = juce::String (entry.keys); rest.isNotEmpty();)
    {
        auto end = rest.indexOf (", ");
        combinations.add (end < 0 ? rest : rest.substring (0, end));
        rest = end < 0 ? juce::String() : rest.substring (end + 2);
    }

    jassert (combinations.size() >= 1 && combinations.size() <= 3);   // a hotkey holds one to three combinations

    r[0] = 0x40;

    for (int n = 0; n < juce::jmin (3, combinations.size()); ++n)
    {
        auto [modifiers, key] = parseCombination (combinations[n]);
        r[(size_t) (2 * n)] = (juce::uint8) (r[(size_t) (2 * n)] | modifiers);
        r[(size_t) (2 * n + 1)] = (juce::uint8) key;
    }

    return r;
}

Record emptyRecord()   { return { 0x30, 0, 0, 0, 0, 0, 0 }; }

Record mackieRecord (int dawId, int control)
{
    auto& profile = profileOf (dawId);
    auto s = (juce::uint8) (profile.slotNibble << 4);

    if (isKnobControl (control))
    {
        auto [bank, position] = knobBankAndPosition (control);
        return { (juce::uint8) (s | 0x0B), (juce::uint8) (0xB0 | bank), (juce::uint8) (vPotController + position), 0x40, 0, 0, 0 };
    }

    if (isFaderControl (control))
        return { (juce::uint8) (s | 0x0E), (juce::uint8) (0xE0 | (control - firstFader)), 0, 0x7F, 0, 0, 0 };

    if (control == jogWheelControl)
        return { (juce::uint8) (s | 0x0B), 0xB0, (juce::uint8) jogWheelController, 0x40, 0, 0, 0 };

    for (auto& hotkey : profile.hotkeys)
        if (hotkey.control == control)
            return hotkeyRecord (hotkey);

    if (std::find (profile.emptyButtons.begin(), profile.emptyButtons.end(), control) != profile.emptyButtons.end())
        return emptyRecord();

    auto note = runValueOf (mackieButtonLayout, std::size (mackieButtonLayout), control);

    for (auto [c, n] : profile.noteChanges)
        if (c == control)
            note = n;

    jassert (note >= 0);   // a button of this DAW has neither a note, a hotkey nor an empty record
    if (note < 0)
        return emptyRecord();

    return { (juce::uint8) (s | 0x09), 0x90, (juce::uint8) note, 0x7F, 0, 0, 0 };
}

Record huiRecord (int control)
{
    auto s = (juce::uint8) (huiSlotNibble << 4);

    if (isKnobControl (control))
    {
        auto position = knobBankAndPosition (control).second;
        return { (juce::uint8) (s | 0x0B), 0xB0, (juce::uint8) (0x40 | position), 0x40, 0, 0, 0 };
    }

    if (isFaderControl (control))
    {
        auto n = control - firstFader;
        return { (juce::uint8) (s | 0x0B), 0xB0, (juce::uint8) n, 0, (juce::uint8) (0x20 | n), 0, 0 };
    }

    for (auto& hotkey : proToolsHotkeys)
        if (hotkey.control == control)
            return hotkeyRecord (hotkey);

    if (control == huiNoFunctionControl)
        return { s, 0, 0, 0, 0, 0, 0 };

    auto function = runValueOf (huiButtonLayout, std::size (huiButtonLayout), control);

    if (function < 0)
        return emptyRecord();

    if (control >= firstHuiUserControl && control <= lastHuiUserControl)
        s = 0;

    auto address = huiAddressTable()[function];
    return { (juce::uint8) (s | 0x0B), 0xB0, 0x0F, (juce::uint8) address.zone, 0x2F, (juce::uint8) address.port, 0 };
}

struct BuiltInImages
{
    juce::uint8 images[numDaws + 1][numControls * controlRecordSize] {};

    BuiltInImages()
    {
        for (int d = 1; d <= numDaws; ++d)
        {
            for (int c = 1; c <= numControls; ++c)
            {
                auto row = controlRowOf (c);

                if (row < 0)
                    continue;

                auto record = d == huiDawId ? huiRecord (c) : mackieRecord (d, c);
                std::copy (record.begin(), record.end(), images[d] + row * controlRecordSize);
            }
        }
    }
};

const BuiltInImages& builtInImages()
{
    static const BuiltInImages images;
    return images;
}

//==============================================================================
// Function label tables.

struct LabelTables
{
    juce::StringArray tables[numDaws + 1];

    LabelTables()
    {
        for (int d = 1; d <= numDaws; ++d)
            tables[d] = d == huiDawId ? huiTable().buttonLabels : makeMackieTable (profileOf (d));
    }

    static juce::StringArray makeMackieTable (const DawProfile& profile)
    {
        juce::StringArray t;
        t.ensureStorageAllocated (128);

        for (int i = 0; i < 128; ++i)
            t.add ({});

        // the channel strips, bank and flip, transport, cursor and fader touch:
        // the same in every table
        for (int ch = 0; ch < 8; ++ch)
        {
            auto n = juce::String (ch + 1);
            t.set (noteRecArm + ch, "REC " + n);
            t.set (noteSolo + ch, "SOLO" + n);
            t.set (noteMute + ch, "MUTE" + n);
            t.set (noteSelect + ch, "SEL " + n);
            t.set (noteVSelect + ch, "MON " + n);
            t.set (noteFaderTouch + ch, "Touch " + n);
        }

        t.set (46, "<<8");   t.set (47, "8>>");   t.set (50, "Flip");
        t.set (91, "Rewind"); t.set (92, "Fast Forward"); t.set (93, "Stop"); t.set (94, "Play");
        t.set (95, "Record"); t.set (96, "Up"); t.set (97, "Down"); t.set (98, "Left");
        t.set (99, "Right");  t.set (100, "Zoom"); t.set (112, "TouchM");

        // the rest of the standard layout, as a DAW without its own names shows it
        static const std::pair<int, const char*> standard[] =
        {
            { 40, "Track" }, { 41, "Send" }, { 42, "Pan" }, { 43, "Plug-in" }, { 44, "EQ" }, { 45, "Instrument" },
            { 48, "<<1" }, { 49, "1>>" }, { 51, "Global View" }, { 52, "Name/ Value" }, { 53, "SMPTE/ Beats" },
            { 62, "MIDI Tracks" }, { 63, "Inputs" }, { 64, "Audio Tracks" }, { 65, "Audio Inst" }, { 66, "Aux" },
            { 67, "Busses" }, { 68, "Outputs" }, { 69, "User" }, { 70, "Shift" }, { 71, "Option" },
            { 72, "Control" }, { 73, "Alt" }, { 74, "Read/ Off" }, { 75, "Write" }, { 76, "Trim" },
            { 77, "Touch" }, { 78, "Latch" }, { 79, "Group" }, { 80, "Save" }, { 81, "Undo" }, { 82, "Cancel" },
            { 83, "Enter" }, { 84, "Marker" }, { 85, "Nudge" }, { 86, "Cycle" }, { 87, "Drop" },
            { 88, "Replace" }, { 89, "Click" }, { 90, "Solo" }, { 101, "Scrub" }, { 102, "User A" },
            { 103, "User B" }
        };

        for (auto [index, text] : standard)
            t.set (index, text);

        for (int f = 0; f < 8; ++f)
            t.set (noteFunction1 + f, "F" + juce::String (f + 1));

        static const char* const leds[] = { "SMPTE LED", "Beats LED", "Rude Solo LED", "Relay Click" };

        for (int index = 113; index <= profile.lastLedEntry; ++index)
            t.set (index, leds[index - 113]);

        for (auto [index, text] : profile.labelChanges)
            t.set (index, text);

        for (auto index : profile.unlabelled)
            t.set (index, {});

        return t;
    }
};

const LabelTables& labelTables()
{
    static const LabelTables tables;
    return tables;
}

//==============================================================================
struct HotkeyCaptions
{
    static constexpr int firstControl = 17, lastControl = 80;
    juce::String captions[numDaws + 1][lastControl - firstControl + 1];

    HotkeyCaptions()
    {
        for (int d = 1; d <= numDaws; ++d)
            for (auto& entry : hotkeyBlockOf (d))
                if (entry.control >= firstControl && entry.control <= lastControl)
                    captions[d][entry.control - firstControl] = entry.caption;
    }
};

const HotkeyCaptions& hotkeyCaptions()
{
    static const HotkeyCaptions captions;
    return captions;
}

} // namespace

//==============================================================================
const juce::uint8* builtInImage (int dawId)
{
    // DAW ids run from 1 to 18; any other id has no image, and says so.
    if (! isValidDawId (dawId))
        return nullptr;

    return builtInImages().images[sharedTableOf (dawId)];
}

const HuiAddress* huiAddressTable()              { return huiTable().addresses; }
const juce::StringArray& huiButtonLabels()       { return huiTable().buttonLabels; }
const juce::StringArray& huiFaderLabels()        { return huiTable().faderLabels; }
const juce::StringArray& huiKnobLabels()         { return huiTable().knobLabels; }

int findHuiButtonIndex (int zone, int port)
{
    if (zone >= 32)
        return port;

    auto* addresses = huiAddressTable();

    for (int i = 0; i < huiFunctionTableSize; ++i)
        if (addresses[i].zone == (juce::int8) zone && addresses[i].port == (juce::int8) port)
            return i;

    return -1;
}

const juce::StringArray& functionLabelTable (int dawId)
{
    static const juce::StringArray none;
    return isValidDawId (dawId) ? labelTables().tables[sharedTableOf (dawId)] : none;
}

juce::String getFunctionLabel (int dawId, ControlKind kind, int value)
{
    if (! isValidDawId (dawId))
        return {};

    if (isNotHuiDaw (dawId))
        return functionLabelTable (dawId)[value];   // StringArray gives "" outside the table

    switch (kind.get())
    {
        case ControlKind::Button: return huiButtonLabels()[value];
        case ControlKind::Fader:  return huiFaderLabels()[value];
        case ControlKind::Knob:   return huiKnobLabels()[value];
        default:                  return {};
    }
}

juce::String getAssignedFunctionLabel (int dawId, int second, int value)
{
    if (! isValidDawId (dawId) || value < 0 || value > 127)
        return {};

    if (isNotHuiDaw (dawId))
        return second == statusNibbleOfMidiKind (MidiMessageKind::Note) ? functionLabelTable (dawId)[value].trim()
                                                                        : juce::String();

    if (second == ControlKind::Button && value == 0)
        return {};

    if (second == ControlKind::Button || second == ControlKind::Fader || second == ControlKind::Knob)
        return getFunctionLabel (dawId, ControlKind (second), value).trim();

    return {};
}

int huiFunctionCount (DawId daw, ControlKind kind)
{
    if (daw.get() != huiDawId)
        return 1;

    switch (kind.get())
    {
        case ControlKind::Knob:   return huiKnobFunctionCount;
        case ControlKind::Fader:  return huiFaderFunctionCount;
        case ControlKind::Button: return huiFunctionTableSize;
        default:                  return 1;
    }
}

const juce::Array<int>& huiReservedControls()
{
    static const juce::Array<int> controls { 2, 11, 12 };
    return controls;
}

const juce::StringArray& huiReservedCaptions()
{
    static const juce::StringArray captions { "Plug-in*", "Insert*", "V-Select *" };
    return captions;
}

juce::String huiReservedCaptionOf (int controlNumber)
{
    return huiReservedCaptions()[huiReservedControls().indexOf (controlNumber)];
}

bool isHuiReservedControl (const MappingStore& store, int controlNumber)
{
    return store.getCurrentDaw() == huiDawId && huiReservedControls().contains (controlNumber);
}

juce::String getHotkeyCaption (int dawId, int controlNumber)
{
    if (! isValidDawId (dawId)
         || controlNumber < HotkeyCaptions::firstControl || controlNumber > HotkeyCaptions::lastControl)
        return {};

    return hotkeyCaptions().captions[dawId][controlNumber - HotkeyCaptions::firstControl];
}

//==============================================================================
namespace
{
    // The assignment types the decoder writes; shared texts, so that the
    // 108,864 control nodes of a store hold no copies of them.
    struct TypeTexts
    {
        juce::var func { "func" }, hotkey { "hotkey" }, midi { "midi" }, hui { "hui" }, null { "null" };
    };

    const TypeTexts& typeTexts()
    {
        static const TypeTexts texts;
        return texts;
    }

    void setHotkeyProperties (juce::ValueTree& ctl, const juce::uint8* r)
    {
        static const juce::Identifier* const flags[3][4] =
        {
            { &Ids::ctrl,  &Ids::shift,  &Ids::alt,  &Ids::cmd  },
            { &Ids::ctrl2, &Ids::shift2, &Ids::alt2, &Ids::cmd2 },
            { &Ids::ctrl3, &Ids::shift3, &Ids::alt3, &Ids::cmd3 }
        };
        static const juce::Identifier* const keys[3]     = { &Ids::key, &Ids::key2, &Ids::key3 };
        static const juce::Identifier* const keyNames[3] = { &Ids::keyName, &Ids::keyName2, &Ids::keyName3 };

        for (int n = 0; n < 3; ++n)
        {
            auto modifiers = r[2 * n] & 15;

            for (int bit = 0; bit < 4; ++bit)
                ctl.setProperty (*flags[n][bit], (modifiers & (1 << bit)) != 0, nullptr);

            auto key = (int) r[2 * n + 1];
            ctl.setProperty (*keys[n], key, nullptr);
            ctl.setProperty (*keyNames[n], getKeyDescription (key), nullptr);
        }
    }

    void decodeMackieControl (juce::ValueTree& ctl, int dawId, int c, int kind, const juce::uint8* r)
    {
        auto hi = r[0] >> 4, lo = r[0] & 15;
        auto chan = (r[1] & 15) + 1;
        auto data = (int) r[2];
        auto rotate = kind == ControlKind::Knob ? (r[3] == 0x40 ? 1 : 2) : 0;

        auto name = getAssignedFunctionLabel (dawId, lo, data).trim();

        auto isHotkey = hi == 4;
        auto isMidi = ! isHotkey && hi != 3 && lo != 0 && lo != 9;
        auto& texts = typeTexts();
        auto& type = isHotkey ? texts.hotkey : hi == 3 ? texts.null : isMidi ? texts.midi : texts.func;

        if (isLabelledButton (c))
            ctl.setProperty (Ids::lockBy, 0, nullptr);

        if (isHotkey && c >= 17 && c <= 80 && name.isEmpty())
            name = getHotkeyCaption (dawId, c);

        ctl.setProperty (Ids::valueType, type, nullptr);
        ctl.setProperty (Ids::value, data, nullptr);
        ctl.setProperty (Ids::name, name, nullptr);
        ctl.setProperty (Ids::msgValue, data, nullptr);

        if (isHotkey)
        {
            setHotkeyProperties (ctl, r);
        }
        else if (isMidi)
        {
            ctl.setProperty (Ids::type, getMidiKindName (midiKindIndexOfStatus (lo)), nullptr);
            ctl.setProperty (Ids::chan, chan, nullptr);
            ctl.setProperty (Ids::msgValue, data, nullptr);

            if (kind == ControlKind::Knob)
                ctl.setProperty (Ids::rotate, rotate, nullptr);
        }
    }

    void decodeHuiControl (juce::ValueTree& ctl, int c, int kind, const juce::uint8* r)
    {
        auto hi = r[0] >> 4, lo = r[0] & 15;
        auto none = hi <= 3 && lo == 0;

        int zone = -1, port = -1;

        if (kind == ControlKind::Button)      { zone = r[3];        port = r[5]; }
        else if (kind == ControlKind::Fader)  { zone = r[4] & 0x70; port = r[4] & 0x0F; }
        else if (kind == ControlKind::Knob)   { zone = r[2] & 0x70; port = r[2] & 0x0F; }

        auto value = none ? 0 : findHuiButtonIndex (zone, port);

        if (none)
            zone = port = -1;

        auto name = getAssignedFunctionLabel (huiDawId, kind, value).trim();

        enum { func, hotkey, hui, null } type = hi == 4 ? hotkey
                                              : (kind == ControlKind::Knob || kind == ControlKind::Fader) ? hui
                                              : hi == 3 ? null
                                              : (lo != 0 && lo != 11) ? hui
                                              : func;
        auto& texts = typeTexts();

        if (isLabelledButton (c))
            ctl.setProperty (Ids::lockBy, 0, nullptr);

        ctl.setProperty (Ids::valueType, type == hotkey ? texts.hotkey : type == hui ? texts.hui
                                       : type == null ? texts.null : texts.func, nullptr);
        ctl.setProperty (Ids::value, value, nullptr);

        if (type == hotkey && c >= 17 && c <= 80)
            name = getHotkeyCaption (huiDawId, c);

        ctl.setProperty (Ids::name, name, nullptr);

        if (type == hotkey)
        {
            setHotkeyProperties (ctl, r);
        }
        else if (type == func || type == hui)
        {
            if (name.isEmpty())
                name = huiReservedCaptionOf (c);

            ctl.setProperty (Ids::name, name, nullptr);
            ctl.setProperty (Ids::val1, zone, nullptr);
            ctl.setProperty (Ids::val2, port, nullptr);
            ctl.setProperty (Ids::diyNameQ, 0, nullptr);
        }
        else if (type == null)
        {
            clearControlAssignment (ctl);
        }
    }
}

void MappingStore::applyModeDefaults (juce::ValueTree model, int slotNumber, int dawId)
{
    if (! isValidSlotNumber (slotNumber) || ! isValidDawId (dawId))
        return;

    auto mode = model.getChild (slotNumber - 1).getChild (dawId - 1);

    // a store from a file may lack the model, slot or mode: nothing to rewrite
    if (! mode.isValid())
        return;

    auto* image = builtInImage (dawId);

    mode.setProperty (Ids::id, dawId, nullptr);
    mode.setProperty (Ids::mode, getDawIdString (dawId), nullptr);
    mode.setProperty (Ids::protocol, dawProtocol (dawId), nullptr);

    for (int k = 0; k < numControls; ++k)
    {
        auto ctl = mode.getChild (k);
        auto c = StoredNumber::read (ctl, Ids::id);
        auto row = controlRowOf (c);

        if (row < 0)
            continue;

        auto* r = image + row * controlRecordSize;
        auto kind = getControlKind (c);
        clearControlAssignment (ctl);

        if (dawId == huiDawId)
            decodeHuiControl (ctl, c, kind, r);
        else
            decodeMackieControl (ctl, dawId, c, kind, r);
    }
}

void MappingStore::applyBuiltInDefaults (const StoreDefaults& defaults)
{
    for (int i = 0; i < numProducts; ++i)
    {
        if (! isSupportedProduct (productList()[i]))
            continue;

        auto model = getModel (i + 1);

        for (int j = 0; j < numSlots; ++j)
        {
            auto slot = getSlot (j + 1, i + 1);

            // a store from a file may hold fewer models or slots
            if (! slot.isValid())
                continue;

            slot.setProperty (Ids::daw1, defaults.slotColours[j][0], nullptr);
            slot.setProperty (Ids::daw2, defaults.slotColours[j][1], nullptr);
            slot.setProperty (Ids::daw3, defaults.slotColours[j][2], nullptr);

            for (int d = 1; d <= numDaws; ++d)
                applyModeDefaults (model, j + 1, d);
        }
    }
}

juce::Array<juce::ValueTree> MappingStore::decodeBuiltInModes (const juce::Array<juce::ValueTree>& defaultModes)
{
    // a model of one slot, to decode in
    juce::ValueTree slot (Ids::slot), model (Ids::model);

    for (auto& mode : defaultModes)
        slot.appendChild (mode.createCopy(), nullptr);

    model.appendChild (slot, nullptr);

    for (int d = 1; d <= numDaws; ++d)
        applyModeDefaults (model, 1, d);

    juce::Array<juce::ValueTree> decoded;

    for (const auto& mode : slot)
        decoded.add (mode);

    return decoded;
}

} // namespace NsZ9m
