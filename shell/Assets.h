#pragma once

#include "shell/ShellIncludes.h"
#include "core/base/ScopedOverride.h"
#include "gui/SafeImageDecoder.h"

/*  The program's run-time assets: the images under the "Assets" folder of the
    "resources" folder that lies beside the executable (or is one of its
    ancestors), decoded by SafeImageDecoder and kept in the framework's image
    cache.

    Message thread only.
*/

/** The "resources" folder seen from start: start's sibling of that name when
    it is a folder, else the nearest of start and its ancestors (at most 15
    levels up) that is a folder named exactly "resources"; an empty juce::File
    when there is none. A plain file named "resources" is not a resources
    folder. */
juce::File findResourcesFolderFrom (const juce::File& start);

/** The folder that assets are looked for in: findResourcesFolderFrom the
    running program's file, or, when there is none, the folder where the
    upward walk stopped (the 15th ancestor or the highest one reached), in
    which assets are normally not found. */
juce::File getResourcesFolder();

/** The running program's file (the executable), or what a test put in its
    place with ScopedApplicationFile. */
juce::File getApplicationFile();

/** Opens an asset of the Assets folder; the name may hold a sub-folder
    ("bkg/Z9-M.jpg"). The whole file is read at once, and only when it is a
    regular file (RegularFile: a FIFO or device is refused without waiting):
    null when the file is missing, not a regular file, larger than
    maxAssetFileSize or cannot be read. The caller owns the stream. */
std::unique_ptr<juce::InputStream> openAssetStream (const char* name);

/** The image of an asset, from the image cache when it is there; a null image
    when the file cannot be read as openAssetStream says, or when
    SafeImageDecoder refuses it (a damaged picture, or one of more than
    4096 x 4096 pixels): nothing is cached then. */
juce::Image loadAssetImage (const char* name);

/** No asset file is read beyond this size. */
constexpr juce::int64 maxAssetFileSize = 16 * 1024 * 1024;
static_assert (maxAssetFileSize == NsZ9m::SafeImageDecoder::maxFileBytes);

//==============================================================================
/** While this exists, getApplicationFile() returns the given file instead of
    the running executable, so tests can place the "program" anywhere. */
class ScopedApplicationFile : private NsZ9m::ScopedOverride<juce::File>
{
public:
    explicit ScopedApplicationFile (const juce::File& applicationFile);
};
