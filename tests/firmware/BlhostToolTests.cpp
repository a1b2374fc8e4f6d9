#include "tests/firmware/FakeBlhostFixture.h"
#include "firmware/FirmwareWorkFolder.h"

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

TEST_F (BlhostUpgrade, EveryFailureText)
{
    struct Case { const char* faults; const char* text; const char* verbs; };
    const Case cases[] =
    {
        { "erase fail",      "Erase failed!",          "flash-erase-region flash-erase-region" },
        { "erase nostatus",  "Erase failed!",          "flash-erase-region flash-erase-region" },
        { "erase hang",      "Erase failed!",          "flash-erase-region flash-erase-region" },
        { "write nostatus",  "Write firmware failed!", "flash-erase-region write-memory" },
        { "write fail",      "Wrote wrong data!",      "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "write corrupt",   "Wrote wrong data!",      "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read fail",       "Check failed!",          "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read garbage",    "Check failed!",          "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read corrupt",    "Wrote wrong data!",      "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "read nofile",     "check failed!",          "flash-erase-region write-memory get-property read-memory flash-erase-region" },
        { "reset fail",      "OK. But reset failed!",  "flash-erase-region write-memory get-property read-memory reset" },
        { "keep fail",       nullptr,                  "flash-erase-region write-memory get-property read-memory reset" },
    };

    const auto image = makeImage ("fw.bin", 3000);

    for (auto& c : cases)
    {
        RecordingTool t;
        t.tool.runTimeoutMs = 1000;
        (toolFolder / "log").deleteFile();
        setUnitState ("bootloader");
        setFaults (juce::String (c.faults) + " once");
        upgraderState().bootloaderActive = true;

        const auto result = t.tool.upgradeWithBlhost (image.getFullPathName());

        if (c.text == nullptr)
            EXPECT_TRUE (result.wasOk()) << c.faults << ": " << result.getErrorMessage();
        else
            EXPECT_EQ (result.getErrorMessage(), c.text) << c.faults;

        EXPECT_EQ (toolVerbs().joinIntoString (" "), c.verbs) << c.faults;
        EXPECT_FALSE ((workFolder / "fw.dat").exists()) << c.faults;

        if (juce::String (c.faults).startsWith ("write nostatus"))
            EXPECT_FALSE (upgraderState().bootloaderActive);
    }
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
