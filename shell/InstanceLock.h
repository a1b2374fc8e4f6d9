#pragma once

#include "shell/ShellIncludes.h"

/**
    The lock that lets one windowed instance run per user: a file that the
    running instance holds locked (flock) for as long as it lives, in a folder
    of the user's own, so that no other user's lock file stands in the way.

    The folder is $XDG_RUNTIME_DIR (one per login session, as the lock on
    Windows is per logon session) when it is a folder of this user's, else
    ~/.cache. The file is opened close-on-exec, so no process that the program
    starts keeps the lock after the program has ended.

    Owned by the application; message thread.
*/
class InstanceLock
{
public:
    /** Tries to take the lock in the given file, at once. */
    explicit InstanceLock (const juce::File& lockFile);

    /** Releases the lock when it is held. */
    ~InstanceLock();

    /** True when another process holds the lock: this start must end. False
        when this object holds it, and when no lock could be made at all (an
        unwritable home): the program then runs rather than refuse to start. */
    bool isHeldElsewhere() const noexcept   { return heldElsewhere; }

    /** True when this object holds the lock. */
    bool isHeld() const noexcept   { return fd >= 0; }

    /** The lock file of this user's windowed instance. */
    static juce::File getDefaultFile();

private:
    int fd = -1;
    bool heldElsewhere = false;

    JUCE_DECLARE_NON_COPYABLE (InstanceLock)
};
