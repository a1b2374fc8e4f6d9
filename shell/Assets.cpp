#include "shell/Assets.h"
#include "core/base/RegularFile.h"
#include "gui/SafeImageDecoder.h"

namespace
{
    constexpr int maxStepsUp = 15;

    juce::File& applicationFileOverride()
    {
        static juce::File file;
        return file;
    }

    bool isResourcesFolder (const juce::File& f)
    {
        return f.getFileName() == "resources" && f.isDirectory();
    }

    /** Walks up from start (start itself first) at most maxStepsUp times while
        the current file is not a resources folder; returns where it stopped. */
    juce::File walkUpToResources (const juce::File& start)
    {
        auto current = start;

        for (int step = 0; step < maxStepsUp && ! isResourcesFolder (current); ++step)
        {
            auto parent = current.getParentDirectory();

            if (parent == current)
                break;

            current = parent;
        }

        return current;
    }

    juce::File resourcesFolderBeside (const juce::File& start)
    {
        auto beside = start.getParentDirectory().getChildFile ("resources");
        return beside.isDirectory() ? beside : juce::File();
    }
}

juce::File findResourcesFolderFrom (const juce::File& start)
{
    if (start == juce::File())
        return {};

    if (auto beside = resourcesFolderBeside (start); beside != juce::File())
        return beside;

    auto stop = walkUpToResources (start);
    return isResourcesFolder (stop) ? stop : juce::File();
}

juce::File getResourcesFolder()
{
    auto start = getApplicationFile();

    if (auto beside = resourcesFolderBeside (start); beside != juce::File())
        return beside;

    return walkUpToResources (start);
}

juce::File getApplicationFile()
{
    if (applicationFileOverride() != juce::File())
        return applicationFileOverride();

    return juce::File::getSpecialLocation (juce::File::currentApplicationFile);
}

namespace
{
    /** The whole asset file, when it is a regular file within the cap. */
    bool readAsset (const char* name, juce::MemoryBlock& bytes)
    {
        if (name == nullptr || *name == 0)
            return false;

        const auto file = getResourcesFolder().getChildFile ("Assets").getChildFile (name);
        return NsZ9m::RegularFile::read (file, maxAssetFileSize, bytes) == NsZ9m::RegularFile::Status::ok;
    }
}

std::unique_ptr<juce::InputStream> openAssetStream (const char* name)
{
    juce::MemoryBlock bytes;

    if (! readAsset (name, bytes))
        return {};

    return std::make_unique<juce::MemoryInputStream> (std::move (bytes));
}

juce::Image loadAssetImage (const char* name)
{
    const auto key = (juce::String (name) + "@juce_demo_assets").hashCode64();

    if (auto cached = juce::ImageCache::getFromHashCode (key); cached.isValid())
        return cached;

    juce::MemoryBlock bytes;

    if (! readAsset (name, bytes))
        return {};

    // A picture that is refused is as good as missing: nothing is cached.
    auto image = NsZ9m::SafeImageDecoder::decode (bytes.getData(), bytes.getSize());

    if (image.isValid())
        juce::ImageCache::addImageToCache (image, key);

    return image;
}

ScopedApplicationFile::ScopedApplicationFile (const juce::File& applicationFile)
    : ScopedOverride (applicationFileOverride(), applicationFile)
{
    // The stand-in needs a full path: the lookups walk up from it.
    jassert (applicationFile != juce::File());
}
