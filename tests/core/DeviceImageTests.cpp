#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/base/Checksums.h"
#include "core/sync/CompiledSlots.h"
#include "tests/support/HostFixture.h"

using namespace NsZ9m;

namespace
{
    using Record = std::array<int, 7>;

    class DeviceImageTest : public z9test::HostFixture
    {
    protected:
        void SetUp() override
        {
            HostFixture::SetUp();
            host();
        }

        void setSlotDaw (int productIndex, int slotNumber, int daw)
        {
            host().getStore().getSlot (slotNumber, productIndex).setProperty (Ids::current, daw, nullptr);
        }

        juce::ValueTree control (int c, int slotNumber = 1, int productIndex = 1)
        {
            return host().getStore().getControl (c, slotNumber, productIndex);
        }

        /** Clears a control and gives it the listed properties. */
        juce::ValueTree assign (int c, std::initializer_list<std::pair<juce::Identifier, juce::var>> props,
                                int slotNumber = 1, int productIndex = 1)
        {
            auto node = control (c, slotNumber, productIndex);
            clearControlAssignment (node);

            for (auto& [id, v] : props)
                node.setProperty (id, v, nullptr);

            return node;
        }

        void compile (int productIndex, int slotIndex)
        {
            slotDirty[slotIndex] = true;
            slotPending[slotIndex] = false;
            compileDeviceImage (productIndex);
            slotDirty[slotIndex] = false;
        }

        static Record record (int productIndex, int slotIndex, int c)
        {
            Record r {};
            auto* bytes = deviceImage[productIndex - 1][slotIndex][controlRowOf (c)];

            for (int i = 0; i < 7; ++i)
                r[(size_t) i] = bytes[i];

            return r;
        }

        static Record builtIn (int daw, int c)
        {
            Record r {};
            auto* bytes = builtInImage (daw) + controlRowOf (c) * controlRecordSize;

            for (int i = 0; i < 7; ++i)
                r[(size_t) i] = bytes[i];

            return r;
        }

        static Record stamped (Record r, int slotIndex)
        {
            if ((r[0] & 0x70) <= 0x30)
                r[0] = ((slotIndex << 4) & 0x70) | (r[0] & 0x0F);

            return r;
        }
    };
}

