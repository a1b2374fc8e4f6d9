#include "core/model/BuiltInProfiles.h"
#include "core/model/ControlNumbers.h"
#include "core/sync/Host.h"
#include "core/model/KeyTables.h"
#include "core/model/MappingStore.h"
#include "core/model/NameLists.h"
#include "core/model/Products.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/HostFixture.h"

using namespace NsZ9m;

namespace
{
    using Bytes = std::vector<int>;

    Bytes recordOf (int daw, int control)
    {
        auto* r = builtInImage (daw) + controlRowOf (control) * controlRecordSize;
        return Bytes (r, r + controlRecordSize);
    }

    juce::StringArray propertyNames (const juce::ValueTree& v)
    {
        juce::StringArray names;
        for (int i = 0; i < v.getNumProperties(); ++i)
            names.add (v.getPropertyName (i).toString());
        return names;
    }

    juce::String xmlOf (const juce::ValueTree& v)   { return v.createXml()->toString(); }

    /** True when both trees have the same types and the same property names in
        the same order (the attribute order of a saved file) throughout; cheaper
        than comparing their XML, with isEquivalentTo for the values. */
    bool samePropertyOrder (const juce::ValueTree& a, const juce::ValueTree& b)
    {
        if (a.getType() != b.getType() || a.getNumChildren() != b.getNumChildren()
             || propertyNames (a) != propertyNames (b))
            return false;

        for (int i = 0; i < a.getNumChildren(); ++i)
            if (! samePropertyOrder (a.getChild (i), b.getChild (i)))
                return false;

        return true;
    }

    std::vector<int> controlsWithARow()
    {
        std::vector<int> controls;
        for (int c = 1; c <= numControls; ++c)
            if (controlRowOf (c) >= 0)
                controls.push_back (c);
        return controls;
    }

    /** One full default store shared by the tests that only read it. */
    class BuiltInStoreTest : public z9test::CoreFixture
    {
    protected:
        static void SetUpTestSuite()     { resetProcessWideState(); shared = new MappingStore(); }
        static void TearDownTestSuite()  { delete shared; shared = nullptr; }

        static juce::ValueTree control (int daw, int c, int slotIndex = 0, int model = 1)
        {
            return shared->getModel (model).getChild (slotIndex).getChild (daw - 1).getChild (c - 1);
        }

        static MappingStore* shared;
    };

    MappingStore* BuiltInStoreTest::shared = nullptr;
}

//==============================================================================
TEST (BuiltInImages, RecordCountsByKindPerDaw)
{
    struct Counts { int daw, note, cc, pitch, empty, hotkey; };
    const Counts expected[] =
    {
        { 1, 121, 41, 9, 8, 32 },  { 2, 124, 41, 9, 5, 32 },  { 4, 121, 41, 9, 8, 32 },  { 5, 126, 41, 9, 3, 32 },
        { 6, 120, 41, 9, 9, 32 },  { 7, 123, 41, 9, 6, 32 },  { 8, 112, 41, 9, 0, 49 },  { 9, 125, 41, 9, 4, 32 },
        { 10, 124, 41, 9, 5, 32 }, { 11, 121, 41, 9, 8, 32 }, { 12, 113, 41, 9, 16, 32 }, { 13, 120, 41, 9, 9, 32 },
        { 14, 124, 41, 9, 5, 32 }, { 15, 119, 41, 9, 10, 32 }, { 16, 121, 41, 9, 8, 32 }, { 17, 128, 41, 9, 9, 24 },
        { 18, 122, 41, 9, 7, 32 }
    };

    for (auto& e : expected)
    {
        Counts got { e.daw, 0, 0, 0, 0, 0 };

        for (int c : controlsWithARow())
        {
            auto r = recordOf (e.daw, c);
            auto hi = r[0] >> 4, lo = r[0] & 15;

            EXPECT_EQ (r[6], 0) << "DAW " << e.daw << " control " << c;

            if (r == Bytes { 0x30, 0, 0, 0, 0, 0, 0 })   ++got.empty;
            else if (hi == 4)                            ++got.hotkey;
            else if (hi <= 2 && lo == 9)                 ++got.note;
            else if (hi <= 2 && lo == 11)                ++got.cc;
            else if (hi <= 2 && lo == 14)                ++got.pitch;
            else ADD_FAILURE() << "DAW " << e.daw << " control " << c << " has an unknown record";

            // knobs and control 124 on control changes, faders on pitch bend, the rest buttons
            if (isKnobControl (c) || c == 124)  EXPECT_EQ (lo, 11) << e.daw << "/" << c;
            if (isFaderControl (c))             EXPECT_EQ (lo, 14) << e.daw << "/" << c;
        }

        EXPECT_EQ (got.note, e.note) << "DAW " << e.daw;
        EXPECT_EQ (got.cc, e.cc) << "DAW " << e.daw;
        EXPECT_EQ (got.pitch, e.pitch) << "DAW " << e.daw;
        EXPECT_EQ (got.empty, e.empty) << "DAW " << e.daw;
        EXPECT_EQ (got.hotkey, e.hotkey) << "DAW " << e.daw;
    }
}

