#include "tests/firmware/FakeBlhostFixture.h"
#include "firmware/FirmwareWorkFolder.h"
#include <cerrno>
#include <csignal>

using namespace vorlix;

namespace
{
    const juce::String toolPath ("C:\\Program Files\\Vorlix\\resources\\Assets\\tools\\win\\blhost.exe");
    const juce::String q ("\"");

    /** A BlhostTool whose pauses are only recorded. */
    struct RecordingTool
    {
        RecordingTool()   { tool.pause = [this] (int ms) { pauses.add (ms); }; }

        BlhostTool tool;
        juce::Array<int> pauses;
    };
}

//==============================================================================
TEST (BlhostCommands, EachCommandLineByteForByte)
{
    struct Case { const char* op; juce::String a1, a2, line; int pause, toolTimeout; };
    const Case cases[] =
    {
        { "keep",  "524288", "", q + toolPath + q + " -u -- get-property 1", 235, 5000 },
        { "KEEP",  "", "",       q + toolPath + q + " -u -- get-property 1", 235, 5000 },
        { "erase", "204096", "", q + toolPath + q + " -u -t 5000 -- flash-erase-region 0x60010000 204096", 3189, 5000 },
        { "erase", "404096", "", q + toolPath + q + " -u -t 6314 -- flash-erase-region 0x60010000 404096", 6314, 6314 },
        { "erase", "2000000", "", q + toolPath + q + " -u -t 16448 -- flash-erase-region 0x60010000 2000000", 16448, 16448 },
        { "erase", "4096", "",   q + toolPath + q + " -u -t 5000 -- flash-erase-region 0x60010000 4096", 64, 5000 },
        { "write", "c:\\ProgramData\\local/fw_.bin", "",
          q + q + toolPath + q + " -u -- write-memory 0x60010000 \"c:/ProgramData/local/fw_.bin\"", 3000, 5000 },
        { "write", "c:\\ProgramData\\local/z9_.bin", "",
          q + q + toolPath + q + " -u -- write-memory 0x60010000 \"c:/ProgramData/local/z9_.bin\"", 3000, 5000 },
        { "read",  "c:\\ProgramData\\local/fw.dat", "200000",
          q + q + toolPath + q + " -u -- read-memory 0x60010000 200000 \"c:/ProgramData/local/fw.dat\"", 235, 5000 },
        { "reset", "524288", "", q + toolPath + q + " -u  -- reset", 235, 5000 },
    };

    for (auto& c : cases)
    {
        const auto command = makeBlhostCommand (toolPath, c.op, c.a1, c.a2);
        EXPECT_TRUE (command.valid) << c.op;
        EXPECT_EQ (command.commandLine, c.line) << c.op;
        EXPECT_EQ (command.pauseMs, c.pause) << c.op << " " << c.a1;
        EXPECT_EQ (command.toolTimeoutMs, c.toolTimeout) << c.op << " " << c.a1;
    }
}

TEST (BlhostCommands, TheToolGetsAnArgumentListNotALine)
{
    const auto erase = makeBlhostCommand ("/opt/tool/blhost", "erase", "204096", {});
    EXPECT_EQ (erase.arguments, juce::StringArray ({ "/opt/tool/blhost", "-u", "-t", "5000", "--",
                                                     "flash-erase-region", "0x60010000", "204096" }));

    // A blank, a "$(...)" or backticks in the file name stay in one argument.
    const auto write = makeBlhostCommand ("/opt/tool/blhost", "write", "/tmp/a b/$(rm -rf x)`y`.bin", {});
    ASSERT_TRUE (write.valid);
    EXPECT_EQ (write.arguments, juce::StringArray ({ "/opt/tool/blhost", "-u", "--", "write-memory", "0x60010000",
                                                     "/tmp/a b/$(rm -rf x)`y`.bin" }));

    const auto read = makeBlhostCommand ("/opt/tool/blhost", "read", "/tmp/fw.dat", "200000");
    EXPECT_EQ (read.arguments, juce::StringArray ({ "/opt/tool/blhost", "-u", "--", "read-memory", "0x60010000",
                                                    "200000", "/tmp/fw.dat" }));

    EXPECT_EQ (makeBlhostCommand ("/opt/tool/blhost", "reset", "524288", {}).arguments,
               juce::StringArray ({ "/opt/tool/blhost", "-u", "--", "reset" }));
}

