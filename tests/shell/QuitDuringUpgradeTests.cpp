#include "shell/DemoRunnerApplication.h"
#include "shell/DemoTaskbarComponent.h"
#include "shell/MainComponent.h"
#include "shell/PageRegistry.h"
#include "shell/QuitGate.h"
#include "editor/EditorAssets.h"
#include "editor/EditorHooks.h"
#include "editor/MainComp.h"
#include "firmware/FirmwareWriteGate.h"
#include "firmware/UpgraderMidiHandler.h"
#include "core/model/Products.h"
#include "core/sync/SyncTimer.h"
#include "core/base/PlatformHelpers.h"
#include "gui/Dialogs.h"
#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/SimulatedBootloaderUnit.h"
#include "tests/support/SimulatedSurface.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/program/ProgramUnderTest.h"
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace NsZ9m;

namespace
{
    /** Where a capture's text is, and where it goes if the process aborts. */
    struct AbortCopy
    {
        char path[4096] {};
        volatile int realStderr = -1;
    };

    AbortCopy abortCopy;

    /** Everything the process writes to stderr while it lives goes to a file;
        take() ends that, hands the text on to the real stderr (so nothing a
        sanitizer or the framework says is lost) and returns it. A process
        that aborts meanwhile (a sanitizer's report ends that way) hands the
        text on first, so the report reaches the test's log. */
    class StderrCapture
    {
    public:
        explicit StderrCapture (const juce::File& fileToUse) : file (fileToUse)
        {
            std::fflush (stderr);
            saved = dup (2);
            const auto fd = open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2 (fd, 2);
            close (fd);

            const auto path = file.getFullPathName().toStdString();
            std::snprintf (abortCopy.path, sizeof (abortCopy.path), "%s", path.c_str());
            abortCopy.realStderr = saved;

            struct sigaction action {};
            action.sa_handler = handOnAndAbort;
            sigemptyset (&action.sa_mask);
            sigaction (SIGABRT, &action, &previousAbort);
        }

        ~StderrCapture()   { take(); }

        juce::String take()
        {
            if (saved >= 0)
            {
                sigaction (SIGABRT, &previousAbort, nullptr);
                abortCopy.realStderr = -1;

                std::fflush (stderr);
                dup2 (saved, 2);
                close (saved);
                saved = -1;
                text = file.loadFileAsString();
                std::fputs (text.toRawUTF8(), stderr);
            }

            return text;
        }

    private:
        /** Only system calls that a signal handler may make. */
        static void handOnAndAbort (int)
        {
            if (const int out = abortCopy.realStderr; out >= 0)
            {
                if (const int in = open (abortCopy.path, O_RDONLY); in >= 0)
                {
                    char buffer[4096];

                    for (ssize_t n; (n = read (in, buffer, sizeof (buffer))) > 0;)
                        if (write (out, buffer, (size_t) n) < 0)
                            break;

                    close (in);
                }

                dup2 (out, 2);
            }

            signal (SIGABRT, SIG_DFL);
            raise (SIGABRT);
        }

        juce::File file;
        int saved = -1;
        juce::String text;
        struct sigaction previousAbort {};
    };

    int countLines (const juce::String& text, const juce::String& line)
    {
        int n = 0;

        for (auto& l : juce::StringArray::fromLines (text))
            if (l == line)
                ++n;

        return n;
    }

    /** The ways a quit reaches the running program, each through the
        program's own path. */
    enum class Route { trayQuit, systemQuit, ctrlC, closeButton, editorCtrlQ };

