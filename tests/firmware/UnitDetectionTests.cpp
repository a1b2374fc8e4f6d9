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
                z9test::writeSnapshot (*component);
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

TEST_F (UnitUpgrade, EnterFailures)
{
    struct Case { SimulatedSurface::EnterAnswer answer; int delayMs; const char* error; };
    const Case cases[] =
    {
        { SimulatedSurface::EnterAnswer::refuse, 0,   "Device cannot enter Firmeware Upgrade mode!" },
        { SimulatedSurface::EnterAnswer::silent, 0,   "Device cannot enter Firmeware Upgrade mode!" },
        { SimulatedSurface::EnterAnswer::accept, 100, nullptr },   // late, but within the polls
    };

    for (auto& c : cases)
    {
        upgraderState().automaticStepping = false;
        surface->leaveBootloader();
        const auto entersBefore = surface->getNumEnterMessages();
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
            EXPECT_EQ (surface->getNumEnterMessages() - entersBefore, 3);
            EXPECT_TRUE (surface->isPluggedIn());
        }

        upgraderState().bootloaderActive = false;
    }
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