TEST (BuiltInImages, ProToolsRecordsByKind)
{
    int hui = 0, huiOnSlot2 = 0, empty = 0, hotkey = 0;
    std::vector<int> huiOnSlot0, emptyControls, hotkeyControls, withoutFunction;

    for (int c : controlsWithARow())
    {
        auto r = recordOf (3, c);
        EXPECT_EQ (r[6], 0);

        if (r == Bytes { 0x30, 0, 0, 0, 0, 0, 0 })        emptyControls.push_back (c);
        else if ((r[0] >> 4) == 4)                        hotkeyControls.push_back (c);
        else if (r == Bytes { 0x20, 0, 0, 0, 0, 0, 0 })   withoutFunction.push_back (c);
        else
        {
            ASSERT_EQ (r[0] & 15, 11) << c;
            ASSERT_EQ (r[1], 0xB0) << c;
            ++hui;
            if ((r[0] >> 4) == 2) ++huiOnSlot2;
            if ((r[0] >> 4) == 0) huiOnSlot0.push_back (c);
        }
    }

    empty = (int) emptyControls.size();
    hotkey = (int) hotkeyControls.size();
    EXPECT_EQ (hui, 177);
    EXPECT_EQ (huiOnSlot2, 175);
    EXPECT_EQ (huiOnSlot0, (std::vector<int> { 125, 126 }));
    EXPECT_EQ (withoutFunction, std::vector<int> { 11 });
    EXPECT_EQ (empty, 9);
    EXPECT_EQ (emptyControls, (std::vector<int> { 48, 73, 74, 75, 76, 77, 78, 79, 80 }));
    EXPECT_EQ (hotkey, 24);
    EXPECT_EQ (hotkeyControls.front(), 49);
    EXPECT_EQ (hotkeyControls.back(), 72);
}

TEST (BuiltInImages, TellingRows)
{
    struct Row { int daw, control; Bytes bytes; };
    const Row rows[] =
    {
        { 2, 1,   { 0x19, 0x90, 0x2A, 0x7F, 0, 0, 0 } },
        { 2, 44,  { 0x30, 0, 0, 0, 0, 0, 0 } },
        { 2, 49,  { 0x41, 0x12, 0, 0, 0, 0, 0 } },
        { 2, 54,  { 0x43, 0x16, 0, 0, 0, 0, 0 } },
        { 2, 116, { 0x1B, 0xB0, 0x10, 0x40, 0, 0, 0 } },
        { 2, 124, { 0x1B, 0xB0, 0x3C, 0x40, 0, 0, 0 } },
        { 2, 136, { 0x1E, 0xE0, 0x00, 0x7F, 0, 0, 0 } },
        { 2, 144, { 0x1E, 0xE8, 0x00, 0x7F, 0, 0, 0 } },
        { 1, 1,   { 0x09, 0x90, 0x28, 0x7F, 0, 0, 0 } },
        { 1, 79,  { 0x45, 0x17, 0, 0, 0, 0, 0 } },
        { 3, 1,   { 0x2B, 0xB0, 0x0F, 0x0B, 0x2F, 0x42, 0 } },
        { 3, 11,  { 0x20, 0, 0, 0, 0, 0, 0 } },
        { 3, 116, { 0x2B, 0xB0, 0x40, 0x40, 0, 0, 0 } },
        { 3, 136, { 0x2B, 0xB0, 0x00, 0x00, 0x20, 0, 0 } },
        { 3, 125, { 0x0B, 0xB0, 0x0F, 0x1D, 0x2F, 0x00, 0 } },
    };

    for (auto& row : rows)
        EXPECT_EQ (recordOf (row.daw, row.control), row.bytes) << "DAW " << row.daw << " control " << row.control;
}

TEST (BuiltInImages, SharedTableUnusedRowsAndIdsOutsideTheList)
{
    EXPECT_EQ (builtInImage (2), builtInImage (14));
    EXPECT_EQ (&functionLabelTable (2), &functionLabelTable (14));
    EXPECT_NE (builtInImage (2), builtInImage (1));
    EXPECT_EQ (builtInImage (0), nullptr);
    EXPECT_EQ (builtInImage (19), nullptr);

    for (int row : { 80, 91, 114, 144, 163, 188, 195 })
        for (int d = 1; d <= numDaws; ++d)
            for (int b = 0; b < controlRecordSize; ++b)
                EXPECT_EQ (builtInImage (d)[row * controlRecordSize + b], 0) << d << "/" << row;
}

