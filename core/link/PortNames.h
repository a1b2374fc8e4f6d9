#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/*  Reading MIDI port names: which product a port belongs to, which port of its
    device it is, which port of the other direction pairs with it, and the best
    port of a product among a list of names. Pure functions of their
    arguments; the lists themselves come from midiPorts(). The program's
    versions that follow alternateBrandFlag (getProductIdFromPortName,
    findBestPortIndex, findBestPortName) are in the sync layer (PortLookup.h).
    Any thread.
*/

/** One row of a product pattern list: one to three wildcard patterns (unused
    ones null), matched ignoring case; the first row that matches wins. */
struct ProductPatternRow
{
    const char* patterns[3];
    int productId;

    int getNumPatterns() const noexcept;
};

/** The main pattern list (71 rows) or the alternate one (11 rows). */
const std::vector<ProductPatternRow>& productPatternRows (bool alternateList);

/** The product id of a port name: the name lower-cased and trimmed, matched
    against the rows of the main or the alternate list; 2000 when no row
    matches. */
int productIdFromPortName (const juce::String& portName, bool alternateList);

/** How the generic Windows port names ("MIDIOUT? (*)", "MIDIIN? (*)") are
    matched. The core's port numbers and pairing take case into account; the
    firmware upgrader's port lists ignore it. */
enum class PortNameCase
{
    respected,
    ignored
};

/** "MIDIOUT? (*)": an output of a multi-port device. */
bool matchesOutputPortPattern (const juce::String& name, PortNameCase nameCase);

/** "MIDIIN? (*)": an input of a multi-port device. */
bool matchesInputPortPattern (const juce::String& name, PortNameCase nameCase);

/** "VORLIX*Midi*" ignoring case: the maker's generic port name, which carries
    no port number. */
bool matchesBrandPortPattern (const juce::String& name);

/** The port number of a name: the digit after "MIDIOUT" or "MIDIIN" of a
    multi-port name (-1 when that character is not a digit), 1 for any other
    name. The core reads the multi-port names with case respected. */
int portIndexFromName (const juce::String& portName, PortNameCase nameCase = PortNameCase::respected);

/** The name of the device a port belongs to: the text in the brackets of a
    multi-port name ("MIDIOUT2 (Z9-X1)" and "MIDIIN2 (Z9-X1)" are ports of
    "Z9-X1"), the name itself for a device's plain port. Multi-port names are
    read with case respected, as pairPortName reads them. */
juce::String deviceNameOfPort (const juce::String& portName);

/** The name of the paired port in the other direction: towards the input,
    "MIDIOUT" becomes "MIDIIN" in a name matching "MIDIOUT? (*)"; towards the
    output, "MIDIIN" becomes "MIDIOUT" in a name matching "MIDIIN? (*)". Both
    the match and the replacement respect case. Any other name pairs with
    itself. */
juce::String pairPortName (const juce::String& name, bool toInput);

/** The highest port number among the names of that product (products read
    with the main or the alternate list), or -1 (a port number, not a position
    in the list). */
int bestPortIndexOf (const juce::StringArray& names, int productId, bool alternateList);

/** The name of that product with the highest port number (the first one of
    equal numbers; a malformed number never counts). When none qualifies and
    useBrandFallback is set, the last name matching "VORLIX*Midi*". Otherwise
    an empty text. */
juce::String bestPortNameOf (const juce::StringArray& names, int productId, bool useBrandFallback,
                             bool alternateList);

} // namespace NsZ9m
