#include "tests/firmware/FakeBlhostFixture.h"
#include "firmware/ProgramUpgradeSteps.h"
#include "firmware/DeviceSelectComponent.h"
#include "firmware/UpgraderMidiHandler.h"
#include "firmware/UpgraderPorts.h"
#include "tests/support/SimulatedSurface.h"

using namespace vorlix;
using z9test::SimulatedSurface;

namespace
{
    juce::String hex (const juce::MidiMessage& m)
    {
        return juce::String::toHexString (m.getRawData(), m.getRawDataSize(), 1).toUpperCase();
    }

    /** The program's steps with pauses that take a couple of milliseconds of
        message loop each, and let the simulated unit do what is due. */
    class QuickSteps final : public ProgramUpgradeSteps
    {
    public:
        QuickSteps (Hooks hooks, juce::Array<int>& pausesToRecord, std::function<void()> onPauseToRun)
            : ProgramUpgradeSteps (std::move (hooks)), pauses (pausesToRecord), onPause (std::move (onPauseToRun))
        {
            processorIsAmd = [] { return false; };
            processorIsAppleM2 = [] { return false; };
            getTool().runTimeoutMs = 5000;
        }

        void pause (int ms) override
        {
            pauses.add (ms);

            if (onPause)
                onPause();

            z9test::runMessageLoopFor (juce::jlimit (1, 2, ms));
        }

    private:
        juce::Array<int>& pauses;
        std::function<void()> onPause;
    };

    /** A wizard with the program's steps (quick pauses) in its dialog window,
        which is never run. The selection step takes the given image. */
    struct Wizard
    {
        Wizard (int productId, const juce::File& image, std::function<void()> onPause = {})
        {
            ProgramUpgradeSteps::Hooks hooks;
            hooks.selectFirmware = [image] (FirmwareUpgradeComponent& w)
            {
                upgraderState().chosenFirmwarePath = image.getFullPathName();
                w.setStep (3);

                if (upgraderState().automaticStepping)
                    w.stepUpgrade();
            };

            auto steps = std::make_unique<QuickSteps> (std::move (hooks), pauses, std::move (onPause));
            programSteps = steps.get();

            juce::DialogWindow::LaunchOptions options;
            options.dialogTitle = "Firmware Upgrade";
            options.content.setOwned (new FirmwareUpgradeComponent (productId, true, std::move (steps)));
            options.useNativeTitleBar = true;
            options.resizable = false;
            window = std::make_unique<UpgraderDialogWindow> (options, true);
            component = dynamic_cast<FirmwareUpgradeComponent*> (window->getContentComponent());

            // Each wizard points the tool path beside the program: this one
            // uses the stand-in.
            upgraderState().toolPath = Z9_FAKE_BLHOST;
        }

        ~Wizard()
        {
            if (window != nullptr)
            {
                z9test::runMessageLoopFor (80);   // the progress bar follows on its own timer
                z9test::writeSnapshot (*component);
            }
        }

        FirmwareUpgradeComponent* operator->() const  { return component; }
        juce::String title() const                    { return window->getName(); }

        juce::Array<int> pauses;
        QuickSteps* programSteps = nullptr;
        std::unique_ptr<UpgraderDialogWindow> window;
        FirmwareUpgradeComponent* component = nullptr;
    };

    /** Takes the upgrader's choosers: confirms the preselected unit (result 1)
        or cancels (0). */
    struct ChooserAnswers final : public vorlix::ModalDialogRunner
    {
        ChooserAnswers() : scope (*this) {}

        int runModal (UpgraderDialogWindow& window) override
        {
            titles.add (window.getName());

            if (auto* chooser = dynamic_cast<DeviceSelectComponent*> (window.getContentComponent()))
            {
                auto& list = chooser->getUnitList();

                for (int i = 0; i < list.getNumItems(); ++i)
                    if (pick.isNotEmpty() && list.getItemText (i) == pick)
                        list.setSelectedItemIndex (i, juce::sendNotificationSync);

                chosen.add (chooser->selectedName);
            }

            return confirm ? 1 : 0;
        }

        bool confirm = true;
        juce::String pick;   ///< the item to choose; the preselected one when empty
        juce::StringArray titles, chosen;
        vorlix::ModalDialogRunner::ScopedRunner scope;
    };
}

