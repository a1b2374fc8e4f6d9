#include "core/files/SettingsStore.h"
#include "core/files/SettingsLocation.h"

namespace NsZ9m
{

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore()
{
    closeFiles();
}

void SettingsStore::openFiles()
{
    // Nothing is written behind our back (the framework would save on a timer
    // and when a file is closed, without checking the write): every write
    // goes through save().
    auto options = SettingsLocation::getOptions();
    options.millisecondsBeforeSaving = -1;

    if (userProps == nullptr)
    {
        options.commonToAllUsers = false;
        userProps = std::make_unique<juce::PropertiesFile> (SettingsLocation::getUserFile(), options);
    }

    if (commonProps == nullptr)
    {
        options.commonToAllUsers = true;
        commonProps = std::make_unique<juce::PropertiesFile> (SettingsLocation::getCommonFile(), options);
    }

    userProps->setFallbackPropertySet (commonProps.get());
}

juce::PropertiesFile* SettingsStore::getCommonSettings (bool returnUserPropsIfReadOnly)
{
    if (commonProps == nullptr)
        openFiles();

    if (returnUserPropsIfReadOnly)
    {
        if (commonSettingsAreReadOnly == 0)
            commonSettingsAreReadOnly = canWrite (commonProps->getFile()) ? -1 : 1;

        if (commonSettingsAreReadOnly > 0)
            return userProps.get();
    }

    return commonProps.get();
}

juce::PropertiesFile* SettingsStore::getUserSettings()
{
    if (userProps == nullptr)
        openFiles();

    return userProps.get();
}

bool SettingsStore::canWrite (const juce::File& target)
{
    if (target == juce::File() || target.isDirectory() || ! target.getParentDirectory().createDirectory())
        return false;

    if (target.exists() && ! target.hasWriteAccess())
        return false;

    // Writing a small file beside it tells whether the folder takes new files
    // (a save replaces the file by a staged copy), without rewriting a
    // settings file of tens of megabytes at every start.
    juce::TemporaryFile probe (target);

    {
        juce::FileOutputStream out (probe.getFile());

        if (! out.openedOk() || ! out.writeByte (0))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    return probe.getFile().getSize() == 1;
}

bool SettingsStore::save (juce::PropertiesFile& props)
{
    auto target = props.getFile();

    if (target == juce::File() || ! target.getParentDirectory().createDirectory())
        return false;

    auto options = SettingsLocation::getOptions();
    options.millisecondsBeforeSaving = -1;
    juce::TemporaryFile staged (target);

    {
        juce::PropertiesFile copy (staged.getFile(), options);
        copy.addAllPropertiesFrom (props);

        if (! copy.save())
        {
            copy.setNeedsToBeSaved (false);
            return false;
        }
    }

    // The framework does not check its stream for write errors, so read the
    // staged file back before it may replace the old one.
    juce::PropertiesFile check (staged.getFile(), options);

    if (! check.isValidFile() || check.getAllProperties() != props.getAllProperties())
        return false;

    if (! staged.overwriteTargetFileWithTemporary())
        return false;

    props.setNeedsToBeSaved (false);
    return true;
}

static bool saveIfChanged (juce::PropertiesFile* props)
{
    return props == nullptr || ! props->needsToBeSaved() || SettingsStore::save (*props);
}

bool SettingsStore::saveIfNeeded()
{
    auto userSaved = saveIfChanged (userProps.get());
    auto commonSaved = saveIfChanged (commonProps.get());
    return userSaved && commonSaved;
}

void SettingsStore::closeFiles()
{
    saveIfNeeded();

    for (auto* props : { userProps.get(), commonProps.get() })
        if (props != nullptr)
            props->setNeedsToBeSaved (false);

    userProps.reset();
    commonProps.reset();
}

} // namespace NsZ9m
