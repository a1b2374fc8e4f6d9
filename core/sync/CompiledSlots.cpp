#include "core/sync/CompiledSlots.h"
#include "core/base/ListHelpers.h"
#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

juce::uint8 deviceImage[numProducts][numSlots][numControls][controlRecordSize] {};
juce::uint8 wireImages[numProducts][numSlots][wireImageSize] {};
juce::StringArray slotLabels[numSlots];
int slotFingerprints[numProducts][numSlots] {};

void resetDeviceImages()
{
    std::memset (deviceImage, 0, sizeof (deviceImage));
    std::memset (wireImages, 0, sizeof (wireImages));
    std::memset (slotFingerprints, 0, sizeof (slotFingerprints));

    auto label = unassignedDeviceLabel();

    for (auto& list : slotLabels)
    {
        list.clear();

        for (int i = 0; i < labelListSize; ++i)
            list.add (label);
    }
}

// The label lists get their fixed size before anything can compile.
static const bool labelListsPrepared = (resetDeviceImages(), true);

void compileDeviceImage (int productIndex)
{
    // product indexes are model numbers, 1 to 8
    jassert (isInRange (productIndex, 1, numProducts));

    if (! isInRange (productIndex, 1, numProducts))
        return;

    auto isM = productIndex == 1;

    for (int s = 0; s < numSlots; ++s)
    {
        if (! slotDirty[s] || slotPending[s])
            continue;

        auto store = Host::getInstance()->getStore();

        auto* labels = isM ? &slotLabels[s] : nullptr;
        auto& wire = wireImages[productIndex - 1][s];

        compileSlotImage (store, productIndex, s, slotColourTable[s],
                          deviceImage[productIndex - 1][s], wire, labels);

        slotFingerprints[productIndex - 1][s] = slotFingerprintOf (wire, labels, store.getSlotDawAt (s + 1, -1).get());
    }
}

} // namespace NsZ9m
