#include "core/sync/PortLookup.h"

namespace NsZ9m
{

int alternateBrandFlag = 0;

static bool alternateListInUse() noexcept   { return alternateBrandFlag == 1; }

int getProductIdFromPortName (const juce::String& portName)
{
    return productIdFromPortName (portName, alternateListInUse());
}

int findBestPortIndex (const juce::StringArray& names, int productId)
{
    return bestPortIndexOf (names, productId, alternateListInUse());
}

juce::String findBestPortName (const juce::StringArray& names, int productId, bool useBrandFallback)
{
    return bestPortNameOf (names, productId, useBrandFallback, alternateListInUse());
}

} // namespace NsZ9m
