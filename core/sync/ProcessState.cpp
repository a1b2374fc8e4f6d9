#include "core/sync/ProcessState.h"

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
int windowsVersionIndex = 0;

int defaultSlotColour (int slotIndex, int column) noexcept
{
    return slotIndex == column ? 1 : 0;
}

// Each of these resets the state of one topic of the core; they are defined
// beside that state.
void resetOtherCoreState();

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
    windowsVersionIndex = 0;

    resetOtherCoreState();
}

} // namespace NsZ9m
