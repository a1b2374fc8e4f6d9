#include "firmware/UpgraderPorts.h"
#include "firmware/UpgraderState.h"
#include "core/link/MidiPortSystem.h"
#include "core/sync/PortLookup.h"

namespace vorlix
{

namespace
{
    juce::StringArray rawPortNames (bool outputs)
    {
        auto& ports = NsZ9m::midiPorts();
        return outputs ? ports.getOutputNames() : ports.getInputNames();
    }

    bool isGenericWindowsName (const juce::String& name, NsZ9m::PortNameCase nameCase)
    {
        return NsZ9m::matchesOutputPortPattern (name, nameCase) || NsZ9m::matchesInputPortPattern (name, nameCase);
    }

    /** The name a unit goes by: its device's name without the number the
        system puts in front of a further unit of one name ("2- Z9-X1"). */
    juce::String unitNameOf (const juce::String& deviceName)
    {
        const auto number = deviceName.initialSectionContainingOnly ("0123456789");

        if (number.isNotEmpty() && deviceName.substring (number.length()).startsWith ("- "))
            return deviceName.substring (number.length() + 2);

        return deviceName;
    }

    juce::StringArray filteredPortNames (bool outputs, bool normalMode, bool plainFilter, bool genericNames)
    {
        auto names = rawPortNames (outputs);
        names.removeDuplicates (false);
        names.removeEmptyStrings (false);

        juce::StringArray listed;

        for (auto& name : names)
            if (isListedPortName (name, normalMode, plainFilter, genericNames))
                listed.add (name);

        return listed;
    }
}

bool isUpgradeModePortName (const juce::String& name)
{
    return name.containsIgnoreCase (upgradeModePortText);
}

bool isUpgradePort (juce::String name)
{
    if (isUpgradeModePortName (name))
        return true;

    const auto& state = upgraderState();
    return state.service && ! state.automaticStepping
        && name.toLowerCase().trim().matchesWildcard ("VORLIX*Midi*", true);
}

bool isListedPortName (const juce::String& name, bool normalMode, bool plainFilter, bool genericNames)
{
    if (! normalMode)
        return isUpgradePort (name);

    if (plainFilter)
        return ! name.containsIgnoreCase ("Microsoft");

    if (name.containsIgnoreCase ("Microsoft") || isUpgradeModePortName (name))
        return false;

    if (isGenericWindowsName (name, NsZ9m::PortNameCase::ignored))
        return genericNames;

    if (name.matchesWildcard ("* *?", true))
        return true;

    return ! genericNames;
}

juce::StringArray listPortNames (bool outputs, bool normalMode, bool plainFilter)
{
    return filteredPortNames (outputs, normalMode, plainFilter, upgraderState().toolFamily);
}

juce::String portDisplayName (const juce::String& name)
{
    return isUpgradeModePortName (name) ? juce::String (upgradeManagerDisplayName) : name;
}

juce::StringArray listPortDisplayNames (bool outputs, bool normalMode, bool plainFilter)
{
    auto names = listPortNames (outputs, normalMode, plainFilter);

    for (auto& name : names)
        name = portDisplayName (name);

    return names;
}

juce::String resolvePortDisplayName (const juce::String& displayName)
{
    if (! isUpgradeModePortName (displayName))
        return displayName;

    const auto index = listPortDisplayNames (true, true, true).indexOf (displayName, false);
    return index < 0 ? juce::String() : listPortNames (true, true, true)[index];
}

juce::StringArray listSelectablePortNames (bool outputs, bool strict)
{
    return filteredPortNames (outputs, true, ! strict, false);
}

int countTargetPorts (int productId)
{
    int count = 0;

    for (auto& name : listPortDisplayNames (true, true, true))
        if (NsZ9m::getProductIdFromPortName (name) == productId
             && ! isGenericWindowsName (name, NsZ9m::PortNameCase::respected))
            ++count;

    return count;
}

juce::String findTargetPortName (juce::StringArray names, int productId, bool fallbackToMakerPattern)
{
    juce::String bestName;
    int bestPort = -1;

    for (auto& name : names)
    {
        if (NsZ9m::getProductIdFromPortName (name) != productId)
            continue;

        const auto port = NsZ9m::portIndexFromName (name, NsZ9m::PortNameCase::ignored);

        if (port > bestPort)
        {
            bestPort = port;
            bestName = name;
        }
    }

    if (bestPort == -1 && fallbackToMakerPattern)
        for (auto& name : names)
            if (NsZ9m::matchesBrandPortPattern (name))
                bestName = name;

    return bestName;
}

int countPortsContaining (juce::StringRef text, bool outputs)
{
    int count = 0;

    for (auto& name : rawPortNames (outputs))
        if (name.contains (text))
            ++count;

    return count;
}

int countUnitsNamedLike (const juce::String& portName)
{
    const auto unitName = unitNameOf (NsZ9m::deviceNameOfPort (portName));
    juce::StringArray units;

    for (auto& name : rawPortNames (true))
    {
        const auto device = NsZ9m::deviceNameOfPort (name);

        if (unitNameOf (device) == unitName)
            units.addIfNotAlreadyThere (device);
    }

    return units.size();
}

int indexOfPortContaining (juce::StringRef text, bool outputs)
{
    const auto names = listPortNames (outputs, true, true);

    for (int i = 0; i < names.size(); ++i)
        if (names[i].contains (text))
            return i;

    return -1;
}

juce::String firstPortNameOfProduct (int productId, const juce::StringArray& names)
{
    for (auto& name : names)
        if (NsZ9m::getProductIdFromPortName (name) == productId)
            return name;

    return {};
}

int countUpgradeAndProductPorts (int productId, int weight)
{
    int upgradePorts = 0, productPorts = 0;

    for (auto& name : rawPortNames (true))
    {
        if (name.contains (upgradeModePortText))
            ++upgradePorts;

        if (NsZ9m::getProductIdFromPortName (name) == productId)
            ++productPorts;
    }

    return upgradePorts * weight + productPorts;
}

} // namespace vorlix
