#pragma once

namespace NsZ9m
{

/**
    Routes the MIDI system's own error output (ALSA's, on Linux) through one
    handler, so that the terminal does not fill with a line for every look for
    a surface. When the MIDI sequencer cannot be opened (a machine without
    one) the handler says once, in plain words, that no MIDI system is
    available and no surface can be found, and stays quiet after; any other
    error of the MIDI system is written once, the first time it comes.

    Installed by the JUCE-backed port system before the framework's MIDI code
    first opens the sequencer. Safe to call more than once and from any
    thread; the handler may run on any thread.
*/
void installMidiSystemErrorHandler();

} // namespace NsZ9m
