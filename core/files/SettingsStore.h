#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    The store of the settings file: a common properties file for all users and
    a per-user one, in the framework's compressed binary properties format, at
    the places that SettingsLocation gives.

    It hands out the settings the way the framework's application properties
    do: the first call of getCommonSettings (true) finds out whether the common
    file can be written (with a probe file beside it, rather than by rewriting
    the whole file), and from then on hands out the per-user file instead when
    it cannot.

    The files are read by this class's own code, not by the framework: the
    common file lies in a folder that every user of the machine can write, so
    its bytes are checked before anything of them is used. Only the compressed
    format that the program writes is accepted, its size and the size it
    expands to are bounded, and every key and value must be valid UTF-8. A file
    that fails any check reads as an empty one and stays as it is on disk until
    the next save replaces it.

    Files are written in the same format, which juce::PropertiesFile reads too,
    to a staged copy beside them that is read back and compared before it
    replaces the old file: a write that fails half-way (a full disk, say)
    leaves the old file exactly as it was.

    Owned by HostData; message thread only.
*/
class SettingsStore
{
public:
    /** One settings file: its properties as read and changed since, and
        whether they differ from what the file holds. */
    class SettingsFile : public juce::PropertySet
    {
    public:
        explicit SettingsFile (const juce::File& file);

        const juce::File& getFile() const noexcept          { return file; }
        bool needsToBeSaved() const noexcept                 { return needsWriting; }
        void setNeedsToBeSaved (bool shouldBeSaved) noexcept { needsWriting = shouldBeSaved; }

    protected:
        void propertyChanged() override                      { needsWriting = true; }

    private:
        juce::File file;
        bool needsWriting = false;

        JUCE_DECLARE_NON_COPYABLE (SettingsFile)
    };

    SettingsStore();
    ~SettingsStore();

    /** The common settings, or with returnUserPropsIfReadOnly the per-user
        settings when the common file cannot be written. Never null. */
    SettingsFile* getCommonSettings (bool returnUserPropsIfReadOnly);

    /** The per-user settings. Never null. */
    SettingsFile* getUserSettings();

    /** Writes whichever file has unsaved changes; false when a write failed. */
    bool saveIfNeeded();

    /** Writes one of the two files now, staged and verified as described above;
        false (and the file untouched) when it could not be written. */
    static bool save (SettingsFile& props);

    /** True when a settings file can be written at that place: its folder
        exists or can be made and takes a new file, and an existing file is
        not read-only. Writes nothing but a short-lived probe file. */
    static bool canWrite (const juce::File& target);

    /** Closes both files (unsaved changes are written first). */
    void closeFiles();

    //==============================================================================
    /** The most bytes a settings file may have, and may expand to. */
    static constexpr juce::int64 maxFileBytes = (juce::int64) 64 * 1024 * 1024;
    static constexpr juce::int64 maxExpandedBytes = (juce::int64) 160 * 1024 * 1024;

    /** Reads a settings file's keys and values into `into` (which is left as it
        was on failure), checking everything as described above. Only a
        regular file is read: a FIFO, device or socket in its place is refused
        at once (RegularFile). */
    static juce::Result readFile (const juce::File& file, juce::StringPairArray& into);

    /** The same for a settings file's bytes held in memory. */
    static juce::Result readBytes (const void* data, size_t numBytes, juce::StringPairArray& into);

    /** A settings file's bytes for these properties: the compressed format's
        magic number, then the compressed list of keys and values. */
    static juce::MemoryBlock makeFileBytes (const juce::StringPairArray& properties);

private:
    void openFiles();

    std::unique_ptr<SettingsFile> userProps, commonProps;
    int commonSettingsAreReadOnly = 0;

    JUCE_DECLARE_NON_COPYABLE (SettingsStore)
};

} // namespace NsZ9m
