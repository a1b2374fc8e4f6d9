#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsLocation.h"
#include <benchmark/benchmark.h>

using namespace NsZ9m;

namespace
{
    /** A Host over a settings folder of its own, gone with the scope. */
    struct BenchHost
    {
        BenchHost()   { resetProcessWideState(); theHost = Host::getInstance(); }
        ~BenchHost()  { Host::deleteInstance(); theHost = nullptr; folder.deleteRecursively(); }

        juce::File folder { juce::File::createTempFile ("z9bench") };
        SettingsLocation::ScopedRedirect redirect { folder };
    };

    // Makes the store differ from what the settings file holds.
    void touch (Host& host, int i)
    {
        host.getStore().getControl (1, 1, 1).setProperty (Ids::name, "Edit " + juce::String (i), nullptr);
    }
}

// The settings file written when an editor page goes: the whole store, compressed.
static void BM_SaveSettings (benchmark::State& state)
{
    BenchHost b;
    auto* host = Host::getInstance();
    int i = 0;

    for (auto _ : state)
    {
        touch (*host, ++i);
        host->saveSettings();
    }
}
BENCHMARK (BM_SaveSettings)->Unit (benchmark::kMillisecond)->MinTime (2.0);

// A start of the program with a settings file in place: the default store,
// then the stored one read over it.
static void BM_StartWithSettings (benchmark::State& state)
{
    BenchHost b;
    touch (*Host::getInstance(), 1);
    Host::getInstance()->saveSettings();

    for (auto _ : state)
    {
        Host::deleteInstance();
        benchmark::DoNotOptimize (Host::getInstance()->getTree().getNumChildren());
    }
}
BENCHMARK (BM_StartWithSettings)->Unit (benchmark::kMillisecond)->MinTime (2.0);

static void BM_SaveMappingFile (benchmark::State& state)
{
    BenchHost b;
    auto file = b.folder.getChildFile ("mapping.xml");

    for (auto _ : state)
        benchmark::DoNotOptimize (Host::getInstance()->saveMappingFile (file).wasOk());
}
BENCHMARK (BM_SaveMappingFile)->Unit (benchmark::kMillisecond)->MinTime (2.0);

static void BM_LoadMappingFile (benchmark::State& state)
{
    BenchHost b;
    auto file = b.folder.getChildFile ("mapping.xml");
    Host::getInstance()->saveMappingFile (file);

    for (auto _ : state)
        benchmark::DoNotOptimize (Host::getInstance()->loadMappingFile (file).wasOk());
}
BENCHMARK (BM_LoadMappingFile)->Unit (benchmark::kMillisecond)->MinTime (2.0);
