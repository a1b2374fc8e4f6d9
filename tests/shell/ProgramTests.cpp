#include "core/base/PlatformHelpers.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/TempFolder.h"
#include "tests/support/gui/DamagedPictures.h"
#include "tests/support/gui/Snapshot.h"
#include "tests/support/program/ProgramUnderTest.h"
#include <gtest/gtest.h>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

// The real program, started as a user starts it, each run on an X display and
// in scratch folders of its own, looked at from outside through X.

namespace
{
    // What will come is waited for up to the test's own limit only: how soon
    // the program starts and ends depends on how busy the machine is.
    const int startTimeoutMs = z9test::testTimeLimitMs;
    const int exitTimeoutMs = z9test::testTimeLimitMs;

    /** The program ended clean: its output shows no failed assertion, no
        leaked object and no sanitizer report (in the sanitizer build JUCE's
        assertions and leak detectors are live, and the leak check runs at
        exit). */
    void expectCleanEnd (const juce::String& output)
    {
        for (auto* sign : { "JUCE Assertion failure", "Leaked objects detected", "LeakSanitizer",
                            "AddressSanitizer", "runtime error:" })
            EXPECT_FALSE (output.contains (sign)) << sign << " in:\n" << output;
    }

    juce::String editorTitle()
    {
        return "Z9-M/X Ostrik V1.04 - " + NsZ9m::getCpuModelTag();
    }

    /** Runs of the program in scratch folders of their own. Each case's
        settings place holds a store of the Z9-M alone, so a run loads, shows
        and saves one model; the cases that show what happens without a
        readable settings file (a first start) start without one. */
    struct ProgramTest : public ::testing::Test
    {
        explicit ProgramTest (z9test::ProgramScratch::Settings settings = z9test::ProgramScratch::Settings::oneModelStore)
            : scratch (temp.get(), settings)
        {
        }

        void SetUp() override
        {
            if (! z9test::canIsolateProgramRuns())
                GTEST_SKIP() << "this machine does not let a test give the program a mount namespace (unshare)";

            ASSERT_TRUE (display.getName().isNotEmpty()) << "no Xvfb";
            settingsFile.getParentDirectory().createDirectory();
        }

        void snapshot (z9test::XProbe& probe, unsigned long window)
        {
            juce::ImageComponent view;
            auto image = probe.grab (window);
            view.setImage (image, juce::RectanglePlacement::stretchToFit);
            view.setSize (image.getWidth(), image.getHeight());
            z9test::writeSnapshot (view);
        }

        z9test::TempFolder temp;
        z9test::VirtualDisplay display;
        z9test::ProgramScratch scratch;
        juce::File settingsFile = scratch.getSettingsFile();
    };

    /** The settings file holds the one-model store in a form the program
        reads but does not write, so a quit has the settings to save once. */
    struct ProgramSavingTest : public ProgramTest
    {
        ProgramSavingTest() : ProgramTest (z9test::ProgramScratch::Settings::oneModelStoreToRewrite) {}
    };

    /** No settings file at all, as on a first start. */
    struct ProgramWithoutSettingsTest : public ProgramTest
    {
        ProgramWithoutSettingsTest() : ProgramTest (z9test::ProgramScratch::Settings::none) {}
    };
}

TEST_F (ProgramSavingTest, ShowsOneWindowQuitsOnInterruptAndSavesTheSettingsOnce)
{
    z9test::FileWriteCounter writes (settingsFile);
    z9test::ProgramRun run (scratch, display.getName());
    ASSERT_TRUE (run.start());

    z9test::XProbe probe (display.getName());
    const auto window = probe.waitForPaintedWindow (editorTitle(), startTimeoutMs);
    ASSERT_NE (window.id, 0u) << run.getOutput();

    EXPECT_EQ (window.width, 850);
    EXPECT_EQ (window.height, 720);

    // Centred on the 1280 x 1024 screen by the page holder's first layouts
    // (the X server may show the move a little after the first paint).
    const auto centred = [&]
    {
        for (auto& w : probe.getViewableWindows())
            if (w.id == window.id)
                return w.x == (1280 - 850) / 2 && w.y == (1024 - 720) / 2;

        return false;
    };

    EXPECT_TRUE (z9test::waitUntil (centred));
    EXPECT_EQ (probe.getViewableWindows().size(), 1u) << "no stray window (there is no tray manager)";
    snapshot (probe, window.id);

    EXPECT_EQ (writes.count(), 0) << "the start writes no settings";

    run.sendSignal (SIGINT);
    int code = -1;
    ASSERT_TRUE (run.waitForExit (exitTimeoutMs, code)) << run.getOutput();
    EXPECT_EQ (code, 0) << run.getOutput();
    expectCleanEnd (run.getOutput());
    EXPECT_EQ (writes.count(), 1);
    EXPECT_TRUE (settingsFile.existsAsFile());
}