    /**
        The application itself, started as the program starts it (its window
        with the editor page for the Z9-M, its tray entry, its hooks and its
        Ctrl+C handler), whose firmware command opens the real upgrader. The
        upgrader's dialog is driven by the test instead of a nested loop, its
        boxes are answered by the test, and the stop of the message loop is
        counted instead of done, so the loop can go on. The settings wait to
        be saved: the file is there only once the editor page has saved them.
    */
    struct QuitDuringUpgradeTest : public z9test::SurfaceFixture,
                                   public ::testing::WithParamInterface<Route>
    {
        void SetUp() override
        {
            const auto file = commonSettingsFile();
            ASSERT_TRUE (file.getParentDirectory().createDirectory());
            ASSERT_TRUE (z9test::getOneModelSettingsFile (true).copyFileTo (file));

            SurfaceFixture::SetUp();
            ASSERT_TRUE (file.deleteFile());

            // The instance lock goes to the case's own runtime folder.
            if (auto* runtime = std::getenv ("XDG_RUNTIME_DIR"))
                previousRuntimeFolder = runtime;

            setenv ("XDG_RUNTIME_DIR", runtimeFolder.get().getFullPathName().toRawUTF8(), 1);
            setenv ("Z9_FAKE_BLHOST_DIR", toolFolder.get().getFullPathName().toRawUTF8(), 1);
            (toolFolder / "unit").replaceWithText ("bootloader");

            vorlix::resetUpgraderState();
            getPageCategories().clear();

            app = std::make_unique<DemoRunnerApplication>();
            app->initialise ({});
            ASSERT_NE (app->getMainWindow(), nullptr);

            page = dynamic_cast<MainComp*> (app->getMainWindow()->getMainContent()->getContentComponent().getPageComponent());
            ASSERT_NE (page, nullptr);
            ASSERT_TRUE (z9test::waitUntil ([&] { return page->isComplete(); }));
        }

        void TearDown() override
        {
            if (app != nullptr)
                app->shutdown();

            app.reset();
            watch.reset();
            z9test::drainMessageLoop();
            stopSyncCore();
            getPageCategories().clear();
            vorlix::resetUpgraderState();
            unsetenv ("Z9_FAKE_BLHOST_DIR");

            if (previousRuntimeFolder.has_value())
                setenv ("XDG_RUNTIME_DIR", previousRuntimeFolder->c_str(), 1);
            else
                unsetenv ("XDG_RUNTIME_DIR");

            SurfaceFixture::TearDown();
        }

        /** Asks the running program to quit the way the route does. */
        void quitBy (Route route)
        {
            auto* window = app->getMainWindow();
            ASSERT_NE (window, nullptr);

            switch (route)
            {
                case Route::trayQuit:     DemoTaskbarComponent::onTrayMenuResult (1, window->getTrayEntry()); break;
                case Route::systemQuit:   app->systemRequestedQuit(); break;
                case Route::ctrlC:        std::raise (SIGINT); break;
                case Route::closeButton:  window->closeButtonPressed(); break;
                case Route::editorCtrlQ:  EditorHooks::quit(); break;
            }
        }

        /** Opens the upgrader through the editor's FIRMWARE UPGRADE button
            (the case answers its warning) and lets drive work the wizard; runs
            the message loop until the message loop was asked to stop, or the
            test's time limit. */
        void runUpgrader (std::function<int (vorlix::UpgraderDialogWindow&, vorlix::FirmwareUpgradeComponent&)> drive)
        {
            runner.drive = [this, drive] (vorlix::UpgraderDialogWindow& w)
            {
                // Shown, as the program's runner shows it: a quit hides it.
                w.setVisible (true);
                auto* wizard = dynamic_cast<vorlix::FirmwareUpgradeComponent*> (w.getContentComponent());
                EXPECT_NE (wizard, nullptr);
                const auto result = wizard != nullptr ? drive (w, *wizard) : 0;
                windowWhenTheWizardWent = app->getMainWindow() != nullptr;
                stopsWhenTheWizardWent = stops;
                return result;
            };

            page->getFirmwareButton().triggerClick();
            EXPECT_TRUE (z9test::waitUntil ([&] { return stops > 0; }));
            z9test::drainMessageLoop();
        }

        /** A quit is held: it then goes on by itself and ends the program
            once, with the window gone and the settings saved. */
        void expectTheHeldQuitToEndTheProgramOnce()
        {
            EXPECT_TRUE (QuitGate::isQuitWaiting());
            EXPECT_TRUE (z9test::waitUntil ([&] { return stops > 0; }));
            z9test::drainMessageLoop();
            EXPECT_EQ (stops, 1);
            EXPECT_FALSE (QuitGate::isQuitWaiting());
            EXPECT_EQ (app->getMainWindow(), nullptr);
            EXPECT_TRUE (commonSettingsFile().existsAsFile());
        }

        /** Calls act once, from the message loop, as soon as ready holds. */
        void whenReady (std::function<bool()> ready, std::function<void()> act)
        {
            watch = std::make_unique<Watch>();
            watch->ready = std::move (ready);
            watch->act = std::move (act);
            watch->startTimer (2);
        }

        struct Watch final : juce::Timer
        {
            std::function<bool()> ready;
            std::function<void()> act;

            void timerCallback() override
            {
                if (! ready())
                    return;

                stopTimer();

                if (auto a = std::exchange (act, nullptr))
                    a();
            }
        };

        /** Waits, running the message loop, until the wizard's dialog has
            been closed; false when that never happened. */
        static bool waitUntilClosed (vorlix::UpgraderDialogWindow& w)
        {
            return z9test::waitUntil ([&] { return ! w.isVisible(); });
        }

        juce::MemoryBlock toolFlash() const
        {
            juce::MemoryBlock block;
            (toolFolder / "flash").loadFileAsData (block);
            return block;
        }

        juce::StringArray toolVerbs() const
        {
            juce::StringArray verbs;

            for (auto& line : juce::StringArray::fromLines ((toolFolder / "log").loadFileAsString()))
                if (line.isNotEmpty())
                    verbs.add (line.fromFirstOccurrenceOf ("-- | ", false, false).upToFirstOccurrenceOf (" | ", false, false));

            return verbs;
        }

        z9test::TempFolder runtimeFolder, toolFolder, scratch, logFolder;
        std::optional<std::string> previousRuntimeFolder;
        EditorAssets::ScopedLoader assets { {} };
        vorlix::FirmwareWorkFolder::ScopedRedirect workRedirect { scratch.get() };
        z9test::ScriptedDialogs dialogs;
        z9test::ScriptedDialogRunner runner;

        // The hooks and the loop's stop go back to the test program's as the case ends.
        EditorHooks::ScopedFirmwareLauncher noLauncher { {} };
        EditorHooks::ScopedQuitHandler noQuit { {} };
        int stops = 0;
        DemoRunnerApplication::ScopedLoopStop countedStop { [this] { ++stops; } };

        z9test::SimulatedSurface surface { ports, productZ9M };
        std::unique_ptr<DemoRunnerApplication> app;
        MainComp* page = nullptr;
        std::unique_ptr<Watch> watch;

        bool windowWhenTheWizardWent = false;
        int stopsWhenTheWizardWent = -1;
    };

