#include "editor/EditorAssets.h"

namespace NsZ9m
{

EditorAssets::Loader& EditorAssets::loader()
{
    static Loader installed;
    return installed;
}

void EditorAssets::setLoader (Loader newLoader)
{
    JUCE_ASSERT_MESSAGE_THREAD
    loader() = std::move (newLoader);
}

juce::Image EditorAssets::load (const juce::String& assetName)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (auto& l = loader())
        return l (assetName);

    return {};
}

EditorAssets::ScopedLoader::ScopedLoader (Loader newLoader)
    : ScopedOverride (loader(), std::move (newLoader))
{
}

} // namespace NsZ9m
