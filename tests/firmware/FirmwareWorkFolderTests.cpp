#include "tests/firmware/FakeBlhostFixture.h"
#include "tests/support/LocalHttpServer.h"
#include "firmware/FirmwareCatalogue.h"
#include "firmware/FirmwareSelection.h"
#include "firmware/FirmwareWorkFolder.h"
#include "core/files/SettingsLocation.h"

using namespace vorlix;
using NsZ9m::SettingsLocation;

/** The upgrader's files where the program puts them, beside the settings:
    the settings' places are redirected into a scratch folder (common under
    folder/common, the user's under folder/user), and a common place that
    cannot be written is one whose path runs into a regular file (the tests
    may run as root, for whom no permission stops a write). */
class FirmwareWorkFolderPlace : public z9test::FakeBlhostFixture
{
protected:
    juce::File commonMaker() const   { return places.get().getChildFile ("common/VorlixSound"); }
    juce::File userMaker() const     { return places.get().getChildFile ("user/VorlixSound"); }

    /** Makes the common place unwritable: a file where its folder would be. */
    void blockCommonPlace()          { places.get().getChildFile ("common").replaceWithText ("not a folder"); }

    static juce::Array<juce::File> filesIn (const juce::File& folder)
    {
        return folder.findChildFiles (juce::File::findFiles, true);
    }

    z9test::TempFolder places;
    FirmwareWorkFolder::ScopedSettingsPlace settingsPlace;
    SettingsLocation::ScopedRedirect settingsRedirect { places.get() };
};

TEST_F (FirmwareWorkFolderPlace, TheToolUpgradeWorksInTheCommonPlaceOrElseInTheUsers)
{
    struct Case { const char* what; bool blocked; };
    const Case cases[] = { { "the common place can be written", false },
                           { "the common place cannot be written", true } };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        places.get().deleteRecursively();
        places.get().createDirectory();
        (toolFolder / "log").deleteFile();
        setUnitState ("bootloader");

        if (c.blocked)
            blockCommonPlace();

        EXPECT_EQ (SettingsLocation::getCommonFolder(), commonMaker());
        EXPECT_EQ (SettingsLocation::getUserFolder(), userMaker());

        const auto expected = (c.blocked ? userMaker() : commonMaker()).getChildFile ("local");
        EXPECT_EQ (FirmwareWorkFolder::get(), expected);

        BlhostTool tool;
        tool.pause = [] (int) {};
        const auto image = makeImage ("fw.bin", 5000);
        const auto result = tool.upgradeWithBlhost (image.getFullPathName());
        EXPECT_TRUE (result.wasOk()) << result.getErrorMessage();

        const auto runs = toolRuns();
        ASSERT_EQ (runs.size(), 5);
        EXPECT_EQ (runs[1], "-- write-memory 0x60010000 " + expected.getChildFile ("fw_.bin").getFullPathName());
        EXPECT_EQ (runs[3], "-- read-memory 0x60010000 5000 " + expected.getChildFile ("fw.dat").getFullPathName());

        // Nothing stays behind, and nothing went into the other place.
        EXPECT_TRUE (filesIn (places.get().getChildFile ("user")).isEmpty());

        if (! c.blocked)
            EXPECT_TRUE (filesIn (places.get().getChildFile ("common")).isEmpty());
    }
}

TEST_F (FirmwareWorkFolderPlace, TheDownloadWorksInTheUsersPlaceWhenTheCommonOneCannotBeWritten)
{
    blockCommonPlace();

    juce::MemoryBlock image (4096);
    juce::Random random (7);
    for (size_t i = 0; i < image.getSize(); ++i)
        image[i] = (char) random.nextInt (256);

    z9test::LocalHttpServer server;
    FirmwareServer::ScopedBaseAddress base { server.getBaseAddress() };
    server.serveText ("/firmware.xml", "<firmwares><firmware pid=\"2056\" name=\"Z9-X\" version=\"1.06\" fw=\"z9x/z9_x_1.06.bin\"/></firmwares>");
    server.serveData ("/z9x/z9_x_1.06.bin", image.getData(), image.getSize());

    z9test::ScriptedDialogRunner runner;   // the firmware chooser: OK
    runner.drive = [] (UpgraderDialogWindow&) { return 1; };
    firmwareSelectionFlags() = {};

    // The program's own steps, for a Z9-X4 as "Activate" leaves it.
    FirmwareUpgradeComponent wizard (2069, true);
    upgraderState().toolPath = Z9_FAKE_BLHOST;
    ASSERT_TRUE (upgraderState().automaticStepping);
    wizard.targetPortName = "Z9-X4 V1.05";
    wizard.setStep (2);

    dialogs.answerBox (0);
    wizard.getStepButton (3).triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return ! dialogs.getRequests().empty(); }));

    EXPECT_EQ (runner.titles, juce::StringArray ({ "Firmware Version" }));
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Upgrade Succeeded");

    // Downloaded into the user's maker folder, written from its "local".
    EXPECT_EQ (upgraderState().chosenFirmwarePath, userMaker().getChildFile ("z9_x_1.06.bin").getFullPathName());
    const auto runs = toolRuns();
    ASSERT_EQ (runs.size(), 5);
    EXPECT_EQ (runs[1], "-- write-memory 0x60010000 " + userMaker().getChildFile ("local/z9_x_1.06_.bin").getFullPathName());
    EXPECT_EQ (juce::MemoryBlock (flash().getData(), image.getSize()), image);
    EXPECT_TRUE (filesIn (userMaker().getChildFile ("local")).isEmpty());
}