TEST (BlhostCommands, RefusesWhatTheLineCannotCarry)
{
    EXPECT_FALSE (makeBlhostCommand ({}, "keep", {}, {}).valid);
    EXPECT_FALSE (makeBlhostCommand (toolPath, "flash", {}, {}).valid);
    EXPECT_FALSE (makeBlhostCommand (toolPath, "erase", "", {}).valid);
    EXPECT_FALSE (makeBlhostCommand (toolPath, "erase", "4096 -- reset", {}).valid);
    EXPECT_FALSE (makeBlhostCommand (toolPath, "read", "/tmp/fw.dat", "").valid);

    for (auto bad : { "c:\\fw\\a\"b.bin", "c:\\fw\\%TEMP%.bin", "c:\\fw\\a\nb.bin", "c:\\fw\\a\rb.bin" })
    {
        EXPECT_FALSE (makeBlhostCommand (toolPath, "write", bad, {}).valid) << bad;
        EXPECT_FALSE (makeBlhostCommand (toolPath, "read", bad, "10").valid) << bad;
        EXPECT_FALSE (makeBlhostCommand (bad, "keep", {}, {}).valid) << bad;
    }
}

TEST (BlhostCommands, Markers)
{
    EXPECT_EQ (readBlhostStatus ("Inject command 'get-property'\nResponse status = 0 (0x0) Success.\n"), 1);
    EXPECT_EQ (readBlhostStatus ("status = 0 (0x0) Success."), 1);
    EXPECT_EQ (readBlhostStatus ("Response status = 10004 (0x2714) Unknown command."), 0);
    EXPECT_EQ (readBlhostStatus ("Successful generic response\nstatus = 105 (0x69)"), 0);
    EXPECT_EQ (readBlhostStatus ("Error: cannot open USB HID device. Success."), -1);
    EXPECT_EQ (readBlhostStatus ({}), -1);
}

TEST (BlhostCommands, NoByteSequenceHidesAMarkerInTheOutput)
{
    // What a hostile or broken tool might print before its verdict. Each must
    // leave "status = 0 (0x0) Success." readable, and nothing else may turn
    // up in its place.
    struct Case { const char* what; std::string prefix; };
    const Case cases[] =
    {
        { "an overlong zero",          "s\xe0\x80\x80J" },
        { "a two-byte overlong zero",  "x\xc0\x80" },
        { "a zero byte",               std::string ("x\0y", 3) },
        { "a surrogate",               "\xed\xa0\x80" },
        { "a code point past U+10FFFF", "\xf4\x90\x80\x80" },
        { "a cut sequence",            "\xe8\x80" },
        { "a stray continuation byte", "\x9c" },
    };

    for (auto& c : cases)
    {
        const auto bytes = c.prefix + "Response status = 0 (0x0) Success.\n";
        const auto text = blhostOutputToText (bytes.data(), bytes.size());

        EXPECT_EQ (readBlhostStatus (text), 1) << c.what;
        EXPECT_TRUE (text.endsWith ("Response status = 0 (0x0) Success.\n")) << c.what;
        EXPECT_LE ((size_t) text.length(), bytes.size()) << c.what;
    }

    const std::string valid ("Gr\xc3\xb6\xc3\x9f" "e status = 1 (0x1)");
    EXPECT_EQ (blhostOutputToText (valid.data(), valid.size()), juce::String (juce::CharPointer_UTF8 ("Gr\xc3\xb6\xc3\x9f" "e status = 1 (0x1)")));
    EXPECT_EQ (readBlhostStatus (blhostOutputToText (valid.data(), valid.size())), 0);
}

