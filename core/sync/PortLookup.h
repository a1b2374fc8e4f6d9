#pragma once

#include "core/link/PortNames.h"

namespace NsZ9m
{

/*  The port-name lookups as the program uses them: with the pattern list that
    alternateBrandFlag selects. Message thread, like everything that lists
    ports.
*/

/** 1 while the firmware upgrader works on a product of the alternate brand:
    getProductIdFromPortName then uses the alternate pattern list, which names
    no Z9 model. 0 at start; set by the upgrader, never reset by the program. */
extern int alternateBrandFlag;

/** The product id of a port name: the name lower-cased and trimmed, matched
    against the rows of the list that alternateBrandFlag selects; 2000 when no
    row matches. */
int getProductIdFromPortName (const juce::String& portName);

/** The highest port number among the names of that product, or -1 (a port
    number, not a position in the list). */
int findBestPortIndex (const juce::StringArray& names, int productId);

/** The name of that product with the highest port number (the first one of
    equal numbers; a malformed number never counts). When none qualifies and
    useBrandFallback is set, the last name matching "VORLIX*Midi*". Otherwise
    an empty text. */
juce::String findBestPortName (const juce::StringArray& names, int productId, bool useBrandFallback);

} // namespace NsZ9m
