#include "core/sync/ProcessState.h"
#include "core/sync/Host.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/MyTimer.h"
#include "core/sync/PortLookup.h"

namespace NsZ9m
{

void resetPlatformHelpers() noexcept;

// The process-wide state of every other topic of the core, back to its start
// value. Each topic that keeps such state adds its reset here.
void resetOtherCoreState()
{
    clearDeviceReplyState();
    resetPlatformHelpers();
    alternateBrandFlag = 0;
    functionNameList.clear();
    resetDeviceImages();
    resetSyncState();
}

} // namespace NsZ9m
