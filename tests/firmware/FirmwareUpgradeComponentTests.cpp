#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/FirmwareCatalogue.h"
#include "firmware/FirmwareProducts.h"
#include "core/sync/PortLookup.h"
#include "core/base/PlatformHelpers.h"
#include "tests/support/TempFolder.h"

using namespace vorlix;
using z9test::FakeUpgradeSteps;
using z9test::StepLog;
using z9test::midiBootloaderProduct;
using NsZ9m::Dialogs;

namespace
{
    /** A wizard with fake steps in its (never run) dialog window. */
    struct Wizard
    {
        explicit Wizard (int productId, bool online = true)
            : logHolder (std::make_shared<StepLog>()), log (*logHolder)
        {
            auto fake = std::make_unique<FakeUpgradeSteps> (log);
            steps = fake.get();

            juce::DialogWindow::LaunchOptions options;
            options.dialogTitle = "Firmware Upgrade";
            options.content.setOwned (new FirmwareUpgradeComponent (productId, online, std::move (fake)));
            options.escapeKeyTriggersCloseButton = false;
            options.useNativeTitleBar = true;
            options.resizable = false;
            window = std::make_unique<UpgraderDialogWindow> (options, true);
            component = dynamic_cast<FirmwareUpgradeComponent*> (window->getContentComponent());
        }

        /** Every wizard a test builds leaves a picture of how it ended. */
        ~Wizard()
        {
            if (window != nullptr && component != nullptr)
                z9test::writeSnapshot (*component);
        }

        FirmwareUpgradeComponent& operator*() const   { return *component; }
        FirmwareUpgradeComponent* operator->() const  { return component; }

        juce::String title() const   { return window->getName(); }

        juce::Array<bool> enabledButtons() const
        {
            juce::Array<bool> enabled;
            for (int i = 0; i < FirmwareUpgradeComponent::numSteps; ++i)
                enabled.add (component->getStepButton (i).isEnabled());
            return enabled;
        }

        void press (int keyCode, juce::ModifierKeys mods = {})
        {
            EXPECT_FALSE (component->keyPressed (juce::KeyPress (keyCode, mods, 0))) << "keys are passed on";
        }

        std::shared_ptr<StepLog> logHolder;   // outlives the wizard when a test keeps it
        StepLog& log;
        FakeUpgradeSteps* steps = nullptr;
        std::unique_ptr<UpgraderDialogWindow> window;
        FirmwareUpgradeComponent* component = nullptr;
    };

    juce::Array<bool> bools (std::initializer_list<bool> list)   { return juce::Array<bool> (list); }

    template <typename Type>
    Type* findChild (juce::Component& parent, std::function<bool (Type&)> matches)
    {
        for (auto* child : parent.getChildren())
            if (auto* c = dynamic_cast<Type*> (child); c != nullptr && matches (*c))
                return c;
        return nullptr;
    }

    juce::Label* findLabel (juce::Component& parent, const juce::String& text)
    {
        return findChild<juce::Label> (parent, [&] (juce::Label& l) { return l.getText() == text; });
    }
}

class FirmwareWizard : public z9test::FirmwareFixture {};