TEST_F (ProgramTest, ASecondStartEndsAtOnceWithoutAWindow)
{
    z9test::ProgramRun first (scratch, display.getName());
    ASSERT_TRUE (first.start());
    z9test::XProbe probe (display.getName());
    ASSERT_NE (probe.waitForPaintedWindow (editorTitle(), startTimeoutMs).id, 0u) << first.getOutput();

    z9test::ProgramRun second (scratch, display.getName());
    ASSERT_TRUE (second.start());
    int code = -1;
    ASSERT_TRUE (second.waitForExit (exitTimeoutMs, code));
    EXPECT_EQ (code, 0);
    EXPECT_EQ (probe.getViewableWindows().size(), 1u);

    first.sendSignal (SIGINT);
    ASSERT_TRUE (first.waitForExit (exitTimeoutMs, code));
    EXPECT_EQ (code, 0);
}

// Another user's lock file in the framework's shared place (as a run by root
// leaves it) stands in nobody's way: each user's windowed instance holds a lock
// of its own, and that user's second start ends at once.
TEST_F (ProgramTest, ASecondStartByAnotherUserEndsAtOnceWhateverRootLeftBehind)
{
    if (getuid() != 0)
        GTEST_SKIP() << "running as another user needs root (setpriv)";

    if (access ("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "setpriv is not installed";

    // Everything the other user (nobody) needs to reach: the program and the
    // scratch folders.
    for (auto f = z9test::getProgramFile(); f.getParentDirectory() != f; f = f.getParentDirectory())
    {
        struct stat info {};
        if (stat (f.getFullPathName().toRawUTF8(), &info) != 0 || (info.st_mode & S_IXOTH) == 0)
            GTEST_SKIP() << "the other user cannot reach the program at " << f.getFullPathName();
    }

    const uid_t nobody = 65534;
    auto home = temp.get().getChildFile ("nobody-home");
    ASSERT_TRUE (home.createDirectory());
    ASSERT_EQ (chown (home.getFullPathName().toRawUTF8(), nobody, nobody), 0);

    for (auto f = temp.get(); f.getParentDirectory() != f; f = f.getParentDirectory())
        chmod (f.getFullPathName().toRawUTF8(), 0755);

    // The lock file that root's run of the framework's way left behind.
    auto rootsLock = scratch.getVar().getChildFile ("tmp/juceAppLock_Z9-M Ostrik");
    ASSERT_TRUE (rootsLock.getParentDirectory().createDirectory());
    ASSERT_TRUE (rootsLock.create());
    chmod (rootsLock.getFullPathName().toRawUTF8(), 0644);

    z9test::ProgramRun first (scratch, display.getName());
    first.runAsUser (nobody, nobody, home);
    ASSERT_TRUE (first.start());
    z9test::XProbe probe (display.getName());
    ASSERT_NE (probe.waitForPaintedWindow (editorTitle(), startTimeoutMs).id, 0u) << first.getOutput();

    z9test::ProgramRun second (scratch, display.getName());
    second.runAsUser (nobody, nobody, home);
    ASSERT_TRUE (second.start());
    int code = -1;
    ASSERT_TRUE (second.waitForExit (exitTimeoutMs, code)) << second.getOutput();
    EXPECT_EQ (code, 0);
    EXPECT_EQ (probe.getViewableWindows().size(), 1u);

    first.sendSignal (SIGINT);
    ASSERT_TRUE (first.waitForExit (exitTimeoutMs, code));
    EXPECT_EQ (code, 0) << first.getOutput();
}

// Without a MIDI sequencer the program says so once, in plain words, and the
// MIDI system's own error lines never reach the terminal.
TEST_F (ProgramTest, WithoutAMidiSequencerItSaysSoOnceAndKeepsQuiet)
{
    if (juce::File ("/dev/snd/seq").exists())
        GTEST_SKIP() << "this machine has a MIDI sequencer";

    z9test::ProgramRun run (scratch, display.getName());
    ASSERT_TRUE (run.start());
    z9test::XProbe probe (display.getName());
    ASSERT_NE (probe.waitForPaintedWindow (editorTitle(), startTimeoutMs).id, 0u) << run.getOutput();

    const juce::String message ("No MIDI system is available");
    EXPECT_TRUE (z9test::waitUntil ([&] { return run.getOutput().contains (message); })) << run.getOutput();

    run.sendSignal (SIGINT);
    int code = -1;
    ASSERT_TRUE (run.waitForExit (exitTimeoutMs, code));
    EXPECT_EQ (code, 0);

    const auto output = run.getOutput();
    EXPECT_EQ (output.indexOf (message), output.lastIndexOf (message)) << output;
    EXPECT_FALSE (output.contains ("ALSA lib")) << output;
}

TEST_F (ProgramSavingTest, TheCloseButtonEndsTheProgramAndSavesOnce)
{
    z9test::FileWriteCounter writes (settingsFile);

    // The probe comes first: it makes the window-manager atoms exist, as a
    // desktop's window manager does, so the program takes part in the close
    // protocol (the framework only uses these atoms when they exist at start).
    z9test::XProbe probe (display.getName());
    z9test::ProgramRun run (scratch, display.getName());
    ASSERT_TRUE (run.start());

    const auto window = probe.waitForPaintedWindow (editorTitle(), startTimeoutMs);
    ASSERT_NE (window.id, 0u) << run.getOutput();

    probe.requestClose (window.id);
    int code = -1;

    // The framework's event loop waits for its X connection to become
    // readable; an event that Xlib queued while reading for something else
    // waits for the next one. A desktop always has more traffic: a harmless
    // property change on the window stands in for it.
    const auto end = juce::Time::getMillisecondCounterHiRes() + exitTimeoutMs;
    bool ended = false;

    while (! (ended = run.waitForExit (200, code)) && juce::Time::getMillisecondCounterHiRes() < end)
        probe.nudge (window.id);

    ASSERT_TRUE (ended) << run.getOutput();
    EXPECT_EQ (code, 0) << run.getOutput();
    expectCleanEnd (run.getOutput());
    EXPECT_EQ (writes.count(), 1);
}

TEST_F (ProgramTest, WithATrayManagerTheIconAsksToBeDocked)
{
    z9test::XProbe tray (display.getName());
    ASSERT_TRUE (tray.becomeTrayManager());

    z9test::ProgramRun run (scratch, display.getName());
    ASSERT_TRUE (run.start());
    EXPECT_TRUE (tray.waitForDockRequest (startTimeoutMs)) << run.getOutput();

    run.sendSignal (SIGINT);
    int code = -1;
    ASSERT_TRUE (run.waitForExit (exitTimeoutMs, code));
    EXPECT_EQ (code, 0);
}

// The child never reads or writes the settings: no settings file is there
// before, and none after.
TEST_F (ProgramWithoutSettingsTest, AChildProcessTokenWithoutAMasterEndsWithoutAWindow)
{
    z9test::ProgramRun run (scratch, display.getName(), { "--demoUID:z9test_no_such_pipe" });
    ASSERT_TRUE (run.start());

    int code = -1;
    ASSERT_TRUE (run.waitForExit (exitTimeoutMs, code)) << run.getOutput();
    EXPECT_EQ (code, 0);

    z9test::XProbe probe (display.getName());
    EXPECT_TRUE (probe.getViewableWindows().empty());
    EXPECT_FALSE (settingsFile.exists());
}

// The one case that starts with the whole default store: a FIFO in the
// settings file's place leaves nothing to read, as on a first start, so the
// program builds, shows and saves the default store of every model.
TEST_F (ProgramWithoutSettingsTest, DamagedPicturesAndFifosWhereItReadsStartWithTheWindow)
{
    // Each of these stopped the start: a crash, gigabytes and many seconds,
    // or an open that waited for a writer with no window shown.
    const auto program = z9test::installProgramCopy (temp / "install");
    ASSERT_NE (program, juce::File());
    const auto assets = program.getSiblingFile ("resources/Assets");
    z9test::writePicture (assets.getChildFile ("Vorlix Logo.png"), z9test::pngWithLyingHeader());
    z9test::writePicture (assets.getChildFile ("z9-m.png"), z9test::smallPngOfHugeSize());
    z9test::writePicture (assets.getChildFile ("bkg/Z9-M.jpg"), z9test::jpegWithBadHuffmanTable());

    for (auto fifo : { assets.getChildFile ("Vorlix-big256.png"), settingsFile })
    {
        fifo.deleteFile();
        ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0666), 0) << fifo.getFullPathName();
    }

    z9test::FileWriteCounter writes (settingsFile);
    z9test::ProgramRun run (scratch, display.getName());
    run.setProgramFile (program);
    ASSERT_TRUE (run.start());

    z9test::XProbe probe (display.getName());
    const auto window = probe.waitForPaintedWindow (editorTitle(), startTimeoutMs);
    ASSERT_NE (window.id, 0u) << run.getOutput();
    EXPECT_EQ (window.width, 850);
    snapshot (probe, window.id);

    run.sendSignal (SIGINT);
    int code = -1;
    ASSERT_TRUE (run.waitForExit (exitTimeoutMs, code)) << run.getOutput();
    EXPECT_EQ (code, 0) << run.getOutput();

    // The settings were saved once, in a new file, in the FIFO's place.
    EXPECT_EQ (writes.count(), 1);
    struct stat info {};
    ASSERT_EQ (stat (settingsFile.getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_TRUE (S_ISREG (info.st_mode));
}