TEST (BuiltInImages, NoHotkeyIsReadAsANoteAndEveryKeyIsKnown)
{
    for (int d = 1; d <= numDaws; ++d)
    {
        for (int c : controlsWithARow())
        {
            auto r = recordOf (d, c);

            if ((r[0] >> 4) != 4)
                continue;

            // the decoder looks up a note label for a first modifier nibble of 9
            EXPECT_NE (r[0] & 15, 9) << d << "/" << c;
            EXPECT_GT (r[1], 0) << d << "/" << c;
            EXPECT_TRUE (getKeyCaption (r[1]).isNotEmpty()) << d << "/" << c;
        }
    }
}

//==============================================================================
TEST (HuiTable, LabelsAddressesAndLookup)
{
    ASSERT_EQ (huiButtonLabels().size(), huiFunctionTableSize);
    EXPECT_EQ (huiButtonLabels()[0], "(blank)");
    EXPECT_EQ (huiButtonLabels()[28], "Pan");
    EXPECT_EQ (huiButtonLabels()[73], "TouchM");
    EXPECT_EQ (huiButtonLabels()[81], "Touch 8");
    EXPECT_EQ (huiButtonLabels()[113], "REC 8");
    EXPECT_EQ (huiButtonLabels()[121], "MON 8");
    EXPECT_EQ (huiButtonLabels()[huiCustomFunction], "(custom)");
    EXPECT_EQ (huiFaderLabels(), juce::StringArray ({ "Volume 1", "Volume 2", "Volume 3", "Volume 4", "Volume 5",
                                                      "Volume 6", "Volume 7", "Volume 8", "VolumeM" }));
    EXPECT_EQ (huiKnobLabels().size(), 8);
    EXPECT_EQ (huiKnobLabels()[7], "Pan 8");

    auto* a = huiAddressTable();
    EXPECT_EQ (a[0].zone, -1);   EXPECT_EQ (a[0].port, -1);
    EXPECT_EQ (a[122].zone, -1); EXPECT_EQ (a[122].port, -1);
    EXPECT_EQ (a[71].zone, 0x1D); EXPECT_EQ (a[71].port, 0x00);
    EXPECT_EQ (a[97].zone, 7);   EXPECT_EQ (a[97].port, 0x42);   // MUTE8

    struct Case { int zone, port, expected; };
    const Case cases[] =
    {
        { 0x0B, 0x42, 28 }, { 0x1D, 0x01, 72 }, { 0x00, 0x00, 73 }, { 0x03, 0x47, 109 },
        { -1, -1, 0 },                          // the first "no address" entry
        { 0x20, 5, 5 }, { 0x40, 7, 7 }, { 32, 0x0F, 15 },   // faders and knobs: the port
        { 0x01, 0x01, -1 }, { 0x0B, 0x49, -1 }
    };

    for (auto& c : cases)
        EXPECT_EQ (findHuiButtonIndex (c.zone, c.port), c.expected) << c.zone << "," << c.port;
}