//==============================================================================
TEST (EnterMessages, Bytes)
{
    EXPECT_EQ (hex (makeEnterUpgradeModeMessage (2056, 9)), "F0 1D 03 10 08 00 7F 7F F7");
    EXPECT_EQ (hex (makeEnterUpgradeModeMessage (2070, 9)), "F0 1D 03 10 08 00 7F 7F F7");
    EXPECT_EQ (hex (makeEnterUpgradeModeMessage (2055, 9)), "F0 1D 03 10 07 00 7F 7F F7");
    EXPECT_EQ (hex (makeEnterUpgradeModeMessage (2055, 8)), "F0 1D 03 10 07 55 7F F7");
    EXPECT_EQ (hex (makeEnterUpgradeModeMessage (2010, 9)), "F0 1D 03 0F 5A 00 7F 7E F7");
    EXPECT_EQ (hex (makeFillerMessage()), "EF 7F 7F");

    const auto reset = makeBootloaderResetPacket();
    EXPECT_EQ (juce::String::toHexString (reset.data(), (int) reset.size(), 1).toUpperCase(),
               "55 55 55 55 55 55 55 55 55 55 1D 03 00 49 02 00 BD");
}

TEST (UnitTexts, NotFoundAndDigitBeforeFirstDot)
{
    EXPECT_EQ (notFoundMessage (2069), "The target device of \"Z9-X4\" is not found!");
    EXPECT_EQ (digitBeforeFirstDot ("Vorlix firmware upgrade 1.2"), 1);
    EXPECT_EQ (digitBeforeFirstDot ("Vorlix firmware upgrade 2.0"), 2);
    EXPECT_EQ (digitBeforeFirstDot ("Vorlix firmware upgrade"), 0);
    EXPECT_EQ (digitBeforeFirstDot (".5"), 0);
    EXPECT_EQ (digitBeforeFirstDot ("a.5"), 0);
}

//==============================================================================
class UpgraderHandler : public z9test::FirmwareFixture {};

TEST_F (UpgraderHandler, RecordsTheUnitsAnswersOnlyWhileStarted)
{
    ports.addInput ("Pad16 upgrade");
    ports.addOutput ("Pad16 upgrade");
    auto& acks = upgraderState().acknowledgements;

    UpgraderMidiHandler handler (2017);
    EXPECT_TRUE (handler.isStopped());

    ports.sendToProgram ("Pad16 upgrade", juce::MidiMessage (0x9f, 0x02, 0x40));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_FALSE (acks.reset.load());

    handler.openPorts ("pad16 UPGRADE");   // the input's name ignores case, the output's does not
    EXPECT_TRUE (handler.hasInput());
    EXPECT_FALSE (handler.hasOutput());
    EXPECT_FALSE (handler.isStopped());

    handler.openPorts ("Pad16 upgrade");
    EXPECT_TRUE (handler.arePortsOpen());

    ports.sendToProgram ("Pad16 upgrade", juce::MidiMessage (0x9f, 0x02, 0x40));
    ports.sendToProgram ("Pad16 upgrade", juce::MidiMessage (0xec, 0x2d, 0x01));
    ASSERT_TRUE (ports.waitUntilDelivered());
    EXPECT_TRUE (acks.reset.load());
    EXPECT_TRUE (acks.upgradeMode.load());
    EXPECT_FALSE (acks.refusal.load());

    handler.sendNow (makeFillerMessage());
    EXPECT_EQ (ports.getNumReceived ("Pad16 upgrade"), 1);

    handler.closePorts();
    EXPECT_TRUE (handler.isStopped());
    acks.clear();
    ports.sendToProgram ("Pad16 upgrade", juce::MidiMessage (0x9f, 0x7f, 0x00));
    ports.waitUntilDelivered();
    EXPECT_FALSE (acks.connect.load());
}

TEST_F (UpgraderHandler, LoadsARegularFileOnly)
{
    UpgraderMidiHandler handler (2017);
    auto file = workFolder / "pad16_fw.bin";
    file.replaceWithText ("abc");

    handler.loadFirmware (file);
    EXPECT_EQ (handler.getImageSize(), 3);
    EXPECT_EQ (handler.getImage().getSize(), 4u);
    EXPECT_EQ (handler.getImage()[3], 0);

    handler.loadFirmware (workFolder.get());
    EXPECT_EQ (handler.getImageSize(), 0);
    handler.loadFirmware (workFolder / "missing.bin");
    EXPECT_EQ (handler.getImageSize(), 0);
}

