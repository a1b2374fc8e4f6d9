#pragma once

#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsLocation.h"

namespace z9fuzz
{

/** What every fuzz target needs once per process: a settings folder of its
    own (so that nothing reaches the machine's real settings) and the Host. */
struct FuzzProcess
{
    FuzzProcess()
    {
        folder.createDirectory();
        NsZ9m::resetProcessWideState();
        NsZ9m::theHost = NsZ9m::Host::getInstance();
    }

    juce::File folder { juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("z9fuzz-" + juce::String (juce::Time::currentTimeMillis()) + "-"
                                           + juce::String (juce::Random::getSystemRandom().nextInt())) };
    NsZ9m::SettingsLocation::ScopedRedirect redirect { folder };
};

/** The same types, properties (names, order, kinds and texts) and children. */
inline bool sameTree (const juce::ValueTree& a, const juce::ValueTree& b)
{
    if (a.getType() != b.getType() || a.getNumProperties() != b.getNumProperties()
         || a.getNumChildren() != b.getNumChildren())
        return false;

    for (int i = 0; i < a.getNumProperties(); ++i)
    {
        auto name = a.getPropertyName (i);
        const auto& va = a[name];
        const auto& vb = b[name];

        if (name != b.getPropertyName (i) || va.isString() != vb.isString() || va.toString() != vb.toString())
            return false;
    }

    for (int i = 0; i < a.getNumChildren(); ++i)
        if (! sameTree (a.getChild (i), b.getChild (i)))
            return false;

    return true;
}

/** Compiles every slot of every model and builds every message a send would
    make from the store the Host holds now. */
void compileAndBuildEverything();

} // namespace z9fuzz
