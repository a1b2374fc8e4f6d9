#include "firmware/FirmwareWorkFolder.h"
#include "core/files/SettingsLocation.h"
#include "core/files/SettingsStore.h"

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

    using NsZ9m::SettingsLocation;
    const auto common = SettingsLocation::getCommonFolder().getChildFile ("local");

    // The same test the settings store makes of the common settings file: a
    // short-lived probe file in the folder, which is made when missing.
    if (NsZ9m::SettingsStore::canWrite (common.getChildFile ("probe")))
        return common;

    const auto user = SettingsLocation::getUserFolder().getChildFile ("local");
    user.createDirectory();
    return user;
}

FirmwareWorkFolder::ScopedRedirect::ScopedRedirect (const juce::File& folder)
    : ScopedOverride (redirectFolder(), folder)
{
    jassert (folder != juce::File());   // give the redirect a real folder path
}

FirmwareWorkFolder::ScopedSettingsPlace::ScopedSettingsPlace()
    : ScopedOverride (redirectFolder(), juce::File())
{
}

} // namespace vorlix