TEST (FunctionLabels, SharedEntriesAndPerDawShape)
{
    struct Shape { int daw, highest, nonEmpty; };
    const Shape shapes[] =
    {
        { 1, 112, 112 }, { 2, 114, 115 }, { 4, 116, 117 }, { 5, 116, 117 }, { 6, 112, 113 }, { 7, 112, 112 },
        { 8, 112, 102 }, { 9, 112, 112 }, { 10, 112, 112 }, { 11, 112, 107 }, { 12, 112, 105 },
        { 13, 112, 111 }, { 14, 114, 115 }, { 15, 112, 107 }, { 16, 112, 110 }, { 17, 116, 116 }, { 18, 112, 113 }
    };

    juce::StringArray shared;
    for (int i = 1; i <= 8; ++i) shared.add ("REC " + juce::String (i));
    for (int i = 1; i <= 8; ++i) shared.add ("SOLO" + juce::String (i));
    for (int i = 1; i <= 8; ++i) shared.add ("MUTE" + juce::String (i));
    for (int i = 1; i <= 8; ++i) shared.add ("SEL " + juce::String (i));
    for (int i = 1; i <= 8; ++i) shared.add ("MON " + juce::String (i));

    const std::pair<int, const char*> singles[] =
    {
        { 46, "<<8" }, { 47, "8>>" }, { 50, "Flip" }, { 91, "Rewind" }, { 92, "Fast Forward" }, { 93, "Stop" },
        { 94, "Play" }, { 95, "Record" }, { 96, "Up" }, { 97, "Down" }, { 98, "Left" }, { 99, "Right" },
        { 100, "Zoom" }, { 104, "Touch 1" }, { 111, "Touch 8" }, { 112, "TouchM" }
    };

    for (auto& s : shapes)
    {
        auto& t = functionLabelTable (s.daw);
        ASSERT_EQ (t.size(), 128) << s.daw;

        int highest = -1, nonEmpty = 0;
        for (int i = 0; i < 128; ++i)
        {
            EXPECT_LE (t[i].length(), 39) << s.daw << "/" << i;
            if (t[i].isNotEmpty()) { highest = i; ++nonEmpty; }
        }

        EXPECT_EQ (highest, s.highest) << "DAW " << s.daw;
        EXPECT_EQ (nonEmpty, s.nonEmpty) << "DAW " << s.daw;

        for (int i = 0; i < 40; ++i)
            EXPECT_EQ (t[i], shared[i]) << s.daw << "/" << i;

        for (auto [index, text] : singles)
            EXPECT_EQ (t[index], text) << s.daw << "/" << index;

        for (int i = 105; i <= 110; ++i)
            EXPECT_EQ (t[i], "Touch " + juce::String (i - 103)) << s.daw;

        for (int i = 117; i < 128; ++i)
            EXPECT_TRUE (t[i].isEmpty()) << s.daw << "/" << i;
    }

    auto& cubase = functionLabelTable (2);
    EXPECT_EQ (cubase[40], "Page Up");
    EXPECT_EQ (cubase[42], "Pan");
    EXPECT_EQ (cubase[45], "Dyn/ Fx/Aux");
    EXPECT_EQ (cubase[62], "Fader Group 1");
    EXPECT_EQ (cubase[69], "Fader Group 8");
    EXPECT_EQ (cubase[113], "SMPTE LED");
    EXPECT_EQ (cubase[114], "Beats LED");
    EXPECT_EQ (functionLabelTable (1)[40], "Track");
    EXPECT_EQ (functionLabelTable (1)[59], "Punch In");
    EXPECT_EQ (functionLabelTable (1)[87], "Dupli- cate");
    EXPECT_EQ (functionLabelTable (3), huiButtonLabels());
    EXPECT_TRUE (functionLabelTable (0).isEmpty());
    EXPECT_TRUE (functionLabelTable (19).isEmpty());
}

TEST (FunctionLabels, LookupsNeverLeaveTheirTables)
{
    struct Case { int daw, kindOrNibble, value; const char* plain; const char* assigned; };
    const Case cases[] =
    {
        // non-HUI: getFunctionLabel ignores the kind, the assigned label wants nibble 9
        { 2, 9, 42, "Pan", "Pan" },
        { 2, 11, 42, "Pan", "" },
        { 2, 9, 127, "", "" },
        { 2, 9, 128, "", "" },
        { 2, 9, -1, "", "" },
        { 2, 9, 100000, "", "" },
        { 0, 9, 42, "", "" },
        { 19, 9, 42, "", "" },
        // HUI: kind button, fader, knob
        { 3, ControlKind::Button, 0, "(blank)", "" },
        { 3, ControlKind::Button, 28, "Pan", "Pan" },
        { 3, ControlKind::Button, 122, "(custom)", "(custom)" },
        { 3, ControlKind::Button, 123, "", "" },
        { 3, ControlKind::Button, 127, "", "" },
        { 3, ControlKind::Fader, 8, "VolumeM", "VolumeM" },
        { 3, ControlKind::Fader, 9, "", "" },
        { 3, ControlKind::Knob, 7, "Pan 8", "Pan 8" },
        { 3, ControlKind::Knob, 8, "", "" },
        { 3, ControlKind::Knob, -5, "", "" },
        { 3, ControlKind::Pedal, 1, "", "" },
    };

    for (auto& c : cases)
    {
        EXPECT_EQ (getFunctionLabel (c.daw, ControlKind (c.kindOrNibble), c.value), c.plain)
            << c.daw << "/" << c.kindOrNibble << "/" << c.value;
        EXPECT_EQ (getAssignedFunctionLabel (c.daw, c.kindOrNibble, c.value), c.assigned)
            << c.daw << "/" << c.kindOrNibble << "/" << c.value;
    }

    // no trimming in the plain label, trimmed assigned label
    EXPECT_EQ (getFunctionLabel (2, ControlKind (ControlKind::Button), 44), functionLabelTable (2)[44]);
}