TEST_F (DeviceImageTest, EachKindOfAssignmentGivesItsRecord)
{
    using P = std::initializer_list<std::pair<juce::Identifier, juce::var>>;

    struct Case { const char* what; int daw; int control; P props; Record expected; };

    const Case cases[] = {
        { "func on a Mackie DAW",  2, 1,   { { Ids::valueType, "func" }, { Ids::value, 42 } },                  { 0x19, 0x90, 42, 0x7F, 0, 0, 0 } },
        { "cc on a button",        2, 5,   { { Ids::valueType, "midi" }, { Ids::type, "cc" }, { Ids::chan, 3 }, { Ids::msgValue, 20 } },
                                                                                                                 { 0x1B, 0xB2, 20, 0x7F, 0, 0, 0 } },
        { "note",                  2, 5,   { { Ids::valueType, "midi" }, { Ids::type, "note" }, { Ids::chan, 1 }, { Ids::msgValue, 60 } },
                                                                                                                 { 0x19, 0x90, 60, 0x7F, 0, 0, 0 } },
        { "program",               2, 5,   { { Ids::valueType, "midi" }, { Ids::type, "program" }, { Ids::chan, 16 }, { Ids::msgValue, 7 } },
                                                                                                                 { 0x1C, 0xCF, 7, 0x7F, 0, 0, 0 } },
        { "pitch on a fader",      2, 136, { { Ids::valueType, "midi" }, { Ids::type, "pitch" }, { Ids::chan, 2 }, { Ids::msgValue, 0 } },
                                                                                                                 { 0x1E, 0xE1, 0, 0x7F, 0, 0, 0 } },
        { "cc on a knob, rotate 2", 2, 116, { { Ids::valueType, "midi" }, { Ids::type, "cc" }, { Ids::chan, 1 }, { Ids::msgValue, 16 },
                                              { Ids::kind, "knob" }, { Ids::rotate, 2 } },                       { 0x1B, 0xB0, 16, 0x40, 0, 0, 0x10 } },
        { "cc on control 124",     2, 124, { { Ids::valueType, "midi" }, { Ids::type, "cc" }, { Ids::chan, 1 }, { Ids::msgValue, 60 },
                                             { Ids::kind, "button" } },                                          { 0x1B, 0xB0, 60, 0x40, 0, 0, 0 } },
        { "hotkey, three combos",  2, 49,  { { Ids::valueType, "hotkey" }, { Ids::ctrl, true }, { Ids::shift, true }, { Ids::key, 0x12 },
                                             { Ids::alt2, true }, { Ids::key2, 0x04 }, { Ids::cmd3, true }, { Ids::key3, 0x05 } },
                                                                                                                 { 0x43, 0x12, 0x04, 0x04, 0x08, 0x05, 0 } },
        { "mouse",                 2, 5,   { { Ids::valueType, "mouse" }, { Ids::keyName, "Left Click" } },
                                                                 { 0x50, 0, 0, 2, 0, 0, 0 } },
        { "mouse wheel up",        2, 5,   { { Ids::valueType, "mouse" }, { Ids::keyName, "Wheel Up" } },   { 0x50, 0, 0, 1, 0, 0, 0 } },
        { "null",                  2, 1,   { { Ids::valueType, "null" } },                                      { 0x10, 0, 0, 0, 0, 0, 0 } },
        { "HUI button by table",   3, 5,   { { Ids::valueType, "func" }, { Ids::value, 28 } },                  { 0x1B, 0xB0, 0x0F, 0x0B, 0x2F, 0x42, 0 } },
        { "HUI fader",             3, 136, { { Ids::valueType, "hui" }, { Ids::value, 3 } },                    { 0x1B, 0xB0, 3, 0, 0x23, 0, 0 } },
        { "HUI knob",              3, 116, { { Ids::valueType, "hui" }, { Ids::value, 5 } },                    { 0x1B, 0xB0, 0x45, 0x40, 0, 0, 0 } },
        { "HUI custom address",    3, 5,   { { Ids::valueType, "hui" }, { Ids::value, huiCustomFunction }, { Ids::val1, 0x10 }, { Ids::val2, 0x22 } },
                                                                                                                 { 0x1B, 0xB0, 0x0F, 0x10, 0x2F, 0x22, 0 } },
    };

    for (auto& tc : cases)
    {
        SCOPED_TRACE (tc.what);
        resetProcessWideState();
        setSlotDaw (1, 2, tc.daw);
        assign (tc.control, tc.props, 2);
        compile (1, 1);

        auto expected = tc.expected;
        expected[6] = std::string (tc.what) == "cc on a knob, rotate 2" ? 0x10 : builtIn (tc.daw, tc.control)[6];
        EXPECT_EQ (record (1, 1, tc.control), expected);
    }
}

TEST_F (DeviceImageTest, UnknownTypesAndUnusableHuiValuesKeepTheBuiltInBytes)
{
    setSlotDaw (1, 1, 3);
    assign (5, { { Ids::valueType, " midi" } });                                   // untrimmed: not a type
    assign (6, { { Ids::valueType, "nil" } });
    assign (7, { { Ids::valueType, "func" }, { Ids::value, -1 } });               // negative: bytes 2 to 5 kept
    assign (8, { { Ids::valueType, "func" }, { Ids::value, 0 } });                // "(blank)" has no address
    assign (9, { { Ids::valueType, "hui" }, { Ids::value, 200 } });               // beyond the table (a file's value)
    assign (10, { { Ids::valueType, "hui" }, { Ids::value, huiCustomFunction }, { Ids::val1, -1 }, { Ids::val2, 3 } });
    compile (1, 0);

    EXPECT_EQ (record (1, 0, 5), stamped (builtIn (3, 5), 0));
    EXPECT_EQ (record (1, 0, 6), stamped (builtIn (3, 6), 0));

    for (int c : { 7, 8, 9, 10 })
    {
        SCOPED_TRACE (c);
        auto expected = builtIn (3, c);
        expected[0] = 0x0B;
        expected[1] = 0xB0;
        EXPECT_EQ (record (1, 0, c), expected);
    }
}

