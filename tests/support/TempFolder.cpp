#include "tests/support/TempFolder.h"
#include <random>
#include <stdexcept>

#if JUCE_WINDOWS
 #include <direct.h>
 #include <process.h>
#else
 #include <sys/stat.h>
 #include <unistd.h>
#endif

namespace z9test
{

namespace
{
    // Creates the folder only if nothing of that name exists; two callers can
    // never both succeed with one name.
    bool makeFolderExclusively (const juce::File& folder)
    {
       #if JUCE_WINDOWS
        return _wmkdir (folder.getFullPathName().toWideCharPointer()) == 0;
       #else
        return ::mkdir (folder.getFullPathName().toRawUTF8(), 0700) == 0;
       #endif
    }

    int processId()
    {
       #if JUCE_WINDOWS
        return _getpid();
       #else
        return (int) ::getpid();
       #endif
    }
}

juce::File TempFolder::createUniqueFolder (const juce::File& parent, const juce::String& prefix)
{
    if (! parent.createDirectory())
        return {};

    thread_local std::mt19937_64 generator { std::random_device{}() ^ (std::uint64_t) juce::Time::getHighResolutionTicks() };

    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const auto name = prefix + "-" + juce::String (processId()) + "-"
                           + juce::String::toHexString ((juce::int64) (generator() >> 16));
        const auto candidate = parent.getChildFile (name);

        if (makeFolderExclusively (candidate))
            return candidate;
    }

    return {};
}

TempFolder::TempFolder (const juce::File& parent)
    : folder (createUniqueFolder (parent))
{
    if (folder == juce::File())
        throw std::runtime_error (("Cannot create a scratch folder in " + parent.getFullPathName()).toStdString());
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

} // namespace z9test
