#include "core/link/MidiSystemMessages.h"
#include "core/base/JuceIncludes.h"

#if JUCE_LINUX || JUCE_BSD
 #include <alsa/asoundlib.h>
 #include <atomic>
 #include <cstdarg>
 #include <cstdio>
 #include <cstring>
#endif

namespace NsZ9m
{

#if JUCE_LINUX || JUCE_BSD
namespace
{
    std::atomic<bool> toldNoSequencer { false };
    std::atomic<bool> toldOtherError { false };

    void handleAlsaError (const char* file, int line, const char* function, int error, const char* format, ...)
    {
        juce::ignoreUnused (file, line, error);

        const bool sequencerOpen = function != nullptr && std::strstr (function, "snd_seq") != nullptr
                                   && std::strstr (function, "open") != nullptr;

        if (sequencerOpen)
        {
            if (! toldNoSequencer.exchange (true))
                std::fputs ("No MIDI system is available on this computer (the ALSA sequencer could not be "
                            "opened), so no Z9 surface can be found. The program works on without one.\n",
                            stderr);
            return;
        }

        if (toldOtherError.exchange (true))
            return;

        char text[512] = {};
        va_list args;
        va_start (args, format);
        std::vsnprintf (text, sizeof (text), format, args);
        va_end (args);

        std::fprintf (stderr, "The MIDI system reported an error: %s\n", text);
    }
}

void installMidiSystemErrorHandler()
{
    static const bool installed = [] { snd_lib_error_set_handler (&handleAlsaError); return true; }();
    juce::ignoreUnused (installed);
}
#else
void installMidiSystemErrorHandler() {}
#endif

} // namespace NsZ9m
