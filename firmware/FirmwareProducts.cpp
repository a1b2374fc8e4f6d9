#include "firmware/FirmwareProducts.h"
#include "core/sync/PortLookup.h"

namespace vorlix
{

namespace
{
    constexpr auto none = FirmwarePatternKind::none;
    constexpr auto anyOf = FirmwarePatternKind::anyOf;
    constexpr auto exclusion = FirmwarePatternKind::exclusion;

    // The pad line shares one firmware; its boot and test builds must never
    // reach a unit through the upgrader.
    #define Z9_PAD_LINE_PATTERNS   { "*_boot*", "*_test*", "*pad_fw_*" }
}

// The ids are those of the port-name pattern lists (NsZ9m::productPatternRows),
// plus three models (2047 to 2049) whose ports carry only the maker's generic
// "VORLIX ... Midi" name. A model code of 0 is the product's own id.
const std::vector<FirmwareProductRow>& firmwareProductRows()
{
    static const std::vector<FirmwareProductRow> rows
    {
        // The Z9 family.
        { 2054, "Z9-Mini",      false, 0,    anyOf,     { "*z9_mini_*" } },
        { 2055, "Z9-M",         false, 0,    anyOf,     { "*z9_m_*" } },
        { 2056, "Z9-X",         false, 2056, anyOf,     { "*z9_x_*" } },
        { 2067, "Z9-X2",        false, 2056, anyOf,     { "*z9_x_*" } },
        { 2068, "Z9-X3",        false, 2056, anyOf,     { "*z9_x_*" } },
        { 2069, "Z9-X4",        false, 2056, anyOf,     { "*z9_x_*" } },
        { 2070, "Z9-X5",        false, 2056, anyOf,     { "*z9_x_*" } },
        { 2071, "Z9-X6",        false, 2056, anyOf,     { "*z9_x_*" } },
        { 2072, "Z9-X7",        false, 2056, anyOf,     { "*z9_x_*" } },

        // The second line, upgraded like the Z9 family.
        { 2057, "Q7-M",         false, 0,    anyOf,     { "*q7_m_*" } },
        { 2058, "Q7-X",         false, 2058, anyOf,     { "*q7_x_*" } },
        { 2073, "Q7-X2",        false, 2058, anyOf,     { "*q7_x_*" } },
        { 2074, "Q7-X3",        false, 2058, anyOf,     { "*q7_x_*" } },
        { 2075, "Q7-X4",        false, 2058, anyOf,     { "*q7_x_*" } },
        { 2076, "Q7-X5",        false, 2058, anyOf,     { "*q7_x_*" } },
        { 2077, "Q7-X6",        false, 2058, anyOf,     { "*q7_x_*" } },
        { 2078, "Q7-X7",        false, 2058, anyOf,     { "*q7_x_*" } },

        // The maker's other models, all written over MIDI.
        { 2001, "DK25",         false, 2001, anyOf,     { "*dk25_*" } },
        { 2002, "DK49",         false, 2001, anyOf,     { "*dk49_*" } },
        { 2003, "DK61",         false, 2001, anyOf,     { "*dk61_*" } },
        { 2004, "SK49 Plus",    false, 2004, anyOf,     { "*sk49plus_*", "*sk49+_*" } },
        { 2005, "SK49",         false, 2004, anyOf,     { "*sk49_*" } },
        { 2006, "SK61 Plus",    false, 2004, anyOf,     { "*sk61plus_*", "*sk61+_*" } },
        { 2007, "SK61",         false, 2004, anyOf,     { "*sk61_*" } },
        { 2008, "BeatPad Mini", false, 2009, anyOf,     { "*beatpad_mini_*" } },
        { 2009, "BeatPad",      false, 2009, anyOf,     { "*beatpad_*" } },
        { 2010, "Cube8",        false, 0,    anyOf,     { "*cube8_*" } },
        { 2011, "Cube16",       false, 0,    anyOf,     { "*cube16_*" } },
        { 2012, "Y7 Control",   false, 0,    anyOf,     { "*y7_*" } },
        { 2013, "NK25",         false, 2013, anyOf,     { "*nk25_*" } },
        { 2014, "NK49",         false, 2013, anyOf,     { "*nk49_*" } },
        { 2015, "NK61",         false, 2013, anyOf,     { "*nk61_*" } },
        { 2016, "NK88",         false, 2013, anyOf,     { "*nk88_*" } },
        { 2017, "Pad16",        false, 0,    exclusion, Z9_PAD_LINE_PATTERNS },
        { 2018, "Pad32",        false, 0,    exclusion, Z9_PAD_LINE_PATTERNS },
        { 2019, "Pad64",        false, 0,    exclusion, Z9_PAD_LINE_PATTERNS },
        { 2020, "Strip8",       false, 0,    exclusion, Z9_PAD_LINE_PATTERNS },
        { 2021, "Fadr8",        false, 0,    exclusion, Z9_PAD_LINE_PATTERNS },
        { 2022, "Fadr16",       false, 0,    exclusion, Z9_PAD_LINE_PATTERNS },
        { 2023, "JogX",         false, 0,    anyOf,     { "*jogx_*", "*jog_x_*" } },
        { 2024, "DJ-2",         false, 0,    anyOf,     { "*dj2_*" } },
        { 2025, "DJ-4",         false, 0,    anyOf,     { "*dj4_*" } },
        { 2026, "KnobLine",     false, 0,    anyOf,     { "*knobline_*" } },
        { 2027, "Arc 12",       false, 2027, anyOf,     { "*arc12_*" } },
        { 2028, "Arc 24",       false, 2027, anyOf,     { "*arc24_*" } },
        { 2029, "SeqBox",       false, 0,    anyOf,     { "*seqbox_*" } },
        { 2030, "DrumNode",     false, 0,    anyOf,     { "*drumnode_*" } },
        { 2031, "Orbit",        false, 0,    anyOf,     { "*orbit_*" } },
        { 2032, "Breath CTL",   false, 0,    anyOf,     { "*breath_*", "*breathctl_*", "*bctl_*" } },
        { 2033, "PedalBoard",   false, 0,    none,      {} },
        { 2034, "FootSwitch",   false, 0,    none,      {} },
        { 2035, "Stage 61",     false, 0,    anyOf,     { "*stage61_*" } },
        { 2036, "Stage 88",     false, 0,    anyOf,     { "*stage88_*" } },
        { 2037, "Hub4",         false, 0,    none,      {} },
        { 2038, "Hub8",         false, 0,    none,      {} },
        { 2039, "MixFace 8",    false, 0,    anyOf,     { "*mixface8_*" } },
        { 2040, "MixFace 16",   false, 0,    anyOf,     { "*mixface16_*" } },
        { 2041, "Tape Deck",    false, 0,    none,      {} },
        { 2042, "Cue Pad",      false, 0,    none,      {} },
        { 2043, "Grid 64",      false, 2043, none,      {} },
        { 2044, "Grid 128",     false, 2043, none,      {} },
        { 2045, "VX Keys",      false, 0,    none,      {} },
        { 2046, "VX Pads",      false, 0,    none,      {} },
        { 2047, "Link One",     false, 0,    none,      {} },
        { 2048, "Link Four",    false, 0,    none,      {} },
        { 2049, "Link Eight",   false, 0,    none,      {} },

        // The alternate brand.
        { 2090, "TM-25",        true,  0,    anyOf,     { "*tm25_*", "*tm-25_*", "*tonmark25_*" } },
        { 2091, "TM-49",        true,  0,    anyOf,     { "*tm49_*", "*tm-49_*" } },
        { 2092, "TM Pad",       true,  0,    anyOf,     { "*tmpad_*" } },
        { 2093, "TM-61",        true,  0,    anyOf,     { "*tm61_*" } },
        { 2094, "TM-88",        true,  0,    anyOf,     { "*tm88_*" } },
        { 2095, "TM Mix",       true,  0,    none,      {} },
        { 2096, "TM Control",   true,  0,    none,      {} },
        { 2097, "TM Control",   true,  0,    none,      {} },
        { 2098, "TM Drum",      true,  0,    none,      {} },
        { 2099, "TM Seq",       true,  0,    anyOf,     { "*tmseq_*" } },
        { 2100, "TM Hub",       true,  0,    anyOf,     { "*tmhub_*" } },
    };

    return rows;
}

#undef Z9_PAD_LINE_PATTERNS

const FirmwareProductRow* findFirmwareProductRow (int productId)
{
    for (auto& row : firmwareProductRows())
        if (row.productId == productId)
            return &row;

    return nullptr;
}

juce::String getModelName (int productId)
{
    const bool alternate = NsZ9m::alternateBrandFlag == 1;

    if (auto* row = findFirmwareProductRow (productId); row != nullptr && row->alternateBrand == alternate)
        return row->modelName;

    return "Unknown";
}

bool getFirmwareFilePattern (juce::String fileName, int productId)
{
    auto* row = findFirmwareProductRow (productId);

    if (row == nullptr)
        return true;

    auto matches = [&fileName] (const char* pattern)
    {
        return pattern != nullptr && fileName.matchesWildcard (pattern, true);
    };

    switch (row->patternKind)
    {
        case FirmwarePatternKind::none:
            return true;

        case FirmwarePatternKind::anyOf:
            return matches (row->patterns[0]) || matches (row->patterns[1]) || matches (row->patterns[2]);

        case FirmwarePatternKind::exclusion:
            return ! matches (row->patterns[0]) && ! matches (row->patterns[1]) && matches (row->patterns[2]);
    }

    return true;
}

int normaliseProductId (int productId)
{
    if (productId == productZ9X || (productId >= productZ9X2 && productId <= productZ9X7))
        return productZ9X;

    if (productId == productQ7X || (productId >= productQ7X2 && productId <= productQ7X7))
        return productQ7X;

    return productId;
}

bool isBlhostProduct (int productId)
{
    return (productId >= productZ9Mini && productId <= productQ7X)
        || (productId >= productZ9X2 && productId <= productQ7X7);
}

int isAlternateBrandProduct (int productId)
{
    auto* row = findFirmwareProductRow (productId);
    return row != nullptr && row->alternateBrand ? 1 : 0;
}

int getUpgradeModelCode (int productId)
{
    if (auto* row = findFirmwareProductRow (productId); row != nullptr && row->upgradeModelCode != 0)
        return row->upgradeModelCode;

    return productId;
}

bool isKnownProduct (int productId)
{
    return productId != productNone;
}

} // namespace vorlix
