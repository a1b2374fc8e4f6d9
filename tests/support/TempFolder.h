#pragma once

#include "core/base/JuceIncludes.h"

namespace z9test
{

/**
    A new, empty folder of a test's own, deleted with all its content when this
    object goes away.

    The folder is created atomically under a name that no folder had before
    (the process id and a random part, tried again on a clash), so processes
    and objects that start at the same moment never share one.

    TestMain makes one for the whole test process and points the system's
    temporary folder (TMPDIR) into it, so the folders of the fixtures, and
    whatever else a test writes to the temporary folder, live inside it.
    Message thread.
*/
class TempFolder
{
public:
    /** Creates the folder inside parent (made when missing), by default the
        system's temporary folder. Throws std::runtime_error when no folder can
        be made there. */
    explicit TempFolder (const juce::File& parent = juce::File::getSpecialLocation (juce::File::tempDirectory));

    ~TempFolder();

    const juce::File& get() const noexcept   { return folder; }
    juce::File operator/ (const juce::String& child) const   { return folder.getChildFile (child); }

    /** Makes a new folder with a name that did not exist inside parent and
        returns it; the invalid File when that is impossible. */
    static juce::File createUniqueFolder (const juce::File& parent, const juce::String& prefix = "z9test");

private:
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};

} // namespace z9test
