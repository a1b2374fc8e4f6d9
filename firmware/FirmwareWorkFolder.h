#pragma once

#include "core/base/ScopedOverride.h"

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/**
    Where the upgrader keeps its working files: the copy of the image it
    writes and the image it reads back from the unit.

    The folder is "local/" in the common application-data folder of the
    machine ("c:\ProgramData\" on Windows). Tests point it at a scratch folder
    of their own with a ScopedRedirect, as they do with the settings folder.
    Message thread only.
*/
class FirmwareWorkFolder
{
public:
    /** The working folder (it may not exist yet). */
    static juce::File get();

    /** While this exists the working folder is the given one. Redirects nest;
        the innermost wins. */
    class ScopedRedirect : private NsZ9m::ScopedOverride<juce::File>
    {
    public:
        explicit ScopedRedirect (const juce::File& folder);
    };
};

} // namespace vorlix
