#include "shell/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    /** A folder of this user's alone: a real folder (no link), owned by the user. */
    bool isOwnFolder (const juce::String& path)
    {
        if (! juce::File::isAbsolutePath (path))
            return false;

        struct stat info {};
        return lstat (path.toRawUTF8(), &info) == 0 && S_ISDIR (info.st_mode) && info.st_uid == getuid();
    }
}

InstanceLock::InstanceLock (const juce::File& lockFile)
{
    lockFile.getParentDirectory().createDirectory();

    fd = open (lockFile.getFullPathName().toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);

    if (fd < 0)
        return;

    int result;

    do
        result = flock (fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);

    if (result != 0)
    {
        heldElsewhere = (errno == EWOULDBLOCK);
        close (fd);
        fd = -1;
    }
}

InstanceLock::~InstanceLock()
{
    if (fd >= 0)
        close (fd);
}

juce::File InstanceLock::getDefaultFile()
{
    const auto name = juce::String ("Z9-M Ostrik.lock");
    const auto runtime = juce::SystemStats::getEnvironmentVariable ("XDG_RUNTIME_DIR", {});

    if (isOwnFolder (runtime))
        return juce::File (runtime).getChildFile (name);

    return juce::File ("~/.cache").getChildFile (name);
}
