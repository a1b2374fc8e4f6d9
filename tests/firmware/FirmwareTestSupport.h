#pragma once

#include "firmware/FirmwareUpgradeComponent.h"
#include "firmware/FirmwareWorkFolder.h"
#include "firmware/UpgraderDialogWindow.h"
#include "firmware/UpgraderState.h"
#include "core/sync/ProcessState.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/InMemoryMidiPorts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/gui/ScriptedDialogs.h"
#include "tests/support/gui/Snapshot.h"
#include <gtest/gtest.h>

namespace z9test
{

/** A unit of the maker that is not a Z9 and takes its firmware over MIDI
    (the MIDI bootloader): the Pad16, whose ports are named like
    "VORLIX Pad16". */
inline constexpr int midiBootloaderProduct = 2017;

/** Every firmware test starts and ends with the core's and the upgrader's
    process-wide state at their start values, in-memory MIDI ports with no
    port, and scripted dialogs that fail the test on any box it did not
    expect. The upgrader's working folder is a scratch folder of the test's
    own. */
class FirmwareFixture : public ::testing::Test
{
protected:
    void SetUp() override      { NsZ9m::resetProcessWideState(); vorlix::resetUpgraderState(); }
    void TearDown() override   { vorlix::resetUpgraderState(); NsZ9m::resetProcessWideState(); }

    TempFolder workFolder;
    vorlix::FirmwareWorkFolder::ScopedRedirect workRedirect { workFolder.get() };
    ScopedInMemoryMidiPorts ports;
    ScriptedDialogs dialogs;
};

//==============================================================================
/** What the fake steps were asked to do, in order; outlives the wizard. */
struct StepLog
{
    juce::StringArray calls;        ///< "start", "enter", "activate", "select", "blhost <path>", "midi", "release"
    juce::Array<int> pauses;        ///< every pause the wizard asked for, in ms
    int deepestNesting = 0;         ///< the deepest the steps were ever nested in each other
    int nesting = 0;
};

/**
    Steps that do no work of their own: each records its call and then runs
    what the test gave it (by default nothing). The writes return the given
    results; pauses are recorded and only run the message loop once, so no
    test waits for real.
*/
class FakeUpgradeSteps final : public vorlix::FirmwareUpgradeSteps
{
public:
    using Action = std::function<void (vorlix::FirmwareUpgradeComponent&)>;

    explicit FakeUpgradeSteps (StepLog& logToUse) : log (logToUse) {}

    Action onStart, onEnter, onActivate, onSelect;
    std::function<juce::Result()> writeResult = [] { return juce::Result::ok(); };
    bool m2 = false;

    void stepStart (vorlix::FirmwareUpgradeComponent& w) override           { run ("start", onStart, w); }
    void stepEnter (vorlix::FirmwareUpgradeComponent& w) override           { run ("enter", onEnter, w); }
    void stepActivate (vorlix::FirmwareUpgradeComponent& w) override        { run ("activate", onActivate, w); }
    void stepSelectFirmware (vorlix::FirmwareUpgradeComponent& w) override  { run ("select", onSelect, w); }

    bool cpuModelHasM2() override   { return m2; }

    juce::Result upgradeWithBlhost (const juce::String& imagePath) override
    {
        log.calls.add ("blhost " + imagePath);
        return writeResult();
    }

    juce::Result upgradeOverMidi (vorlix::FirmwareUpgradeComponent&) override
    {
        log.calls.add ("midi");
        return writeResult();
    }

    void releaseUnits (vorlix::FirmwareUpgradeComponent&) override   { log.calls.add ("release"); }

    void pause (int ms) override
    {
        log.pauses.add (ms);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (0);
    }

private:
    void run (const char* name, Action& action, vorlix::FirmwareUpgradeComponent& w)
    {
        log.calls.add (name);
        log.deepestNesting = juce::jmax (log.deepestNesting, ++log.nesting);

        if (action)
            action (w);

        --log.nesting;
    }

    StepLog& log;
};

/** A steps chain that succeeds at every step, as automatic stepping runs a
    tool-family unit: Start chooses the unit, each step moves on to the next. */
inline void makeEveryStepSucceed (FakeUpgradeSteps& steps, int productId)
{
    steps.onStart = [productId] (vorlix::FirmwareUpgradeComponent& w)
    {
        w.setStep (-1);
        w.selectTargetUnit (productId);
    };
    steps.onEnter = [] (vorlix::FirmwareUpgradeComponent& w)
    {
        w.setStep (1);
        if (vorlix::upgraderState().automaticStepping) w.stepActivate();
    };
    steps.onActivate = [] (vorlix::FirmwareUpgradeComponent& w)
    {
        w.setStep (2);
        if (vorlix::upgraderState().automaticStepping) w.stepSelectFirmware();
    };
    steps.onSelect = [] (vorlix::FirmwareUpgradeComponent& w)
    {
        vorlix::upgraderState().chosenFirmwarePath = "c:\\fw\\z9_x_106.bin";
        w.setStep (3);
        if (vorlix::upgraderState().automaticStepping) w.stepUpgrade();
    };
}

//==============================================================================
/**
    Takes the upgrader's modal dialogs in place of the program's modal loop:
    records each window and hands it to the test's drive function, which acts
    on it and returns the modal result (by default 0 at once).
*/
class ScriptedDialogRunner final : public vorlix::ModalDialogRunner
{
public:
    ScriptedDialogRunner() : scope (*this) {}

    std::function<int (vorlix::UpgraderDialogWindow&)> drive;
    juce::StringArray titles;

    int runModal (vorlix::UpgraderDialogWindow& window) override
    {
        titles.add (window.getName());
        return drive ? drive (window) : 0;
    }

private:
    vorlix::ModalDialogRunner::ScopedRunner scope;
};

/** Puts the window in its modal state without a nested loop, lets act do what
    a user would, then runs the message loop until the window leaves its modal
    state; returns the modal result (-1 when the test's time limit passed
    first, which only a fault reaches). */
inline int runUntilDismissed (juce::Component& window, std::function<void()> act)
{
    struct Outcome { bool done = false; int result = -1; };
    auto outcome = std::make_shared<Outcome>();

    window.enterModalState (false, juce::ModalCallbackFunction::create ([outcome] (int r)
    {
        outcome->done = true;
        outcome->result = r;
    }));

    if (act)
        act();

    if (! waitUntil ([&] { return outcome->done; }))
    {
        window.exitModalState (-1);
        drainMessageLoop();
        return -1;
    }

    return outcome->result;
}

/** Puts the window in its modal state without a nested loop, lets act do what
    a user would, drains the message loop and says whether the window is still
    in its modal state; then takes it out of it. */
inline bool staysModalAfter (juce::Component& window, std::function<void()> act)
{
    auto done = std::make_shared<bool> (false);
    window.enterModalState (false, juce::ModalCallbackFunction::create ([done] (int) { *done = true; }));

    if (act)
        act();

    drainMessageLoop();
    const auto stayed = ! *done && window.isCurrentlyModal (false);

    window.exitModalState (-1);
    drainMessageLoop();
    return stayed;
}

} // namespace z9test
