#include "core/model/Products.h"

namespace NsZ9m
{

const juce::Array<int>& productList()
{
    static const juce::Array<int> list { 2055, 2056, 2067, 2068, 2069, 2070, 2071, 2072 };
    return list;
}

const juce::StringArray& modelNames()
{
    static const juce::StringArray list { "Z9-M", "Z9-X", "Z9-X2", "Z9-X3", "Z9-X4", "Z9-X5", "Z9-X6", "Z9-X7" };
    return list;
}

int productIndexOf (int productId)      { return productList().indexOf (productId); }
int productIdOfModel (int modelNumber)  { return productList()[modelNumber - 1]; }

bool isProductM (int p) noexcept          { return p == productZ9M; }
bool isProductX (int p) noexcept          { return p == productZ9X; }
bool isXExtendedProduct (int p) noexcept  { return p >= productZ9X2 && p <= productZ9X7; }
bool isXFamilyProduct (int p) noexcept    { return isProductX (p) || isXExtendedProduct (p); }
bool isMTypeProduct (int p) noexcept      { return p == productZ9M || p == productFurtherM; }
bool isSupportedProduct (int p) noexcept  { return isProductM (p) || isXFamilyProduct (p); }

} // namespace NsZ9m