TEST (FunctionLabels, HuiFunctionCountAndReservedControls)
{
    struct Case { int daw, kind, expected; };
    const Case cases[] =
    {
        { 3, ControlKind::Knob, 8 }, { 3, ControlKind::Fader, 9 }, { 3, ControlKind::Button, 123 },
        { 3, ControlKind::Pedal, 1 }, { 3, ControlKind::Keyboard, 1 },
        { 2, ControlKind::Button, 1 }, { 2, ControlKind::Knob, 1 }, { 0, ControlKind::Button, 1 }
    };

    for (auto& c : cases)
        EXPECT_EQ (huiFunctionCount (DawId (c.daw), ControlKind (c.kind)), c.expected) << c.daw << "/" << c.kind;

    EXPECT_EQ (huiReservedControls(), juce::Array<int> ({ 2, 11, 12 }));
    EXPECT_EQ (huiReservedCaptions(), juce::StringArray ({ "Plug-in*", "Insert*", "V-Select *" }));
    EXPECT_EQ (huiReservedCaptionOf (11), "Insert*");
    EXPECT_EQ (huiReservedCaptionOf (13), "");
}

TEST (HotkeyCaptions, CountsAndControlsPerDaw)
{
    struct Case { int daw, count, first, last; };
    const Case cases[] =
    {
        { 1, 32, 49, 80 }, { 2, 32, 49, 80 }, { 3, 24, 49, 72 }, { 4, 32, 49, 80 }, { 5, 32, 49, 80 },
        { 6, 32, 49, 80 }, { 7, 32, 49, 80 }, { 8, 49, 32, 80 }, { 9, 32, 49, 80 }, { 10, 32, 49, 80 },
        { 11, 32, 49, 80 }, { 12, 0, 0, 0 }, { 13, 32, 49, 80 }, { 14, 32, 49, 80 }, { 15, 0, 0, 0 },
        { 16, 0, 0, 0 }, { 17, 20, 29, 71 }, { 18, 0, 0, 0 }
    };

    for (auto& c : cases)
    {
        int count = 0, first = 0, last = 0;

        for (int control = 0; control <= 90; ++control)
        {
            if (getHotkeyCaption (c.daw, control).isEmpty())
                continue;

            EXPECT_TRUE (control >= 17 && control <= 80);
            if (count++ == 0) first = control;
            last = control;
        }

        EXPECT_EQ (count, c.count) << "DAW " << c.daw;
        EXPECT_EQ (first, c.first) << "DAW " << c.daw;
        EXPECT_EQ (last, c.last) << "DAW " << c.daw;
    }

    // Ability: 29, then 53 to 71 without a gap
    for (int control = 53; control <= 71; ++control)
        EXPECT_TRUE (getHotkeyCaption (17, control).isNotEmpty()) << control;

    const std::pair<int, const char*> cubase[] = { { 49, "Open" }, { 50, "Close" }, { 51, "Quit" },
                                                   { 52, "New Project" }, { 53, "Save" }, { 54, "Save As" } };
    for (auto [control, text] : cubase)
    {
        EXPECT_EQ (getHotkeyCaption (2, control), text);
        EXPECT_EQ (getHotkeyCaption (14, control), text);
    }

    EXPECT_EQ (getHotkeyCaption (3, 49), "Shuffle");
    EXPECT_EQ (getHotkeyCaption (3, 50), "Slip");
    EXPECT_EQ (getHotkeyCaption (3, 51), "Spot");
    EXPECT_EQ (getHotkeyCaption (3, 52), "Grid");
    EXPECT_EQ (getHotkeyCaption (17, 29), "Erase");
    EXPECT_EQ (getHotkeyCaption (0, 49), "");
    EXPECT_EQ (getHotkeyCaption (19, 49), "");
}

