#include "core/sync/CompiledSlots.h"
#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsLocation.h"
#include <benchmark/benchmark.h>

using namespace NsZ9m;

namespace
{
    struct CompileBenchHost
    {
        CompileBenchHost()
        {
            resetProcessWideState();
            theHost = Host::getInstance();

            // every slot of every model runs a DAW
            for (int p = 1; p <= numProducts; ++p)
                for (int s = 1; s <= numSlots; ++s)
                    theHost->getStore().getSlot (s, p).setProperty (Ids::current, s + 1, nullptr);
        }

        ~CompileBenchHost()   { Host::deleteInstance(); theHost = nullptr; folder.deleteRecursively(); }

        juce::File folder { juce::File::createTempFile ("z9bench") };
        SettingsLocation::ScopedRedirect redirect { folder };
    };
}

// The synchronisation pass's compile with every slot of every model dirty.
static void BM_CompileEverythingDirty (benchmark::State& state)
{
    CompileBenchHost b;

    for (auto _ : state)
    {
        for (auto& d : slotDirty)
            d = true;

        for (int p = 1; p <= numProducts; ++p)
            compileDeviceImage (p);
    }
}
BENCHMARK (BM_CompileEverythingDirty)->Unit (benchmark::kMillisecond);

static void BM_CompileNothingDirty (benchmark::State& state)
{
    CompileBenchHost b;

    for (auto& d : slotDirty)
        d = false;

    for (auto _ : state)
        for (int p = 1; p <= numProducts; ++p)
            compileDeviceImage (p);
}
BENCHMARK (BM_CompileNothingDirty)->Unit (benchmark::kMicrosecond);