//==============================================================================
/** A Z9-X1 on the in-memory ports, linked to the stand-in tool, running its
    normal firmware. */
class UnitUpgrade : public z9test::FakeBlhostFixture
{
protected:
    void SetUp() override
    {
        FakeBlhostFixture::SetUp();
        surface = std::make_unique<SimulatedSurface> (ports, 2056);
        surface->linkToBootloaderTool (unitStateFile());
    }

    void TearDown() override
    {
        surface.reset();
        FakeBlhostFixture::TearDown();
    }

    std::function<void()> unitUpdates()   { return [this] { surface->updateBootloaderLink(); }; }

    std::unique_ptr<SimulatedSurface> surface;
    ChooserAnswers choosers;
};

TEST_F (UnitUpgrade, OneClickUpgradesAZ9X)
{
    const auto image = makeImage ("z9_x_106.bin", 4000);
    Wizard w (2056, image, unitUpdates());
    EXPECT_TRUE (upgraderState().automaticStepping);

    dialogs.answerBox (0);
    w->stepStart();

    // Enter mode (three attempts; the unit took the first, then its ports
    // went), probe, then the write; after the reset the unit is back.
    EXPECT_EQ (surface->getNumEnterMessages(), 1);
    EXPECT_EQ (surface->getConversation(), juce::StringArray ({ "filler", "enter" }));
    EXPECT_TRUE (surface->isPluggedIn());
    EXPECT_FALSE (surface->isInBootloader());
    EXPECT_EQ (toolVerbs(), juce::StringArray ({ "get-property", "get-property", "get-property",
                                                 "flash-erase-region", "write-memory", "get-property",
                                                 "read-memory", "reset" }));

    juce::MemoryBlock bytes;
    image.loadFileAsData (bytes);
    EXPECT_EQ (juce::MemoryBlock (flash().getData(), 4000), bytes);

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Upgrade Succeeded");
    EXPECT_EQ (dialogs.getRequests()[0].box.message, "Your firmware has been upgraded!");
    EXPECT_TRUE (choosers.titles.isEmpty()) << "automatic stepping chooses the unit itself";

    EXPECT_EQ (w->getStep(), -1);
    EXPECT_EQ (w->targetPortName, juce::String());
    EXPECT_FALSE (upgraderState().bootloaderActive);
    EXPECT_TRUE (w->midiHandler != nullptr);
}

TEST_F (UnitUpgrade, EnterSendsToPortFourAndListensOnItsInput)
{
    upgraderState().automaticStepping = false;
    Wizard w (2056, {}, unitUpdates());
    upgraderState().automaticStepping = false;

    w->targetPortName = surface->getOutputName (4);
    w->stepEnter();

    EXPECT_EQ (w->getStep(), 1);
    EXPECT_TRUE (upgraderState().bootloaderActive);
    EXPECT_TRUE (upgraderState().acknowledgements.upgradeMode.load() || surface->getNumEnterMessages() == 1);
    EXPECT_EQ (surface->getReceived().size(), 2u);
    EXPECT_EQ (surface->getReceived()[1].port, 4);
    EXPECT_EQ (w.title(), "Firmware Upgrade");
    EXPECT_TRUE (dialogs.getRequests().empty());

    // The wizard going takes the unit out of its bootloader.
    w.window.reset();
    EXPECT_EQ (toolVerbs().strings.getLast(), "reset");
}

namespace
{
    struct EnterCase { SimulatedSurface::EnterAnswer answer; int delayMs; const char* error; };
}

class EnterOutcomes : public UnitUpgrade
{
protected:
    void check (const EnterCase& c)
    {
        upgraderState().automaticStepping = false;
        surface->leaveBootloader();
        surface->setEnterAnswer (c.answer, c.delayMs);
        Wizard w (2056, {}, unitUpdates());
        upgraderState().automaticStepping = false;
        w->targetPortName = surface->getOutputName (4);

        if (c.error != nullptr)
            dialogs.answerBox (0);

        w->stepEnter();

        if (c.error == nullptr)
        {
            EXPECT_EQ (w->getStep(), 1);
            EXPECT_TRUE (surface->isInBootloader());
        }
        else
        {
            EXPECT_EQ (w->getStep(), 0);
            ASSERT_FALSE (dialogs.getRequests().empty());
            EXPECT_EQ (dialogs.getRequests().back().box.message, c.error);
            EXPECT_EQ (dialogs.getRequests().back().box.icon, NsZ9m::Dialogs::Icon::warning);
            EXPECT_EQ (surface->getNumEnterMessages(), 3);
            EXPECT_TRUE (surface->isPluggedIn());
        }

        upgraderState().bootloaderActive = false;
    }
};

