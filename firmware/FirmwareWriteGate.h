#pragma once

#include "core/base/JuceIncludes.h"
#include <functional>

namespace vorlix
{

/**
    Whether the upgrader is writing a firmware image to a unit right now, for
    the whole process, and the work that waits for that write to end.

    A write must never be cut short: a unit left with half an image, or with
    one that was never read back, may boot it. Whoever would take the message
    loop or the windows away from under a write (the application's quit)
    asks here first, and while a write runs leaves its work to be called once
    the write has ended. The write itself is bounded by its own time-outs.

    The "Upgrade" step holds a ScopedWrite for as long as it writes.

    Message thread only.
*/
class FirmwareWriteGate
{
public:
    /** True while a ScopedWrite is held. */
    static bool isWriteRunning() noexcept;

    /** Calls work once no write runs: at once when none does, otherwise as
        the running write ends. In that case it is called from inside the
        step that wrote, which is still on the call stack and goes on with
        its report: work should post whatever it does to the message loop
        rather than delete anything. Works wait in the order given; each is
        called once. */
    static void callWhenWriteEnds (std::function<void()> work);

    //==============================================================================
    /** Marks a write as running from its construction until end() or its
        destruction, whichever comes first. Writes may nest; the waiting work
        is called when the outermost one ends. */
    class ScopedWrite
    {
    public:
        ScopedWrite();
        ~ScopedWrite();

        /** Ends the write here (nothing when it has ended already). */
        void end();

    private:
        bool running = true;

        JUCE_DECLARE_NON_COPYABLE (ScopedWrite)
    };
};

} // namespace vorlix
