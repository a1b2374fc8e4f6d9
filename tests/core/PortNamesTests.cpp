#include "core/sync/PortLookup.h"
#include "core/model/Products.h"
#include "tests/support/CoreFixture.h"

using namespace NsZ9m;

// The further M-type model (product 2054) is the Z9-Mini: its ports read
// "Z9-Mini", "MIDIIN4 (Z9-Mini)" and so on, recognised by "*z9?mini*" before
// the Z9-M's own row. The maker's other models used below: the NK keyboards
// (whose MK1 editions are unknown to this program) and the Q7 line.

namespace
{
    class PortNamesTest : public z9test::CoreFixture {};

    // Names the family's units show, in every style the program meets.
    juce::StringArray familyNames()
    {
        juce::StringArray names;
        const juce::StringArray devices { "Z9-M", "Z9-X1", "Z9-X2", "Z9-X3", "Z9-X4", "Z9-X5", "Z9-X6", "Z9-X7",
                                          "Z9-Mini", "Z9 X1", "Z9-X3 MIDI", "z9_m" };

        for (auto& d : devices)
        {
            names.add (d);
            names.add ("MIDIOUT4 (" + d + ")");
            names.add ("MIDIIN2 (" + d + ")");
            names.add (d.toLowerCase());
        }

        return names;
    }

    bool rowMatches (const ProductPatternRow& row, const juce::String& name)
    {
        for (auto* p : row.patterns)
            if (p != nullptr && name.toLowerCase().trim().matchesWildcard (p, true))
                return true;

        return false;
    }
}

