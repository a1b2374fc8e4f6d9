#pragma once

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/*  The firmware upgrader's product tables.

    The upgrader serves more units than the Z9 surfaces that the editor
    configures, so it knows the maker's whole range: the model names shown in
    its title and messages, the names a firmware file must have, which
    bootloader a unit has, which catalogue entries and which model code it
    uses. The product ids are those that NsZ9m::getProductIdFromPortName
    yields, and every answer below comes from one table of rows, one row per
    product (firmwareProductRows).

    Pure functions of the id (getModelName also reads alternateBrandFlag);
    any thread.
*/

/** Products of the tables that other code names. */
enum FirmwareProductIds
{
    productNone     = 2000,   ///< no known product
    productZ9Mini   = 2054,   ///< the further model of the Z9 family
    productZ9M      = 2055,
    productZ9X      = 2056,
    productQ7M      = 2057,   ///< the second line, written like the Z9 family
    productQ7X      = 2058,
    productZ9X2     = 2067,
    productZ9X7     = 2072,
    productQ7X2     = 2073,
    productQ7X7     = 2078
};

/** How a row's firmware file patterns are read. */
enum class FirmwarePatternKind
{
    none,          ///< no patterns: any file name is accepted
    anyOf,         ///< the name must match one of the patterns
    exclusion      ///< the name must match neither of the first two and must match the third
};

/** One product of the maker's range. */
struct FirmwareProductRow
{
    int productId;
    const char* modelName;
    bool alternateBrand;              ///< named by the alternate table (alternateBrandFlag 1)
    int upgradeModelCode;             ///< 0: the product's own id
    FirmwarePatternKind patternKind;
    const char* patterns[3];          ///< unused ones null
};

/** Every product the upgrader knows, main brand first, then the alternate one. */
const std::vector<FirmwareProductRow>& firmwareProductRows();

/** The row of a product, or nullptr. */
const FirmwareProductRow* findFirmwareProductRow (int productId);

/** The model name: from the main table, or from the alternate one while
    NsZ9m::alternateBrandFlag is 1; "Unknown" when that table has no row. */
juce::String getModelName (int productId);

/** Whether a file name (the caller passes it without extension, lower-cased
    and trimmed) is acceptable as firmware of the product. Patterns ignore
    case; a product without patterns accepts any name. */
bool getFirmwareFilePattern (juce::String fileName, int productId);

/** The product whose catalogue entries a unit uses: 2056 for the whole Z9-X
    line, 2058 for the whole Q7-X line, any other id unchanged. */
int normaliseProductId (int productId);

/** True for the units written through the bootloader tool: 2054 to 2058 and
    2067 to 2078 (the Z9 family and the second line). Every other unit takes
    its firmware over MIDI. */
bool isBlhostProduct (int productId);

/** 1 for the alternate brand's products, else 0. */
int isAlternateBrandProduct (int productId);

/** The model code that the enter-upgrade-mode message carries: the line's
    code for the Z9-X and Q7-X lines and for the grouped models, the id
    itself for any other. */
int getUpgradeModelCode (int productId);

/** Any id but 2000 (no known product). */
bool isKnownProduct (int productId);

} // namespace vorlix
