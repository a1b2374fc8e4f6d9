#pragma once

#include "core/model/DawId.h"
#include "core/model/ControlKind.h"
#include "core/model/ControlNumbers.h"

namespace NsZ9m
{

class MappingStore;

/*  The factory profiles of the 18 DAWs, the function label tables and the HUI
    function table.

    Every table here is constant data, built on first use (thread-safe static
    initialisation) and never changed afterwards; any thread may read it.
*/

//==============================================================================
/** The built-in image of DAW d: 252 records of 7 bytes, record `row` at offset
    row * 7, rows as controlRowOf() gives them. Cubase (2) and Nuendo (14)
    share one image. Rows that belong to no control hold zeros.
    Returns nullptr for an id outside 1 to 18. */
const juce::uint8* builtInImage (int dawId);

//==============================================================================
/** A HUI address: zone and port byte, -1 and -1 for "no address". */
struct HuiAddress
{
    juce::int8 zone, port;
};

inline constexpr int huiFunctionTableSize = 123;   ///< HUI functions 0 to 122
inline constexpr int huiCustomFunction = 122;      ///< "(custom)", a user-typed address
inline constexpr int huiFaderFunctionCount = 9;
inline constexpr int huiKnobFunctionCount = 8;

/** The addresses of the 123 HUI functions, indexed by function number. */
const HuiAddress* huiAddressTable();

/** The labels of the 123 HUI functions ("(blank)", "Stop" ... "(custom)"). */
const juce::StringArray& huiButtonLabels();

/** "Volume 1" to "Volume 8", "VolumeM". */
const juce::StringArray& huiFaderLabels();

/** "Pan 1" to "Pan 8". */
const juce::StringArray& huiKnobLabels();

/** The HUI function of an address: for a zone of 32 or more (faders and
    knobs) the port itself, otherwise the index of the first of the 123
    addresses equal to (zone, port) compared as signed bytes, or -1. */
int findHuiButtonIndex (int zone, int port);

//==============================================================================
/** The function label table of DAW d: 128 texts indexed by Mackie Control
    note number for a non-HUI DAW, the 123 HUI button labels for the HUI DAW,
    and an empty list for an id outside 1 to 18. Each text has at most 39
    characters. */
const juce::StringArray& functionLabelTable (int dawId);

/** The label of function `value` as a control of the given kind shows it:
    the DAW's label table entry (non-HUI), the HUI button, fader or knob label
    (HUI DAW). Not trimmed. The empty text for an id outside 1 to 18, a value
    outside the table or, on the HUI DAW, a kind other than those three. */
juce::String getFunctionLabel (int dawId, ControlKind kind, int value);

/** The trimmed label of an assigned function. For a non-HUI DAW `second` is
    a MIDI status nibble and only 9 (note) has labels; for the HUI DAW it is a
    ControlKind index ("button" value 0 has no label). The empty text for an
    id outside 1 to 18 and for any value outside its table. */
juce::String getAssignedFunctionLabel (int dawId, int second, int value);

/** How many function values a control of this kind offers: 1 on every
    non-HUI DAW; on the HUI DAW 8 for a knob, 9 for a fader, 123 for a button
    and 1 for any other kind. */
int huiFunctionCount (DawId daw, ControlKind kind);

//==============================================================================
/** Controls 2, 11 and 12, which the HUI DAW keeps for its insert, plug-in and
    V-select keys, and their default names in the same order. */
const juce::Array<int>& huiReservedControls();
const juce::StringArray& huiReservedCaptions();

/** The default name of reserved control c ("Plug-in*", "Insert*",
    "V-Select *"), empty for any other control. */
juce::String huiReservedCaptionOf (int controlNumber);

/** True when the store's current DAW is the HUI DAW and the control is one of
    huiReservedControls(). */
bool isHuiReservedControl (const MappingStore& store, int controlNumber);

//==============================================================================
/** The caption of the built-in hotkey of control c (17 to 80) in DAW d; the
    empty text for any other pair and for hotkeys that have no caption. */
juce::String getHotkeyCaption (int dawId, int controlNumber);

} // namespace NsZ9m
