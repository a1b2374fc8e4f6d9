#include "core/sync/ControllerPorts.h"
#include "core/sync/Host.h"
#include "core/sync/MidiInputHandler.h"
#include "core/sync/PortLookup.h"

namespace NsZ9m
{

void openControllerPorts (int productId, bool open)
{
    auto* host = Host::getInstance();
    host->input = std::make_unique<Host::MidiInputHandler>();

    auto name = findBestPortName (midiPorts().getInputNames(), productId, false);

    if (name.isEmpty())
        return;

    if (open)
        host->input->openPorts (name);
    else
        host->input->closePorts();
}

} // namespace NsZ9m
