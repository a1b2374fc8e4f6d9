#pragma once

#include "firmware/AcknowledgementFlags.h"

namespace vorlix
{

/** Upgrades that the repeat flag runs in a row before it stops. */
inline constexpr int repeatCycleLimit = 20;

/**
    The firmware upgrader's process-wide state: the flags that the hidden
    service keys toggle, the step flags, the cycle counter, the bootloader's
    acknowledgement flags and the two paths.

    It outlives each wizard: what a new wizard does not set keeps its value
    from an earlier one in the same run (a flag toggled in one wizard stays
    toggled in the next).

    Message thread only, but for the acknowledgement flags, which the MIDI
    input callback writes (they are atomics).
*/
struct UpgraderState
{
    juce::String toolPath;              ///< the bootloader tool, set by each wizard
    juce::String chosenFirmwarePath;    ///< the image that the "Upgrade" step writes

    bool toolFamily = false;            ///< the current unit is written through the bootloader tool
    bool online = true;                 ///< firmware from the catalogue (set) or from a file (clear); M key
    bool automaticStepping = false;     ///< each step starts the next; A key
    bool anyProduct = false;            ///< Start accepts a unit of any known product; O key
    bool repeat = false;                ///< upgrade again after each automatic upgrade; S key, Escape clears
    bool service = false;               ///< service behaviour of the steps; T key
    bool abort = false;                 ///< ends the current wait of a step; Escape
    bool busy = false;                  ///< a step is doing its work
    bool bootloaderActive = false;      ///< a tool-family unit runs its ROM bootloader
    int cycleCounter = 0;               ///< upgrades done with automatic stepping

    AcknowledgementFlags acknowledgements;
};

/** The one state of the process. */
UpgraderState& upgraderState();

/** Puts the whole state back to its start values (and alternateBrandFlag to
    0). The program never needs this; tests call it between cases. */
void resetUpgraderState();

} // namespace vorlix
