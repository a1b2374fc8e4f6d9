#include "fuzz/FuzzSupport.h"
#include "core/sync/CompiledSlots.h"
#include "core/model/Products.h"
#include "core/link/SurfaceProtocol.h"
#include "core/sync/SurfaceMessages.h"

namespace z9fuzz
{

void compileAndBuildEverything()
{
    using namespace NsZ9m;
    auto* host = Host::getInstance();

    for (int product = 1; product <= numProducts; ++product)
    {
        for (int s = 0; s < numSlots; ++s)
        {
            slotDirty[s] = true;
            slotPending[s] = false;
        }

        compileDeviceImage (product);
        const auto productId = productList()[product - 1];

        for (auto command : { queryFingerprintsCommand, confirmFingerprintsCommand })
            makeFingerprintMessage (productId, command);

        for (int slot = 1; slot <= numSlots; ++slot)
            for (int chunk = 1; chunk <= numImageChunks; ++chunk)
                makeSlotImageChunk (productId, slot, chunk);
    }

    for (int slot = 1; slot <= numSlots; ++slot)
    {
        for (int chunk = 1; chunk <= numLabelChunks; ++chunk)
            makeLabelChunk (slot, chunk);

        makeSlotSelectMessage ((((slot - 1) << 5) | host->getSlotDaw (slot).get()) & 0x7F);
    }

    host->getCurrentSlotIndex();
    host->collectFunctionNames();
    host->getStore().getControlOfCurrentSlot (1);
    host->getStore().getCurrentDaw();
    host->data->takeSlotDawIdsFromTree();
}

} // namespace z9fuzz
