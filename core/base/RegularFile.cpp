#include "core/base/RegularFile.h"

#if ! JUCE_WINDOWS
 #include <cerrno>
 #include <fcntl.h>
 #include <sys/stat.h>
 #include <unistd.h>
#endif

namespace NsZ9m
{

#if JUCE_WINDOWS
// On Windows a FIFO or a device does not appear in the folders the program
// reads from: a plain file check before a bounded read is enough.
RegularFile::Status RegularFile::read (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& into)
{
    into.reset();

    if (! file.exists())
        return Status::missing;

    if (! file.existsAsFile())
        return Status::notRegularFile;

    if (file.getSize() > maxBytes)
        return Status::tooLarge;

    juce::FileInputStream in (file);

    if (! in.openedOk())
        return Status::cannotOpen;

    const auto numRead = in.readIntoMemoryBlock (into, (ssize_t) maxBytes + 1);

    if (in.getStatus().failed())
    {
        into.reset();
        return Status::cannotRead;
    }

    if ((juce::int64) numRead > maxBytes)
    {
        into.reset();
        return Status::tooLarge;
    }

    return Status::ok;
}
#else
namespace
{
    RegularFile::Status statusOfOpenError (int error)
    {
        if (error == ENOENT || error == ENOTDIR)
            return RegularFile::Status::missing;

        // Opening a folder for reading succeeds; these come from other kinds.
        if (error == ENXIO || error == ENODEV || error == EISDIR || error == EWOULDBLOCK)
            return RegularFile::Status::notRegularFile;

        return RegularFile::Status::cannotOpen;
    }

    struct ScopedDescriptor
    {
        explicit ScopedDescriptor (int d) noexcept : fd (d) {}
        ~ScopedDescriptor()   { if (fd >= 0) ::close (fd); }

        int fd;

        JUCE_DECLARE_NON_COPYABLE (ScopedDescriptor)
    };
}

RegularFile::Status RegularFile::read (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& into)
{
    into.reset();

    // The cap is the reader's own bound on what it accepts.
    jassert (maxBytes >= 0 && maxBytes < std::numeric_limits<juce::int64>::max());
    maxBytes = juce::jmax ((juce::int64) 0, maxBytes);

    if (file == juce::File())
        return Status::missing;

    const auto path = file.getFullPathName().toStdString();

    // Looked at before it is opened, so that no device is ever opened (opening
    // some has effects of its own)...
    struct stat before {};

    if (::stat (path.c_str(), &before) != 0)
        return statusOfOpenError (errno);

    if (! S_ISREG (before.st_mode))
        return Status::notRegularFile;

    // ...and on the opened handle, since the name may be given to something
    // else in between. O_NONBLOCK: opening a FIFO never waits for a writer.
    ScopedDescriptor d (::open (path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));

    if (d.fd < 0)
        return statusOfOpenError (errno);

    struct stat opened {};

    if (::fstat (d.fd, &opened) != 0)
        return Status::cannotRead;

    if (! S_ISREG (opened.st_mode))
        return Status::notRegularFile;

    if (opened.st_size > maxBytes)
        return Status::tooLarge;

    // The file may grow while it is read: read one byte more than the cap at
    // most, so that growth is refused rather than read.
    const auto limit = (size_t) maxBytes + 1;
    juce::MemoryBlock bytes ((size_t) juce::jlimit ((juce::int64) 1, (juce::int64) limit, (juce::int64) opened.st_size + 1));
    size_t numRead = 0;

    for (;;)
    {
        if (numRead == bytes.getSize())
        {
            if (numRead >= limit)
                break;

            bytes.setSize (juce::jmin (limit, numRead * 2));
        }

        const auto wanted = juce::jmin (bytes.getSize() - numRead, (size_t) 1 << 24);
        const auto n = ::read (d.fd, static_cast<char*> (bytes.getData()) + numRead, wanted);

        if (n < 0)
        {
            if (errno == EINTR)
                continue;

            return Status::cannotRead;
        }

        if (n == 0)
            break;

        numRead += (size_t) n;
    }

    if ((juce::int64) numRead > maxBytes)
        return Status::tooLarge;

    bytes.setSize (numRead);
    into.swapWith (bytes);
    return Status::ok;
}
#endif

juce::String RegularFile::describe (Status status)
{
    switch (status)
    {
        case Status::ok:              return "read";
        case Status::missing:         return "no such file";
        case Status::notRegularFile:  return "not a regular file";
        case Status::tooLarge:        return "too large";
        case Status::cannotOpen:      return "cannot be opened";
        case Status::cannotRead:      return "cannot be read";
    }

    return {};
}

} // namespace NsZ9m
