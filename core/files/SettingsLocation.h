#pragma once

#include "core/base/JuceIncludes.h"
#include "core/base/ScopedOverride.h"

namespace NsZ9m
{

/**
    Where the settings file lives.

    The program keeps its settings where the framework puts a properties file
    with these options: "Z9M.conf" in "VorlixSound/Z9M" of the common
    application-data folder, and a per-user file of the same name for when the
    common one cannot be written.

    Tests point the whole thing at a folder of their own with a ScopedRedirect,
    so that no test ever reads or writes the machine's real settings.
    Message thread only.
*/
class SettingsLocation
{
public:
    /** The storage options of the settings file. */
    static juce::PropertiesFile::Options getOptions();

    /** The settings file shared by all users. */
    static juce::File getCommonFile();

    /** The per-user settings file, used when the common one cannot be written. */
    static juce::File getUserFile();

    /** The maker's folder that holds the common settings file's folder
        ("VorlixSound" in /var on Linux, in the common application-data folder
        on Windows): the place of the program's other files for all users. */
    static juce::File getCommonFolder();

    /** The maker's folder that holds the per-user settings file's folder
        ("~/VorlixSound" on Linux). */
    static juce::File getUserFolder();

    //==============================================================================
    /** While this exists, the common file lives under folder/common and the
        per-user file under folder/user. Redirects nest; the innermost wins. */
    class ScopedRedirect : private ScopedOverride<juce::File>
    {
    public:
        explicit ScopedRedirect (const juce::File& folder);
    };

private:
    static juce::File fileUnder (const juce::File& base, bool common);
    static juce::File makerFolderOf (const juce::File& settingsFile);
};

} // namespace NsZ9m