TEST_F (EnterOutcomes, AUnitThatRefusesStaysAsItIs)
{
    check ({ SimulatedSurface::EnterAnswer::refuse, 0, "Device cannot enter Firmeware Upgrade mode!" });
}

TEST_F (EnterOutcomes, ASilentUnitStaysAsItIs)
{
    check ({ SimulatedSurface::EnterAnswer::silent, 0, "Device cannot enter Firmeware Upgrade mode!" });
}

TEST_F (EnterOutcomes, ALateAnswerStillCounts)
{
    check ({ SimulatedSurface::EnterAnswer::accept, 100, nullptr });   // after the first look, within the polls
}

TEST_F (UnitUpgrade, EnterWithoutAPortOrWithAnOccupiedOne)
{
    upgraderState().automaticStepping = false;
    Wizard w (2056, {}, unitUpdates());
    upgraderState().automaticStepping = false;

    w->targetPortName = surface->getOutputName (4);
    ports.setOpenFails (surface->getOutputName (4));
    dialogs.answerBox (0);
    w->stepEnter();
    EXPECT_EQ (dialogs.getMessages().joinIntoString ("|"), "Target device is occupied!");
    EXPECT_EQ (w->getStep(), 0);

    surface->unplug();
    dialogs.answerBox (0);
    w->stepEnter();
    EXPECT_EQ (dialogs.getMessages()[1], "No target!");
    EXPECT_EQ (surface->getNumEnterMessages(), 0);
}

TEST_F (UnitUpgrade, StartBringsBackAUnitLeftInItsBootloader)
{
    // A unit still in its bootloader from an earlier run shows no ports.
    surface->enterBootloader();
    ASSERT_FALSE (surface->isPluggedIn());

    Wizard w (2056, {}, unitUpdates());
    upgraderState().automaticStepping = false;
    choosers.pick = surface->getOutputName (4);

    w->stepStart();

    // Probe, reset: the unit comes back with its ports and is chosen.
    EXPECT_EQ (toolVerbs(), juce::StringArray ({ "get-property", "reset" }));
    EXPECT_TRUE (surface->isPluggedIn());
    EXPECT_FALSE (upgraderState().bootloaderActive);
    EXPECT_EQ (w->targetPortName, surface->getOutputName (4));
    EXPECT_EQ (w->getStep(), 0);
    EXPECT_TRUE (dialogs.getRequests().empty());
    EXPECT_EQ (w.pauses.getLast(), 235);
}

TEST_F (UnitUpgrade, StartWithoutTheToolSaysSo)
{
    upgraderState().automaticStepping = false;
    Wizard w (2056, {}, unitUpdates());
    upgraderState().automaticStepping = false;
    upgraderState().toolPath = (toolFolder / "no-tool.exe").getFullPathName();

    choosers.confirm = false;
    dialogs.answerBox (0);
    w->stepStart();

    EXPECT_EQ (choosers.titles, juce::StringArray ({ "Choose Your Vorlix Device" }));
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Lacked of upgrade tool!" }));
    EXPECT_EQ (w->getStep(), -1);
    EXPECT_TRUE (toolRuns().isEmpty());
}

TEST_F (UnitUpgrade, StartWithNoUnitAnywhere)
{
    upgraderState().automaticStepping = false;
    surface->unplug();
    setUnitState ("running");

    Wizard w (2056, {}, unitUpdates());
    upgraderState().automaticStepping = false;
    choosers.confirm = false;
    dialogs.answerBox (0);
    w->stepStart();

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "The target device of \"Z9-X\" is not found!" }));
    EXPECT_EQ (toolVerbs(), juce::StringArray ({ "get-property" }));
    EXPECT_TRUE (w.pauses.contains (1000));
}