//==============================================================================
TEST_F (FirmwareWizard, StepTexts)
{
    const char* buttons[] = { "Start", "Enter", "Activate", "Select Version", "Upgrade" };

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (FirmwareUpgradeComponent::getStepButtonText (i, true), buttons[i]);

    EXPECT_EQ (FirmwareUpgradeComponent::getStepButtonText (3, false), "Load File");
    EXPECT_EQ (FirmwareUpgradeComponent::getStepButtonText (5, true), "Invalid Step");
    EXPECT_EQ (FirmwareUpgradeComponent::getStepButtonText (-1, false), "Invalid Step");

    EXPECT_EQ (FirmwareUpgradeComponent::getStepInstructions (0, true),
               "Please connect your Vorlix device and click \"Start\" button \nto create the connection");
    EXPECT_EQ (FirmwareUpgradeComponent::getStepInstructions (1, false),
               "Click \"Enter\" button to enter into firmware upgrade mode");
    EXPECT_EQ (FirmwareUpgradeComponent::getStepInstructions (2, true),
               "Click \"Activate\" button to activate the firmware upgrade \nmode");
    EXPECT_EQ (FirmwareUpgradeComponent::getStepInstructions (3, true),
               "Click \"Select Version\", the process will automatically search \nfor the latest firmware for your device at our server");

    const auto manual = FirmwareUpgradeComponent::getStepInstructions (3, false);
    EXPECT_TRUE (manual.startsWith ("Download the latest firmware on \"www."));
    EXPECT_TRUE (manual.endsWith ("\", then click the \"Load File\" button to browse the firmware file"));

    EXPECT_EQ (FirmwareUpgradeComponent::getStepInstructions (4, true),
               "Click \"Upgrade\" to start the file upload \nprocess");
    EXPECT_EQ (FirmwareUpgradeComponent::getStepInstructions (7, true), juce::String());
}

TEST_F (FirmwareWizard, LayoutAtItsDefaultSize)
{
    // On its own: a window sizes its content to the window's own frame.
    StepLog log;
    FirmwareUpgradeComponent c (2056, true, std::make_unique<FakeUpgradeSteps> (log));

    EXPECT_EQ (c.getWidth(), 514);
    EXPECT_EQ (c.getHeight(), 450);

    for (int i = 0; i < 5; ++i)
    {
        auto& button = c.getStepButton (i);
        EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (17 + 96 * i, 92, 90, 20)) << i;

        auto* caption = findLabel (c, "Step " + juce::String (i + 1));
        ASSERT_NE (caption, nullptr);
        EXPECT_EQ (caption->getBounds(), juce::Rectangle<int> (17 + 96 * i, 66, 90, 20));
        EXPECT_EQ (caption->getJustificationType(), juce::Justification::centred);

        auto* title = findLabel (c, "Step " + juce::String (i + 1) + ":");
        ASSERT_NE (title, nullptr);
        EXPECT_EQ (title->getBounds(), juce::Rectangle<int> (17, 155 + 56 * i, 70, 20));

        auto* instruction = findLabel (c, FirmwareUpgradeComponent::getStepInstructions (i, true));
        ASSERT_NE (instruction, nullptr);
        EXPECT_EQ (instruction->getBounds(), juce::Rectangle<int> (93, 155 + 56 * i, 407, 50));
    }

    auto* lastInstruction = findLabel (c, FirmwareUpgradeComponent::getStepInstructions (4, true));
    EXPECT_EQ (lastInstruction->getBottom(), 429);

    auto* status = findLabel (c, "Upgrade Progress");
    ASSERT_NE (status, nullptr);
    EXPECT_EQ (status->getBounds(), juce::Rectangle<int> (0, 10, 514, 20));

    auto* bar = findChild<juce::ProgressBar> (c, [] (auto&) { return true; });
    ASSERT_NE (bar, nullptr);
    EXPECT_EQ (bar->getBounds(), juce::Rectangle<int> (40, 36, 434, 24));
    EXPECT_EQ (bar->findColour (juce::ProgressBar::foregroundColourId), juce::Colour (0xff87ceeb));

    for (auto* child : c.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colours::black) << label->getText();

    z9test::writeSnapshot (c);
}

TEST_F (FirmwareWizard, ManualModeShowsTheLoadFileStep)
{
    Wizard w (2055, false);

    EXPECT_EQ (w->getStepButton (3).getButtonText(), "Load File");
    EXPECT_NE (findLabel (*w, FirmwareUpgradeComponent::getStepInstructions (3, false)), nullptr);
    EXPECT_FALSE (upgraderState().online);
    EXPECT_FALSE (w->firmwares.isValid());

    w->setStep (2);
}