//==============================================================================
TEST_F (BuiltInStoreTest, TellingRowsDecoded)
{
    auto pan = control (2, 1);
    EXPECT_EQ (pan["valueType"].toString(), "func");
    EXPECT_EQ ((int) pan["value"], 42);
    EXPECT_EQ (pan["name"].toString(), "Pan");

    auto knob = control (2, 116);
    EXPECT_EQ (knob["valueType"].toString(), "midi");
    EXPECT_EQ (knob["type"].toString(), "cc");
    EXPECT_EQ ((int) knob["chan"], 1);
    EXPECT_EQ ((int) knob["msgValue"], 16);
    EXPECT_EQ ((int) knob["rotate"], 1);

    auto jog = control (2, 124);
    EXPECT_EQ (jog["type"].toString(), "cc");
    EXPECT_EQ ((int) jog["msgValue"], 60);
    EXPECT_EQ ((int) jog["rotate"], 0);

    auto fader = control (2, 136);
    EXPECT_EQ (fader["valueType"].toString(), "midi");
    EXPECT_EQ (fader["type"].toString(), "pitch");
    EXPECT_EQ ((int) fader["chan"], 1);
    EXPECT_EQ ((int) control (2, 144)["chan"], 9);

    auto open = control (2, 49);
    EXPECT_EQ (open["valueType"].toString(), "hotkey");
    EXPECT_EQ (open["name"].toString(), "Open");
    EXPECT_EQ ((int) open["key"], 0x12);
    EXPECT_EQ (open["keyName"].toString(), "O");
    EXPECT_TRUE ((bool) open["ctrl"]);
    EXPECT_FALSE ((bool) open["shift"]);
    EXPECT_EQ ((int) open["key2"], 0);
    EXPECT_EQ (open["keyName2"].toString(), "");
    EXPECT_EQ (propertyNames (open),
               juce::StringArray ({ "id", "kind", "valueType", "value", "name", "lockBy", "ctrl", "shift", "alt",
                                    "cmd", "key", "keyName", "type", "chan", "msgValue", "rotate", "val1", "val2",
                                    "ctrl2", "shift2", "alt2", "cmd2", "key2", "keyName2",
                                    "ctrl3", "shift3", "alt3", "cmd3", "key3", "keyName3" }));

    auto saveAs = control (2, 54);
    EXPECT_TRUE ((bool) saveAs["ctrl"]);
    EXPECT_TRUE ((bool) saveAs["shift"]);
    EXPECT_EQ (saveAs["keyName"].toString(), "S");
    EXPECT_EQ (saveAs["name"].toString(), "Save As");

    auto empty = control (2, 44);
    EXPECT_EQ (empty["valueType"].toString(), "null");
    EXPECT_EQ (empty["name"].toString(), "");

    auto proPan = control (3, 1);
    EXPECT_EQ (proPan["valueType"].toString(), "func");
    EXPECT_EQ ((int) proPan["value"], 28);
    EXPECT_EQ (proPan["name"].toString(), "Pan");
    EXPECT_EQ ((int) proPan["val1"], 0x0B);
    EXPECT_EQ ((int) proPan["val2"], 0x42);
    EXPECT_EQ ((int) proPan["diyNameQ"], 0);

    auto insert = control (3, 11);
    EXPECT_EQ (insert["valueType"].toString(), "func");
    EXPECT_EQ ((int) insert["value"], 0);
    EXPECT_EQ ((int) insert["val1"], -1);
    EXPECT_EQ ((int) insert["val2"], -1);
    EXPECT_EQ (insert["name"].toString(), "Insert*");
    EXPECT_EQ (control (3, 2)["name"].toString(), "Plug-in*");
    EXPECT_EQ (control (3, 12)["name"].toString(), "V-Select *");

    auto volume = control (3, 136);
    EXPECT_EQ (volume["valueType"].toString(), "hui");
    EXPECT_EQ ((int) volume["value"], 0);
    EXPECT_EQ (volume["name"].toString(), "Volume 1");
    EXPECT_EQ ((int) volume["val1"], 0x20);
    EXPECT_EQ ((int) volume["val2"], 0);

    auto userA = control (3, 125);
    EXPECT_EQ ((int) userA["value"], 71);
    EXPECT_EQ (userA["name"].toString(), "User A");

    auto shuffle = control (3, 49);
    EXPECT_EQ (shuffle["valueType"].toString(), "hotkey");
    EXPECT_EQ (shuffle["name"].toString(), "Shuffle");
    EXPECT_EQ (shuffle["keyName"].toString(), "F1");

    auto proEmpty = control (3, 48);
    EXPECT_EQ (proEmpty["valueType"].toString(), "null");
    EXPECT_EQ ((int) proEmpty["val1"], -1);
}

TEST_F (BuiltInStoreTest, ProToolsKnobsAndFaders)
{
    for (int i = 0; i < 8; ++i)
    {
        auto knob = control (3, 116 + i);
        EXPECT_EQ (knob["valueType"].toString(), "hui");
        EXPECT_EQ ((int) knob["value"], i);
        EXPECT_EQ (knob["name"].toString(), "Pan " + juce::String (i + 1));
        EXPECT_EQ ((int) knob["val1"], 0x40);
    }

    for (int i = 0; i < 9; ++i)
    {
        auto fader = control (3, 136 + i);
        EXPECT_EQ (fader["valueType"].toString(), "hui");
        EXPECT_EQ ((int) fader["value"], i);
        EXPECT_EQ (fader["name"].toString(), i < 8 ? "Volume " + juce::String (i + 1) : juce::String ("VolumeM"));
    }
}

TEST_F (BuiltInStoreTest, CubaseAndNuendoDifferOnlyInTheModeNode)
{
    for (int slotIndex = 0; slotIndex < 3; ++slotIndex)
    {
        auto cubase = shared->getModel (1).getChild (slotIndex).getChild (1).createCopy();
        auto nuendo = shared->getModel (1).getChild (slotIndex).getChild (13).createCopy();

        EXPECT_EQ (nuendo["mode"].toString(), "nuendo");
        EXPECT_EQ ((int) nuendo["id"], 14);
        EXPECT_NE (xmlOf (cubase), xmlOf (nuendo));

        nuendo.setProperty (Ids::mode, "cubase", nullptr);
        nuendo.setProperty (Ids::id, 2, nullptr);
        EXPECT_EQ (xmlOf (cubase), xmlOf (nuendo));
    }
}

