#include "core/sync/ProcessState.h"
#include "core/sync/Host.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/FirmwareHandOff.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/SyncTimer.h"
#include "core/sync/PortLookup.h"

namespace NsZ9m
{

Host* theHost = nullptr;
EditorLink* theMainComp = nullptr;
MyTimer* theSyncTimer = nullptr;
int currentProductId = 2055;
int currentSlotIndex = 0;
bool slotDirty[numSlots] = { false, false, false };
bool slotPending[numSlots] = { false, false, false };
int slotDawIds[numSlots] = { 0, 0, 0 };
int slotColourTable[numSlots][3] = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
bool sendInProgress = false;
bool midiInputEnabled = true;
bool firmwareHandOffRunning = false;
int windowsVersionIndex = 0;

int defaultSlotColour (int slotIndex, int column) noexcept
{
    return slotIndex == column ? 1 : 0;
}

void resetPlatformHelpers() noexcept;

// The process-wide state of every other topic of the core, back to its start
// value. Each topic that keeps such state adds its reset here.
static void resetOtherCoreState()
{
    clearDeviceReplyState();
    resetPlatformHelpers();
    alternateBrandFlag = 0;
    functionNameList.clear();
    resetDeviceImages();
    resetSyncState();
    cancelDeferredFirmwareHandOff();
}

void resetProcessWideState()
{
    theHost = nullptr;
    theMainComp = nullptr;
    theSyncTimer = nullptr;
    currentProductId = 2055;
    currentSlotIndex = 0;

    for (int s = 0; s < numSlots; ++s)
    {
        slotDirty[s] = false;
        slotPending[s] = false;
        slotDawIds[s] = 0;

        for (int c = 0; c < 3; ++c)
            slotColourTable[s][c] = defaultSlotColour (s, c);
    }

    sendInProgress = false;
    midiInputEnabled = true;
    firmwareHandOffRunning = false;
    windowsVersionIndex = 0;

    resetOtherCoreState();
}

} // namespace NsZ9m
