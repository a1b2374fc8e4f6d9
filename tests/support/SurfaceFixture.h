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

        // A fixture that placed a settings file of its own keeps it.
        if (storeModels == 1 && ! commonSettingsFile().exists())
            startFromOneModelSettings();

        keepFirstModels (storeModels);
    }

    /** How many models the case's store begins with (the first ones: 1 is the
        Z9-M alone); a fixture whose cases work on other models sets more, and
        a case can call keepFirstModels itself. */
    int storeModels = 1;

    /** Gives a slot a DAW in every model (the compiler reads the product's
        model, the send the store's current one) and in slotDawIds, as the
        editor's rebuild would. */
    void setSlotDaw (int slotNumber, int daw)
    {
        NsZ9m::slotDawIds[slotNumber - 1] = daw;

        for (int p = 1; p <= NsZ9m::numProducts; ++p)
            if (auto slot = host().getStore().getSlot (slotNumber, p); slot.isValid())
                slot.setProperty (NsZ9m::Ids::current, daw, nullptr);
    }

    ScopedInMemoryMidiPorts ports;
};

} // namespace z9test
