#pragma once

#include "core/base/JuceIncludes.h"
#include "core/model/ControlNumbers.h"

namespace NsZ9m
{

class Host;
class MyTimer;
class EditorLink;
struct StoreDefaults;

/*  The state that the mapping core, the editor and the firmware upgrader share.

    These are plain variables of the message thread: nothing locks them, and
    the MIDI input thread never touches them (it only writes the reply state of
    the surface protocol). Nested message loops (modal boxes, file choosers,
    waitWhileDispatching) let a timer tick read and change them in the middle
    of an editor action or a send.
*/

/** The Host, once an editor page has asked for it; null before. */
extern Host* theHost;

/** The editor page while one exists, null otherwise. Set and cleared by the
    editor page itself; the core reaches it only through its EditorLink side
    (refreshMainComp, rebuildMainComp, selectSlotFromDevice), the editor
    through the editor forwarders. */
extern EditorLink* theMainComp;

/** The one synchronisation timer of the process, created by startSyncCore
    when the first editor page is built and deleted by stopSyncCore; null
    before and after. */
extern MyTimer* theSyncTimer;

/** The product being edited; 2055 at start. */
extern int currentProductId;

/** The slot index (0 to 2) being edited; 0 at start. */
extern int currentSlotIndex;

/** Per slot index: edited and not yet sent. */
extern bool slotDirty[numSlots];

/** Per slot index: taken into the running synchronisation pass. */
extern bool slotPending[numSlots];

/** Per slot index: the DAW id it runs (0 for none), shared by every model. */
extern int slotDawIds[numSlots];

/** Per slot index: its three colour flags (daw1, daw2, daw3). */
extern int slotColourTable[numSlots][3];

/** True for the whole of a mapping send. */
extern bool sendInProgress;

/** Cleared while the surface's ports must stay closed (firmware hand-off,
    editor page gone); set at start. */
extern bool midiInputEnabled;

/** True while a firmware hand-off is under way (FirmwareHandOff.h): from
    the FIRMWARE UPGRADE command, through a wait for a running send, until the
    surface's ports are given back. False at start. */
extern bool firmwareHandOffRunning;

/** Operating-system type minus the Windows base value; 7 is Windows 10.
    0 until the editor or the firmware launch sets it. */
extern int windowsVersionIndex;

/** The slot colour table's start value of slot index s, column c. */
int defaultSlotColour (int slotIndex, int column) noexcept;

/** What a default store built now takes from the process-wide state: the
    model of currentProductId (0 when it is not in the product list) and
    slotColourTable. */
StoreDefaults currentStoreDefaults();

/** Puts every process-wide variable of the core back to its start value:
    the ones above and those of the surface protocol, the image compiler, the
    port identification, the synchronisation and the collected function names.

    The program itself never needs this; tests call it between cases so that
    no case sees what another left behind. Message thread only; the Host is
    not touched (tests own its lifetime).
*/
void resetProcessWideState();

} // namespace NsZ9m