    std::string routeName (const ::testing::TestParamInfo<Route>& info);

    void PrintTo (Route route, std::ostream* os)
    {
        *os << routeName ({ route, 0 });
    }

    struct QuitDuringAToolWrite : QuitDuringUpgradeTest {};
    struct QuitDuringAMidiTransfer : QuitDuringUpgradeTest {};
    struct QuitWhileTheWizardIsIdle : QuitDuringUpgradeTest {};
    struct QuitWithNoUpgrader : QuitDuringUpgradeTest {};
    struct QuitDuringASyncTick : QuitDuringUpgradeTest {};
    struct QuitWhileAnEditorBoxIsOpen : QuitDuringUpgradeTest {};

    /** Shows each box as the program does: a real alert window in a modal
        loop of its own, until it is answered or dismissed. */
    struct RealBoxes final : Dialogs::Handler
    {
        int showBox (const Dialogs::Box& box) override
        {
            juce::AlertWindow window (box.title, box.message, juce::MessageBoxIconType::NoIcon);
            window.addButton ("OK", 1);
            return runAlertWindow (window) - 1;
        }

        int runAlertWindow (juce::AlertWindow& window) override
        {
            ++shown;
            return window.runModalLoop();
        }

        juce::File chooseFile (const Dialogs::FileRequest&) override   { return {}; }
        int showMenu (const juce::PopupMenu&) override                 { return 0; }

        int shown = 0;
    };

    /** Dismisses whatever box is still open once its time is up, so a case
        whose quit never closes the box fails instead of waiting for ever. */
    struct BoxDeadline final : juce::Timer
    {
        explicit BoxDeadline (int ms)   { startTimer (ms); }

        void timerCallback() override
        {
            stopTimer();
            auto& modal = *juce::ModalComponentManager::getInstance();

            for (int i = modal.getNumModalComponents(); --i >= 0;)
                if (auto* c = modal.getModalComponent (i))
                    c->exitModalState (0), reached = true;
        }

        bool reached = false;
    };

    std::string routeName (const ::testing::TestParamInfo<Route>& info)
    {
        switch (info.param)
        {
            case Route::trayQuit:     return "TrayQuit";
            case Route::systemQuit:   return "SystemQuit";
            case Route::ctrlC:        return "CtrlC";
            case Route::closeButton:  return "CloseButton";
            case Route::editorCtrlQ:  return "EditorCtrlQ";
        }

        return "Unknown";
    }
}

