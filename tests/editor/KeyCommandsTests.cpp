#include "tests/editor/EditorFixture.h"
#include "editor/EditorHooks.h"
#include "core/base/PlatformHelpers.h"
#include "core/model/DawId.h"
#include "core/sync/FirmwareHandOff.h"
#include "core/sync/SyncTimer.h"
#include "tests/support/SimulatedSurface.h"
#include <gtest/gtest.h>

using namespace NsZ9m;
using z9test::ScriptedDialogs;
using z9test::SimulatedSurface;

namespace
{
    class KeyCommandsTest : public z9test::EditorFixture
    {
    protected:
        static juce::KeyPress key (int code, int modifiers = 0)
        {
            return juce::KeyPress (code, juce::ModifierKeys (modifiers), (juce::juce_wchar) code);
        }

        /** Presses the key on the page; the page never consumes a key. */
        void press (const juce::KeyPress& k)
        {
            EXPECT_FALSE (page->keyPressed (k));
        }

        static constexpr int ctrl = juce::ModifierKeys::ctrlModifier;
        static constexpr int shift = juce::ModifierKeys::shiftModifier;
        static constexpr int alt = juce::ModifierKeys::altModifier;
    };

    std::vector<int> bytesOf (const juce::MidiMessage& m)
    {
        return { m.getRawData(), m.getRawData() + m.getRawDataSize() };
    }
}

//==============================================================================
TEST_F (KeyCommandsTest, IShowsTheProcessorTagAndOnlyWithoutModifiers)
{
    showPage();
    ScriptedDialogs dialogs;
    dialogs.answerBox (0);

    press (key ('I'));

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    const auto& box = dialogs.getRequests()[0].box;
    EXPECT_EQ (box.message, "CPU model: " + getCpuModelTag());
    EXPECT_EQ (box.icon, Dialogs::Icon::none);
    EXPECT_TRUE (box.title.isEmpty());
    EXPECT_TRUE (box.buttons.isEmpty());   // the single "OK"

    // Any modifier makes it another key; those boxes would fail the test.
    for (auto mods : { shift, ctrl, alt, ctrl | shift })
        press (key ('I', mods));

    EXPECT_EQ (dialogs.getRequests().size(), 1u);
}

TEST_F (KeyCommandsTest, CtrlOneAndTwoSwitchTheOuterTabsAndAnXModelKeepsItsOnlyPage)
{
    showPage();
    auto& tabs = page->getOuterTabs();

    press (key ('2', ctrl));
    EXPECT_EQ (tabs.getCurrentTabName(), "BUTTON FUNCTIONS");
    EXPECT_TRUE (page->getFuncSection().isVisible());
    EXPECT_EQ (tabs.getRememberedTabIndex(), 1);   // with a change message

    press (key ('1', ctrl));
    EXPECT_EQ (tabs.getCurrentTabName(), "GENERAL SETTINGS");
    EXPECT_TRUE (page->getMixerSection().isVisible());

    // Without Ctrl, or with more than Ctrl, the digits do nothing.
    press (key ('2'));
    press (key ('2', ctrl | shift));
    EXPECT_EQ (tabs.getCurrentTabIndex(), 0);

    // An X model has "GENERAL SETTINGS" alone: Ctrl+2 leaves it shown.
    chooseModel (2056);
    ASSERT_EQ (outerTabNames(), juce::StringArray { "GENERAL SETTINGS" });
    press (key ('2', ctrl));
    EXPECT_EQ (tabs.getCurrentTabIndex(), 0);
    EXPECT_TRUE (page->getMixerSection().isVisible());
    snapshot (*window, "x-model-after-ctrl-2");
}

TEST_F (KeyCommandsTest, CtrlQQuitsThroughTheProgramAndNothingElseDoes)
{
    showPage();
    int quits = 0;
    EditorHooks::ScopedQuitHandler quit ([&] { ++quits; });

    for (auto k : { key ('Q'), key ('Q', shift), key ('Q', ctrl | shift), key ('Q', alt), key ('W', ctrl) })
        press (k);

    EXPECT_EQ (quits, 0);

    press (key ('Q', ctrl));
    EXPECT_EQ (quits, 1);

    press (key ('q', ctrl));   // a lower-case key code is the same letter
    EXPECT_EQ (quits, 2);
}