TEST_F (UnitUpgrade, StartLetsTheUserChooseWithoutAutomaticStepping)
{
    upgraderState().automaticStepping = false;
    Wizard w (2056, {}, unitUpdates());
    upgraderState().automaticStepping = false;
    choosers.pick = surface->getOutputName (4);

    w->stepStart();

    ASSERT_EQ (choosers.chosen.size(), 1);
    EXPECT_EQ (w->targetPortName, choosers.chosen[0]);
    EXPECT_EQ (w->getStep(), 0);
    EXPECT_EQ (w.title(), "Firmware Upgrade: Z9-X");
    EXPECT_TRUE (dialogs.getRequests().empty());
}

//==============================================================================
TEST_F (UnitUpgrade, InItsDialogTheWizardKeepsItsSize)
{
    Wizard w (2056, {});
    EXPECT_EQ (w->getWidth(), 514);
    EXPECT_EQ (w->getHeight(), 450);
    EXPECT_EQ (w.window->getContentComponent(), w.component);
}

//==============================================================================
/** A unit of the MIDI bootloader's kind (a Pad16), with its ports named as
    the maker names them. */
class MidiFamilyUnit : public z9test::FakeBlhostFixture
{
protected:
    void plugInPad (const juce::String& name = "VORLIX Pad16")
    {
        ports.addOutput (name);
        ports.addInput (name);
    }

    ChooserAnswers choosers;
};

TEST_F (MidiFamilyUnit, StartOnAnAmdProcessorWarnsAndKeepsTheUnit)
{
    plugInPad();
    Wizard w (z9test::midiBootloaderProduct, {});
    w.programSteps->processorIsAmd = [] { return true; };
    choosers.pick = "VORLIX Pad16";

    dialogs.answerBox (0);
    w->stepStart();

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].box.icon, NsZ9m::Dialogs::Icon::warning);
    EXPECT_EQ (dialogs.getRequests()[0].box.message,
               "Cannot upgrade firmware!\n \nSince Ostrik is not compatible with your computer with AMD chip.");
    EXPECT_EQ (w->targetPortName, "VORLIX Pad16");
    EXPECT_EQ (w->getStep(), 0);
}

TEST_F (MidiFamilyUnit, StartWaitsForAPortAndCountsTheSeconds)
{
    Wizard w (z9test::midiBootloaderProduct, {});
    choosers.confirm = false;
    dialogs.answerBox (0);
    w->stepStart();

    // Three attempts of five polls, one second apart, then the chooser;
    // cancelled with no error, an empty box.
    EXPECT_EQ (w.pauses.size(), 15);
    EXPECT_TRUE (w.pauses.contains (1000));
    EXPECT_EQ (choosers.titles.size(), 1);
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray (juce::String()));
}

TEST_F (MidiFamilyUnit, UnitsAlreadyInUpgradeModeAreReleasedOnRequest)
{
    plugInPad ("Vorlix firmware upgrade 1.0");
    plugInPad ("VORLIX Pad16");
    Wizard w (z9test::midiBootloaderProduct, {});
    choosers.pick = "VORLIX Pad16";

    // "Yes": the reset command goes to the unit in upgrade mode, which stays
    // there, so the user is told to power it off.
    dialogs.answerBox (0).answerBox (0);
    w->stepStart();

    const auto messages = dialogs.getMessages();
    ASSERT_EQ (messages.size(), 2);
    EXPECT_TRUE (messages[0].startsWith ("It looks like some of your units are already in firmware upgrade mode."));
    EXPECT_TRUE (messages[1].startsWith ("It looks like your device is still in firmware upgrade mode."));

    const auto sent = ports.getReceived ("Vorlix firmware upgrade 1.0");
    ASSERT_EQ (sent.size(), 18u);   // the filler and the 17 bytes of the reset command
    EXPECT_EQ (hex (sent[0]), "EF 7F 7F");
    EXPECT_EQ (hex (sent[1]), "9F 05 05");
    EXPECT_EQ (hex (sent[15]), "9F 00 02");
    EXPECT_EQ (hex (sent[17]), "9F 0B 0D");
    EXPECT_EQ (ports.getNumReceived ("VORLIX Pad16"), 0);
}

