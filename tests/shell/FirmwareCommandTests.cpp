#include "shell/DemoRunnerApplication.h"
#include "shell/EditorPageFactory.h"
#include "shell/MainComponent.h"
#include "editor/EditorHooks.h"
#include "editor/MainComp.h"
#include "core/sync/SyncTimer.h"
#include "core/model/Products.h"
#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/SimulatedSurface.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/program/ProgramUnderTest.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

namespace
{
    /** The program's window with the program's own editor hooks: FIRMWARE
        UPGRADE reaches the real firmware upgrader, whose boxes and dialog are
        answered by the test. */
    struct FirmwareCommandTest : public z9test::SurfaceFixture
    {
        void SetUp() override
        {
            // The Host loads a store of the Z9-M alone rather than building
            // the whole default store only to cut it.
            ASSERT_TRUE (commonSettingsFile().getParentDirectory().createDirectory());
            ASSERT_TRUE (z9test::getOneModelSettingsFile().copyFileTo (commonSettingsFile()));
            SurfaceFixture::SetUp();
            ASSERT_EQ (host().getTree().getNumChildren(), 1);
            vorlix::resetUpgraderState();
            installEditorHooks();
        }

        void TearDown() override
        {
            window.reset();
            delete theSyncTimer;
            vorlix::resetUpgraderState();
            SurfaceFixture::TearDown();
        }

        MainComp& showProgramWindow()
        {
            window = std::make_unique<DemoRunnerApplication::MainAppWindow> ("Z9-M Ostrik V1.00");
            auto* page = dynamic_cast<MainComp*> (window->getMainContent()->getContentComponent().getPageComponent());
            EXPECT_NE (page, nullptr);
            EXPECT_TRUE (z9test::waitUntil ([&] { return page->isComplete(); }));
            return *page;
        }

        bool surfaceInputOpen() const   { return ports.isInputOpen (unit.getInputName (4)); }

        // The hooks go back to none when the case ends.
        EditorHooks::ScopedFirmwareLauncher noLauncher { {} };
        EditorHooks::ScopedQuitHandler noQuit { {} };

        z9test::SimulatedSurface unit { ports, productZ9M };
        std::unique_ptr<DemoRunnerApplication::MainAppWindow> window;
    };
}

TEST_F (FirmwareCommandTest, FirmwareUpgradeOpensTheWarningThenTheWizardAndTheSurfaceComesBack)
{
    auto& page = showProgramWindow();
    EXPECT_TRUE (page.getFirmwareButton().isEnabled());

    // The surface is connected, and an edit waits to be sent.
    theSyncTimer->timerCallback();
    ASSERT_TRUE (surfaceInputOpen());
    unit.clearRecords();
    setSlotDaw (1, 1);

    z9test::ScriptedDialogs dialogs;
    dialogs.answerBox (0);   // the warning: OK

    z9test::ScriptedDialogRunner runner;
    bool wizardForTheZ9M = false, linkHandedOver = false, quietDuringWizard = false;

    runner.drive = [&] (vorlix::UpgraderDialogWindow& w)
    {
        auto* wizard = dynamic_cast<vorlix::FirmwareUpgradeComponent*> (w.getContentComponent());
        wizardForTheZ9M = wizard != nullptr && wizard->launchProduct == productZ9M;
        linkHandedOver = ! midiInputEnabled && ! surfaceInputOpen() && firmwareHandOffRunning;

        // The edit is made dirty now; ticks while the wizard is open send nothing.
        slotDirty[0] = true;
        z9test::runMessageLoopFor (MyTimer::idleIntervalMs * 2);
        quietDuringWizard = unit.getReceived().empty() && ! surfaceInputOpen();

        z9test::writeSnapshot (w);
        return 0;   // the user closes the wizard
    };

    page.getFirmwareButton().triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return ! runner.titles.isEmpty(); }));

    EXPECT_EQ (runner.titles, juce::StringArray { "Firmware Upgrade" });
    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Upgrader about to start");
    EXPECT_TRUE (wizardForTheZ9M);
    EXPECT_TRUE (linkHandedOver);
    EXPECT_TRUE (quietDuringWizard);

    // Once the wizard has closed the editor has the surface again: the
    // timer's next ticks reconnect and send the edit that waited.
    EXPECT_FALSE (firmwareHandOffRunning);
    EXPECT_TRUE (midiInputEnabled);
    EXPECT_TRUE (z9test::waitUntil ([&] { return unit.getConversation (4).contains ("confirm"); }));
    EXPECT_TRUE (surfaceInputOpen());
    EXPECT_EQ (unit.getImageDawId (0), 1);
}

TEST_F (FirmwareCommandTest, ADeclinedWarningOpensNoWizardAndGivesTheSurfaceBack)
{
    auto& page = showProgramWindow();
    theSyncTimer->timerCallback();
    ASSERT_TRUE (surfaceInputOpen());

    z9test::ScriptedDialogs dialogs;
    dialogs.answerBox (1);   // Cancel
    z9test::ScriptedDialogRunner runner;

    page.buttonClicked (&page.getFirmwareButton());

    EXPECT_TRUE (dialogs.allAnswersUsed());
    EXPECT_TRUE (runner.titles.isEmpty());
    EXPECT_TRUE (midiInputEnabled);
    EXPECT_TRUE (surfaceInputOpen());
    EXPECT_FALSE (firmwareHandOffRunning);
}

TEST_F (FirmwareCommandTest, TheWindowGivesItsKeyboardFocusToTheEditorPage)
{
    // When the window is activated it hands the focus to its default
    // component: that must be the page (or inside it), so the page's keys work.
    auto& page = showProgramWindow();
    auto traverser = window->createKeyboardFocusTraverser();
    ASSERT_NE (traverser, nullptr);
    auto* first = traverser->getDefaultComponent (window.get());

    ASSERT_NE (first, nullptr);
    EXPECT_TRUE (first == &page || page.isParentOf (first)) << first->getName() << " / " << typeid (*first).name();
}
