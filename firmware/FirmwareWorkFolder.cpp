#include "firmware/FirmwareWorkFolder.h"

namespace vorlix
{

static juce::File& redirectFolder()
{
    static juce::File folder;
    return folder;
}

juce::File FirmwareWorkFolder::get()
{
    if (redirectFolder() != juce::File())
        return redirectFolder();

    return juce::File::getSpecialLocation (juce::File::commonApplicationDataDirectory).getChildFile ("local");
}

FirmwareWorkFolder::ScopedRedirect::ScopedRedirect (const juce::File& folder)
    : ScopedOverride (redirectFolder(), folder)
{
    jassert (folder != juce::File());   // give the redirect a real folder path
}

} // namespace vorlix