TEST_F (PortNamesTest, PortNumbersAndProductsOfPortNames)
{
    struct Case { const char* name; int port; int product; };

    const Case cases[] =
    {
        { "MIDIOUT4 (Z9-M)",   4,  2055 },
        { "MIDIIN4 (Z9-M)",    4,  2055 },
        { "Z9-M",              1,  2055 },
        { "MIDIOUTX (Z9-M)",  -1,  2055 },
        { "MIDIINx (Z9-M)",   -1,  2055 },
        { "midiout4 (Z9-M)",   1,  2055 },   // the port patterns respect case
        { "MIDIOUT4 (z9-m)",   4,  2055 },   // the product patterns do not
        { "MIDIOUT10 (Z9-M)",  1,  2055 },   // two characters before the blank
        { "MIDIOUT4 Z9-M",     1,  2055 },   // no bracket
        { "MIDIOUT4 (Z9-M",    1,  2055 },
        { "MIDIIN0 (Z9-X5)",   0,  2070 },
        { "MIDIIN9 (Z9-X7)",   9,  2072 },
        { "MIDIOUT4 (Z9-X2)",  4,  2067 },
        { "Z9-X3 MIDI",        1,  2068 },
        { "Z9-X4",             1,  2069 },
        { "z9_x6",             1,  2071 },
        { "Z9 X1",             1,  2056 },
        { "MIDIOUT4 (Z9-X1)",  4,  2056 },
        { "z9-x",              1,  2000 },   // no digit: neither an extended model nor the Z9-X
        { "Z9X1",              1,  2000 },   // one character must stand between Z9 and X
        { "  Z9-M  ",          1,  2055 },   // trimmed
        { "MIDIOUT4 (Z9-Mini)", 4, 2054 },
        { "Z9-MINI",           1,  2054 },
        { "VORLIX Midi",       1,  2000 },
        { "Q7-X3",             1,  2074 },
        { "MIDIIN4 (Q7-X1)",   4,  2058 },
        { "NK25 MK1",          1,  2000 },   // an unknown edition, kept from the row below
        { "NK25",              1,  2013 },
        { "",                  1,  2000 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (portIndexFromName (c.name), c.port);
        EXPECT_EQ (getProductIdFromPortName (c.name), c.product);
        EXPECT_EQ (matchesOutputPortPattern (c.name, PortNameCase::respected)
                       || matchesInputPortPattern (c.name, PortNameCase::respected),
                   juce::String (c.name).startsWith ("MIDI") && c.port != 1);
    }
}

TEST_F (PortNamesTest, TheMultiPortPatternsIgnoreCaseOnlyWhenAsked)
{
    struct Case { const char* name; bool output, input; int port, portIgnoringCase; };

    const Case cases[] =
    {
        { "MIDIOUT4 (Z9-X1)",  true,  false, 4,  4 },
        { "midiout4 (Z9-X1)",  false, false, 1,  4 },
        { "MidiOut3 (z9-x1)",  false, false, 1,  3 },
        { "midiOUTx (Z9-X1)",  false, false, 1, -1 },
        { "MIDIIN2 (Z9-X1)",   false, true,  2,  2 },
        { "midiin2 (Z9-X1)",   false, false, 1,  2 },
        { "MiDiIn9 (Z9-M)",    false, false, 1,  9 },
        { "midiout10 (Z9-M)",  false, false, 1,  1 },   // two characters before the blank, in any case
        { "Z9-X1",             false, false, 1,  1 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (matchesOutputPortPattern (c.name, PortNameCase::respected), c.output);
        EXPECT_EQ (matchesInputPortPattern (c.name, PortNameCase::respected), c.input);
        EXPECT_EQ (matchesOutputPortPattern (c.name, PortNameCase::ignored) || matchesInputPortPattern (c.name, PortNameCase::ignored),
                   c.portIgnoringCase != 1);
        EXPECT_EQ (portIndexFromName (c.name), c.port);
        EXPECT_EQ (portIndexFromName (c.name, PortNameCase::ignored), c.portIgnoringCase);
    }
}

TEST_F (PortNamesTest, TheDeviceOfAPort)
{
    struct Case { const char* name; const char* device; };

    const Case cases[] =
    {
        { "Z9-X1",                 "Z9-X1" },
        { "MIDIOUT2 (Z9-X1)",      "Z9-X1" },
        { "MIDIIN4 (Z9-X1)",       "Z9-X1" },
        { "MIDIOUT3 (2- Z9-X1)",   "2- Z9-X1" },
        { "2- Z9-X1",              "2- Z9-X1" },
        { "MIDIOUTx (Z9-M)",       "Z9-M" },                // a port of the device, if a malformed one
        { "MIDIOUT4 (A (B))",      "A (B)" },
        { "midiout2 (Z9-X1)",      "midiout2 (Z9-X1)" },    // read with case, as the pairing reads it
        { "MIDIOUT10 (Z9-X1)",     "MIDIOUT10 (Z9-X1)" },
        { "MIDIOUT2 (Z9-X1) B",    "MIDIOUT2 (Z9-X1) B" },
        { "MIDIOUT2 ()",           "" },
        { "",                      "" },
    };

    for (auto& c : cases)
        EXPECT_EQ (deviceNameOfPort (c.name), juce::String (c.device)) << c.name;
}

TEST_F (PortNamesTest, PairedPortNames)
{
    struct Case { const char* name; bool toInput; const char* paired; };

    const Case cases[] =
    {
        { "MIDIOUT2 (Z9-X2)",        true,  "MIDIIN2 (Z9-X2)" },
        { "MIDIOUT2 (Z9-X2)",        false, "MIDIOUT2 (Z9-X2)" },
        { "MIDIIN4 (Z9-M)",          false, "MIDIOUT4 (Z9-M)" },
        { "MIDIIN4 (Z9-M)",          true,  "MIDIIN4 (Z9-M)" },
        { "Z9-M",                    true,  "Z9-M" },
        { "Z9-M",                    false, "Z9-M" },
        { "midiout4 (Z9-M)",         true,  "midiout4 (Z9-M)" },
        { "MIDIOUT10 (Z9-M)",        true,  "MIDIOUT10 (Z9-M)" },
        { "MIDIOUTX (Z9-M)",         true,  "MIDIINX (Z9-M)" },       // paired by pattern, even without a digit
        { "MIDIOUT4 (MIDIOUT box)",  true,  "MIDIIN4 (MIDIIN box)" }, // every occurrence
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.name) + (c.toInput ? " to input" : " to output"));
        EXPECT_EQ (pairPortName (c.name, c.toInput), juce::String (c.paired));
    }
}

TEST_F (PortNamesTest, BestPortOfAProduct)
{
    struct Case { juce::StringArray names; int product; bool fallback; const char* bestName; int bestIndex; };

    const Case cases[] =
    {
        { { "Z9-M", "MIDIIN2 (Z9-M)", "MIDIIN4 (Z9-M)", "MIDIIN3 (Z9-M)" },  2055, false, "MIDIIN4 (Z9-M)", 4 },
        { { "MIDIIN4 (Z9-M)", "MIDIIN4 (Z9-Mk2)" },                        2055, false, "MIDIIN4 (Z9-M)", 4 },   // first of equals
        { { "MIDIIN4 (Z9-X2)", "Z9-M" },                                   2055, false, "Z9-M", 1 },
        { { "MIDIIN4 (Z9-X2)", "Z9-M" },                                   2067, false, "MIDIIN4 (Z9-X2)", 4 },
        { { "MIDIIN4 (Z9-Mini)", "MIDIIN2 (Z9-M)" },                       2055, false, "MIDIIN2 (Z9-M)", 2 },
        { { "MIDIIN4 (Z9-Mini)", "MIDIIN2 (Z9-M)" },                       2054, false, "MIDIIN4 (Z9-Mini)", 4 },
        { { "MIDIINX (Z9-M)" },                                            2055, false, "", -1 },                // a malformed number never counts
        { { "MIDIINX (Z9-M)", "VORLIX Midi 1", "vorlix usb midi" },        2055, true,  "vorlix usb midi", -1 }, // last generic name
        { { "VORLIX Midi", "Z9-M" },                                       2055, true,  "Z9-M", 1 },
        { { "VORLIX Midi" },                                               2055, false, "", -1 },
        { {},                                                              2055, true,  "", -1 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.names.joinIntoString (", ") + " for " + juce::String (c.product));
        EXPECT_EQ (findBestPortName (c.names, c.product, c.fallback), juce::String (c.bestName));
        EXPECT_EQ (findBestPortIndex (c.names, c.product), c.bestIndex);
    }
}

