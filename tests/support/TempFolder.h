#pragma once

#include "core/base/JuceIncludes.h"

namespace z9test
{

/** A fresh folder under the system's temporary folder, deleted with all its
    content when this object goes away. */
class TempFolder
{
public:
    TempFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("z9test", "", false))
    {
        folder.createDirectory();
    }

    ~TempFolder()   { folder.deleteRecursively(); }

    const juce::File& get() const noexcept   { return folder; }
    juce::File operator/ (const juce::String& child) const   { return folder.getChildFile (child); }

private:
    juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};

} // namespace z9test