TEST_F (DeviceImageTest, ValuesFromAFileNeverLeaveTheSevenBitRange)
{
    setSlotDaw (1, 1, 2);
    assign (1, { { Ids::valueType, "func" }, { Ids::value, 200 } });
    assign (2, { { Ids::valueType, "midi" }, { Ids::type, "cc" }, { Ids::chan, 0 }, { Ids::msgValue, -1 } });
    assign (3, { { Ids::valueType, "midi" }, { Ids::type, "note" }, { Ids::chan, 17 }, { Ids::msgValue, 128 } });
    assign (4, { { Ids::valueType, "hotkey" }, { Ids::key, 0xE0 }, { Ids::key2, -1 }, { Ids::key3, 300 } });
    compile (1, 0);

    EXPECT_EQ (record (1, 0, 1), (Record { 0x09, 0x90, 200 & 0x7F, 0x7F, 0, 0, 0 }));
    EXPECT_EQ (record (1, 0, 2)[1], 0xBF);      // the channel stays in the channel nibble
    EXPECT_EQ (record (1, 0, 2)[2], 0x7F);
    EXPECT_EQ (record (1, 0, 3)[1], 0x90);
    EXPECT_EQ (record (1, 0, 3)[2], 0);
    EXPECT_EQ (record (1, 0, 4)[1], 0xE0 & 0x7F);

    for (int i = 0; i < wireImageSize; ++i)
        ASSERT_LT (wireImages[0][0][i], 0x80) << "wire byte " << i;
}

TEST_F (DeviceImageTest, ADefaultSlotCompilesBackToItsBuiltInRecords)
{
    // The Host's new store is the default one, and compiling writes nothing
    // to it: each DAW's mode of the slot is as its built-in profile made it.
    const auto before = host().getStore().getSlot (3, 1).createCopy();

    for (int daw = 1; daw <= 18; ++daw)
    {
        if (daw == 3)
            continue;   // the HUI decoder does not give back the bytes of its "no function" record

        SCOPED_TRACE (daw);
        resetProcessWideState();
        setSlotDaw (1, 3, daw);
        compile (1, 2);

        for (int c = 1; c <= numControls; ++c)
        {
            if (controlRowOf (c) < 0)
                continue;

            auto expected = stamped (builtIn (daw, c), 2);

            if (controlRowOf (c) >= 92 && controlRowOf (c) <= 97)
                expected[6] = 4;   // slot 3 lights the third colour

            ASSERT_EQ (record (1, 2, c), expected) << "control " << c;
        }
    }

    setSlotDaw (1, 3, 0);
    EXPECT_TRUE (host().getStore().getSlot (3, 1).isEquivalentTo (before));
}

TEST_F (DeviceImageTest, SlotStampAndColourByteFollowTheSlot)
{
    for (int s = 0; s < numSlots; ++s)
    {
        SCOPED_TRACE (s);
        setSlotDaw (1, s + 1, 2);
        assign (93, { { Ids::valueType, "midi" }, { Ids::type, "cc" }, { Ids::chan, 1 }, { Ids::msgValue, 1 }, { Ids::rotate, 2 } }, s + 1);
        slotColourTable[s][0] = 1;
        slotColourTable[s][1] = 0;
        slotColourTable[s][2] = 1;
        compile (1, s);

        EXPECT_EQ (record (1, s, 1)[0] >> 4, s);             // a built-in note record
        EXPECT_EQ (record (1, s, 93)[0] >> 4, s);
        EXPECT_EQ (record (1, s, 93)[6], 5);                 // the colour flags win over rotate's 0x10
        EXPECT_EQ (record (1, s, 49), builtIn (2, 49));      // hotkeys carry no slot
    }
}

TEST_F (DeviceImageTest, WireFormSplitsTheSecondByte)
{
    const juce::uint8 r[7] = { 0x1B, 0xB2, 0x10, 0x40, 0x05, 0x06, 0x07 };
    juce::uint8 w[8] {};
    makeWireRecord (r, w);
    EXPECT_EQ (std::vector<int> (w, w + 8), (std::vector<int> { 0x1B, 0x0B, 0x02, 0x10, 0x40, 0x05, 0x06, 0x07 }));

    setSlotDaw (1, 1, 2);
    compile (1, 0);

    for (int k = 0; k < numControls; ++k)
    {
        juce::uint8 expected[8];
        makeWireRecord (deviceImage[0][0][k], expected);
        ASSERT_EQ (0, std::memcmp (expected, wireImages[0][0] + 8 * k, 8)) << "row " << k;
    }
}

