#include "core/base/RegularFile.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace NsZ9m;
using Status = RegularFile::Status;

namespace
{
    /** A listening Unix socket at the path, for as long as it lives. */
    struct ScopedSocketFile
    {
        explicit ScopedSocketFile (const juce::File& file)
        {
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            const auto path = file.getFullPathName().toStdString();

            if (path.size() >= sizeof (address.sun_path))
                return;

            std::copy (path.begin(), path.end(), address.sun_path);
            fd = socket (AF_UNIX, SOCK_STREAM, 0);

            if (fd >= 0 && bind (fd, reinterpret_cast<sockaddr*> (&address), sizeof (address)) == 0)
                bound = listen (fd, 1) == 0;
        }

        ~ScopedSocketFile()   { if (fd >= 0) close (fd); }

        int fd = -1;
        bool bound = false;
    };
}

TEST (RegularFile, OnlyARegularFileWithinTheCapIsRead)
{
    // The socket's path must be short: a folder of its own right under /tmp.
    z9test::TempFolder temp (juce::File ("/tmp"));
    const auto folder = temp.get();

    const auto exact = folder.getChildFile ("exact");
    exact.replaceWithText ("0123456789");
    const auto empty = folder.getChildFile ("empty");
    empty.create();
    const auto fifo = folder.getChildFile ("fifo");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0666), 0);
    const auto linkToFile = folder.getChildFile ("link-to-file");
    ASSERT_TRUE (exact.createSymbolicLink (linkToFile, false));
    const auto linkToFifo = folder.getChildFile ("link-to-fifo");
    ASSERT_TRUE (fifo.createSymbolicLink (linkToFifo, false));
    const auto socketFile = folder.getChildFile ("s");
    ScopedSocketFile socket (socketFile);
    ASSERT_TRUE (socket.bound);

    struct Case { const char* what; juce::File file; juce::int64 cap; Status expected; size_t size; };
    const Case cases[] =
    {
        { "exactly the cap",          exact,                           10, Status::ok,              10 },
        { "one byte over the cap",    exact,                            9, Status::tooLarge,         0 },
        { "empty",                    empty,                           10, Status::ok,               0 },
        { "a link to a regular file", linkToFile,                      10, Status::ok,              10 },
        { "missing",                  folder.getChildFile ("none"),    10, Status::missing,          0 },
        { "below a missing folder",   folder.getChildFile ("a/b"),     10, Status::missing,          0 },
        { "below a plain file",       exact.getChildFile ("x"),        10, Status::missing,          0 },
        { "a folder",                 folder,                          10, Status::notRegularFile,   0 },
        // Opening a FIFO for reading blocked until a writer came.
        { "a FIFO without a writer",  fifo,                            10, Status::notRegularFile,   0 },
        { "a link to a FIFO",         linkToFifo,                      10, Status::notRegularFile,   0 },
        { "a socket",                 socketFile,                      10, Status::notRegularFile,   0 },
        { "a device that never ends", juce::File ("/dev/zero"),        10, Status::notRegularFile,   0 },
        { "a device",                 juce::File ("/dev/null"),        10, Status::notRegularFile,   0 },
        { "no file",                  juce::File(),                    10, Status::missing,          0 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        juce::MemoryBlock bytes ("stale", 5);
        EXPECT_EQ (RegularFile::read (c.file, c.cap, bytes), c.expected);
        EXPECT_EQ (bytes.getSize(), c.size);
    }

    juce::MemoryBlock bytes;
    ASSERT_EQ (RegularFile::read (exact, 1 << 20, bytes), Status::ok);
    EXPECT_EQ (bytes.toString(), "0123456789");
}