TEST_F (BuiltInStoreTest, ControlsWithoutARowKeepTheDefaultTree)
{
    for (int d = 1; d <= numDaws; ++d)
    {
        for (int c = 1; c <= numControls; ++c)
        {
            if (controlRowOf (c) >= 0)
                continue;

            auto ctl = control (d, c, 2, 8);
            EXPECT_EQ (propertyNames (ctl), juce::StringArray ({ "id", "kind", "valueType", "value", "name" }))
                << d << "/" << c;
            EXPECT_EQ (ctl["valueType"].toString(), "nil");
            EXPECT_EQ ((int) ctl["value"], 0);
            EXPECT_EQ (ctl["name"].toString(), "");
        }
    }
}

TEST_F (BuiltInStoreTest, HotkeyNames)
{
    // every built-in hotkey with a caption is named by it
    for (int d = 1; d <= numDaws; ++d)
    {
        for (int c = 17; c <= 80; ++c)
        {
            auto ctl = control (d, c);

            if (ctl["valueType"].toString() == "hotkey")
                EXPECT_EQ (ctl["name"].toString(), getHotkeyCaption (d, c)) << d << "/" << c;
        }
    }

    // Ability's hotkeys on 45 to 48 have neither a caption nor a label
    for (int c = 45; c <= 48; ++c)
    {
        auto ctl = control (17, c);
        EXPECT_EQ (ctl["valueType"].toString(), "hotkey") << c;
        EXPECT_EQ (ctl["name"].toString(), "") << c;
    }

    EXPECT_EQ (control (17, 29)["name"].toString(), "Erase");
    EXPECT_EQ (control (12, 49)["valueType"].toString(), "hotkey");
    EXPECT_EQ (control (12, 49)["name"].toString(), "");
}

TEST_F (BuiltInStoreTest, FuncButtonWithoutALabelHasNoName)
{
    // Studio one has no view groups: its buttons on notes 62 to 69 stay unnamed
    auto ctl = control (8, 9);
    EXPECT_EQ (ctl["valueType"].toString(), "func");
    EXPECT_EQ ((int) ctl["value"], 62);
    EXPECT_TRUE (functionLabelTable (8)[62].isEmpty());
    EXPECT_EQ (ctl["name"].toString(), "");
}

TEST_F (BuiltInStoreTest, SlotsCarryTheirColoursAndEveryModelTheSameProfiles)
{
    for (int m = 1; m <= 8; ++m)
    {
        for (int j = 0; j < 3; ++j)
        {
            auto slot = shared->getModel (m).getChild (j);
            EXPECT_EQ ((int) slot["daw1"], j == 0 ? 1 : 0);
            EXPECT_EQ ((int) slot["daw2"], j == 1 ? 1 : 0);
            EXPECT_EQ ((int) slot["daw3"], j == 2 ? 1 : 0);
        }
    }

    auto first = shared->getModel (1).getChild (0);
    auto last = shared->getModel (8).getChild (2);

    for (int d = 1; d <= numDaws; ++d)
        EXPECT_TRUE (first.getChild (d - 1).isEquivalentTo (last.getChild (d - 1))) << d;
}

//==============================================================================
class BuiltInDecoderTest : public z9test::CoreFixture {};

TEST_F (BuiltInDecoderTest, NewStoreEqualsTheDefaultTreeWithTheProfilesAppliedInPlace)
{
    slotColourTable[1][2] = 1;   // a changed colour table reaches the slots

    // The slow way decodes every slot of every model: it runs on two models,
    // the Z9-M and an X-family one, which the new store is cut to as well.
    auto keepModelsOneAndFive = [] (juce::ValueTree store)
    {
        for (int i = store.getNumChildren(); --i >= 0;)
            if (auto id = (int) store.getChild (i)["id"]; id != 1 && id != 5)
                store.removeChild (i, nullptr);

        return store;
    };

    MappingStore built;
    MappingStore inPlace { juce::ValueTree (Ids::store) };
    inPlace.buildDefaultTree();
    keepModelsOneAndFive (inPlace.getTree());
    inPlace.applyBuiltInDefaults();
    ASSERT_EQ (inPlace.getTree().getNumChildren(), 2);

    // every model of the new store has the same profiles and colours
    for (int m = 2; m <= numProducts; ++m)
    {
        EXPECT_EQ ((int) built.getModel (m)["pid"], productList()[m - 1]);

        for (int j = 0; j < numSlots; ++j)
            EXPECT_TRUE (built.getModel (m).getChild (j).isEquivalentTo (built.getModel (1).getChild (j))) << m;
    }

    EXPECT_TRUE (keepModelsOneAndFive (built.getTree()).isEquivalentTo (inPlace.getTree()));

    // the same property order too (the attribute order of a saved file)
    for (int m : { 1, 5 })
        EXPECT_TRUE (samePropertyOrder (built.getModel (m), inPlace.getModel (m))) << m;

    EXPECT_EQ ((int) built.getSlot (2, 1)["daw3"], 1);

    // a reset gives the same tree again
    built.getControl (5, 1, 1).setProperty (Ids::name, "changed", nullptr);
    built.resetToDefaults();
    EXPECT_TRUE (keepModelsOneAndFive (built.getTree()).isEquivalentTo (inPlace.getTree()));
}