//==============================================================================
TEST_F (FirmwareWizard, ButtonStatesFollowTheStep)
{
    Wizard w (2056);

    EXPECT_EQ (w.enabledButtons(), bools ({ true, false, false, false, false }));
    EXPECT_EQ (w->getStep(), -1);
    EXPECT_EQ (w->getProgress(), 0.0);

    const juce::Array<bool> expected[] =
    {
        bools ({ true, true, false, false, false }),
        bools ({ true, true, true, false, false }),
        bools ({ true, true, true, true, false }),
        bools ({ true, true, true, true, true }),
        bools ({ true, true, true, true, true }),
    };

    for (int s = 0; s < 5; ++s)
    {
        w->setStep (s);
        EXPECT_EQ (w.enabledButtons(), expected[s]) << "step " << s;
        EXPECT_DOUBLE_EQ (w->getProgress(), (s + 1) / 5.0);
        EXPECT_EQ (w->getStep(), s);
    }

    w->setStep (2);
    EXPECT_EQ (w.enabledButtons(), bools ({ true, true, true, true, false }));
    z9test::writeSnapshot (*w, "step2");

    w->setBusy (true);
    EXPECT_TRUE (upgraderState().busy);
    EXPECT_EQ (w.enabledButtons(), bools ({ false, false, false, false, false }));

    w->setBusy (false);
    EXPECT_EQ (w.enabledButtons(), bools ({ true, true, true, true, true }));

    w->setStep (-1);
    EXPECT_EQ (w.enabledButtons(), bools ({ true, false, false, false, false }));
    EXPECT_EQ (w->getProgress(), 0.0);
}

TEST_F (FirmwareWizard, TheButtonsRunTheirSteps)
{
    Wizard w (2056);
    w->setStep (3);

    for (int i = 0; i < 4; ++i)
        w->getStepButton (i).triggerClick();

    ASSERT_TRUE (z9test::waitUntil ([&] { return w.log.calls.size() == 4; }));
    EXPECT_EQ (w.log.calls, juce::StringArray ({ "start", "enter", "activate", "select" }));
}

//==============================================================================
TEST_F (FirmwareWizard, ConstructionSetsTheProcessWideState)
{
    auto& state = upgraderState();
    state.service = true;
    state.abort = true;
    state.cycleCounter = 7;
    state.anyProduct = false;

    Wizard w (2070);

    EXPECT_TRUE (state.toolFamily);
    EXPECT_TRUE (state.automaticStepping);     // tool family steps by itself
    EXPECT_FALSE (state.service);
    EXPECT_FALSE (state.abort);
    EXPECT_EQ (state.cycleCounter, 0);
    EXPECT_TRUE (state.anyProduct);
    EXPECT_TRUE (state.online);
    EXPECT_EQ (NsZ9m::alternateBrandFlag, 0);
    EXPECT_EQ (state.toolPath, NsZ9m::getExecutableFolderPath() + "resources\\Assets\\tools\\win\\blhost.exe");
    EXPECT_TRUE (state.toolPath.contains ("/resources\\Assets"));   // the folder text ends with "/"

    EXPECT_EQ (w->launchProduct, 2070);
    EXPECT_EQ (w->unitProduct, 2070);
    EXPECT_EQ (w->targetProduct, 2070);
    EXPECT_EQ (w->previousProduct, 2070);
    EXPECT_TRUE (w->firmwares.hasType ("firmwares"));
}

TEST_F (FirmwareWizard, ASecondWizardKeepsWhatTheFirstLeft)
{
    auto& state = upgraderState();

    {
        Wizard first (midiBootloaderProduct);
        EXPECT_FALSE (state.toolFamily);
        EXPECT_FALSE (state.automaticStepping);   // a MIDI-family launch leaves it as it was

        first.press ('A');
        first.press ('S');
        state.busy = true;
    }

    Wizard second (midiBootloaderProduct);
    EXPECT_TRUE (state.automaticStepping);
    EXPECT_TRUE (state.repeat);
    EXPECT_TRUE (state.busy);
}