//==============================================================================
TEST_P (QuitDuringAToolWrite, WaitsForTheWholeImageThenClosesTheWizardAndQuitsOnce)
{
    juce::MemoryBlock image (6000);
    juce::Random random (6000);
    for (size_t i = 0; i < image.getSize(); ++i)
        image[i] = (char) random.nextInt (255);

    const auto imageFile = scratch / "z9_m_106.bin";
    ASSERT_TRUE (imageFile.replaceWithData (image.getData(), image.getSize()));

    // The write stops with half the image in the flash until the test lets it go.
    (toolFolder / "faults").replaceWithText ("write held");
    bool askedDuringTheWrite = false, heldWhileWriting = false;

    // The first half of the image is in the flash, the second not yet.
    const auto halfWritten = [&]
    {
        const auto flash = toolFlash();
        const auto half = image.getSize() / 2;

        return flash.getSize() >= image.getSize()
            && std::memcmp (flash.getData(), image.getData(), half) == 0
            && std::memcmp (flash.begin() + half, image.begin() + half, half) != 0;
    };
    dialogs.answerBox (0)    // the warning: OK
           .answerBox (0);   // "Firmware Upgrade Succeeded"

    StderrCapture captured (logFolder / "stderr.txt");

    runUpgrader ([&] (vorlix::UpgraderDialogWindow& w, vorlix::FirmwareUpgradeComponent& wizard)
    {
        auto& state = vorlix::upgraderState();
        state.toolPath = Z9_FAKE_BLHOST;
        state.automaticStepping = false;
        state.chosenFirmwarePath = imageFile.getFullPathName();
        wizard.setStep (3);

        whenReady ([&] { return toolVerbs().contains ("write-memory") && halfWritten(); },
                   [&]
                   {
                       quitBy (GetParam());
                       EXPECT_TRUE (z9test::waitUntil ([] { return QuitGate::isQuitWaiting(); }));
                       askedDuringTheWrite = vorlix::FirmwareWriteGate::isWriteRunning() && halfWritten();

                       // Nothing was taken down: not the loop, not the window, not the page.
                       heldWhileWriting = stops == 0 && app->getMainWindow() != nullptr
                                            && app->getMainWindow()->getContentComponent() != nullptr;
                       (toolFolder / "go").create();
                   });

        wizard.getStepButton (4).triggerClick();
        EXPECT_TRUE (waitUntilClosed (w));
        return 0;
    });

    const auto terminal = captured.take();

    EXPECT_TRUE (askedDuringTheWrite);
    EXPECT_TRUE (heldWhileWriting);

    // The whole write ran: erase, write, check, read-back, reset.
    EXPECT_EQ (toolVerbs(), juce::StringArray ({ "flash-erase-region", "write-memory", "get-property", "read-memory", "reset" }));
    EXPECT_EQ (juce::MemoryBlock (toolFlash().getData(), image.getSize()), image);

    ASSERT_EQ (dialogs.getRequests().size(), 2u);
    EXPECT_EQ (dialogs.getRequests()[1].box.title, "Firmware Upgrade Succeeded");

    // The quit came once the wizard had gone, and once.
    EXPECT_TRUE (windowWhenTheWizardWent);
    EXPECT_EQ (stopsWhenTheWizardWent, 0);
    EXPECT_EQ (stops, 1);
    EXPECT_FALSE (QuitGate::isQuitWaiting());
    EXPECT_FALSE (firmwareHandOffRunning);
    EXPECT_EQ (app->getMainWindow(), nullptr);
    EXPECT_EQ (countLines (terminal, QuitGate::waitingLine), 1) << terminal;

    // Saved as the page went; the framework's shutdown after the loop writes nothing more.
    const auto settings = commonSettingsFile();
    ASSERT_TRUE (settings.existsAsFile());
    const auto written = settings.getLastModificationTime();
    app->shutdown();
    EXPECT_EQ (settings.getLastModificationTime(), written);
}

INSTANTIATE_TEST_SUITE_P (EveryRoute, QuitDuringAToolWrite,
                          ::testing::Values (Route::trayQuit, Route::systemQuit, Route::ctrlC,
                                             Route::closeButton, Route::editorCtrlQ),
                          routeName);