TEST_F (KeyCommandsTest, MOpensTheConsoleWithShiftOrAMixOfModifiers)
{
    SimulatedSurface unit (ports, productZ9M);
    showPage();
    ScriptedDialogs dialogs;

    struct Case { int modifiers; bool opens; };
    const Case cases[] =
    {
        { ctrl | shift, true }, { shift, true }, { ctrl | alt, true }, { shift | alt, true }, { ctrl | shift | alt, true },
        { 0, false }, { ctrl, false }, { alt, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.modifiers);
        const auto before = dialogs.getRequests().size();

        if (c.opens)
            dialogs.answerAlertWindow ([] (juce::AlertWindow&) { return 0; });

        press (key ('M', c.modifiers));
        EXPECT_EQ (dialogs.getRequests().size(), before + (c.opens ? 1u : 0u));
    }

    dialogs.answerAlertWindow ([] (juce::AlertWindow&) { return 0; });
    press (key ('m', shift));   // the lower-case key code
    EXPECT_EQ (dialogs.getRequests().size(), 6u);
    EXPECT_TRUE (dialogs.allAnswersUsed());

    // Cancelled every time: nothing reached the surface.
    EXPECT_TRUE (unit.getReceivedOn (4).empty());
}

//==============================================================================
TEST_F (KeyCommandsTest, TheConsoleSendsWhatWasTypedToTheSurfacesOutput)
{
    SimulatedSurface unit (ports, productZ9M);
    showPage();
    ScriptedDialogs dialogs;

    // Its dialog, as it opens.
    dialogs.answerAlertWindow ([&] (juce::AlertWindow& w)
    {
        EXPECT_EQ (w.getDescription(), "Input MIDI SYSEX. SYSEX for sending:");
        EXPECT_EQ (w.getAlertType(), juce::MessageBoxIconType::InfoIcon);
        EXPECT_EQ (w.getTextEditorContents ("sysex"), "F02215 100900 0426F7");

        juce::StringArray buttons;

        for (auto* child : w.getChildren())
            if (auto* b = dynamic_cast<juce::TextButton*> (child))
                buttons.add (b->getButtonText() + "=" + juce::String (b->getCommandID()));

        EXPECT_EQ (buttons, juce::StringArray ({ "OK=1", "Cancel=0" }));
        z9test::writeSnapshot (w, "console");
        return MainComp::consoleOkResult;   // the prefilled message
    });

    auto typeAndSend = [&] (const juce::String& text)
    {
        dialogs.answerAlertWindow ([text] (juce::AlertWindow& w)
        {
            w.getTextEditor ("sysex")->setText (text, false);
            return MainComp::consoleOkResult;
        });
    };

    typeAndSend ("f0 7e 7f 06 01 f7");
    typeAndSend ("G1");
    typeAndSend ("ZZ");

    for (int i = 0; i < 4; ++i)
        press (key ('M', ctrl | shift));

    const auto received = unit.getReceivedOn (4);
    ASSERT_EQ (received.size(), 4u);
    EXPECT_EQ (bytesOf (received[0]), std::vector<int> ({ 0xF0, 0x22, 0x15, 0x10, 0x09, 0x00, 0x04, 0x26, 0xF7 }));
    EXPECT_EQ (bytesOf (received[1]), std::vector<int> ({ 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }));
    EXPECT_EQ (bytesOf (received[2]), std::vector<int> ({ 0x01 }));
    EXPECT_EQ (bytesOf (received[3]), std::vector<int> ({ 0x00 }));
    EXPECT_TRUE (dialogs.allAnswersUsed());

    // Only port 4 heard it, and the console's output is closed again.
    EXPECT_TRUE (unit.getReceivedOn (1).empty());
    EXPECT_FALSE (ports.isOutputOpen (unit.getOutputName (4)));
}

TEST_F (KeyCommandsTest, TheConsoleSaysWhyItSendsNothing)
{
    SimulatedSurface unit (ports, productZ9M);
    showPage();
    ScriptedDialogs dialogs;

    auto type = [&] (const juce::String& text, int result)
    {
        dialogs.answerAlertWindow ([text, result] (juce::AlertWindow& w)
        {
            w.getTextEditor ("sysex")->setText (text, false);
            return result;
        });
    };

    type ("F02", MainComp::consoleOkResult);
    dialogs.answerBox (0);
    type ("   ", MainComp::consoleOkResult);
    dialogs.answerBox (0);
    type ("90 3C 7F", 0);   // Cancel, Escape or a close request

    for (int i = 0; i < 3; ++i)
        press (key ('M', shift));

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Wrong length!", "Nothing to send!" }));
    EXPECT_TRUE (dialogs.allAnswersUsed());
    EXPECT_TRUE (unit.getReceivedOn (4).empty());
}

