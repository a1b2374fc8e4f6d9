#pragma once

#include "core/base/ScopedOverride.h"

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/**
    Where the upgrader keeps its working files: the copy of the image it
    writes and the image it reads back from the unit (in the working folder),
    and a downloaded image until it is written (in the working folder's
    parent).

    The files live where the settings do (NsZ9m::SettingsLocation): the
    working folder is "local" in the maker's folder of the common place
    ("/var/VorlixSound/local" on Linux) when a file can be written there, as
    the settings store tells it (NsZ9m::SettingsStore::canWrite), and "local"
    in the maker's folder of the user's own place ("~/VorlixSound/local")
    otherwise, so a user without the rights to the common place still
    upgrades. The folder is made when it is looked up.

    Tests point it at a scratch folder of their own with a ScopedRedirect, or
    at the settings' places (redirected in their turn) with a
    ScopedSettingsPlace. Message thread only.
*/
class FirmwareWorkFolder
{
public:
    /** The working folder. */
    static juce::File get();

    /** While this exists the working folder is the given one. Redirects nest;
        the innermost wins. */
    class ScopedRedirect : private NsZ9m::ScopedOverride<juce::File>
    {
    public:
        explicit ScopedRedirect (const juce::File& folder);
    };

    /** While this exists the working folder is found beside the settings, as
        the program finds it, even inside a ScopedRedirect. */
    class ScopedSettingsPlace : private NsZ9m::ScopedOverride<juce::File>
    {
    public:
        ScopedSettingsPlace();
    };
};

} // namespace vorlix
