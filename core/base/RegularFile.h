#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    Reads a whole file that comes from outside, when it is a regular file.

    Anyone may put a FIFO, a device or a socket where the program looks for a
    file: opening a FIFO for reading waits for a writer, and reading a device
    may never end. The file is therefore opened without blocking, checked on
    the opened handle (so it cannot be swapped between the check and the
    read) and read only when it is a regular file, never beyond the reader's
    size cap. A symbolic link to a regular file is read.

    Every reader of outside files (settings, mapping files, pictures, firmware
    images, the catalogue) reads through this, and turns a refusal into its
    own usual error. Any thread.
*/
class RegularFile
{
public:
    enum class Status
    {
        ok,
        missing,          ///< nothing of that name (or a folder on its path is missing)
        notRegularFile,   ///< a folder, FIFO, device, socket...
        tooLarge,         ///< more than the cap, when it was checked or while it was read
        cannotOpen,       ///< it exists but may not be opened (permissions...)
        cannotRead        ///< a read failed
    };

    /** Reads the whole file into `into` (resized to what was read) when it is a
        regular file of at most maxBytes bytes. On any other outcome `into` is
        left empty. A file that grows past maxBytes while it is read is
        refused too. */
    static Status read (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& into);

    /** A short English text for the status ("not a regular file"...), for
        readers that put the cause into their message. */
    static juce::String describe (Status status);
};

} // namespace NsZ9m
