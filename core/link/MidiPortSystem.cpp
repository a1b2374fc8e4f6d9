#include "core/link/MidiPortSystem.h"
#include "core/link/JuceMidiPortSystem.h"

namespace NsZ9m
{

namespace
{
    MidiPortSystem* installedSystem = nullptr;

    MidiPortSystem& defaultSystem()
    {
        static JuceMidiPortSystem system;
        return system;
    }
}

MidiPortSystem& midiPorts()
{
    return installedSystem != nullptr ? *installedSystem : defaultSystem();
}

ScopedMidiPortSystem::ScopedMidiPortSystem (MidiPortSystem& systemToUse)
    : ScopedOverride (installedSystem, &systemToUse), installed (&systemToUse)
{
}

ScopedMidiPortSystem::~ScopedMidiPortSystem()
{
    // Scopes must end in reverse order of creation, or the wrong system would
    // be put back.
    jassert (installedSystem == installed);
}

} // namespace NsZ9m
