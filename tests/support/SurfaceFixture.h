#pragma once

#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "tests/support/HostFixture.h"
#include "tests/support/InMemoryMidiPorts.h"

namespace z9test
{

/** A Host over its own settings folder, with in-memory MIDI ports installed
    for the case; simulated surfaces are plugged into `ports`. */
class SurfaceFixture : public HostFixture
{
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        host();
    }

    /** Gives a slot a DAW in every model (the compiler reads the product's
        model, the send the store's current one) and in slotDawIds, as the
        editor's rebuild would. */
    void setSlotDaw (int slotNumber, int daw)
    {
        NsZ9m::slotDawIds[slotNumber - 1] = daw;

        for (int p = 1; p <= NsZ9m::numProducts; ++p)
            host().getStore().getSlot (slotNumber, p).setProperty (NsZ9m::Ids::current, daw, nullptr);
    }

    ScopedInMemoryMidiPorts ports;
};

} // namespace z9test
