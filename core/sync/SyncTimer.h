#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    Drives the whole link to the surfaces from the message thread: each tick
    reconnects the Host's input to the best-placed surface, applies and relays
    a slot change a surface reported, greets newly attached units and, when
    slots are dirty, compiles and sends them to every connected unit.

    One per process (theSyncTimer), created by startSyncCore when the first
    editor page is built and deleted by stopSyncCore when the program ends.
    The tick stops the timer while it runs, so ticks never overlap although
    the tick runs the message loop in its pauses. Message thread only.
*/
class MyTimer : public juce::Timer
{
public:
    MyTimer() = default;
    ~MyTimer() override;

    /** One tick. */
    void timerCallback() override;

    /** The interval after a tick that synchronised. */
    int intervalMs = 2000;

    /** The interval after a tick with nothing to synchronise. */
    static constexpr int idleIntervalMs = 333;

private:
    JUCE_DECLARE_NON_COPYABLE (MyTimer)
};

/** Starts the link to the surfaces, once per process: takes the Host (which
    restores the saved state when it is created here) into theHost, and
    creates the synchronisation timer (theSyncTimer) and starts it at
    2000 ms. Every editor page's general settings section calls it; a call
    while the timer exists changes nothing. Returns true when this call
    created the timer. Message thread only. */
bool startSyncCore();

/** Ends what startSyncCore started: stops and deletes the timer, then deletes
    the Host if startSyncCore created it (a Host that existed before belongs
    to whoever made it). The program calls it once its window has gone (the
    editor page saves the settings as it goes); nothing happens when nothing
    was started. Message thread only. */
void stopSyncCore();

/** Compiles every product's dirty slots and sends them to every unit of a
    supported product on its ports 4 and above (and to the maker's generic
    ports as the product being edited). A slot whose send fails is sent again
    only after its next change. Message thread. */
void syncAllDevices();

/** A surface switched to slot number n: while an editor page exists,
    currentSlotIndex takes the slot and the page follows it (rebuild, then
    refresh). */
void selectSlotFromDevice (int slotNumber);

/** True while a tick runs. Its pauses run the message loop, so whatever
    arrives meanwhile (a click, a key) runs in the middle of the tick, while
    the Host's input handler may be half-way through being replaced. */
bool isSyncTickRunning() noexcept;

/** The greeting has gone out to the outputs listed in greetedOutputNames. */
extern bool greetingSent;

/** The output port names at the last complete greeting. */
extern juce::StringArray greetedOutputNames;

/** Greeting state back to its start (no greeting sent). */
void resetSyncState();

} // namespace NsZ9m
