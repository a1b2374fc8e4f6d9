#pragma once

#include "core/link/MidiPortSystem.h"

namespace NsZ9m
{

/**
    The MIDI ports of the operating system, through juce::MidiInput and
    juce::MidiOutput. Ports are listed in the framework's order and opened by
    the identifier of the device at the given position. Making one installs
    the MIDI system's error handler (installMidiSystemErrorHandler), before
    the framework first opens the sequencer.
*/
class JuceMidiPortSystem : public MidiPortSystem
{
public:
    JuceMidiPortSystem();

    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) override;

private:
    JUCE_DECLARE_NON_COPYABLE (JuceMidiPortSystem)
};

} // namespace NsZ9m