TEST_F (BuiltInDecoderTest, ApplyModeDefaultsRewritesOneModeAndIgnoresBadNumbers)
{
    MappingStore store;

    while (store.getTree().getNumChildren() > 2)
        store.getTree().removeChild (2, nullptr);

    auto model = store.getModel (2);
    auto before = store.getTree().createCopy();

    store.applyModeDefaults (model, 0, 2);
    store.applyModeDefaults (model, 4, 2);
    store.applyModeDefaults (model, 1, 0);
    store.applyModeDefaults (model, 1, 19);
    store.applyModeDefaults (store.getModel (3), 1, 2);   // a model the store lacks
    EXPECT_TRUE (store.getTree().isEquivalentTo (before));

    // an edited control comes back; a control without a row keeps its edit
    auto edited = model.getChild (1).getChild (4).getChild (0);
    edited.setProperty (Ids::valueType, "midi", nullptr);
    edited.setProperty (Ids::name, "Mine", nullptr);
    auto noRow = model.getChild (1).getChild (4).getChild (85);
    noRow.setProperty (Ids::name, "Kept", nullptr);
    auto otherSlot = model.getChild (0).getChild (4).getChild (0);
    otherSlot.setProperty (Ids::name, "Other", nullptr);

    store.applyModeDefaults (model, 2, 5);
    EXPECT_EQ (edited["valueType"].toString(), "func");
    EXPECT_EQ (edited["name"].toString(), functionLabelTable (5)[40]);
    EXPECT_EQ (noRow["name"].toString(), "Kept");
    EXPECT_EQ (otherSlot["name"].toString(), "Other");
}

//==============================================================================
class FunctionNamesTest : public z9test::HostFixture {};

TEST_F (FunctionNamesTest, CollectsTransportNamesThenTheNamesOfFuncControls)
{
    functionNameList = { "left over" };

    // no DAW in the current slot: the list stays as it is
    host().collectFunctionNames();
    EXPECT_EQ (functionNameList, juce::Array<juce::String> ({ "left over" }));

    auto slot = host().getStore().getSlot (1, -1);
    slot.setProperty (Ids::current, 2, nullptr);
    auto mode = slot.getChild (1);
    mode.getChild (1).setProperty (Ids::name, "  Spaced  ", nullptr);
    mode.getChild (2).setProperty (Ids::name, "Pan", nullptr);            // a duplicate is kept
    mode.getChild (3).setProperty (Ids::valueType, " func", nullptr);     // only exactly "func"

    host().collectFunctionNames();

    juce::Array<juce::String> expected;
    for (auto& t : transportNames())
        expected.add (t);

    for (const auto& ctl : mode)
    {
        if (ctl["valueType"].toString() != "func")
            continue;

        auto name = ctl["name"].toString().trim();
        if (name.isNotEmpty())
            expected.add (name);
    }

    EXPECT_EQ (functionNameList, expected);
    EXPECT_EQ (functionNameList[6], "Pan");
    EXPECT_EQ (functionNameList[7], "Spaced");
    EXPECT_EQ (functionNameList[8], "Pan");
    EXPECT_FALSE (functionNameList.contains (functionLabelTable (2)[44]));
    EXPECT_TRUE (functionNameList.size() > 100);

    resetProcessWideState();
    EXPECT_TRUE (functionNameList.isEmpty());
}

TEST_F (FunctionNamesTest, ReservedControlsFollowTheCurrentDaw)
{
    EXPECT_FALSE (isHuiReservedControl (11));   // no Host yet

    auto slot = host().getStore().getSlot (1, -1);
    slot.setProperty (Ids::current, 2, nullptr);
    EXPECT_FALSE (isHuiReservedControl (11));

    slot.setProperty (Ids::current, 3, nullptr);

    for (int c = 0; c <= 20; ++c)
        EXPECT_EQ (isHuiReservedControl (c), c == 2 || c == 11 || c == 12) << c;

    EXPECT_TRUE (isHuiReservedControl (host().getStore(), 12));
}