//==============================================================================
class BlhostRuns : public z9test::FakeBlhostFixture {};

TEST_F (BlhostRuns, RunsTheToolAndReadsItsVerdict)
{
    RecordingTool t;

    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), 1);
    setFaults ("keep fail");
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), 0);
    setFaults ("keep nostatus");
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), -1);
    setFaults ("keep garbage");
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), -1);

    setFaults ({});
    setUnitState ("running");   // no unit in its bootloader
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), -1);

    EXPECT_EQ (toolVerbs(), juce::StringArray ({ "get-property", "get-property", "get-property", "get-property", "get-property" }));
    EXPECT_EQ (t.pauses, juce::Array<int> (235, 235, 235, 235, 235));
}

TEST_F (BlhostRuns, NothingRunsWithoutAToolOrForAnUnknownOperation)
{
    RecordingTool t;
    EXPECT_EQ (t.tool.runBlhost ("flash", "1", {}), -1);

    upgraderState().toolPath = {};
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), -1);

    upgraderState().toolPath = (toolFolder / "no-such-tool").getFullPathName();
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), -1);

    EXPECT_TRUE (toolRuns().isEmpty());
    EXPECT_FALSE (blhostToolExists (upgraderState().toolPath));
    EXPECT_TRUE (blhostToolExists (Z9_FAKE_BLHOST));
}

TEST_F (BlhostRuns, AHungToolIsKilledAtItsTimeOut)
{
    RecordingTool t;
    t.tool.runTimeoutMs = 1000;
    setFaults ("keep hang");

    const auto start = juce::Time::getMillisecondCounterHiRes();
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), -1);
    const auto took = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_GE (took, 1000.0);
    EXPECT_LT (took, 15000.0) << "the hung tool was not killed";

    // The next run works as before.
    t.tool.runTimeoutMs = BlhostTool::defaultRunTimeoutMs;
    setFaults ({});
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), 1);
}

TEST_F (BlhostRuns, AToolThatPrintsWithoutEndIsStoppedAtTheOutputCap)
{
    BlhostTool tool (ToolRunner::makeChildProcessRunner (64 * 1024));
    tool.pause = [] (int) {};
    setFaults ("keep endless");

    // Well before the (long) time-out: the cap ends it.
    const auto start = juce::Time::getMillisecondCounterHiRes();
    EXPECT_EQ (tool.runBlhost ("keep", "524288", {}), -1);
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 15000.0);
}

namespace
{
    /** Whether a process is gone: no such process, or one that has ended and
        waits only for its reaper. */
    bool processIsGone (int pid)
    {
        if (::kill (pid, 0) != 0)
            return errno == ESRCH;

        const auto stat = juce::File ("/proc/" + juce::String (pid) + "/stat").loadFileAsString();
        return stat.fromLastOccurrenceOf (")", false, false).trim().startsWith ("Z");
    }
}

TEST_F (BlhostRuns, ARunIsBoundedWhenTheToolLeavesAChildHoldingItsOutput)
{
    // The child sleeps 130 s with the tool's output open: the run ends long
    // before, and takes it with it.
    struct Case { const char* faults; int verdict; };
    const Case cases[] = {
        { "keep none child", 1 },    // the tool ends at once
        { "keep hang child", -1 },   // the tool hangs too
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.faults);
        (toolFolder / "children").deleteFile();
        setFaults (c.faults);

        RecordingTool t;
        t.tool.runTimeoutMs = 2000;

        const auto start = juce::Time::getMillisecondCounterHiRes();
        EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), c.verdict);
        EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, t.tool.runTimeoutMs + 10000.0)
            << "the run waited for the child";

        const auto children = toolChildren();
        ASSERT_EQ (children.size(), 1);
        EXPECT_TRUE (z9test::waitUntil ([&] { return processIsGone (children[0]); }))
            << "process " << children[0] << " was left behind";
    }

    setFaults ({});
    RecordingTool t;
    EXPECT_EQ (t.tool.runBlhost ("keep", "524288", {}), 1);
}

