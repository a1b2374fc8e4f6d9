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

/** "MIDIOUT? (*)", case taken into account: an output of a multi-port device. */
bool matchesOutputPortPattern (const juce::String& name);

/** "MIDIIN? (*)", case taken into account: an input of a multi-port device. */
bool matchesInputPortPattern (const juce::String& name);

/** "VORLIX*Midi*" ignoring case: the maker's generic port name, which carries
    no port number. */
bool matchesBrandPortPattern (const juce::String& name);

/** The port number of a name: the digit after "MIDIOUT" or "MIDIIN" of a
    multi-port name (-1 when that character is not a digit), 1 for any other
    name. */
int portIndexFromName (const juce::String& portName);

/** The name of the paired port in the other direction: towards the input,
    "MIDIOUT" becomes "MIDIIN" in a name matching "MIDIOUT? (*)"; towards the
    output, "MIDIIN" becomes "MIDIOUT" in a name matching "MIDIIN? (*)". Any
    other name pairs with itself. */
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
