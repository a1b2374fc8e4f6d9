#include "core/sync/Host.h"
#include "core/model/ValueTypeKind.h"
#include "core/sync/ProcessState.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/Products.h"
#include "core/model/NameLists.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/MidiInputHandler.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/PortLookup.h"
#include "core/base/StoredNumber.h"
#include "core/files/StrictXmlReader.h"

namespace NsZ9m
{

JUCE_IMPLEMENT_SINGLETON (Host)

juce::Array<juce::String> functionNameList;

Host::Host()
    : data (std::make_unique<HostData> (*this))
{
    data->loadState();
}

Host::~Host()
{
    input.reset();
    clearSingletonInstance();
}

juce::ValueTree Host::getTree() const      { return data->tree; }
MappingStore Host::getStore() const        { return MappingStore (data->tree); }

int Host::getCurrentSlotIndex() const
{
    auto modelNumber = StoredNumber::read (data->tree, Ids::current, 1);

    if (modelNumber < 1)
        return 0;

    return StoredNumber::read (data->tree.getChild (modelNumber - 1), Ids::current);
}

DawId Host::getSlotDaw (int slotNumber, int productIndex) const
{
    return getStore().getSlotDawAt (slotNumber, productIndex);
}

void Host::setCurrentSlot (int slotIndex, int productIndex)
{
    if (productIndex == -1)
        productIndex = StoredNumber::read (data->tree, Ids::current, 1);

    if (productIndex < 1)
        return;

    // A loaded mapping file may hold fewer models than the program knows.
    if (auto model = data->tree.getChild (productIndex - 1); model.isValid())
        model.setProperty (Ids::current, slotIndex, nullptr);
}

void Host::collectFunctionNames()
{
    auto slotIndex = getCurrentSlotIndex();

    if (slotIndex < 0 || slotIndex >= numSlots)
        return;

    auto slotNumber = slotIndex + 1;

    auto slot = data->getSlotOfCurrentProduct (slotNumber);
    auto daw = getSlotDaw (slotNumber, -1).get();

    if (! isValidDawId (daw))
        return;

    functionNameList.clearQuick();
    for (auto& name : transportNames())
        functionNameList.add (name);

    for (const auto& ctl : slot.getChild (daw - 1))
    {
        if (ValueTypeKind::fromStoredText (ctl.getProperty (Ids::valueType).toString()) != ValueTypeKind (ValueTypeKind::Func))
            continue;

        auto name = ctl.getProperty (Ids::name).toString().trim();

        if (name.isNotEmpty())
            functionNameList.add (name);
    }
}

juce::String Host::getOutputDeviceName() const          { return data->outputDeviceName; }
void Host::setOutputDeviceName (const juce::String& n)  { data->outputDeviceName = n; }

void Host::saveSettings()
{
    data->saveState();
}

juce::Result Host::saveMappingFile (const juce::File& file)
{
    auto xml = data->tree.createXml();

    if (xml == nullptr)
        return juce::Result::fail ("Could not save current mapping to disk");

    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;

    if (! xml->writeTo (file, format))
        return juce::Result::fail ("Failed to write mapping file");

    return juce::Result::ok();
}

juce::Result Host::loadMappingFile (const juce::File& file)
{
    // A mapping file may come from anywhere: it is read strictly, and anything
    // but a store with a model in it would replace the user's whole mapping
    // with something that is not one (or with nothing at all). Either way we
    // keep what we have.
    juce::ValueTree loaded;

    if (StrictXmlReader().readFile (file, loaded).failed() || ! loaded.hasType (Ids::store)
         || ! loaded.getChildWithName (Ids::model).isValid())
        return juce::Result::fail ("Could not load mapping data");

    auto modelBeingEdited = StoredNumber::read (data->tree, Ids::current);

    data->tree = loaded;
    data->tree.setProperty (Ids::current, modelBeingEdited, nullptr);

    for (auto& dirty : slotDirty)
        dirty = true;

    // The editor's rebuild copies slotDawIds into every model, so they must
    // be the file's; the slot being edited stays the same.
    data->takeSlotDawIdsFromTree();
    currentSlotIndex = juce::jlimit (0, numSlots - 1, currentSlotIndex);

    return juce::Result::ok();
}

bool isHuiReservedControl (int controlNumber)
{
    if (auto* host = Host::getInstanceWithoutCreating())
        return isHuiReservedControl (host->getStore(), controlNumber);

    return false;
}

//==============================================================================
juce::Result Host::sendMapping (int productId)
{
    return data->sendMapping (productId);
}

namespace
{
    // Sends the filler and then the message to port 4 of every unit whose
    // product passes the test, in the order of the output list, opening and
    // closing each port. Stops, returning false, at the first such unit met
    // while a send is running.
    bool sendToPortFours (const std::function<bool (int)>& productTest, const juce::MidiMessage& message)
    {
        auto& ports = midiPorts();
        auto names = ports.getOutputNames();
        const auto filler = makeFillerMessage();

        for (int i = 0; i < names.size(); ++i)
        {
            if (portIndexFromName (names[i]) != 4 || ! productTest (getProductIdFromPortName (names[i])))
                continue;

            if (sendInProgress)
                return false;

            if (auto port = ports.openOutput (i))
            {
                port->sendMessageNow (filler);
                port->sendMessageNow (message);
                waitWhileDispatching (1);
            }
        }

        return true;
    }
}

bool Host::sendToMatchingOutputs (std::function<bool (int)> productTest, juce::uint8 d1, juce::uint8 d2)
{
    return sendToPortFours (productTest, makeShortMessage (0xEC, d1, d2));
}

bool Host::sendToMatchingOutputs (std::function<bool (int)> productTest, const juce::MidiMessage& message)
{
    return sendToPortFours (productTest, message);
}

bool Host::relaySlotReport (int command)
{
    if (command == slotSelectCommand)
    {
        auto i = deviceReplyState.selectedSlotNumber.load() - 1;

        if (! juce::isPositiveAndBelow (i, numSlots))
            return true;

        return sendToPortFours (isXFamilyProduct, makeSlotSelectMessage (slotSelectValue (i, slotDawIds[i])));
    }

    if (command == slotStateCommand)
    {
        auto i = deviceReplyState.reportedSlotNumber.load() - 1;

        if (! juce::isPositiveAndBelow (i, numSlots))
            i = 0;

        return sendToPortFours (isXFamilyProduct,
                                makeSlotStateMessage (slotStateValue (i, deviceReplyState.slotHasDaw[i].load())));
    }

    return true;
}

} // namespace NsZ9m
