#include "core/model/MappingStore.h"
#include "core/sync/ProcessState.h"
#include <benchmark/benchmark.h>
#include <memory>

// A default store: 8 models x 3 slots x 18 DAWs x 252 controls with the
// built-in profiles, as the Host builds it at every start. Only the build is
// timed; the store is released with the timer paused.
static void BM_BuildDefaultStore (benchmark::State& state)
{
    NsZ9m::resetProcessWideState();

    for (auto _ : state)
    {
        auto store = std::make_unique<NsZ9m::MappingStore>();
        benchmark::DoNotOptimize (store->getTree().getNumChildren());

        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK (BM_BuildDefaultStore)->Unit (benchmark::kMillisecond)->MinTime (2.0);

// "Reset to defaults" on a full store: the old tree is released and the
// default store rebuilt in its place.
static void BM_ResetToDefaults (benchmark::State& state)
{
    NsZ9m::resetProcessWideState();
    NsZ9m::MappingStore store;

    for (auto _ : state)
    {
        store.resetToDefaults();
        benchmark::DoNotOptimize (store.getTree().getNumChildren());
    }
}
BENCHMARK (BM_ResetToDefaults)->Unit (benchmark::kMillisecond)->MinTime (2.0);

// The bare default tree, without the built-in profiles: the share of the
// default store that the profile decoding does not account for.
static void BM_BuildDefaultTreeOnly (benchmark::State& state)
{
    NsZ9m::resetProcessWideState();

    for (auto _ : state)
    {
        NsZ9m::MappingStore store { juce::ValueTree (NsZ9m::Ids::store) };
        store.buildDefaultTree();
        benchmark::DoNotOptimize (store.getTree().getNumChildren());
    }
}
BENCHMARK (BM_BuildDefaultTreeOnly)->Unit (benchmark::kMillisecond)->MinTime (1.0);