//==============================================================================
class BlhostUpgrade : public z9test::FakeBlhostFixture {};

TEST_F (BlhostUpgrade, WritesReadsBackAndResets)
{
    RecordingTool t;
    const auto image = makeImage ("z9_x_106.bin", 5000);
    upgraderState().bootloaderActive = true;

    const auto result = t.tool.upgradeWithBlhost (image.getFullPathName());
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();

    const auto copy = workFolder / "z9_x_106_.bin";
    const auto readBack = workFolder / "z9_x_106.dat";

    juce::StringArray expectedRuns;
    expectedRuns.add ("-t 5000 -- flash-erase-region 0x60010000 9096");
    expectedRuns.add ("-- write-memory 0x60010000 " + copy.getFullPathName());
    expectedRuns.add ("-- get-property 1");
    expectedRuns.add ("-- read-memory 0x60010000 5000 " + readBack.getFullPathName());
    expectedRuns.add ("-- reset");
    EXPECT_EQ (toolRuns(), expectedRuns);

    EXPECT_EQ (t.tool.commandLines[1], "\"\"" + juce::String (Z9_FAKE_BLHOST) + "\" -u -- write-memory 0x60010000 \""
                                           + copy.getFullPathName() + "\"");

    // The unit's flash holds the image; the erase went 4096 bytes further.
    juce::MemoryBlock imageBytes;
    image.loadFileAsData (imageBytes);
    const auto f = flash();
    EXPECT_EQ (juce::MemoryBlock (f.getData(), 5000), imageBytes);
    EXPECT_EQ ((juce::uint8) f[5000], 0xff);

    EXPECT_EQ (t.pauses, juce::Array<int> (142, 3000, 235, 235, 235, 470, 235));
    EXPECT_FALSE (copy.exists());
    EXPECT_FALSE (readBack.exists());
    EXPECT_FALSE (upgraderState().bootloaderActive);
    EXPECT_EQ (unitStateFile().loadFileAsString(), "running");
}

namespace
{
    struct FailureCase { const char* faults; const char* text; const char* verbs; };
}

class BlhostFailures : public z9test::FakeBlhostFixture
{
protected:
    /** One upgrade per case, the tool showing the fault once. */
    void check (std::initializer_list<FailureCase> cases)
    {
        const auto image = makeImage ("fw.bin", 3000);

        for (auto& c : cases)
        {
            RecordingTool t;
            const juce::String faults (c.faults);

            if (faults.endsWith ("hang"))
                t.tool.runTimeoutMs = 1000;

            (toolFolder / "log").deleteFile();
            setUnitState ("bootloader");
            setFaults (faults + " once");
            upgraderState().bootloaderActive = true;

            const auto result = t.tool.upgradeWithBlhost (image.getFullPathName());

            if (c.text == nullptr)
                EXPECT_TRUE (result.wasOk()) << c.faults << ": " << result.getErrorMessage();
            else
                EXPECT_EQ (result.getErrorMessage(), c.text) << c.faults;

            EXPECT_EQ (toolVerbs().joinIntoString (" "), c.verbs) << c.faults;
            EXPECT_FALSE ((workFolder / "fw.dat").exists()) << c.faults;
            EXPECT_TRUE (workFolder.get().findChildFiles (juce::File::findFiles, true).isEmpty()) << c.faults;
            EXPECT_EQ (upgraderState().bootloaderActive, faults.startsWith ("erase")) << c.faults;   // a failed erase leaves it as it was
        }
    }
};

TEST_F (BlhostFailures, EraseAndWrite)
{
    check ({
        { "erase fail",      "Erase failed!",          "flash-erase-region flash-erase-region" },
        { "erase nostatus",  "Erase failed!",          "flash-erase-region flash-erase-region" },
        { "erase hang",      "Erase failed!",          "flash-erase-region flash-erase-region" },
        { "write nostatus",  "Write firmware failed!", "flash-erase-region write-memory flash-erase-region" },
    });
}

