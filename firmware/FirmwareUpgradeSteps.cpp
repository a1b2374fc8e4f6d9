#include "firmware/FirmwareUpgradeSteps.h"
#include "firmware/ProgramUpgradeSteps.h"
#include "core/base/PlatformHelpers.h"

namespace vorlix
{

void FirmwareUpgradeSteps::pause (int ms)
{
    NsZ9m::waitWhileDispatching (ms);
}

std::unique_ptr<FirmwareUpgradeSteps> makeUpgradeSteps()
{
    // The firmware selection and the MIDI bootloader write plug in here
    // (ProgramUpgradeSteps::Hooks); until they do, the selection step says
    // that it is not available and a MIDI write fails.
    return std::make_unique<ProgramUpgradeSteps>();
}

} // namespace vorlix
