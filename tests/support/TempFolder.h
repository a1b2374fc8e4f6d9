#pragma once

#include "core/base/JuceIncludes.h"

namespace z9test
{

/** A fresh folder under the system's temporary folder, deleted with all its
    content when this object goes away. Its name holds the process id and a
    count, so test processes that start together never pick the same one. */
class TempFolder
{
public:
    TempFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile (uniquePrefix(), "", false))
    {
        folder.createDirectory();
    }

    ~TempFolder()   { folder.deleteRecursively(); }

    const juce::File& get() const noexcept   { return folder; }
    juce::File operator/ (const juce::String& child) const   { return folder.getChildFile (child); }

private:
    static juce::String uniquePrefix();

    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};

} // namespace z9test
