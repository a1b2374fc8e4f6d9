#include "core/ProcessState.h"
#include "core/BuiltInProfiles.h"
#include "core/DeviceImage.h"
#include "core/DeviceReplyState.h"
#include "core/MyTimer.h"
#include "core/PortNames.h"

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
