#include "firmware/MidiBootloader.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "tests/support/SimulatedBootloaderUnit.h"
#include <benchmark/benchmark.h>

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

    /*  A whole transfer to a unit that answers at once, on Windows 10 pacing.
        The floor is what the bootloader's own pacing asks for: 1 ms after
        every second message. With realPauses the pauses run the message loop
        as in the program (waitWhileDispatching), so the time shows how close
        the transfer comes to that floor; without them each pause only counts,
        and the time is the transfer's own work (building, encoding, sending,
        the unit's decoding).
    */
    void transfer (benchmark::State& state, bool realPauses)
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

        double pausedMs = 0;
        MidiTransferHooks hooks;
        hooks.pause = [&] (int ms)
        {
            pausedMs += ms;

            if (realPauses)
                NsZ9m::waitWhileDispatching (ms);
        };

        for (auto _ : state)
        {
            pausedMs = 0;
            const auto result = upgradeOverMidi (side.output.get(), true, side.flags, image, 2017, hooks);

            if (result.failed() || unit.getFlash().size() < image.size())
                state.SkipWithError ("the transfer failed");
        }

        state.counters["floor_ms"] = pausedMs;
        state.counters["messages"] = (double) MidiBootloader::countTransferMessages ((juce::int64) imageSize);
        state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) imageSize);
    }
}

// 1 MiB: the transfer's own work, against a floor of about 543 s of pacing.
BENCHMARK_CAPTURE (transfer, work_only, false)->Arg (1 << 20)->Unit (benchmark::kMillisecond)->Iterations (3);

// The real pacing: 64 KiB (the whole 1 MiB would take some nine minutes).
BENCHMARK_CAPTURE (transfer, paced, true)->Arg (64 << 10)->Unit (benchmark::kMillisecond)->Iterations (1);
