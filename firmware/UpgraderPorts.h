#pragma once

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/*  How the firmware upgrader reads the system's MIDI ports: units in
    firmware-upgrade mode, ports that cannot be a unit, the ports of one
    product, and the names the unit chooser shows.

    Every list is read afresh from the program's port system
    (NsZ9m::midiPorts()) at each call, in the system's order; "outputs"
    chooses the output list (true) or the input list (false). Products come
    from NsZ9m::getProductIdFromPortName. Some filters follow the upgrader's
    flags (UpgraderState). Message thread only.
*/

/** Contained in the name of every port of a unit in firmware-upgrade mode. */
inline constexpr const char* upgradeModePortText = "Vorlix firmware upgrade";

/** The name shown for every port of a unit in firmware-upgrade mode. */
inline constexpr const char* upgradeManagerDisplayName = "Vorlix firmware upgrade manager";

/** The name contains "Vorlix firmware upgrade", ignoring case. */
bool isUpgradeModePortName (const juce::String& name);

/** A port of a unit in upgrade mode; under the service flag without automatic
    stepping also a port of the maker's generic kind ("VORLIX*Midi*"). */
bool isUpgradePort (juce::String name);

/** The port filter of the lists. With normalMode clear: upgrade ports only.
    With plainFilter set: every port but the system's own ("Microsoft").
    Otherwise neither those nor upgrade-mode ports; generic Windows names
    ("MIDIOUT? (*)", "MIDIIN? (*)", ignoring case) exactly when genericNames
    is set, names of two words or more always, one-word names exactly when it
    is clear. */
bool isListedPortName (const juce::String& name, bool normalMode, bool plainFilter, bool genericNames);

/** The ports that pass isListedPortName (with the tool-family flag for
    genericNames), without duplicates or empty names. */
juce::StringArray listPortNames (bool outputs, bool normalMode, bool plainFilter);

/** listPortNames, each name shown as portDisplayName shows it. */
juce::StringArray listPortDisplayNames (bool outputs, bool normalMode, bool plainFilter);

/** "Vorlix firmware upgrade manager" for a port in upgrade mode, else the name. */
juce::String portDisplayName (const juce::String& name);

/** The real output name behind a display name (the same position in the
    output lists), the name itself when it is not an upgrade-mode name, or an
    empty text when no port shows that name. */
juce::String resolvePortDisplayName (const juce::String& displayName);

/** Like listPortNames, with the strict (strict) or the plain (not strict)
    filter and never generic Windows names. */
juce::StringArray listSelectablePortNames (bool outputs, bool strict);

/** Outputs of the product whose names are not generic Windows names (with
    case respected: "midiout2 (Z9-X1)" counts). */
int countTargetPorts (int productId);

/** The name of the product with the highest port number (first of equals; a
    malformed number never counts; generic Windows names read ignoring case);
    failing that, with fallbackToMakerPattern, the last name of the generic
    "VORLIX*Midi*" kind; else an empty text. */
juce::String findTargetPortName (juce::StringArray names, int productId, bool fallbackToMakerPattern);

/** The number of ports (the raw list) whose name contains the text. */
int countPortsContaining (juce::StringRef text, bool outputs);

/** The number of units among the outputs that go by the name of the unit
    the port belongs to. A unit counts once however many ports it shows
    ("Z9-X1", "MIDIOUT2 (Z9-X1)" ...), and so does each further unit of that
    name, which the system tells apart by a number in front ("2- Z9-X1",
    "MIDIOUT2 (2- Z9-X1)" ...). Names compared with case. */
int countUnitsNamedLike (const juce::String& portName);

/** The position in listPortNames (outputs, true, true) of the first name that
    contains the text, or -1. */
int indexOfPortContaining (juce::StringRef text, bool outputs);

/** The first of the names that belongs to the product, or an empty text. */
juce::String firstPortNameOfProduct (int productId, const juce::StringArray& names);

/** Over the raw output names: the number in upgrade mode times weight, plus
    the number of the product. */
int countUpgradeAndProductPorts (int productId, int weight);

} // namespace vorlix