TEST_F (KeyCommandsTest, WithoutASurfaceTheConsoleStaysShutAndAnOutputThatFailsIsReported)
{
    showPage();
    ScriptedDialogs dialogs;

    // Nothing to talk to: no dialog at all (one would fail the test).
    press (key ('M', shift));
    EXPECT_TRUE (dialogs.getRequests().empty());

    SimulatedSurface unit (ports, productZ9M);
    ports.setOpenFails (unit.getOutputName (4));
    dialogs.answerBox (0);
    press (key ('M', shift));

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray { "MIDI output failed!" });
    EXPECT_EQ (dialogs.getRequests()[0].box.icon, Dialogs::Icon::none);
    EXPECT_TRUE (dialogs.getRequests()[0].box.title.isEmpty());
}

TEST_F (KeyCommandsTest, TheConsoleTalksToTheModelBeingEditedOrTheMakersGenericPort)
{
    SimulatedSurface z9m (ports, productZ9M);
    SimulatedSurface z9x (ports, 2056);
    ports.addOutput ("VORLIX Midi Port");
    showPage();
    ScriptedDialogs dialogs;
    auto ok = [] (juce::AlertWindow&) { return MainComp::consoleOkResult; };

    chooseModel (2056);
    dialogs.answerAlertWindow (ok);
    press (key ('M', shift));
    EXPECT_EQ (z9x.getReceivedOn (4).size(), 1u);
    EXPECT_TRUE (z9m.getReceivedOn (4).empty());

    // No unit of that model: the generic port.
    chooseModel (2069);
    dialogs.answerAlertWindow (ok);
    press (key ('M', shift));
    EXPECT_EQ (ports.getNumReceived ("VORLIX Midi Port"), 1);
}

//==============================================================================
namespace
{
    /** What the stand-in upgrader saw when it ran. */
    struct UpgraderCall
    {
        int productId = 0;
        juce::Component* centreAround = nullptr;
        bool showWarning = false, onlineMode = false;
        bool handOffRunning = false, inputEnabled = true, sending = true, inputOpen = true;
        juce::StringArray conversation;
    };

    class FirmwareHandOffTest : public KeyCommandsTest
    {
    protected:
        void SetUp() override
        {
            KeyCommandsTest::SetUp();
            unit = std::make_unique<SimulatedSurface> (ports, productZ9M);
        }

        void TearDown() override
        {
            KeyCommandsTest::TearDown();
            unit.reset();
        }

        bool surfaceInputOpen() const   { return ports.isInputOpen (unit->getInputName (4)); }

        std::unique_ptr<SimulatedSurface> unit;
        std::vector<UpgraderCall> calls;
        std::function<void()> duringUpgrade;

        EditorHooks::ScopedFirmwareLauncher launcher { [this] (int productId, juce::Component* centre,
                                                               bool warning, bool online)
        {
            UpgraderCall c;
            c.productId = productId;
            c.centreAround = centre;
            c.showWarning = warning;
            c.onlineMode = online;
            c.handOffRunning = firmwareHandOffRunning;
            c.inputEnabled = midiInputEnabled;
            c.sending = sendInProgress;
            c.inputOpen = surfaceInputOpen();
            c.conversation = unit->getConversation (4);
            calls.push_back (c);

            if (duringUpgrade)
                duringUpgrade();

            return 0;
        } };
    };
}

TEST_F (FirmwareHandOffTest, TheUpgraderRunsAtOnceWithTheSurfacesPortsClosedAndTheyComeBack)
{
    showPage();
    theSyncTimer->timerCallback();
    ASSERT_TRUE (surfaceInputOpen());
    unit->clearRecords();

    setSlotDaw (1, 1);
    bool secondIgnored = false;

    duringUpgrade = [&]
    {
        // A second command while the upgrader runs does nothing.
        page->getFirmwareButton().triggerClick();
        page->startFirmwareUpgrade();
        z9test::drainMessageLoop();
        secondIgnored = calls.size() == 1;

        // A tick meanwhile only keeps the ports shut: nothing is sent.
        slotDirty[0] = true;
        theSyncTimer->timerCallback();
        EXPECT_FALSE (surfaceInputOpen());
        EXPECT_TRUE (unit->getReceived().empty());
    };

    // No send runs: the upgrader starts within the click, without a pause.
    page->buttonClicked (&page->getFirmwareButton());

    ASSERT_EQ (calls.size(), 1u);
    EXPECT_TRUE (secondIgnored);
    const auto& c = calls[0];
    EXPECT_EQ (c.productId, productZ9M);
    EXPECT_EQ (c.centreAround, page.get());
    EXPECT_TRUE (c.showWarning);
    EXPECT_TRUE (c.onlineMode);
    EXPECT_TRUE (c.handOffRunning);
    EXPECT_FALSE (c.inputEnabled);
    EXPECT_FALSE (c.sending);
    EXPECT_FALSE (c.inputOpen);

    // Afterwards: the link is back, ports open, and the next tick sends the
    // slot that waited.
    EXPECT_FALSE (firmwareHandOffRunning);
    EXPECT_TRUE (midiInputEnabled);
    EXPECT_TRUE (surfaceInputOpen());
    EXPECT_TRUE (unit->getReceived().empty());

    theSyncTimer->timerCallback();
    EXPECT_TRUE (surfaceInputOpen());
    EXPECT_TRUE (unit->getConversation (4).contains ("confirm"));
    EXPECT_TRUE (unit->getUnexpected().isEmpty());
}

