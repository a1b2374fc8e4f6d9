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

juce::File SettingsLocation::makerFolderOf (const juce::File& settingsFile)
{
    // The settings file lies in folderName ("VorlixSound/Z9M"): the maker's
    // folder is its first part.
    const auto depth = juce::StringArray::fromTokens (getOptions().folderName, "/", {}).size();
    auto folder = settingsFile.getParentDirectory();

    for (int i = 1; i < depth; ++i)
        folder = folder.getParentDirectory();

    return folder;
}

juce::File SettingsLocation::getCommonFolder()
{
    return makerFolderOf (getCommonFile());
}

juce::File SettingsLocation::getUserFolder()
{
    return makerFolderOf (getUserFile());
}

SettingsLocation::ScopedRedirect::ScopedRedirect (const juce::File& folder)
    : ScopedOverride (redirectFolder(), folder)
{
    // The redirect needs a real folder path to put the files under.
    jassert (folder != juce::File());
}

} // namespace NsZ9m
