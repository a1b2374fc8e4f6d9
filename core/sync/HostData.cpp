#include "core/sync/HostData.h"
#include "core/model/MappingStore.h"
#include "core/model/Products.h"
#include "core/sync/ProcessState.h"
#include "core/base/StoredNumber.h"
#include "core/files/StrictXmlReader.h"
#include "core/files/TreeXmlWriter.h"

namespace NsZ9m
{

static const char* const stateKey = "state";

HostData::HostData (Host& ownerToUse)
    : owner (ownerToUse)
{
}

void HostData::takeSlotDawIdsFromTree()
{
    auto firstModel = tree.getChildWithProperty (Ids::id, 1);

    for (int s = 0; s < numSlots; ++s)
        slotDawIds[s] = StoredNumber::read (firstModel.getChildWithProperty (Ids::id, s), Ids::current);
}

void HostData::loadState()
{
    auto* props = settings.getCommonSettings (true);
    const auto text = props->getValue (stateKey);

    // The settings folder is shared by every user of the machine: the stored
    // copy is read as strictly as a mapping file, and anything refused leaves
    // the default store, as a missing copy does.
    juce::ValueTree stored;

    if (text.isEmpty() || StrictXmlReader().read (text.toRawUTF8(), text.getNumBytesAsUTF8(), stored).failed())
    {
        if (! tree.isValid())
            tree = MappingStore().getTree();

        return;
    }

    // Only a store of this program's layout version replaces the default one.
    if (! stored.hasType (Ids::store) || stored.getProperty (Ids::ver).toString() != storeVersion)
    {
        tree = MappingStore().getTree();
        return;
    }

    tree = stored;

    auto currentModel = tree.getChildWithProperty (Ids::id, productIndexOf (currentProductId) + 1);

    for (int s = 0; s < numSlots; ++s)
        if (isValidDawId (StoredNumber::read (currentModel.getChildWithProperty (Ids::id, s), Ids::current)))
            slotDirty[s] = true;

    takeSlotDawIdsFromTree();
}

void HostData::saveState()
{
    // a tree without XML form (an invalid one) is not stored
    if (! tree.isValid())
        return;

    auto* props = settings.getCommonSettings (true);
    props->setValue (stateKey, TreeXmlWriter::toSingleLineText (tree));

    if (props->needsToBeSaved())
        SettingsStore::save (*props);
}

juce::ValueTree HostData::getSlotOfCurrentProduct (int slotNumber) const
{
    if (! isValidSlotNumber (slotNumber))
        return {};

    return tree.getChild (productIndexOf (currentProductId)).getChild (slotNumber - 1);
}

} // namespace NsZ9m