//==============================================================================
TEST_P (QuitDuringAMidiTransfer, WaitsForTheWholeImageThenQuitsOnce)
{
    constexpr int pad16 = z9test::midiBootloaderProduct;
    z9test::SimulatedBootloaderUnit unit (ports);
    unit.answerDelayMs = 20;

    std::vector<juce::uint8> image (512 * 5 + 100);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (juce::uint8) (i * 13 + 5);

    const auto imageFile = scratch / "pad_fw_1.06.bin";
    ASSERT_TRUE (imageFile.replaceWithData (image.data(), image.size()));

    int blocksWhenAsked = -1;
    bool heldWhileWriting = false;
    dialogs.answerBox (0)    // the warning: OK
           .answerBox (0);   // "Firmware Upgrade Succeeded"
    StderrCapture captured (logFolder / "stderr.txt");

    runUpgrader ([&] (vorlix::UpgraderDialogWindow& w, vorlix::FirmwareUpgradeComponent& wizard)
    {
        // As "Activate" and the selection leave a unit of the MIDI bootloader.
        auto& state = vorlix::upgraderState();
        state.toolFamily = false;
        state.automaticStepping = false;
        wizard.targetProduct = pad16;
        wizard.midiHandler = std::make_unique<vorlix::UpgraderMidiHandler> (pad16);
        wizard.midiHandler->openPorts (unit.portName);
        wizard.midiHandler->loadFirmware (imageFile);
        EXPECT_EQ (wizard.midiHandler->getImageSize(), (int) image.size());
        wizard.setStep (3);

        whenReady ([&] { return unit.getNumBlocksTaken() > 0; },
                   [&]
                   {
                       // The transfer goes on only once this has returned.
                       quitBy (GetParam());
                       EXPECT_TRUE (z9test::waitUntil ([] { return QuitGate::isQuitWaiting(); }));
                       blocksWhenAsked = unit.getNumBlocksTaken();
                       heldWhileWriting = stops == 0 && app->getMainWindow() != nullptr;
                   });

        wizard.getStepButton (4).triggerClick();
        EXPECT_TRUE (waitUntilClosed (w));
        return 0;
    });

    const auto terminal = captured.take();

    EXPECT_GT (blocksWhenAsked, 0);
    EXPECT_LT (blocksWhenAsked, 6) << "the quit came in the middle of the transfer";
    EXPECT_TRUE (heldWhileWriting);

    // The transfer went to its end: every block, then the unit's reset. (The
    // wizard sends its own reset again as it goes, which the unit, already
    // out of its bootloader, does not expect.)
    EXPECT_EQ (unit.getNumBlocksTaken(), 6);
    const auto conversation = unit.getConversation();
    const auto lastBlock = conversation.indexOf ("block 5");
    ASSERT_GE (lastBlock, 0);
    EXPECT_EQ (conversation[lastBlock + 1], "filler");
    EXPECT_EQ (conversation[lastBlock + 2], "reset");
    EXPECT_FALSE (conversation.joinIntoString (",").upToFirstOccurrenceOf ("block 5", false, false).contains ("unexpected"));
    EXPECT_TRUE (std::equal (image.begin(), image.end(), unit.getFlash().begin()));

    ASSERT_EQ (dialogs.getRequests().size(), 2u);
    EXPECT_EQ (dialogs.getRequests()[1].box.title, "Firmware Upgrade Succeeded");
    EXPECT_TRUE (windowWhenTheWizardWent);
    EXPECT_EQ (stopsWhenTheWizardWent, 0);
    EXPECT_EQ (stops, 1);
    EXPECT_EQ (app->getMainWindow(), nullptr);
    EXPECT_TRUE (commonSettingsFile().existsAsFile());
    EXPECT_EQ (countLines (terminal, QuitGate::waitingLine), 1) << terminal;
}

INSTANTIATE_TEST_SUITE_P (TwoRoutes, QuitDuringAMidiTransfer,
                          ::testing::Values (Route::ctrlC, Route::trayQuit), routeName);