TEST_F (BlhostFailures, WrongDataAndTheCheck)
{
    check ({
        { "write fail",      "Wrote wrong data!",      "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "write corrupt",   "Wrote wrong data!",      "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read corrupt",    "Wrote wrong data!",      "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read fail",       "Check failed!",          "flash-erase-region write-memory get-property read-memory flash-erase-region" },
    });
}

TEST_F (BlhostFailures, ReadBackAndReset)
{
    check ({
        { "read garbage",    "Check failed!",          "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read nofile",     "check failed!",          "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "reset fail",      "OK. But reset failed!",  "flash-erase-region write-memory get-property read-memory reset" },
        { "keep fail",       nullptr,                  "flash-erase-region write-memory get-property read-memory reset" },
    });
}

TEST_F (BlhostUpgrade, NoUnitMeansTheEraseFails)
{
    RecordingTool t;
    setUnitState ("running");
    EXPECT_EQ (t.tool.upgradeWithBlhost (makeImage ("fw.bin", 100).getFullPathName()).getErrorMessage(), "Erase failed!");
}

TEST_F (BlhostUpgrade, RefusesImagesThatCannotBeWritten)
{
    RecordingTool t;
    auto fail = [&] (const juce::String& path) { return t.tool.upgradeWithBlhost (path).getErrorMessage(); };

    EXPECT_EQ (fail ((imageFolder / "missing.bin").getFullPathName()), "No firmware file!");
    EXPECT_EQ (fail ({}), "No firmware file!");
    EXPECT_EQ (fail ("fw.bin"), "No firmware file!");
    EXPECT_EQ (fail (imageFolder.get().getFullPathName()), "No firmware file!");
    EXPECT_EQ (fail (makeImage ("empty.bin", 0).getFullPathName()), "The firmware file is empty!");
    EXPECT_EQ (fail (makeImage ("big.bin", blhostMaxImageBytes + 1).getFullPathName()), "The firmware file is too large for the unit!");
    EXPECT_TRUE (fail (makeImage ("z9_x_\"1.bin", 100).getFullPathName()).contains ("double quote"));
    EXPECT_TRUE (fail (makeImage ("z9_x_%PATH%.bin", 100).getFullPathName()).contains ("double quote"));

    // An Escape left from an earlier step is never an upgrade.
    upgraderState().abort = true;
    EXPECT_EQ (fail (makeImage ("fw.bin", 100).getFullPathName()), "Firmware upgrade aborted!");

    EXPECT_TRUE (toolRuns().isEmpty()) << toolRuns().joinIntoString ("\n");
    EXPECT_TRUE (workFolder.get().findChildFiles (juce::File::findFilesAndDirectories, true).isEmpty());
}

TEST_F (BlhostUpgrade, TheLargestImageFits)
{
    RecordingTool t;
    const auto result = t.tool.upgradeWithBlhost (makeImage ("fw.bin", blhostMaxImageBytes).getFullPathName());
    EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_EQ (toolRuns()[0], "-t 16448 -- flash-erase-region 0x60010000 1052672");
}

TEST_F (BlhostUpgrade, NoWorkingCopyNoWrite)
{
    RecordingTool t;
    auto blocker = workFolder / "blocker";
    blocker.replaceWithText ("a file where the folder should be");

    const FirmwareWorkFolder::ScopedRedirect redirect (blocker.getChildFile ("local"));
    EXPECT_EQ (t.tool.upgradeWithBlhost (makeImage ("fw.bin", 100).getFullPathName()).getErrorMessage(),
               "Cannot create firmware file!");
    EXPECT_TRUE (toolRuns().isEmpty());
}

TEST_F (BlhostUpgrade, AReadBackLeftFromAnEarlierRunIsNeverCompared)
{
    RecordingTool t;
    const auto image = makeImage ("fw.bin", 100);
    image.copyFileTo (workFolder / "fw.dat");   // as if an earlier read had left it
    setFaults ("read nofile");

    EXPECT_EQ (t.tool.upgradeWithBlhost (image.getFullPathName()).getErrorMessage(), "check failed!");
}

//==============================================================================
namespace
{
    /** The program's runner, with the wizard's Escape key pressed (through
        the message loop) while the write runs. */
    struct EscapeDuringTheWrite final : ToolRunner
    {
        explicit EscapeDuringTheWrite (FirmwareUpgradeComponent& w) : wizard (&w) {}

        ToolRunResult run (const juce::StringArray& arguments, int timeoutMs) override
        {
            const bool write = arguments.contains ("write-memory");

            if (write)
            {
                juce::MessageManager::callAsync ([w = wizard]
                {
                    if (w != nullptr)
                        w->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
                });
            }

            auto result = inner->run (arguments, timeoutMs);

            if (write)
                landedDuringTheWrite = upgraderState().abort;

            return result;
        }

        juce::Component::SafePointer<FirmwareUpgradeComponent> wizard;
        std::unique_ptr<ToolRunner> inner = ToolRunner::makeChildProcessRunner();
        bool landedDuringTheWrite = false;
    };
}

class BlhostInvalidation : public z9test::FakeBlhostFixture
{
protected:
    z9test::StepLog log;
};

TEST_F (BlhostInvalidation, AnythingShortOfAVerifiedReadBackLeavesNoBootableImage)
{
    const juce::String aborted ("Firmware upgrade aborted!");
    const juce::String writePhase ("flash-erase-region write-memory flash-erase-region");
    const juce::String readPhase ("flash-erase-region write-memory get-property read-memory flash-erase-region");

    // The faults leave the image (or most of it) in the flash, as a unit
    // would hold it after the tool failed: only the erase makes it unbootable.
    struct Case { const char* faults; const char* text; bool failsAtTheCheck; };
    const Case cases[] = {
        { "write nostatus after", "Write firmware failed!", false },
        { "write garbage after",  "Write firmware failed!", false },
        { "write hang after",     "Write firmware failed!", false },   // killed at its time-out
        { "write endless after",  "Write firmware failed!", false },   // killed at the output cap
        { "write corrupt",        "Wrote wrong data!",      true },
        { "read fail",            "Check failed!",          true },
        { "read nostatus",        "Check failed!",          true },
        { "read hang",            "Check failed!",          true },
        { "read garbage",         "Check failed!",          true },
        { "read corrupt",         "Wrote wrong data!",      true },
        { "read nofile",          "check failed!",          true },
        { "",                     nullptr,                  true },    // a verified write: no invalidation
    };

    const auto image = makeImage ("fw.bin", 10000);
    juce::MemoryBlock imageBytes;
    image.loadFileAsData (imageBytes);

    for (const bool escape : { false, true })
    {
        for (auto& c : cases)
        {
            const juce::String faults (c.faults);
            SCOPED_TRACE ((escape ? "Escape during the write, " : "") + faults);

            FirmwareUpgradeComponent wizard (2069, true, std::make_unique<z9test::FakeUpgradeSteps> (log));
            upgraderState().toolPath = Z9_FAKE_BLHOST;
            auto runner = std::make_unique<EscapeDuringTheWrite> (wizard);
            auto* escapeRunner = runner.get();

            if (! escape)
                runner->wizard = nullptr;

            BlhostTool tool (std::move (runner));
            tool.pause = [] (int) {};
            tool.runTimeoutMs = faults.contains ("hang") ? 1000 : BlhostTool::defaultRunTimeoutMs;

            // A slow write, so that the Escape lands while it runs.
            juce::String lines = faults.isEmpty() ? juce::String() : faults + " once";

            if (escape)
                lines = faults.startsWith ("write") ? lines + " slow" : "write none slow once\n" + lines;

            (toolFolder / "log").deleteFile();
            (toolFolder / "flash").deleteFile();
            setUnitState ("bootloader");
            setFaults (lines);
            upgraderState().bootloaderActive = true;

            const auto result = tool.upgradeWithBlhost (image.getFullPathName());
            const bool writeFailed = ! c.failsAtTheCheck;
            const auto* expectedText = escape && ! writeFailed ? aborted.toRawUTF8() : c.text;

            if (expectedText == nullptr)
            {
                EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
                EXPECT_TRUE (flashIsBootable());
                EXPECT_EQ (toolVerbs().joinIntoString (" "), "flash-erase-region write-memory get-property read-memory reset");
            }
            else
            {
                EXPECT_EQ (result.getErrorMessage(), expectedText);
                EXPECT_EQ (toolVerbs().joinIntoString (" "), escape || writeFailed ? writePhase : readPhase);
                EXPECT_EQ (toolRuns()[toolRuns().size() - 1], "-t 5000 -- flash-erase-region 0x60010000 4096");
                EXPECT_FALSE (flashIsBootable());

                // Only the start of the image was erased again.
                const auto f = flash();

                if (faults != "write corrupt")
                    EXPECT_EQ (juce::MemoryBlock (static_cast<const char*> (f.getData()) + 4096, 10000 - 4096),
                               juce::MemoryBlock (imageBytes.begin() + 4096, 10000 - 4096));
            }

            if (escape)
                EXPECT_TRUE (escapeRunner->landedDuringTheWrite) << "the Escape came too late";

            EXPECT_FALSE (upgraderState().bootloaderActive);

            // No working file is left, and the image is as it was.
            EXPECT_TRUE (workFolder.get().findChildFiles (juce::File::findFiles, true).isEmpty());
            juce::MemoryBlock after;
            EXPECT_TRUE (image.loadFileAsData (after) && after == imageBytes);
        }
    }
}

TEST_F (BlhostInvalidation, AFailedInvalidationIsTriedAgain)
{
    struct Case { const char* what; const char* faults; const char* verbs; bool bootable; };
    const Case cases[] = {
        { "the unit misses the first invalidation", "erase none once\nerase fail once\nwrite nostatus after once",
          "flash-erase-region write-memory flash-erase-region flash-erase-region", false },
        { "the unit is gone halfway through the write", "write unplug once",
          "flash-erase-region write-memory flash-erase-region flash-erase-region flash-erase-region", true },
    };

    const auto image = makeImage ("fw.bin", 10000);

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        RecordingTool t;
        (toolFolder / "log").deleteFile();
        (toolFolder / "flash").deleteFile();
        setUnitState ("bootloader");
        setFaults (c.faults);

        EXPECT_EQ (t.tool.upgradeWithBlhost (image.getFullPathName()).getErrorMessage(), "Write firmware failed!");
        EXPECT_EQ (toolVerbs().joinIntoString (" "), c.verbs);
        EXPECT_EQ (flashIsBootable(), c.bootable);   // a unit out of reach cannot be reached by any erase
        EXPECT_TRUE (workFolder.get().findChildFiles (juce::File::findFiles, true).isEmpty());
    }
}

TEST_F (BlhostUpgrade, AFilePickedFromTheWorkingFolderIsNeverTouched)
{
    RecordingTool t;

    for (auto name : { "fw.dat", "fw_.bin" })
    {
        SCOPED_TRACE (name);
        // fw_.bin's working copy would be fw__.bin: only a read-back name can meet it.
        const auto picked = workFolder / name;
        picked.replaceWithText ("the user's own file");

        const auto result = t.tool.upgradeWithBlhost (picked.getFullPathName());

        if (juce::String (name) == "fw.dat")
        {
            EXPECT_TRUE (result.getErrorMessage().contains ("working folder")) << result.getErrorMessage();
            EXPECT_TRUE (toolRuns().isEmpty());
        }
        else
        {
            EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();
        }

        EXPECT_EQ (picked.loadFileAsString(), "the user's own file");
        picked.deleteFile();
        (toolFolder / "log").deleteFile();
    }
}
