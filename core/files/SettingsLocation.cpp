#include "core/files/SettingsLocation.h"

namespace NsZ9m
{

static juce::File& redirectFolder()
{
    static juce::File folder;
    return folder;
}

juce::PropertiesFile::Options SettingsLocation::getOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Z9M";
    options.filenameSuffix = ".conf";
    options.folderName = "VorlixSound/Z9M";
    options.commonToAllUsers = true;
    options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    return options;
}

juce::File SettingsLocation::fileUnder (const juce::File& base, bool common)
{
    auto options = getOptions();

    return base.getChildFile (common ? "common" : "user")
               .getChildFile (options.folderName)
               .getChildFile (options.applicationName)
               .withFileExtension (options.filenameSuffix);
}

juce::File SettingsLocation::getCommonFile()
{
    if (redirectFolder() != juce::File())
        return fileUnder (redirectFolder(), true);

    return getOptions().getDefaultFile();
}

juce::File SettingsLocation::getUserFile()
{
    if (redirectFolder() != juce::File())
        return fileUnder (redirectFolder(), false);

    auto options = getOptions();
    options.commonToAllUsers = false;
    return options.getDefaultFile();
}

SettingsLocation::ScopedRedirect::ScopedRedirect (const juce::File& folder)
    : ScopedOverride (redirectFolder(), folder)
{
    // The redirect needs a real folder path to put the files under.
    jassert (folder != juce::File());
}

} // namespace NsZ9m
