#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** Model codes of the family. */
enum ProductIds
{
    productZ9M        = 2055,
    productZ9X        = 2056,
    productZ9X2       = 2067,
    productZ9X7       = 2072,
    productFurtherM   = 2054,  ///< a further M-type code; accepted, not supported
    productUnknown    = 2000   ///< no known product
};

inline constexpr int numProducts = 8;

/** The eight supported product ids, in model order (model number = index + 1). */
const juce::Array<int>& productList();

/** The model names "Z9-M", "Z9-X", "Z9-X2" ... "Z9-X7", in model order. */
const juce::StringArray& modelNames();

/** Index of a product id in productList(), or -1. */
int productIndexOf (int productId);

/** The product id of model number n (1 to 8), or 0 outside. */
int productIdOfModel (int modelNumber);

bool isProductM (int productId) noexcept;          ///< 2055
bool isProductX (int productId) noexcept;          ///< 2056
bool isXExtendedProduct (int productId) noexcept;  ///< 2067 to 2072
bool isXFamilyProduct (int productId) noexcept;    ///< 2056 or 2067 to 2072
bool isMTypeProduct (int productId) noexcept;      ///< 2055 or 2054
bool isSupportedProduct (int productId) noexcept;  ///< 2055 or the X family

} // namespace NsZ9m