TEST_F (FirmwareWizard, AnAlternateBrandLaunchSwitchesThePortNameTables)
{
    Wizard w (2093);
    EXPECT_EQ (NsZ9m::alternateBrandFlag, 1);
    EXPECT_EQ (NsZ9m::getProductIdFromPortName ("TM-61 MIDI"), 2093);
    EXPECT_EQ (NsZ9m::getProductIdFromPortName ("Z9-M"), 2000);
}

//==============================================================================
TEST_F (FirmwareWizard, TitlesFollowTheFlags)
{
    Wizard w (midiBootloaderProduct);
    auto& state = upgraderState();

    struct Case { bool service, online, repeat; int cycles; const char* title; };

    const Case cases[] =
    {
        { false, true,  false, 0, "Firmware Upgrade" },
        { true,  false, false, 0, "Firmware Upgrade. [M]" },
        { false, true,  true,  3, "Firmware Upgrade[3/20]" },
        { false, false, true,  3, "Firmware Upgrade [M][3/20]" },
        { true,  true,  true,  20, "Firmware Upgrade.[20/20]" },
    };

    for (auto& c : cases)
    {
        state.service = c.service;
        state.online = c.online;
        state.repeat = c.repeat;
        state.cycleCounter = c.cycles;

        EXPECT_EQ (w->makeUpgraderTitle(), c.title);

        w->setStatusText ({});
        EXPECT_EQ (w.title(), c.title);

        w->setStatusText ("Waiting");
        EXPECT_EQ (w.title(), juce::String (c.title) + ": Waiting");
    }
}

TEST_F (FirmwareWizard, ChoosingAUnitShowsItsModelName)
{
    Wizard w (2056);
    upgraderState().automaticStepping = false;

    EXPECT_TRUE (w->selectTargetUnit (2069));
    EXPECT_EQ (w.title(), "Firmware Upgrade: Z9-X4");
    EXPECT_EQ (w->unitProduct, 2069);
    EXPECT_EQ (w->targetProduct, 2069);
    EXPECT_EQ (w->getStep(), 0);
    EXPECT_TRUE (w.log.calls.isEmpty());
}

TEST_F (FirmwareWizard, ChoosingAUnitRunsEnterWhenTheAutomaticRuleAllows)
{
    struct Case { bool service, automatic; int product; bool enters; };

    const Case cases[] =
    {
        { false, true,  2056, true },
        { false, true,  midiBootloaderProduct, true },
        { false, false, 2056, false },
        { true,  false, 2056, true },     // service: by family, whatever the stepping
        { true,  true,  midiBootloaderProduct, false },
    };

    for (auto& c : cases)
    {
        Wizard w (2056);
        upgraderState().service = c.service;
        upgraderState().automaticStepping = c.automatic;

        w->selectTargetUnit (c.product);
        EXPECT_EQ (w.log.calls.contains ("enter"), c.enters)
            << "service " << c.service << " automatic " << c.automatic << " product " << c.product;
    }
}

//==============================================================================
TEST_F (FirmwareWizard, ServiceKeysToggleTheirFlags)
{
    Wizard w (midiBootloaderProduct);
    auto& state = upgraderState();

    w.press ('A');
    EXPECT_TRUE (state.automaticStepping);
    w.press ('a', juce::ModifierKeys::shiftModifier);   // modifiers and case do not matter
    EXPECT_FALSE (state.automaticStepping);

    w.press ('O');
    EXPECT_FALSE (state.anyProduct);

    w.press ('M');
    EXPECT_FALSE (state.online);
    EXPECT_FALSE (w->isOnline());
    EXPECT_EQ (w.title(), "Firmware Upgrade [M]");
    EXPECT_EQ (w->getStepButton (3).getButtonText(), "Select Version");   // texts stay

    w->unitProduct = 2055;
    w.press ('T', juce::ModifierKeys::ctrlModifier);
    EXPECT_TRUE (state.service);
    EXPECT_EQ (w->targetProduct, 2055);
    EXPECT_EQ (w.title(), "Firmware Upgrade. [M]");

    state.abort = true;
    w.press ('S');
    EXPECT_TRUE (state.repeat);
    EXPECT_FALSE (state.abort);
    EXPECT_EQ (w->makeUpgraderTitle(), "Firmware Upgrade. [M][0/20]");

    w.press (juce::KeyPress::escapeKey);
    EXPECT_TRUE (state.abort);
    EXPECT_FALSE (state.repeat);

    w.press ('X');   // any other key does nothing
    EXPECT_TRUE (dialogs.getRequests().empty());
}

