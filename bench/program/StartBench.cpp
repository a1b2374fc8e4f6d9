#include "core/base/PlatformHelpers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/program/ProgramUnderTest.h"
#include <benchmark/benchmark.h>
#include <csignal>

// From the start of the program's process to its first painted window, with a
// settings file that holds the whole default store (written by a first run
// that quits at once). Each repetition is one start; the median is the figure.
static void BM_ProgramStartToFirstPaint (benchmark::State& state)
{
    if (! z9test::canIsolateProgramRuns())
    {
        state.SkipWithError ("this machine does not let the program run in a mount namespace (unshare)");
        return;
    }

    static z9test::TempFolder temp;
    static z9test::VirtualDisplay display;
    static z9test::ProgramScratch scratch (temp.get(), z9test::ProgramScratch::Settings::none);
    const auto title = "Z9-M/X Ostrik V1.04 - " + NsZ9m::getCpuModelTag();

    auto runOnce = [&] (double& startToPaintMs)
    {
        z9test::XProbe probe (display.getName());
        z9test::ProgramRun run (scratch, display.getName());

        if (! run.start())
            return false;

        const auto window = probe.waitForPaintedWindow (title, 30000);
        startToPaintMs = juce::Time::getMillisecondCounterHiRes() - run.getStartTimeMs();

        run.sendSignal (SIGINT);
        int code = -1;
        return window.id != 0 && run.waitForExit (30000, code) && code == 0;
    };

    if (! scratch.getSettingsFile().existsAsFile())
    {
        double ignored = 0;

        if (! runOnce (ignored) || ! scratch.getSettingsFile().existsAsFile())
        {
            state.SkipWithError ("the first run wrote no settings file");
            return;
        }
    }

    for (auto _ : state)
    {
        double ms = 0;

        if (! runOnce (ms))
        {
            state.SkipWithError ("the program did not start, paint and quit");
            return;
        }

        state.SetIterationTime (ms / 1000.0);
    }

    state.counters["settingsBytes"] = (double) scratch.getSettingsFile().getSize();
}

BENCHMARK (BM_ProgramStartToFirstPaint)
    ->UseManualTime()
    ->Iterations (1)
    ->Repetitions (7)
    ->ReportAggregatesOnly (true)
    ->Unit (benchmark::kMillisecond);
