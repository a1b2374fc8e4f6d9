#include "core/sync/SyncTimer.h"
#include "core/sync/ControllerPorts.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/SurfaceMessages.h"
#include "core/sync/EditorLink.h"
#include "core/sync/Host.h"
#include "core/link/MidiPortSystem.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/PortLookup.h"
#include "core/sync/ProcessState.h"
#include "core/model/Products.h"

namespace NsZ9m
{

bool greetingSent = false;
juce::StringArray greetedOutputNames;

static int tickDepth = 0;

bool isSyncTickRunning() noexcept
{
    return tickDepth > 0;
}

void resetSyncState()
{
    greetingSent = false;
    greetedOutputNames.clear();
}

MyTimer::~MyTimer()
{
    if (theSyncTimer == this)
        theSyncTimer = nullptr;
}

//==============================================================================
namespace
{
    constexpr int firstIntervalMs = 2000;

    // Whether startSyncCore created the Host it took, and so deletes it again.
    bool hostCreatedBySyncCore = false;
}

bool startSyncCore()
{
    if (theSyncTimer != nullptr)
    {
        theHost = Host::getInstance();
        return false;
    }

    hostCreatedBySyncCore = Host::getInstanceWithoutCreating() == nullptr;
    theHost = Host::getInstance();

    theSyncTimer = new MyTimer();
    theSyncTimer->startTimer (firstIntervalMs);
    return true;
}

void stopSyncCore()
{
    if (theSyncTimer == nullptr)
        return;

    delete theSyncTimer;   // stops it, and clears theSyncTimer
    jassert (theSyncTimer == nullptr);

    if (hostCreatedBySyncCore)
    {
        Host::deleteInstance();
        theHost = nullptr;
        hostCreatedBySyncCore = false;
    }
}

namespace
{
    bool anySlotFlag (const bool (&flags)[numSlots])
    {
        return std::any_of (std::begin (flags), std::end (flags), [] (bool f) { return f; });
    }

    void reconnect()
    {
        auto inputs = midiPorts().getInputNames();

        if (findBestPortIndex (inputs, productZ9M) >= 0)
            openControllerPorts (productZ9M, midiInputEnabled);
        else if (findBestPortIndex (inputs, productFurtherM) >= 0)
            openControllerPorts (productFurtherM, midiInputEnabled);
        else
            openControllerPorts (currentProductId, midiInputEnabled);
    }

    void handleSlotSelectReport()
    {
        // Take the report before handling it: handling runs the message loop,
        // and a report arriving meanwhile must stay for the next tick.
        if (! deviceReplyState.slotSelectPending.exchange (false))
            return;

        auto n = deviceReplyState.selectedSlotNumber.load();

        if (! isValidSlotNumber (n))
            return;

        auto i = n - 1;
        auto echo = makeSlotSelectMessage (slotSelectValue (i, slotDawIds[i]));

        selectSlotFromDevice (n);
        Host::getInstance()->relaySlotReport (slotSelectCommand);
        Host::getInstance()->sendToMatchingOutputs (isMTypeProduct, echo);
    }

    void handleSlotStateReport()
    {
        if (! deviceReplyState.slotStatePending.exchange (false))
            return;

        // A send got in the way: try again at the next tick, unless a newer
        // report is already waiting.
        if (! Host::getInstance()->relaySlotReport (slotStateCommand))
            deviceReplyState.slotStatePending.store (true);
    }

    void greet()
    {
        auto outputs = midiPorts().getOutputNames();

        if (outputs != greetedOutputNames)
            greetingSent = false;

        if (! greetingSent
             && Host::getInstance()->sendToMatchingOutputs (isSupportedProduct, makeGreetingMessage()))
        {
            greetingSent = true;
            greetedOutputNames = outputs;
        }
    }
}

void MyTimer::timerCallback()
{
    stopTimer();

    ++tickDepth;
    const juce::ScopeGuard tickEnds { [] { --tickDepth; } };

    if (! sendInProgress)
        reconnect();

    handleSlotSelectReport();
    handleSlotStateReport();

    // While the surface's ports belong to someone else (a firmware transfer),
    // no mapping traffic goes out and the dirty slots wait.
    auto linkEnabled = midiInputEnabled;

    if (linkEnabled && ! sendInProgress)
        greet();

    // A tick held back by a disabled link synchronised nothing, so it comes
    // back at the idle pace.
    auto sync = linkEnabled && (anySlotFlag (slotDirty) || anySlotFlag (slotPending));

    if (sync)
        syncAllDevices();

    startTimer (sync ? intervalMs : idleIntervalMs);
}

void syncAllDevices()
{
    for (int i = 1; i <= numProducts; ++i)
        compileDeviceImage (i);

    for (int s = 0; s < numSlots; ++s)
    {
        if (slotDirty[s] && ! slotPending[s])
        {
            slotPending[s] = true;
            slotDirty[s] = false;
        }
    }

    if (! anySlotFlag (slotPending))
        return;

    auto& ports = midiPorts();
    auto* host = Host::getInstance();
    auto count = ports.getOutputNames().size();

    for (int k = 0; k < count; ++k)
    {
        auto names = ports.getOutputNames();

        // A unit came or went: serve the new list from its start.
        if (names.size() != count)
        {
            count = names.size();
            k = -1;
            continue;
        }

        auto name = names[k];
        auto product = getProductIdFromPortName (name);
        auto supported = isSupportedProduct (product);
        auto code = supported ? product : currentProductId;
        auto port = portIndexFromName (name);

        if ((supported && port >= 4) || (matchesBrandPortPattern (name) && port <= 1))
        {
            host->setOutputDeviceName (name);
            host->sendMapping (code);
        }
    }

    for (auto& pending : slotPending)
        pending = false;
}

void selectSlotFromDevice (int slotNumber)
{
    if (theMainComp == nullptr || ! isValidSlotNumber (slotNumber))
        return;

    currentSlotIndex = slotNumber - 1;
    theMainComp->slotChosenOnSurface (slotNumber);
}

} // namespace NsZ9m