TEST_F (FirmwareWizard, F1ShowsTheBuildInfo)
{
    Wizard w (2055);
    dialogs.answerBox (0);

    w.press (juce::KeyPress::F1Key);

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    const auto& box = dialogs.getRequests()[0].box;
    EXPECT_EQ (box.icon, Dialogs::Icon::none);
    EXPECT_EQ (box.title, "\n\nVorlix Firmware Upgrader\n\nV1.66");
}

//==============================================================================
TEST_F (FirmwareWizard, ASuccessfulToolUpgradeIsReportedAndEndsWithoutAStep)
{
    Wizard w (2056);
    auto& state = upgraderState();
    state.automaticStepping = false;
    state.chosenFirmwarePath = "c:\\fw\\z9_x_106.bin";

    z9test::TempFolder folder;
    const auto downloaded = folder.get().getChildFile ("z9_x_106.bin");
    ASSERT_TRUE (downloaded.replaceWithText ("image"));
    w->firmwareFile = downloaded;
    w->firmwareFileReady = true;
    w->targetPortName = "Z9-X1 MIDI 1.05";
    w->upgradePortName = "something";

    dialogs.answerBox (0);
    w->stepUpgrade();

    EXPECT_EQ (w.log.calls, juce::StringArray ({ "blhost c:\\fw\\z9_x_106.bin" }));
    EXPECT_FALSE (downloaded.exists());
    EXPECT_FALSE (w->firmwareFileReady);
    EXPECT_EQ (w.log.pauses, juce::Array<int> ({ 300, 600 }));

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    const auto& box = dialogs.getRequests()[0].box;
    EXPECT_EQ (box.icon, Dialogs::Icon::info);
    EXPECT_EQ (box.title, "Firmware Upgrade Succeeded");
    EXPECT_EQ (box.message, "Your firmware has been upgraded!");

    EXPECT_EQ (w->getStep(), -1);
    EXPECT_EQ (w.enabledButtons(), bools ({ true, false, false, false, false }));
    EXPECT_TRUE (w->targetPortName.isEmpty());
    EXPECT_TRUE (w->upgradePortName.isEmpty());
    EXPECT_EQ (w->getStatusLabelText(), "Firmware Upgrade");
    EXPECT_EQ (w.title(), "Firmware Upgrade");
    EXPECT_FALSE (state.busy);
    EXPECT_EQ (state.cycleCounter, 0);   // counted only with automatic stepping
    EXPECT_FALSE (w->isStepRunning());
}

TEST_F (FirmwareWizard, TheResultBoxes)
{
    struct Case { const char* failure; Dialogs::Icon icon; const char* title; const char* message; };

    const Case cases[] =
    {
        { "OK. But reset failed!", Dialogs::Icon::info, "Firmware Upgrade Succeeded",
          "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, then turn back on for changes to take effect" },
        { "Could not write new firmware", Dialogs::Icon::warning, "Firmware Upgrade Failed", "Could not write new firmware" },
        { "OK. But reset failed", Dialogs::Icon::warning, "Firmware Upgrade Failed", "OK. But reset failed" },
    };

    for (auto& c : cases)
    {
        z9test::ScriptedDialogs boxes;
        boxes.answerBox (0);

        Wizard w (midiBootloaderProduct);
        const juce::String failure (c.failure);
        w.steps->writeResult = [failure] { return juce::Result::fail (failure); };
        w->setStep (3);
        w->stepUpgrade();

        EXPECT_EQ (w.log.calls, juce::StringArray ({ "midi" }));
        EXPECT_EQ (w.log.pauses, juce::Array<int> ({ 800, 300 }));
        ASSERT_EQ (boxes.getRequests().size(), 1u) << c.failure;
        EXPECT_EQ (boxes.getRequests()[0].box.icon, c.icon);
        EXPECT_EQ (boxes.getRequests()[0].box.title, c.title);
        EXPECT_EQ (boxes.getRequests()[0].box.message, c.message);
        EXPECT_EQ (w->getStep(), -1);
    }
}

