#include "core/ProcessState.h"
#include "core/BuiltInProfiles.h"

namespace NsZ9m
{

// The process-wide state of every other topic of the core, back to its start
// value. Each topic that keeps such state adds its reset here.
void resetOtherCoreState()
{
    functionNameList.clear();
}

} // namespace NsZ9m
