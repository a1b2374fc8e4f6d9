#pragma once

#include "gui/JuceGuiIncludes.h"
#include "core/base/ScopedOverride.h"
#include <functional>

namespace NsZ9m
{

/**
    Where the editor gets its pictures from (the maker logo, the model
    pictures, the panel background).

    The editor does not know where the program keeps its assets: the
    application installs a loader at start-up (the shell's asset lookup with
    its image cache), and tests install one that reads a folder of their own.
    With no loader installed every picture is a null image, which the editor
    draws as nothing.

    Message thread only.
*/
class EditorAssets
{
public:
    /** Maps an asset name relative to the assets folder, such as
        "Vorlix Logo.png" or "bkg/Z9-M.jpg", to its image; a null image when
        there is none. */
    using Loader = std::function<juce::Image (const juce::String& assetName)>;

    /** Installs the loader that every later load uses; an empty function
        removes it. */
    static void setLoader (Loader newLoader);

    /** The asset's image, or a null image when no loader is installed or the
        loader has none. */
    static juce::Image load (const juce::String& assetName);

    /** The asset names the editor loads. */
    static constexpr const char* logoName         = "Vorlix Logo.png";
    static constexpr const char* modelMPicture    = "z9-m.png";
    static constexpr const char* modelXPicture    = "z9-x.png";
    static constexpr const char* panelBackground  = "bkg/Z9-M.jpg";

    //==============================================================================
    /** Installs a loader for as long as it lives, then puts the previous one
        back (for tests). */
    class ScopedLoader : private ScopedOverride<Loader>
    {
    public:
        explicit ScopedLoader (Loader loader);
    };

private:
    static Loader& loader();
};

} // namespace NsZ9m