TEST_F (MidiFamilyUnit, ActivateConnectsToTheUnitInUpgradeMode)
{
    plugInPad ("Vorlix firmware upgrade 1.0");
    Wizard w (z9test::midiBootloaderProduct, {});
    w->setStep (1);

    w->stepActivate();

    EXPECT_EQ (choosers.titles, juce::StringArray ({ "Choose Your Vorlix Device" }));
    EXPECT_EQ (w->upgradePortName, "Vorlix firmware upgrade 1.0");
    ASSERT_NE (w->midiHandler, nullptr);
    EXPECT_TRUE (w->midiHandler->arePortsOpen());
    EXPECT_EQ (w->getStep(), 2);
    EXPECT_FALSE (w->getStepButton (0).isEnabled());
    EXPECT_TRUE (dialogs.getRequests().empty());

    // A normal port is not a unit in upgrade mode.
    plugInPad ("VORLIX Pad16");
    choosers.pick = "VORLIX Pad16";
    choosers.confirm = true;
    dialogs.answerBox (0);
    w->stepActivate();

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Please select the unit \"Vorlix firmware upgrade\"" }));
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Step 3");
    EXPECT_EQ (w->getStep(), 1);
    EXPECT_TRUE (w->getStepButton (0).isEnabled());
}

TEST_F (UnitUpgrade, StartFailureTexts)
{
    upgraderState().automaticStepping = false;

    {
        // In its bootloader, but the reset does not answer.
        surface->enterBootloader();
        setFaults ("reset fail");
        Wizard w (2056, {}, unitUpdates());
        upgraderState().automaticStepping = false;
        choosers.confirm = false;
        dialogs.answerBox (0);
        w->stepStart();
        EXPECT_EQ (dialogs.getMessages().joinIntoString ("|"), "Cannot get product model!");
        EXPECT_FALSE (upgraderState().bootloaderActive);
    }

    surface->leaveBootloader();
    setFaults ({});
    ports.addOutput ("Some Synth Out");

    const struct { const char* pick; const char* message; } cases[] =
    {
        { "Some Synth Out", "\"Some Synth Out\"\nThis device may be not able to be upgraded by this software." },
    };

    for (auto& c : cases)
    {
        Wizard w (2056, {}, unitUpdates());
        upgraderState().automaticStepping = false;
        choosers.confirm = true;
        choosers.pick = c.pick;
        const auto before = dialogs.getMessages().size();
        dialogs.answerBox (0);
        w->stepStart();
        EXPECT_EQ (dialogs.getMessages()[before], c.message) ;
        EXPECT_EQ (w->getStep(), -1);
    }
}

TEST_F (UnitUpgrade, StartCountsUnitsNotTheirPorts)
{
    // The unit shows "Z9-X1" and "MIDIOUT2 (Z9-X1)" to "MIDIOUT4 (Z9-X1)"; a
    // second one of that name shows "2- Z9-X1" and "MIDIOUT2 (2- Z9-X1)" ...
    const struct { bool secondUnit; const char* pick; bool refused; } cases[] =
    {
        { false, "Z9-X1",               false },
        { false, "MIDIOUT4 (Z9-X1)",    false },
        { false, "MIDIOUT2 (Z9-X1)",    false },
        { true,  "Z9-X1",               true },
        { true,  "MIDIOUT4 (Z9-X1)",    true },
        { true,  "2- Z9-X1",            true },
        { true,  "MIDIOUT3 (2- Z9-X1)", true },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.pick) + (c.secondUnit ? " beside a second unit" : " alone"));
        std::unique_ptr<SimulatedSurface> second;

        if (c.secondUnit)
            second = std::make_unique<SimulatedSurface> (ports, 2056, 4, true, "2- Z9-X1");

        Wizard w (2056, {}, unitUpdates());
        upgraderState().automaticStepping = false;
        choosers.confirm = true;
        choosers.pick = c.pick;
        const auto before = dialogs.getMessages().size();

        if (c.refused)
            dialogs.answerBox (0);

        w->stepStart();

        ASSERT_EQ (choosers.chosen.strings.getLast(), c.pick);
        EXPECT_EQ (w->targetPortName, c.pick);

        if (c.refused)
        {
            EXPECT_EQ (dialogs.getMessages().size(), before + 1);
            EXPECT_EQ (dialogs.getMessages()[before], "Connect ONLY the device you want to update.");
            EXPECT_EQ (w->getStep(), -1);
        }
        else
        {
            EXPECT_EQ (dialogs.getMessages().size(), before);
            EXPECT_EQ (w->getStep(), 0);
            EXPECT_EQ (w.title(), "Firmware Upgrade: Z9-X");
        }
    }
}