TEST_F (DeviceImageTest, LinkedControlsTakeTheirSourceRecordAndLabel)
{
    setSlotDaw (1, 1, 2);
    assign (3, { { Ids::valueType, "func" }, { Ids::value, 94 }, { Ids::name, "Play" } });
    control (5).setProperty (Ids::lockBy, 3, nullptr);
    compile (1, 0);

    EXPECT_EQ (record (1, 0, 5), record (1, 0, 3));
    EXPECT_EQ (slotLabels[0][controlRowOf (5)], slotLabels[0][controlRowOf (3)]);
    EXPECT_EQ (slotLabels[0][controlRowOf (3)], makeDeviceLabel (formatDeviceLabelText (control (3))));
}

TEST_F (DeviceImageTest, LabelsHaveTheirSizeFromStartAndStayAscii)
{
    for (auto& list : slotLabels)
        EXPECT_EQ (list.size(), labelListSize);

    setSlotDaw (1, 1, 2);
    assign (1, { { Ids::valueType, "func" }, { Ids::value, 94 }, { Ids::name, juce::String::fromUTF8 ("Caf\xc3\xa9 \xe2\x82\xac") } });
    compile (1, 0);

    auto label = slotLabels[0][controlRowOf (1)];
    EXPECT_EQ (label.getNumBytesAsUTF8(), 17u);
    EXPECT_EQ (slotLabels[0].size(), labelListSize);
}

TEST_F (DeviceImageTest, FingerprintsCoverImageLabelsAndDaw)
{
    setSlotDaw (1, 1, 2);
    setSlotDaw (2, 1, 2);
    compile (1, 0);
    compile (2, 0);

    // Cubase's built-in slot on the Z9-M (image, 640 labels, DAW 2) and on
    // the Z9-X1 (image, no labels, DAW 2); the values were worked out apart
    // from this program, with the sine fold over the same bytes.
    auto m = slotFingerprints[0][0];
    auto x = slotFingerprints[1][0];
    EXPECT_EQ (m, 6205119);
    EXPECT_EQ (x, 2121214);

    // a different name changes only the Z9-M's label, and so its fingerprint
    auto labelsBefore = slotLabels[0];
    control (1, 1, 2).setProperty (Ids::name, "Other", nullptr);
    compile (2, 0);
    EXPECT_EQ (slotFingerprints[1][0], x);
    EXPECT_EQ (slotLabels[0], labelsBefore);

    control (1).setProperty (Ids::name, "Other", nullptr);
    compile (1, 0);
    EXPECT_NE (slotFingerprints[0][0], m);

    // one byte of the image changes it too
    auto before = slotFingerprints[0][0];
    control (116).setProperty (Ids::msgValue, 17, nullptr);
    compile (1, 0);
    EXPECT_NE (slotFingerprints[0][0], before);
}

TEST_F (DeviceImageTest, APassCompilesOnlyDirtySlotsThatAreNotPending)
{
    for (int s = 1; s <= 3; ++s)
        setSlotDaw (1, s, 2);

    slotDirty[0] = true;                       // compiled
    slotDirty[1] = true, slotPending[1] = true; // in a running pass: left alone
    compileDeviceImage (1);

    EXPECT_NE (deviceImage[0][0][0][0], 0);
    EXPECT_EQ (deviceImage[0][1][0][0], 0);
    EXPECT_EQ (deviceImage[0][2][0][0], 0);
    EXPECT_EQ (slotFingerprints[0][1], 0);
}

TEST_F (DeviceImageTest, ASlotWithoutDawKeepsItsImageButGetsWireFormAndFingerprint)
{
    setSlotDaw (1, 1, 2);
    compile (1, 0);
    juce::uint8 imageBefore[numControls][controlRecordSize];
    std::memcpy (imageBefore, deviceImage[0][0], sizeof (imageBefore));

    setSlotDaw (1, 1, 0);
    assign (1, { { Ids::valueType, "null" } });
    std::memset (wireImages[0][0], 0x55, wireImageSize);
    compile (1, 0);

    EXPECT_EQ (0, std::memcmp (imageBefore, deviceImage[0][0], sizeof (imageBefore)));
    EXPECT_EQ (wireImages[0][0][0], deviceImage[0][0][0][0]);
    EXPECT_EQ (slotFingerprints[0][0], intsChecksum ({ bytesChecksum (wireImages[0][0], wireImageSize),
                                                       labelsChecksum (slotLabels[0]), 0 }));
}
