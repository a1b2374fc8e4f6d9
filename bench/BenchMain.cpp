#include "core/base/JuceIncludes.h"
#include <benchmark/benchmark.h>

// The benchmarks run with JUCE's message manager up, like the program.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
