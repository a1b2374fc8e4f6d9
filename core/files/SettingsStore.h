#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    The store of the settings file: a common properties file for all users and
    a per-user one, in the framework's compressed binary format, at the places
    that SettingsLocation gives.

    It hands out the settings the way the framework's application properties
    do: the first call of getCommonSettings (true) finds out whether the common
    file can be written (with a probe file beside it, rather than by rewriting
    the whole file), and from then on hands out the per-user file instead when
    it cannot.

    Files are written to a staged copy beside them, which is read back and
    compared before it replaces the old file: a write that fails half-way (a
    full disk, say) leaves the old file exactly as it was.

    Owned by HostData; message thread only.
*/
class SettingsStore
{
public:
    SettingsStore();
    ~SettingsStore();

    /** The common settings, or with returnUserPropsIfReadOnly the per-user
        settings when the common file cannot be written. Never null. */
    juce::PropertiesFile* getCommonSettings (bool returnUserPropsIfReadOnly);

    /** The per-user settings. Never null. */
    juce::PropertiesFile* getUserSettings();

    /** Writes whichever file has unsaved changes; false when a write failed. */
    bool saveIfNeeded();

    /** Writes one of the two files now, staged and verified as described above;
        false (and the file untouched) when it could not be written. */
    static bool save (juce::PropertiesFile& props);

    /** True when a settings file can be written at that place: its folder
        exists or can be made and takes a new file, and an existing file is
        not read-only. Writes nothing but a short-lived probe file. */
    static bool canWrite (const juce::File& target);

    /** Closes both files (unsaved changes are written first). */
    void closeFiles();

private:
    void openFiles();

    std::unique_ptr<juce::PropertiesFile> userProps, commonProps;
    int commonSettingsAreReadOnly = 0;

    JUCE_DECLARE_NON_COPYABLE (SettingsStore)
};

} // namespace NsZ9m
