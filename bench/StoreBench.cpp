#include "core/MappingStore.h"
#include "core/ProcessState.h"
#include <benchmark/benchmark.h>

// A default store: 8 models x 3 slots x 18 DAWs x 252 controls with the
// built-in profiles, as built at every start and every reset.
static void BM_BuildDefaultStore (benchmark::State& state)
{
    NsZ9m::resetProcessWideState();

    for (auto _ : state)
    {
        NsZ9m::MappingStore store;
        benchmark::DoNotOptimize (store.getTree().getNumChildren());
    }
}
BENCHMARK (BM_BuildDefaultStore)->Unit (benchmark::kMillisecond)->MinTime (2.0);