TEST_F (FirmwareWizard, AnM2ProcessorWritesNothing)
{
    Wizard w (2056);
    w.steps->m2 = true;
    upgraderState().automaticStepping = false;
    dialogs.answerBox (0);

    w->stepUpgrade();

    EXPECT_TRUE (w.log.calls.isEmpty());
    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Upgrade Failed");
    EXPECT_EQ (dialogs.getRequests()[0].box.message,
               "Warning: The current device cannot upgrade firmware correctly,\n on the M2 series macOS. \n\nPlease close the current upgrade window!");
}

TEST_F (FirmwareWizard, TheUpgradeStepDisablesTheButtonsWhileItWrites)
{
    Wizard w (2056);
    upgraderState().automaticStepping = false;
    juce::Array<bool> whileWriting;
    bool busyWhileWriting = false;

    w.steps->writeResult = [&]
    {
        whileWriting = w.enabledButtons();
        busyWhileWriting = upgraderState().busy && w->isStepRunning();
        return juce::Result::fail ("Erase failed!");
    };

    dialogs.answerBox (0);
    w->setStep (3);
    w->stepUpgrade();

    EXPECT_EQ (whileWriting, bools ({ false, false, false, false, false }));
    EXPECT_TRUE (busyWhileWriting);
}

//==============================================================================
TEST_F (FirmwareWizard, RepeatCyclesRunFromTheMessageLoopUntilTwentyUpgradesSucceeded)
{
    Wizard w (2056);
    auto& state = upgraderState();
    z9test::makeEveryStepSucceed (*w.steps, 2056);
    w.press ('S');
    ASSERT_TRUE (state.automaticStepping && state.repeat);

    w->getStepButton (0).triggerClick();

    ASSERT_TRUE (z9test::waitUntil ([&] { return w.log.calls.size() >= 20 * 5 && ! w->isStepRunning()
                                                 && w.log.calls[w.log.calls.size() - 1].startsWith ("blhost"); }));
    z9test::drainMessageLoop();   // nothing more is posted

    EXPECT_EQ (w.log.calls.size(), 20 * 5);
    EXPECT_EQ (juce::StringArray (w.log.calls.begin(), 5),
               juce::StringArray ({ "start", "enter", "activate", "select", "blhost c:\\fw\\z9_x_106.bin" }));
    EXPECT_EQ (state.cycleCounter, 0);            // reset after the twentieth
    EXPECT_TRUE (state.repeat);
    EXPECT_TRUE (dialogs.getRequests().empty());  // no success box during the cycles
    EXPECT_EQ (w->getStep(), -1);

    // Each cycle ran from the message loop: the steps of one cycle nest
    // (start, enter, activate, select), but no cycle ran inside another.
    EXPECT_EQ (w.log.deepestNesting, 4);
}