TEST_F (PortNamesTest, TheAlternateListKnowsNoZ9Model)
{
    alternateBrandFlag = 1;

    for (auto& name : familyNames())
        EXPECT_EQ (getProductIdFromPortName (name), 2000) << name;

    EXPECT_EQ (getProductIdFromPortName ("TM-25"), 2090);
    EXPECT_EQ (getProductIdFromPortName ("MIDIIN2 (Tonmark 49)"), 2091);
    EXPECT_EQ (findBestPortName ({ "MIDIIN4 (Z9-M)" }, 2055, false), juce::String());

    // the main list does not know the alternate brand
    alternateBrandFlag = 0;
    EXPECT_EQ (getProductIdFromPortName ("TM-25"), 2000);
    EXPECT_EQ (getProductIdFromPortName ("MIDIIN4 (Z9-M)"), 2055);

    alternateBrandFlag = 1;
    resetProcessWideState();
    EXPECT_EQ (alternateBrandFlag, 0);
}

TEST_F (PortNamesTest, ThePatternListsKeepTheirShapeAndLeaveTheFamilyToItsOwnRows)
{
    auto& mainRows = productPatternRows (false);
    auto& altRows = productPatternRows (true);

    auto countPatterns = [] (const std::vector<ProductPatternRow>& rows, int& total, std::vector<int>& perRow)
    {
        total = 0;
        for (auto& r : rows) { total += r.getNumPatterns(); perRow.push_back (r.getNumPatterns()); }
    };

    int mainPatterns = 0, altPatterns = 0;
    std::vector<int> mainPerRow, altPerRow;
    countPatterns (mainRows, mainPatterns, mainPerRow);
    countPatterns (altRows, altPatterns, altPerRow);

    ASSERT_EQ (mainRows.size(), 71u);
    EXPECT_EQ (mainPatterns, 80);
    EXPECT_EQ (std::count (mainPerRow.begin(), mainPerRow.end(), 2), 9);
    EXPECT_EQ (std::count_if (mainRows.begin(), mainRows.end(), [] (auto& r) { return r.productId == 2000; }), 8);

    ASSERT_EQ (altRows.size(), 11u);
    EXPECT_EQ (altPatterns, 16);
    EXPECT_EQ (std::count (altPerRow.begin(), altPerRow.end(), 3), 2);
    EXPECT_EQ (std::count (altPerRow.begin(), altPerRow.end(), 2), 1);

    // the family's rows, by position (1-based)
    const std::pair<int, int> familyRows[] = { { 18, 2054 }, { 20, 2055 }, { 21, 2067 }, { 22, 2068 }, { 23, 2069 },
                                               { 24, 2070 }, { 25, 2071 }, { 26, 2072 }, { 27, 2056 } };
    for (auto [row, product] : familyRows)
        EXPECT_EQ (mainRows[(size_t) row - 1].productId, product) << "row " << row;

    // no other row takes a family name, wherever it stands, and the alternate
    // list has neither family rows nor unknown-product rows
    for (size_t i = 0; i < mainRows.size(); ++i)
    {
        const bool familyRow = (i == 17 || (i >= 19 && i <= 26));

        for (auto& name : familyNames())
            EXPECT_FALSE (! familyRow && rowMatches (mainRows[i], name)) << "row " << i + 1 << " takes " << name;
    }

    for (auto& r : altRows)
    {
        EXPECT_NE (r.productId, 2000);
        EXPECT_FALSE (isSupportedProduct (r.productId) || isMTypeProduct (r.productId));
    }

    // every unknown-product row shadows a broader row further down
    for (size_t i = 0; i < mainRows.size(); ++i)
    {
        if (mainRows[i].productId != 2000)
            continue;

        const auto sample = juce::String (mainRows[i].patterns[0]).removeCharacters ("*?");
        bool shadows = false;

        for (size_t j = i + 1; j < mainRows.size(); ++j)
            shadows = shadows || (mainRows[j].productId != 2000 && rowMatches (mainRows[j], sample));

        EXPECT_TRUE (shadows) << "row " << i + 1;
    }
}
