#include "core/model/MappingStore.h"
#include "core/model/Products.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

StoreDefaults currentStoreDefaults()
{
    StoreDefaults d;
    d.currentModel = productIndexOf (currentProductId) + 1;

    for (int s = 0; s < numSlots; ++s)
        for (int c = 0; c < 3; ++c)
            d.slotColours[s][c] = slotColourTable[s][c];

    return d;
}

// The store's members that build from the program's current state: thin
// wrappers over the ones that take their defaults as arguments.
MappingStore::MappingStore()
    : MappingStore (currentStoreDefaults())
{
}

void MappingStore::buildDefaultTree()       { buildDefaultTree (currentStoreDefaults()); }
void MappingStore::applyBuiltInDefaults()   { applyBuiltInDefaults (currentStoreDefaults()); }
void MappingStore::resetToDefaults()        { resetToDefaults (currentStoreDefaults()); }

} // namespace NsZ9m
