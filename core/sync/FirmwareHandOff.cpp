#include "core/sync/FirmwareHandOff.h"
#include "core/sync/ControllerPorts.h"
#include "core/sync/ProcessState.h"
#include "core/sync/SyncTimer.h"

namespace NsZ9m
{

namespace
{
    /** A send, or any other step of a tick, is paused below the caller: the
        upgrader must not take the ports from under it. */
    bool linkIsBusy (const std::function<bool()>& mayStart)
    {
        return sendInProgress || isSyncTickRunning() || (mayStart && ! mayStart());
    }

    void runHandOff (const std::function<void()>& runUpgrader)
    {
        // No send runs now, so sendInProgress is already clear.
        midiInputEnabled = false;
        openControllerPorts (currentProductId, false);

        if (runUpgrader)
            runUpgrader();

        // A page that went meanwhile has stopped the link for good.
        if (theMainComp != nullptr)
        {
            midiInputEnabled = true;
            openControllerPorts (currentProductId, true);
        }

        firmwareHandOffRunning = false;
    }

    /** A hand-off waiting for the running send to end. */
    class DeferredHandOff final : private juce::Timer
    {
    public:
        DeferredHandOff (std::function<void()> run, std::function<bool()> may)
            : runUpgrader (std::move (run)), mayStart (std::move (may))
        {
            startTimer (firmwareHandOffPollMs);
        }

        ~DeferredHandOff() override   { stopTimer(); }

    private:
        void timerCallback() override;

        std::function<void()> runUpgrader;
        std::function<bool()> mayStart;
    };

    std::unique_ptr<DeferredHandOff>& deferred()
    {
        static std::unique_ptr<DeferredHandOff> waiting;
        return waiting;
    }

    void DeferredHandOff::timerCallback()
    {
        if (linkIsBusy (mayStart))
            return;

        // Take the work out before this object goes.
        auto run = std::move (runUpgrader);
        deferred().reset();
        runHandOff (run);
    }
}

FirmwareHandOffStart handOffToFirmwareUpgrader (std::function<void()> runUpgrader, std::function<bool()> mayStart)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (firmwareHandOffRunning)
        return FirmwareHandOffStart::ignored;

    firmwareHandOffRunning = true;

    if (linkIsBusy (mayStart))
    {
        deferred() = std::make_unique<DeferredHandOff> (std::move (runUpgrader), std::move (mayStart));
        return FirmwareHandOffStart::deferred;
    }

    runHandOff (runUpgrader);
    return FirmwareHandOffStart::finished;
}

bool isFirmwareHandOffDeferred()
{
    return deferred() != nullptr;
}

void cancelDeferredFirmwareHandOff()
{
    if (deferred() == nullptr)
        return;

    deferred().reset();
    firmwareHandOffRunning = false;
}

} // namespace NsZ9m