TEST_F (FirmwareWizard, ARepeatCycleThatComesDueWhileAStepStillRunsWaitsForItsEnd)
{
    Wizard w (2056);
    auto& state = upgraderState();
    z9test::makeEveryStepSucceed (*w.steps, 2056);
    w.press ('S');

    // Start runs the whole chain and then, as it does for some units after
    // the chain, waits with the message loop running: the next cycle, posted
    // at the end of the upgrade, comes due inside that wait.
    int starts = 0;
    auto chain = w.steps->onStart;
    w.steps->onStart = [&] (vorlix::FirmwareUpgradeComponent& wizard)
    {
        if (++starts > 1)
        {
            state.repeat = false;   // one more cycle is enough to see
            return;
        }

        chain (wizard);
        ASSERT_EQ (wizard.isStepRunning(), true);

        for (int i = 0; i < 5; ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);

        EXPECT_EQ (starts, 1);   // not nested inside this step
    };

    w->getStepButton (0).triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return starts == 2 && ! w->isStepRunning(); }));
    z9test::drainMessageLoop();

    EXPECT_EQ (starts, 2);
    EXPECT_EQ (w.log.deepestNesting, 4);   // start, enter, activate, select: the second cycle nested in none
}

TEST_F (FirmwareWizard, FailedUpgradesAreRetriedUntilEscape)
{
    Wizard w (2056);
    auto& state = upgraderState();
    z9test::makeEveryStepSucceed (*w.steps, 2056);
    w.press ('S');

    int writes = 0;
    w.steps->writeResult = [&]
    {
        if (++writes == 3)   // the user presses Escape during the third write
            w.press (juce::KeyPress::escapeKey);
        return juce::Result::fail ("Check failed!");
    };

    dialogs.answerEveryBox (0);
    w->stepStart();
    ASSERT_TRUE (z9test::waitUntil ([&] { return writes == 3 && ! w->isStepRunning(); }));
    z9test::drainMessageLoop();   // nothing more is posted

    EXPECT_EQ (writes, 3);
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Check failed!", "Check failed!", "Check failed!" }));
    EXPECT_EQ (state.cycleCounter, 0);   // failures do not count
    EXPECT_FALSE (state.repeat);
}

TEST_F (FirmwareWizard, EscapeBetweenTwoCyclesStopsThePostedOne)
{
    Wizard w (2056);
    z9test::makeEveryStepSucceed (*w.steps, 2056);
    w.press ('S');

    w->stepUpgrade();
    EXPECT_EQ (upgraderState().cycleCounter, 1);
    w.press (juce::KeyPress::escapeKey);   // before the message loop runs the next cycle
    z9test::drainMessageLoop();

    EXPECT_FALSE (w.log.calls.contains ("start"));
}

TEST_F (FirmwareWizard, APostedCycleOfAWizardThatHasGoneDoesNothing)
{
    std::shared_ptr<StepLog> log;

    {
        Wizard w (2056);
        log = w.logHolder;
        upgraderState().chosenFirmwarePath = "c:\\fw\\z9_x_106.bin";
        z9test::makeEveryStepSucceed (*w.steps, 2056);
        w.press ('S');
        w->stepUpgrade();
    }

    z9test::drainMessageLoop();   // the posted start finds no wizard
    EXPECT_EQ (log->calls, juce::StringArray ({ "blhost c:\\fw\\z9_x_106.bin", "release" }));
}

//==============================================================================
TEST_F (FirmwareWizard, WithoutAutomaticSteppingACloseRequestClosesAtOnce)
{
    Wizard w (midiBootloaderProduct);
    ASSERT_FALSE (upgraderState().automaticStepping);

    const auto result = z9test::runUntilDismissed (*w.window, [&] { w.window->userTriedToCloseWindow(); });

    EXPECT_EQ (result, 0);
    EXPECT_TRUE (dialogs.getRequests().empty());
}

TEST_F (FirmwareWizard, UnderAutomaticSteppingTheUserConfirmsTheClose)
{
    Wizard w (2056);
    ASSERT_TRUE (upgraderState().automaticStepping);

    dialogs.answerBox (1);   // Cancel: the wizard stays
    EXPECT_TRUE (z9test::staysModalAfter (*w.window, [&] { w.window->userTriedToCloseWindow(); }));

    dialogs.answerBox (0);   // OK: it goes
    EXPECT_EQ (z9test::runUntilDismissed (*w.window, [&] { w.window->userTriedToCloseWindow(); }), 0);

    ASSERT_EQ (dialogs.getRequests().size(), 2u);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Upgrade");
    EXPECT_EQ (dialogs.getRequests()[0].box.buttons.size(), 2);
}

