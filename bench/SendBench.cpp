#include "core/sync/CompiledSlots.h"
#include "core/sync/Host.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/SimulatedSurface.h"
#include <benchmark/benchmark.h>

using namespace NsZ9m;

namespace
{
    // A send of the given number of DAW slots to a Z9-M that answers at once
    // and holds none of them.
    void sendSlots (benchmark::State& state, int numDawSlots)
    {
        auto folder = juce::File::createTempFile ("z9bench");
        SettingsLocation::ScopedRedirect redirect (folder);
        resetProcessWideState();
        windowsVersionIndex = getWindowsVersionIndex();
        theHost = Host::getInstance();

        {
            z9test::ScopedInMemoryMidiPorts ports;
            z9test::SimulatedSurface unit (ports, productZ9M);

            for (int s = 1; s <= numSlots; ++s)
                theHost->getStore().getSlot (s, 1).setProperty (Ids::current, s <= numDawSlots ? 2 : 0, nullptr);

            for (auto& d : slotDirty)
                d = true;

            compileDeviceImage (1);
            theHost->setOutputDeviceName (unit.getOutputName());

            for (auto _ : state)
            {
                unit.setConfirmedFingerprints (-1, -1, -1);
                unit.clearRecords();
                auto result = theHost->sendMapping (productZ9M);

                if (! result.wasOk())
                    state.SkipWithError (result.getErrorMessage().toRawUTF8());
            }
        }

        Host::deleteInstance();
        theHost = nullptr;
        folder.deleteRecursively();
    }
}

static void BM_SendOneZ9MSlot (benchmark::State& state)     { sendSlots (state, 1); }
static void BM_SendThreeZ9MSlots (benchmark::State& state)  { sendSlots (state, 3); }

BENCHMARK (BM_SendOneZ9MSlot)->Unit (benchmark::kMillisecond)->Iterations (10)->UseRealTime();
BENCHMARK (BM_SendThreeZ9MSlots)->Unit (benchmark::kMillisecond)->Iterations (5)->UseRealTime();
