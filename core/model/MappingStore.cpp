#include "core/model/MappingStore.h"
#include "core/model/ControlNumbers.h"
#include "core/model/ControlKind.h"
#include "core/model/Products.h"
#include "core/model/ValueTypeKind.h"
#include "core/base/StoredNumber.h"
#include "core/base/ListHelpers.h"

namespace NsZ9m
{

MappingStore::MappingStore (const StoreDefaults& defaults)
    : tree (Ids::store)
{
    buildTree (true, defaults);
}

MappingStore::MappingStore (const juce::ValueTree& existingTree)
    : tree (existingTree)
{
}

//==============================================================================
juce::ValueTree MappingStore::getModel (int modelNumber) const
{
    if (modelNumber == -1)
    {
        modelNumber = StoredNumber::read (tree, Ids::current, -1);

        if (modelNumber == -1)
            modelNumber = 1;
    }

    return tree.getChildWithProperty (Ids::id, modelNumber);
}

juce::ValueTree MappingStore::getSlot (int slotNumber, int modelNumber) const
{
    auto model = getModel (modelNumber);
    auto index = slotNumber == -1 ? StoredNumber::read (model, Ids::current, -1)
                                  : (slotNumber >= 0 ? slotNumber - 1 : -2);
    if (index == -1)
        index = 0;

    return model.getChild (index);
}

int MappingStore::getCurrentSlotIndex() const
{
    return StoredNumber::read (getModel(), Ids::current);
}

DawId MappingStore::getSlotDawAt (int slotNumber, int productIndex) const
{
    if (productIndex == -1)
        productIndex = StoredNumber::read (tree, Ids::current);

    // numbers from a file may be anything: nothing lies below 1
    if (productIndex < 1 || slotNumber < 1)
        return DawId (0);

    return DawId (StoredNumber::read (tree.getChild (productIndex - 1).getChild (slotNumber - 1), Ids::current));
}

juce::ValueTree MappingStore::getControl (int controlNumber, int slotNumber, int modelNumber) const
{
    auto slot = getSlot (slotNumber, modelNumber);
    auto daw = StoredNumber::read (slot, Ids::current);

    if (daw == 0)
        daw = 1;

    // a DAW or control number from a file may be anything: no child below 1
    if (daw < 1 || controlNumber < 1)
        return {};

    return slot.getChild (daw - 1).getChild (controlNumber - 1);
}

juce::ValueTree MappingStore::getControlOfCurrentSlot (int controlNumber) const
{
    auto slotIndex = getCurrentSlotIndex();

    // Below -1 no slot matches either way; INT_MAX has no next number.
    if (slotIndex < -1 || slotIndex == std::numeric_limits<int>::max())
        return {};

    return getControl (controlNumber, slotIndex + 1, -1);
}

DawId MappingStore::getCurrentDaw() const
{
    auto index = StoredNumber::read (getModel(), Ids::current, -1);

    if (isInRange (index, 0, numSlots - 1))
    {
        auto daw = StoredNumber::read (getSlot (index + 1, -1), Ids::current);

        if (isValidDawId (daw))
            return DawId (daw);
    }

    return DawId (0);
}

DawId MappingStore::getSlotDaw (int slotNumber) const
{
    return DawId (StoredNumber::read (getSlot (slotNumber, -1), Ids::current));
}

//==============================================================================
void MappingStore::buildDefaultTree (const StoreDefaults& defaults)
{
    buildTree (false, defaults);
}

void MappingStore::buildTree (bool withBuiltInDefaults, const StoreDefaults& defaults)
{
    tree.setProperty (Ids::current, defaults.currentModel, nullptr);
    tree.setProperty (Ids::ver, storeVersion, nullptr);
    tree.removeAllChildren (nullptr);

    // One complete mode per DAW is built once; every slot of every model gets
    // a deep copy of it, which has exactly the same properties in the same order.
    juce::Array<juce::ValueTree> modeTemplates;

    for (int d = 1; d <= numDaws; ++d)
    {
        juce::ValueTree mode (Ids::mode);
        mode.setProperty (Ids::id, d, nullptr);
        mode.setProperty (Ids::mode, getDawIdString (d), nullptr);
        mode.setProperty (Ids::protocol, dawProtocol (d), nullptr);

        for (int c = 1; c <= numControls; ++c)
        {
            juce::ValueTree ctl (Ids::ctl);
            ctl.setProperty (Ids::id, c, nullptr);
            ctl.setProperty (Ids::kind, getControlKindName (getControlKind (c)), nullptr);
            ctl.setProperty (Ids::valueType, "nil", nullptr);
            ctl.setProperty (Ids::value, 0, nullptr);
            ctl.setProperty (Ids::name, juce::String(), nullptr);

            if (isLabelledButton (c))
                ctl.setProperty (Ids::lockBy, 0, nullptr);

            mode.addChild (ctl, c - 1, nullptr);
        }

        modeTemplates.add (mode);
    }

    auto decodedModes = withBuiltInDefaults ? decodeBuiltInModes (modeTemplates) : juce::Array<juce::ValueTree>();

    for (int i = 0; i < numProducts; ++i)
    {
        auto withProfiles = withBuiltInDefaults && isSupportedProduct (productList()[i]);
        auto& modes = withProfiles ? decodedModes : modeTemplates;

        juce::ValueTree model (Ids::model);
        model.setProperty (Ids::id, i + 1, nullptr);
        model.setProperty (Ids::current, 0, nullptr);
        model.setProperty (Ids::pid, productList()[i], nullptr);

        for (int j = 0; j < numSlots; ++j)
        {
            juce::ValueTree slot (Ids::slot);
            slot.setProperty (Ids::id, j, nullptr);
            slot.setProperty (Ids::current, 0, nullptr);
            slot.setProperty (Ids::daw1, withProfiles ? defaults.slotColours[j][0] : 0, nullptr);
            slot.setProperty (Ids::daw2, withProfiles ? defaults.slotColours[j][1] : 0, nullptr);
            slot.setProperty (Ids::daw3, withProfiles ? defaults.slotColours[j][2] : 0, nullptr);

            for (int d = 1; d <= numDaws; ++d)
                slot.addChild (modes.getReference (d - 1).createCopy(), d - 1, nullptr);

            model.addChild (slot, j, nullptr);
        }

        tree.addChild (model, i, nullptr);
    }
}

void MappingStore::resetToDefaults (const StoreDefaults& defaults)
{
    buildTree (true, defaults);
}

//==============================================================================
void clearControlAssignment (juce::ValueTree ctl)
{
    auto kind = ValueTypeKind (ctl.getProperty (Ids::valueType).toString()).get();

    if (kind != ValueTypeKind::Midi && kind != ValueTypeKind::Null)
        ctl.setProperty (Ids::name, juce::String(), nullptr);

    ctl.setProperty (Ids::valueType, "null", nullptr);
    ctl.setProperty (Ids::value, 0, nullptr);
    ctl.setProperty (Ids::ctrl, 0, nullptr);
    ctl.setProperty (Ids::shift, 0, nullptr);
    ctl.setProperty (Ids::alt, 0, nullptr);
    ctl.setProperty (Ids::cmd, 0, nullptr);
    ctl.setProperty (Ids::key, 0, nullptr);
    ctl.setProperty (Ids::keyName, juce::String(), nullptr);
    ctl.setProperty (Ids::type, "nil", nullptr);
    ctl.setProperty (Ids::chan, 0, nullptr);
    ctl.setProperty (Ids::msgValue, 0, nullptr);
    ctl.setProperty (Ids::rotate, 0, nullptr);
    ctl.setProperty (Ids::val1, -1, nullptr);
    ctl.setProperty (Ids::val2, -1, nullptr);
}

void copyControlAssignment (const juce::ValueTree& source, juce::ValueTree target)
{
    auto id = target.getProperty (Ids::id);
    target.copyPropertiesFrom (source, nullptr);
    target.setProperty (Ids::id, id, nullptr);
}

void swapControlAssignments (const MappingStore& store, int controlA, int controlB)
{
    auto a = store.getControlOfCurrentSlot (controlA);
    auto b = store.getControlOfCurrentSlot (controlB);
    auto copyOfA = a.createCopy();

    a.copyPropertiesFrom (b, nullptr);
    a.setProperty (Ids::id, controlA, nullptr);
    b.copyPropertiesFrom (copyOfA, nullptr);
    b.setProperty (Ids::id, controlB, nullptr);
}

} // namespace NsZ9m
