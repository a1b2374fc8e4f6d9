#include "firmware/UpgraderState.h"
#include "core/sync/PortLookup.h"

namespace vorlix
{

UpgraderState& upgraderState()
{
    static UpgraderState state;
    return state;
}

void resetUpgraderState()
{
    auto& s = upgraderState();
    s.toolPath = {};
    s.chosenFirmwarePath = {};
    s.toolFamily = false;
    s.online = true;
    s.automaticStepping = false;
    s.anyProduct = false;
    s.repeat = false;
    s.service = false;
    s.abort = false;
    s.busy = false;
    s.bootloaderActive = false;
    s.cycleCounter = 0;
    s.acknowledgements.clear();

    NsZ9m::alternateBrandFlag = 0;
}

} // namespace vorlix