//==============================================================================
TEST_P (QuitWhileTheWizardIsIdle, ClosesTheWizardFirstThenQuitsWithoutAWord)
{
    dialogs.answerBox (0);   // the warning: OK
    StderrCapture captured (logFolder / "stderr.txt");

    runUpgrader ([&] (vorlix::UpgraderDialogWindow& w, vorlix::FirmwareUpgradeComponent&)
    {
        quitBy (GetParam());
        EXPECT_TRUE (waitUntilClosed (w));
        return 0;
    });

    const auto terminal = captured.take();

    EXPECT_TRUE (windowWhenTheWizardWent);
    EXPECT_EQ (stopsWhenTheWizardWent, 0);
    EXPECT_EQ (stops, 1);
    EXPECT_EQ (app->getMainWindow(), nullptr);
    EXPECT_TRUE (commonSettingsFile().existsAsFile());
    EXPECT_TRUE (vorlix::upgraderState().abort) << "the wizard's waits were ended";
    EXPECT_EQ (countLines (terminal, QuitGate::waitingLine), 0) << terminal;
}

INSTANTIATE_TEST_SUITE_P (TwoRoutes, QuitWhileTheWizardIsIdle,
                          ::testing::Values (Route::trayQuit, Route::ctrlC), routeName);

//==============================================================================
TEST_P (QuitWithNoUpgrader, HappensAtOnce)
{
    quitBy (GetParam());
    EXPECT_TRUE (z9test::waitUntil ([&] { return stops > 0; }));
    z9test::drainMessageLoop();

    EXPECT_EQ (stops, 1);
    EXPECT_FALSE (QuitGate::isQuitWaiting());

    // Ctrl+C and Ctrl+Q only stop the loop; the framework's shutdown after it deletes the window.
    app->shutdown();
    EXPECT_EQ (app->getMainWindow(), nullptr);
    EXPECT_TRUE (commonSettingsFile().existsAsFile());
}

INSTANTIATE_TEST_SUITE_P (EveryRoute, QuitWithNoUpgrader,
                          ::testing::Values (Route::trayQuit, Route::systemQuit, Route::ctrlC,
                                             Route::closeButton, Route::editorCtrlQ),
                          routeName);

//==============================================================================
TEST_P (QuitDuringASyncTick, WaitsForTheTickToEndThenQuitsOnce)
{
    // Each tick of the link opens the surface's ports after a short pause that
    // runs the message loop. The quit is delivered inside that pause; one that
    // comes only after the tick does nothing, and the next tick tries again.
    ASSERT_NE (theSyncTimer, nullptr);
    bool askedInATick = false;

    for (int attempt = 0; attempt < 50 && ! askedInATick; ++attempt)
    {
        z9test::drainMessageLoop();

        juce::MessageManager::callAsync ([&]
        {
            if (askedInATick || ! isSyncTickRunning() || ! isWaitingWhileDispatching())
                return;

            askedInATick = true;
            quitBy (GetParam());
        });

        theSyncTimer->timerCallback();
    }

    ASSERT_TRUE (askedInATick);

    // The tick ran to its end with the link and the window it works on still there.
    EXPECT_NE (theSyncTimer, nullptr);
    EXPECT_NE (app->getMainWindow(), nullptr);
    EXPECT_EQ (stops, 0);
    expectTheHeldQuitToEndTheProgramOnce();
    EXPECT_EQ (theSyncTimer, nullptr);
}

// The routes whose quit is asked at once; the tray's and Ctrl+C's come a
// message later, and then go the same way.
INSTANTIATE_TEST_SUITE_P (DirectRoutes, QuitDuringASyncTick,
                          ::testing::Values (Route::systemQuit, Route::closeButton, Route::editorCtrlQ),
                          routeName);

//==============================================================================
TEST_P (QuitWhileAnEditorBoxIsOpen, DismissesTheBoxAndQuitsOnceItsCallerHasGoneOn)
{
    RealBoxes boxes;
    Dialogs::ScopedHandler realBoxes { boxes };
    BoxDeadline deadline { 20000 };

    whenReady ([] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0; },
               [&] { quitBy (GetParam()); });

    // The I key's box, shown by the page itself; the quit comes while it is open.
    page->showProcessorBox();

    EXPECT_EQ (boxes.shown, 1);
    EXPECT_FALSE (deadline.reached) << "the quit left the box open";

    // The page's command returned with the page and the window still there.
    EXPECT_EQ (stops, 0);
    EXPECT_NE (app->getMainWindow(), nullptr);
    expectTheHeldQuitToEndTheProgramOnce();
}

INSTANTIATE_TEST_SUITE_P (EveryRoute, QuitWhileAnEditorBoxIsOpen,
                          ::testing::Values (Route::trayQuit, Route::systemQuit, Route::ctrlC,
                                             Route::closeButton, Route::editorCtrlQ),
                          routeName);
