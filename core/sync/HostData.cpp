#include "core/sync/HostData.h"
#include "core/model/MappingStore.h"
#include "core/model/Products.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

static const char* const stateKey = "state";

HostData::HostData (Host& ownerToUse)
    : owner (ownerToUse)
{
    tree = MappingStore().getTree();
}

void HostData::takeSlotDawIdsFromTree()
{
    auto firstModel = tree.getChildWithProperty (Ids::id, 1);

    for (int s = 0; s < numSlots; ++s)
        slotDawIds[s] = (int) firstModel.getChildWithProperty (Ids::id, s).getProperty (Ids::current, 0);
}

void HostData::loadState()
{
    auto* props = settings.getCommonSettings (true);
    auto xml = props->getXmlValue (stateKey);

    if (xml == nullptr)
        return;

    auto stored = juce::ValueTree::fromXml (*xml);

    // Only a store of this program's layout version replaces the default one.
    if (! stored.hasType (Ids::store) || stored.getProperty (Ids::ver).toString() != storeVersion)
    {
        tree = MappingStore().getTree();
        return;
    }

    tree = stored;

    auto currentModel = tree.getChildWithProperty (Ids::id, productIndexOf (currentProductId) + 1);

    for (int s = 0; s < numSlots; ++s)
        if (isValidDawId ((int) currentModel.getChildWithProperty (Ids::id, s).getProperty (Ids::current, 0)))
            slotDirty[s] = true;

    takeSlotDawIdsFromTree();
}

void HostData::saveState()
{
    auto* props = settings.getCommonSettings (true);

    if (auto xml = tree.createXml())
    {
        props->setValue (stateKey, xml.get());

        if (props->needsToBeSaved())
            SettingsStore::save (*props);
    }
}

juce::ValueTree HostData::getSlotOfCurrentProduct (int slotNumber) const
{
    if (! isValidSlotNumber (slotNumber))
        return {};

    return tree.getChild (productIndexOf (currentProductId)).getChild (slotNumber - 1);
}

} // namespace NsZ9m
