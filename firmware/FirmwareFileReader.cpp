#include "firmware/FirmwareFileReader.h"
#include <sys/stat.h>

namespace vorlix
{

juce::Result readFirmwareFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& bytes)
{
    bytes.reset();

    if (file == juce::File())
        return juce::Result::fail ("no file");

    // The file is opened once and checked through the open stream's own
    // descriptor would be best; the framework's stream does not give it, so
    // the file is checked first and its length bounded while it is read.
    struct stat info {};

    if (::stat (file.getFullPathName().toRawUTF8(), &info) != 0 || ! S_ISREG (info.st_mode))
        return juce::Result::fail ("not a regular file");

    if ((juce::int64) info.st_size > maxBytes)
        return juce::Result::fail ("too large");

    juce::FileInputStream in (file);

    if (! in.openedOk())
        return juce::Result::fail ("cannot be read");

    in.readIntoMemoryBlock (bytes, (ssize_t) (maxBytes + 1));

    if ((juce::int64) bytes.getSize() > maxBytes)
    {
        bytes.reset();
        return juce::Result::fail ("too large");
    }

    return juce::Result::ok();
}

} // namespace vorlix