TEST_F (FirmwareHandOffTest, ACommandDuringASendWaitsForTheSendToEnd)
{
    showPage();
    setSlotDaw (1, 1);
    slotDirty[0] = true;

    // The units are greeted already: the tick's only pauses are the send's.
    greetedOutputNames = ports.getOutputNames();
    greetingSent = true;

    // The click arrives inside one of the send's pauses, as a user's would:
    // it is posted when the send's first message reaches the unit.
    bool arrivedDuringSend = false, deferred = false;
    size_t callsDuringSend = 99;

    struct ClickDuringSend : z9test::InMemoryMidiPorts::OutputListener
    {
        std::function<void()> click;

        void messageSentToOutput (const juce::String&, const juce::MidiMessage&) override
        {
            if (sendInProgress && click)
                juce::MessageManager::callAsync (std::exchange (click, nullptr));
        }
    } listener;

    listener.click = [&]
    {
        arrivedDuringSend = sendInProgress;
        page->startFirmwareUpgrade();
        page->startFirmwareUpgrade();   // ignored: one hand-off is under way
        deferred = isFirmwareHandOffDeferred();
        callsDuringSend = calls.size();
    };

    ports.addOutputListener (&listener);
    theSyncTimer->timerCallback();   // the whole send
    ports.removeOutputListener (&listener);

    EXPECT_TRUE (arrivedDuringSend);
    EXPECT_TRUE (deferred);
    EXPECT_EQ (callsDuringSend, 0u);
    EXPECT_TRUE (calls.empty());
    EXPECT_TRUE (firmwareHandOffRunning);

    ASSERT_TRUE (z9test::waitUntil ([&] { return ! calls.empty(); }));
    const auto& c = calls[0];

    // The send went to its end on its own before the upgrader had the unit.
    EXPECT_FALSE (c.sending);
    EXPECT_FALSE (c.inputEnabled);
    EXPECT_FALSE (c.inputOpen);
    EXPECT_TRUE (c.handOffRunning);
    ASSERT_FALSE (c.conversation.isEmpty());
    EXPECT_EQ (c.conversation[c.conversation.size() - 1], "confirm");
    EXPECT_GE (unit->getConfirmedFingerprint (0), 0);

    z9test::runMessageLoopFor (firmwareHandOffPollMs * 2);
    EXPECT_EQ (calls.size(), 1u);
    EXPECT_FALSE (firmwareHandOffRunning);
    EXPECT_TRUE (midiInputEnabled);
    EXPECT_TRUE (surfaceInputOpen());
}

TEST_F (FirmwareHandOffTest, AWaitingHandOffWaitsForAnOpenBoxAndEndsWithItsPage)
{
    showPage();

    // A box is open (a modal component): the upgrader waits for it to close.
    juce::Component box;
    box.enterModalState (false);
    page->startFirmwareUpgrade();
    EXPECT_TRUE (isFirmwareHandOffDeferred());
    z9test::runMessageLoopFor (firmwareHandOffPollMs * 2);
    EXPECT_TRUE (calls.empty());

    box.exitModalState (0);
    ASSERT_TRUE (z9test::waitUntil ([&] { return ! calls.empty(); }));
    EXPECT_FALSE (isFirmwareHandOffDeferred());

    // A send that stays paused while the page goes: the waiting hand-off goes
    // with the page, and nothing is launched for a page that is gone.
    sendInProgress = true;
    page->startFirmwareUpgrade();
    ASSERT_TRUE (isFirmwareHandOffDeferred());
    page.reset();
    sendInProgress = false;

    EXPECT_FALSE (isFirmwareHandOffDeferred());
    EXPECT_FALSE (firmwareHandOffRunning);
    EXPECT_EQ (calls.size(), 1u);
}
