#include "firmware/MidiBootloader.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "tests/support/SimulatedBootloaderUnit.h"
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace vorlix;

namespace
{
    /** The program's end of the unit's ports, recording answers into flags. */
    struct ProgramSide final : juce::MidiInputCallback
    {
        ProgramSide (z9test::InMemoryMidiPorts& ports, const juce::String& name)
        {
            output = ports.openOutput (ports.getOutputNames().indexOf (name));
            input = ports.openInput (ports.getInputNames().indexOf (name), this);
            input->start();
        }

        ~ProgramSide() override   { input->stop(); }

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override   { flags.record (m); }

        AcknowledgementFlags flags;
        std::unique_ptr<NsZ9m::MidiOutputPort> output;
        std::unique_ptr<NsZ9m::MidiInputPort> input;
    };

    enum class Pause { counted, transfers, sleeping, framework };

    double cpuSeconds (int who)
    {
        rusage usage {};
        ::getrusage (who, &usage);
        return (double) usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6
             + (double) usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    }

    /*  A whole transfer to a unit that answers at once, on Windows 10 pacing.
        The floor is what the bootloader's own pacing asks for: 1 ms after
        every second message. The pause is
        - counted: only counted, so the time is the transfer's own work
          (building, encoding, sending, the unit's decoding);
        - transfers: the transfer's own (TransferPause), as in the program;
        - sleeping: the same pause without its last stretch of watching the
          clock (maxSpinMicroseconds 0): sleeps only;
        - framework: NsZ9m::waitWhileDispatching, the framework's loop.
        The counters give the time over the floor in percent, what the
        pauses took beyond their time (overshoot_ms), how many of them ended
        more than 0.2 ms late (stalls: the thread was not running) and what
        those added (stalled_ms), and the processor time of the process and
        of the transferring thread.
    */
    void transfer (benchmark::State& state, Pause kind)
    {
        NsZ9m::windowsVersionIndex = 7;
        const auto imageSize = (size_t) state.range (0);

        std::vector<juce::uint8> image (imageSize);
        juce::Random random (1);

        for (auto& b : image)
            b = (juce::uint8) random.nextInt (256);

        z9test::ScopedInMemoryMidiPorts ports;
        z9test::SimulatedBootloaderUnit unit (ports);
        ProgramSide side (ports, unit.portName);

        TransferPause pause (kind == Pause::sleeping ? 0 : TransferPause::defaultMaxSpinMicroseconds);
        double pausedMs = 0, wallMs = 0, processCpu = 0, threadCpu = 0, overshootMs = 0, stalledMs = 0;
        int stalls = 0;

        MidiTransferHooks hooks;
        hooks.pause = [&] (int ms)
        {
            pausedMs += ms;

            if (kind == Pause::counted)
                return;

            const auto start = juce::Time::getMillisecondCounterHiRes();

            if (kind == Pause::framework)
                NsZ9m::waitWhileDispatching (ms);
            else
                pause (ms);

            const auto over = juce::Time::getMillisecondCounterHiRes() - start - ms;
            overshootMs += over;

            if (over > 0.2)
            {
                ++stalls;
                stalledMs += over;
            }
        };

        for (auto _ : state)
        {
            pausedMs = 0;
            const auto process0 = cpuSeconds (RUSAGE_SELF), thread0 = cpuSeconds (RUSAGE_THREAD);
            const auto start = juce::Time::getMillisecondCounterHiRes();

            const auto result = upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, hooks);

            wallMs += juce::Time::getMillisecondCounterHiRes() - start;
            processCpu += cpuSeconds (RUSAGE_SELF) - process0;
            threadCpu += cpuSeconds (RUSAGE_THREAD) - thread0;

            if (result.failed() || unit.getFlash().size() < image.size())
                state.SkipWithError ("the transfer failed");
        }

        const auto runs = (double) state.iterations();
        state.counters["floor_ms"] = pausedMs;
        state.counters["messages"] = (double) MidiBootloader::countTransferMessages ((juce::int64) imageSize);
        state.counters["process_cpu_ms"] = 1000.0 * processCpu / runs;
        state.counters["thread_cpu_ms"] = 1000.0 * threadCpu / runs;

        if (kind != Pause::counted)
        {
            state.counters["over_floor_pct"] = 100.0 * (wallMs / runs - pausedMs) / pausedMs;
            state.counters["overshoot_ms"] = overshootMs / runs;
            state.counters["stalls"] = stalls / runs;
            state.counters["stalled_ms"] = stalledMs / runs;
        }

        state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) imageSize);
    }
}

// 1 MiB: the transfer's own work, against a floor of about 543 s of pacing.
BENCHMARK_CAPTURE (transfer, work_only, Pause::counted)->Arg (1 << 20)->Unit (benchmark::kMillisecond)->Iterations (3);

// The real pacing: 64 KiB (the whole 1 MiB would take some nine minutes).
BENCHMARK_CAPTURE (transfer, paced, Pause::transfers)->Arg (64 << 10)->Unit (benchmark::kMillisecond)->Iterations (1);
BENCHMARK_CAPTURE (transfer, paced_sleeping, Pause::sleeping)->Arg (64 << 10)->Unit (benchmark::kMillisecond)->Iterations (1);
BENCHMARK_CAPTURE (transfer, paced_framework, Pause::framework)->Arg (64 << 10)->Unit (benchmark::kMillisecond)->Iterations (1);