TEST_F (FirmwareWizard, ACloseRequestWhileAStepRunsIsRefused)
{
    Wizard w (midiBootloaderProduct);
    bool closedDuringStep = true;

    w.steps->onEnter = [&] (FirmwareUpgradeComponent& c)
    {
        c.setBusy (true);
        c.userTriedToCloseWindow();
        closedDuringStep = ! w.window->isVisible();
        c.setBusy (false);
    };

    const auto result = z9test::runUntilDismissed (*w.window, [&]
    {
        w->stepEnter();
        EXPECT_FALSE (closedDuringStep);
        w->userTriedToCloseWindow();   // the step is over: now it closes
    });

    EXPECT_EQ (result, 0);
    EXPECT_TRUE (dialogs.getRequests().empty());
}

TEST_F (FirmwareWizard, ABusyFlagLeftByAnEarlierWizardDoesNotLockTheWizardOpen)
{
    Wizard w (midiBootloaderProduct);
    upgraderState().busy = true;   // no step of this wizard runs

    dialogs.answerBox (0);
    EXPECT_EQ (z9test::runUntilDismissed (*w.window, [&] { w->userTriedToCloseWindow(); }), 0);
    EXPECT_EQ (dialogs.getRequests().size(), 1u);
}

TEST_F (FirmwareWizard, GoingReleasesTheUnit)
{
    auto w = std::make_unique<Wizard> (2056);
    auto log = w->logHolder;
    EXPECT_TRUE (log->calls.isEmpty());

    w.reset();
    EXPECT_EQ (log->calls, juce::StringArray ({ "release" }));
}

TEST_F (FirmwareWizard, TheTitleGoesToAnyEnclosingWindowAndNowhereWithoutOne)
{
    StepLog log;
    auto* wizard = new FirmwareUpgradeComponent (2055, true, std::make_unique<FakeUpgradeSteps> (log));

    wizard->setStatusText ("alone");   // no window: nothing happens

    juce::DocumentWindow window ("Editor", juce::Colours::white, 0, false);
    window.setContentOwned (wizard, true);
    upgraderState().automaticStepping = false;
    wizard->selectTargetUnit (2072);
    EXPECT_EQ (window.getName(), "Firmware Upgrade: Z9-X7");

    wizard->closeWizardDialog();        // no dialog to close: nothing happens
    z9test::writeSnapshot (*wizard);
}

TEST_F (FirmwareWizard, WithoutTheServerOrAFileNothingIsReportedAsUpgraded)
{
    vorlix::FirmwareServer::ScopedBaseAddress nowhere ("http://127.0.0.1:1/");   // nothing listens there
    upgraderState().chosenFirmwarePath = "c:\\old\\z9_x_1.00.bin";             // from an earlier wizard

    FirmwareUpgradeComponent wizard (2056, true);   // the program's own steps
    upgraderState().automaticStepping = false;
    dialogs.answerFile (juce::File()).answerEveryBox (0);   // the file chooser cancelled

    wizard.stepSelectFirmware();
    EXPECT_EQ (wizard.getStep(), 2);   // the step did not move the wizard on

    wizard.setStep (3);
    wizard.stepUpgrade();

    const auto& requests = dialogs.getRequests();
    ASSERT_EQ (requests.size(), 2u);
    EXPECT_EQ (requests[0].file.title, "Choose The Firmware File");
    EXPECT_EQ (requests[0].file.patterns, "*.bin");
    EXPECT_EQ (requests[1].box.title, "Firmware Upgrade Failed");
    EXPECT_EQ (requests[1].box.message, "No firmware file!");
    EXPECT_EQ (wizard.getStep(), -1);
    z9test::writeSnapshot (wizard);
}
