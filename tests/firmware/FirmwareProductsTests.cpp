#include "firmware/FirmwareProducts.h"
#include "tests/firmware/FirmwareTestSupport.h"
#include "core/sync/PortLookup.h"
#include "core/model/Products.h"
#include <set>

using namespace vorlix;
using z9test::midiBootloaderProduct;

class FirmwareProducts : public z9test::FirmwareFixture {};

TEST_F (FirmwareProducts, ModelNamesOfTheZ9FamilyAreTheEditorsOwn)
{
    const auto& ids = NsZ9m::productList();

    for (int i = 0; i < ids.size(); ++i)
        EXPECT_EQ (getModelName (ids[i]), NsZ9m::modelNames()[i]) << ids[i];

    EXPECT_EQ (getModelName (2069), "Z9-X4");
    EXPECT_EQ (getModelName (2054), "Z9-Mini");
    EXPECT_EQ (getModelName (2057), "Q7-M");
}

TEST_F (FirmwareProducts, TheAlternateBrandFlagSelectsTheOtherNameTable)
{
    EXPECT_EQ (getModelName (2090), "Unknown");

    NsZ9m::alternateBrandFlag = 1;
    EXPECT_EQ (getModelName (2069), "Unknown");   // the alternate table has no Z9 rows
    EXPECT_EQ (getModelName (2090), "TM-25");
    EXPECT_EQ (getModelName (2096), getModelName (2097));
}

TEST_F (FirmwareProducts, NoKnownProductHasNoName)
{
    for (int id : { 2000, -1, 0, 2050, 2059, 2089, 2101 })
        EXPECT_EQ (getModelName (id), "Unknown") << id;
}

TEST_F (FirmwareProducts, TheTablesHaveTheirSizes)
{
    std::set<int> ids, mainIds, alternateIds, withPatterns, exclusionIds;
    std::set<juce::String> alternateNames;
    std::map<int, std::set<int>> groupCodes;   // code -> products of other models sharing it

    for (auto& row : firmwareProductRows())
    {
        EXPECT_TRUE (ids.insert (row.productId).second) << "duplicate row " << row.productId;
        (row.alternateBrand ? alternateIds : mainIds).insert (row.productId);

        if (row.alternateBrand)
            alternateNames.insert (row.modelName);

        if (row.patternKind != FirmwarePatternKind::none)
            withPatterns.insert (row.productId);

        if (row.patternKind == FirmwarePatternKind::exclusion)
            exclusionIds.insert (row.productId);

        if (row.upgradeModelCode != 0 && ! isBlhostProduct (row.productId))
            groupCodes[row.upgradeModelCode].insert (row.productId);
    }

    EXPECT_EQ (mainIds.size(), 66u);
    EXPECT_EQ (alternateIds.size(), 11u);
    EXPECT_EQ (alternateNames.size(), 10u);
    EXPECT_EQ (withPatterns.size(), 60u);
    EXPECT_EQ (exclusionIds.size(), 6u);

    size_t grouped = 0;
    for (auto& [code, members] : groupCodes)
        grouped += members.size();

    EXPECT_EQ (groupCodes.size(), 6u);
    EXPECT_EQ (grouped, 17u);
}

TEST_F (FirmwareProducts, EveryProductThatAPortNameCanYieldHasANameInItsTable)
{
    // One id space: the port names' products are the upgrader's products.
    for (bool alternate : { false, true })
    {
        NsZ9m::alternateBrandFlag = alternate ? 1 : 0;

        for (auto& row : NsZ9m::productPatternRows (alternate))
            if (row.productId != 2000)
                EXPECT_NE (getModelName (row.productId), "Unknown") << row.productId;
    }
}

TEST_F (FirmwareProducts, FirmwareFileNamesMustFitTheProduct)
{
    struct Case { const char* name; int productId; bool accepted; };

    const Case cases[] =
    {
        { "z9_x_106",            2056, true },
        { "fw-z9_x_1.07-final",  2071, true },
        { "z9_m_106",            2056, false },
        { "z9_m_106",            2071, false },
        { "z9_m_106",            2055, true },
        { "z9_x_106",            2055, false },
        { "z9_mini_101",         2055, false },   // the Z9-Mini's own firmware
        { "z9_mini_101",         2054, true },
        { "q7_x_200",            2078, true },
        { "q7_m_200",            2057, true },
        { "sk49+_3",             2004, true },     // one of two alternatives
        { "sk49plus_3",          2004, true },
        { "sk49_3",              2004, false },
        { "tonmark25_1",         2090, true },     // the third of three
        { "pad_fw_12",           2017, true },     // the required pattern
        { "pad_fw_12_boot",      2017, false },    // an exclusion wins
        { "pad_fw_12_test",      2022, false },
        { "anything at all",     2000, true },     // no row: any name
        { "anything at all",     2033, true },     // a row without patterns
        { "anything at all",     1234, true },
    };

    for (auto& c : cases)
        EXPECT_EQ (getFirmwareFilePattern (c.name, c.productId), c.accepted) << c.name << " for " << c.productId;
}

TEST_F (FirmwareProducts, PatternsIgnoreCase)
{
    EXPECT_TRUE (getFirmwareFilePattern ("Z9_X_106", 2056));
    EXPECT_TRUE (getFirmwareFilePattern ("PAD_FW_1", 2018));
    EXPECT_FALSE (getFirmwareFilePattern ("PAD_FW_1_BOOT", 2018));
}

TEST_F (FirmwareProducts, LinesShareTheirCatalogueAndModelCode)
{
    for (int id = 2067; id <= 2072; ++id)
    {
        EXPECT_EQ (normaliseProductId (id), 2056);
        EXPECT_EQ (getUpgradeModelCode (id), 2056);
    }

    for (int id = 2073; id <= 2078; ++id)
    {
        EXPECT_EQ (normaliseProductId (id), 2058);
        EXPECT_EQ (getUpgradeModelCode (id), 2058);
    }

    EXPECT_EQ (normaliseProductId (2055), 2055);
    EXPECT_EQ (normaliseProductId (2057), 2057);
    EXPECT_EQ (getUpgradeModelCode (2055), 2055);
    EXPECT_EQ (getUpgradeModelCode (2054), 2054);
    EXPECT_EQ (getUpgradeModelCode (2002), 2001);     // a grouped model of the maker
    EXPECT_EQ (getUpgradeModelCode (2000), 2000);
    EXPECT_EQ (normaliseProductId (2002), 2002);       // only the two lines are normalised
}

TEST_F (FirmwareProducts, TheBootloaderFamilies)
{
    for (int id : { 2054, 2055, 2056, 2057, 2058, 2067, 2072, 2073, 2078 })
        EXPECT_TRUE (isBlhostProduct (id)) << id;

    for (int id : { 2053, 2066, 2079, 2000, 2001, 2090, midiBootloaderProduct })
        EXPECT_FALSE (isBlhostProduct (id)) << id;

    EXPECT_NE (getModelName (midiBootloaderProduct), "Unknown");
}

TEST_F (FirmwareProducts, AlternateBrandAndKnownProducts)
{
    for (int id = 2090; id <= 2100; ++id)
        EXPECT_EQ (isAlternateBrandProduct (id), 1) << id;

    for (int id : { 2055, 2000, 2089, 2101, midiBootloaderProduct })
        EXPECT_EQ (isAlternateBrandProduct (id), 0) << id;

    EXPECT_FALSE (isKnownProduct (2000));
    EXPECT_TRUE (isKnownProduct (2055));
    EXPECT_TRUE (isKnownProduct (-1));
}
