#include "core/ProcessState.h"

namespace NsZ9m
{

void resetPlatformHelpers() noexcept;

// The process-wide state of every other topic of the core, back to its start
// value. Each topic that keeps such state adds its reset here.
void resetOtherCoreState()
{
    resetPlatformHelpers();
}

} // namespace NsZ9m
