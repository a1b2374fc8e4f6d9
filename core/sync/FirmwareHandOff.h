#pragma once

#include "core/base/JuceIncludes.h"
#include <functional>

namespace NsZ9m
{

/**
    The firmware hand-off: takes the surface's ports away from the
    synchronisation timer, runs the firmware upgrader, and gives the ports
    back when the upgrader has finished.

    In order: midiInputEnabled is cleared (every tick now only closes the
    surface's ports, so no mapping traffic and no reply can meet the
    upgrader's own conversation), the surface's ports for currentProductId
    are closed, runUpgrader runs (the upgrader's modal dialog, which opens its
    own ports), then midiInputEnabled is set again and the ports re-open.
    firmwareHandOffRunning is set from the call until the ports are back.

    A send that is running when the command comes is never cut short: the
    command usually arrives inside one of the send's pauses, and the send
    cannot end while anything waits on top of it. So the hand-off then waits
    for the message loop instead: it returns at once and starts from the loop
    as soon as no send and no tick of the synchronisation timer runs (a tick
    pauses while it replaces the Host's input handler) and mayStart (when
    given) agrees, for example once no modal box is open.

    When the editor page went away while the upgrader ran (the program is
    quitting), the ports stay closed: the page's end stopped the link.

    Message thread only.
*/
enum class FirmwareHandOffStart
{
    finished,   ///< the upgrader ran and the ports are back
    deferred,   ///< a send or tick runs: the hand-off starts once it has ended
    ignored     ///< a hand-off is already under way: nothing happened
};

FirmwareHandOffStart handOffToFirmwareUpgrader (std::function<void()> runUpgrader,
                                                std::function<bool()> mayStart = {});

/** True while a hand-off waits for a send to end. */
bool isFirmwareHandOffDeferred();

/** Drops a hand-off that still waits for a send to end: its upgrader never
    runs and firmwareHandOffRunning is cleared. Nothing otherwise. */
void cancelDeferredFirmwareHandOff();

/** How often a deferred hand-off looks whether the send has ended. */
constexpr int firmwareHandOffPollMs = 100;

} // namespace NsZ9m
