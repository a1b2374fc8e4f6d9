#include "firmware/FirmwareWriteGate.h"
#include <vector>

namespace vorlix
{

namespace
{
    int runningWrites = 0;

    std::vector<std::function<void()>>& waitingWork()
    {
        static std::vector<std::function<void()>> work;
        return work;
    }
}

bool FirmwareWriteGate::isWriteRunning() noexcept
{
    return runningWrites > 0;
}

void FirmwareWriteGate::callWhenWriteEnds (std::function<void()> work)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (work == nullptr)
        return;

    if (isWriteRunning())
        waitingWork().push_back (std::move (work));
    else
        work();
}

FirmwareWriteGate::ScopedWrite::ScopedWrite()
{
    JUCE_ASSERT_MESSAGE_THREAD
    ++runningWrites;
}

FirmwareWriteGate::ScopedWrite::~ScopedWrite()
{
    end();
}

void FirmwareWriteGate::ScopedWrite::end()
{
    if (! running)
        return;

    running = false;

    if (--runningWrites > 0)
        return;

    // Taken out first: a work may ask to wait again (for a write that it
    // starts itself), and that goes to the next end.
    auto work = std::move (waitingWork());
    waitingWork().clear();

    for (auto& w : work)
        w();
}

} // namespace vorlix
