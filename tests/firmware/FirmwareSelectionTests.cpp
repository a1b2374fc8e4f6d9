#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/SimulatedBootloaderUnit.h"
#include "tests/support/TempFolder.h"
#include "firmware/FirmwareCatalogue.h"
#include "firmware/FirmwareSelection.h"
#include "firmware/MidiBootloader.h"

using namespace vorlix;

namespace
{
    constexpr int pad16 = z9test::midiBootloaderProduct;

    /** The wizard's side of the selection, recording what the step did. */
    struct FakeSelectionHost final : FirmwareSelectionHost
    {
        juce::StringArray calls;
        int step = -1;
        int targetProduct = pad16, unitProduct = pad16;
        juce::String portName { "VORLIX Pad16 V1.05" };
        juce::File downloadFolder;
        std::vector<juce::uint8> midiImage;
        std::function<void()> onUpgrade;

        void setStep (int s) override                       { step = s; }
        void setBusy (bool b) override                      { calls.add (b ? "busy" : "idle"); }
        void setStatusText (const juce::String& t) override { calls.add ("status " + t); }
        void disableStartAndEnter() override                {}
        void runUpgradeStep() override                      { calls.add ("upgrade"); if (onUpgrade) onUpgrade(); }
        juce::Component* getDialogParent() override         { return nullptr; }
        int getTargetProduct() override                     { return targetProduct; }
        juce::String getTargetPortName() override           { return portName; }
        int getUnitProduct() override                       { return unitProduct; }
        juce::File getDownloadFolder() override             { return downloadFolder; }

        juce::File& firmwareFile() override        { return file; }
        bool& firmwareFileReady() override         { return fileReady; }
        juce::ValueTree& firmwares() override      { return tree; }

        juce::File file;
        bool fileReady = false;
        juce::ValueTree tree;

        bool loadMidiImage (const juce::File& file) override
        {
            calls.add ("load");
            return MidiBootloader::readImageFile (file, midiImage).wasOk();
        }
    };

    juce::String entry (int pid, const juce::String& name, const juce::String& version, const juce::String& fw)
    {
        return "<firmware pid=\"" + juce::String (pid) + "\" name=\"" + name + "\" version=\"" + version
             + "\" fw=\"" + fw + "\"/>";
    }

    juce::String catalogue (const juce::String& entries)   { return "<firmwares>" + entries + "</firmwares>"; }

    juce::MemoryBlock makeImage (size_t size)
    {
        juce::MemoryBlock block (size);
        juce::Random random (5);

        for (size_t i = 0; i < size; ++i)
            block[i] = (char) random.nextInt (256);

        return block;
    }
}

class FirmwareSelectionTest : public z9test::FirmwareFixture
{
protected:
    void SetUp() override
    {
        FirmwareFixture::SetUp();
        firmwareSelectionFlags() = {};
        host.downloadFolder = folder / "ProgramData";
        runner.drive = [this] (UpgraderDialogWindow& window)
        {
            chooserItems.clear();

            if (auto* list = dynamic_cast<juce::ComboBox*> (window.getContentComponent()->getChildComponent (0)))
                for (int i = 0; i < list->getNumItems(); ++i)
                    chooserItems.add (list->getItemText (i));

            return chooserAnswer;
        };
    }

    juce::File writeFile (const juce::String& name, size_t size)
    {
        auto file = folder / name;
        const auto data = makeImage (size);
        file.replaceWithData (data.getData(), data.getSize());
        return file;
    }

    z9test::LocalHttpServer server;
    FirmwareServer::ScopedBaseAddress base { server.getBaseAddress() };
    z9test::TempFolder folder;
    z9test::ScriptedDialogRunner runner;
    juce::StringArray chooserItems;
    int chooserAnswer = 1;
    FakeSelectionHost host;
};

//==============================================================================
TEST_F (FirmwareSelectionTest, ToolFamilyDownloadsTheNewerFirmwareAndUpgrades)
{
    auto& state = upgraderState();
    state.toolFamily = true;
    state.online = true;
    state.automaticStepping = true;
    state.chosenFirmwarePath = "c:\\old\\z9_x_0.99.bin";   // from an earlier wizard

    host.targetProduct = host.unitProduct = 2069;           // a Z9-X4: the Z9-X catalogue
    host.portName = "Z9-X4 V1.05";

    const auto image = makeImage (4096);
    server.serveText ("/firmware.xml", catalogue (entry (2056, "Z9-X", "1.06", "z9x/z9_x_1.06.bin")
                                                  + entry (2055, "Z9-M", "1.07", "z9m/z9_m_1.07.bin")));
    server.serveData ("/z9x/z9_x_1.06.bin", image.getData(), image.getSize());

    runFirmwareSelection (host);

    const auto expected = host.downloadFolder.getChildFile ("z9_x_1.06.bin");
    EXPECT_EQ (runner.titles, juce::StringArray ({ "Firmware Version" }));
    EXPECT_EQ (chooserItems, juce::StringArray ({ "Z9-X V1.06" }));
    EXPECT_EQ (host.calls, juce::StringArray ({ "busy", "idle",   // the catalogue
                                                "status Z9-X 1.06 firmware is being downloaded here...",
                                                "busy", "idle",   // the download
                                                "upgrade" }));
    EXPECT_EQ (state.chosenFirmwarePath, expected.getFullPathName());
    EXPECT_TRUE (host.fileReady);
    EXPECT_EQ (host.step, 3);

    juce::MemoryBlock written;
    ASSERT_TRUE (expected.loadFileAsData (written));
    EXPECT_EQ (written, image);
    EXPECT_FALSE (firmwareSelectionFlags().running);
}

TEST_F (FirmwareSelectionTest, AnUpToDateUnitIsNeverWrittenWithAnOldPath)
{
    auto& state = upgraderState();
    state.toolFamily = true;
    state.automaticStepping = true;
    state.chosenFirmwarePath = "c:\\old\\z9_m_1.00.bin";
    host.targetProduct = host.unitProduct = 2055;
    host.portName = "Z9-M V1.07";

    server.serveText ("/firmware.xml", catalogue (entry (2055, "Z9-M", "1.06", "z9_m_1.06.bin")
                                                  + entry (2055, "Z9-M", "1.07", "z9_m_1.07.bin")));
    dialogs.answerBox (0);

    runFirmwareSelection (host);

    EXPECT_TRUE (runner.titles.isEmpty());
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Your device is up-to-date." }));
    EXPECT_FALSE (host.calls.contains ("upgrade"));
    EXPECT_TRUE (state.chosenFirmwarePath.isEmpty());
    EXPECT_EQ (host.step, 2);
}

TEST_F (FirmwareSelectionTest, NewerVersionKeepsTheChooserOpenForTheUser)
{
    auto& state = upgraderState();
    state.toolFamily = true;
    state.automaticStepping = true;
    host.targetProduct = host.unitProduct = 2055;
    host.portName = "Z9-M V1.05";

    server.serveText ("/firmware.xml", catalogue (entry (2055, "Z9-M", "1.05", "z9_m_1.05.bin")
                                                  + entry (2055, "Z9-M", "1.06", "z9_m_1.06.bin")));

    bool confirmsItself = true;
    runner.drive = [&] (UpgraderDialogWindow& window)
    {
        // Had it been asked to confirm itself, its OK click would be on its way.
        confirmsItself = ! z9test::staysModalAfter (window, {});
        return 0;
    };

    runFirmwareSelection (host);

    EXPECT_TRUE (firmwareSelectionFlags().newerVersion);
    EXPECT_FALSE (confirmsItself);
    EXPECT_TRUE (dialogs.getRequests().empty());   // cancelled: no message
}

TEST_F (FirmwareSelectionTest, ToolFamilyFallsBackToAFileThatFitsTheUnit)
{
    auto& state = upgraderState();
    state.toolFamily = true;
    host.targetProduct = host.unitProduct = 2056;

    // No catalogue on the server: the file chooser, a Z9-M file for a Z9-X.
    const auto wrong = writeFile ("z9_m_1.07.bin", 1024);
    dialogs.answerFile (wrong).answerBox (0);
    runFirmwareSelection (host);
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Not the matching firmware!" }));
    EXPECT_TRUE (state.chosenFirmwarePath.isEmpty());

    // The download fails: its text, then the chooser for a fitting file.
    server.serveText ("/firmware.xml", catalogue (entry (2056, "Z9-X", "1.06", "z9_x_1.06.bin")));
    const auto right = writeFile ("z9_x_1.06.bin", 1024);
    dialogs.answerFile (right).answerBox (0);
    runFirmwareSelection (host);

    EXPECT_EQ (dialogs.getMessages()[1], "Could not download firmware file");
    EXPECT_EQ (state.chosenFirmwarePath, right.getFullPathName());
    EXPECT_FALSE (host.fileReady);   // a file of the user's is never deleted
    EXPECT_EQ (host.step, 3);
    EXPECT_TRUE (dialogs.allAnswersUsed());
}

//==============================================================================
TEST_F (FirmwareSelectionTest, MidiFamilyDownloadGoesIntoTheHandlerAndIsWritten)
{
    auto& state = upgraderState();
    state.automaticStepping = true;

    const auto image = makeImage (1300);
    server.serveText ("/firmware.xml", catalogue (entry (pad16, "Pad16", "1.06", "pad/pad_fw_1.06.bin")));
    server.serveData ("/pad/pad_fw_1.06.bin", image.getData(), image.getSize());

    // The write that follows, against the simulated unit.
    z9test::SimulatedBootloaderUnit unit (ports);
    juce::Result written = juce::Result::fail ("not run");

    host.onUpgrade = [&]
    {
        struct Recorder final : juce::MidiInputCallback
        {
            void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override   { flags.record (m); }
            AcknowledgementFlags flags;
        } recorder;

        auto output = ports.openOutput (ports.getOutputNames().indexOf (unit.portName));
        auto input = ports.openInput (ports.getInputNames().indexOf (unit.portName), &recorder);
        input->start();

        MidiTransferHooks hooks;
        hooks.pause = [] (int) { juce::MessageManager::getInstance()->runDispatchLoopUntil (0); };
        written = upgradeOverMidi (output.get(), true, recorder.flags, host.midiImage, pad16, hooks);
        input->stop();
    };

    runFirmwareSelection (host);

    EXPECT_EQ (host.calls, juce::StringArray ({ "busy", "idle", "busy", "idle", "load", "upgrade" }));
    EXPECT_EQ (host.midiImage, std::vector<juce::uint8> ((const juce::uint8*) image.getData(),
                                                         (const juce::uint8*) image.getData() + image.getSize()));
    EXPECT_TRUE (written.wasOk()) << written.getErrorMessage();
    EXPECT_EQ (unit.getNumBlocksTaken(), 3);
    EXPECT_TRUE (std::equal (host.midiImage.begin(), host.midiImage.end(), unit.getFlash().begin()));
}

TEST_F (FirmwareSelectionTest, MidiFamilyFailuresAreShownAndNothingIsWritten)
{
    auto& state = upgraderState();
    state.automaticStepping = true;

    // The catalogue's image is missing on the server.
    server.serveText ("/firmware.xml", catalogue (entry (pad16, "Pad16", "1.06", "pad/pad_fw_1.06.bin")));
    dialogs.answerBox (0);
    runFirmwareSelection (host);
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Could not download firmware file" }));
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Download");
    EXPECT_FALSE (host.calls.contains ("upgrade"));

    // Manual: a file that is not the unit's, then one too small to be an image.
    state.online = false;
    dialogs.answerFile (writeFile ("pad_fw_boot_1.bin", 1024)).answerBox (0);
    runFirmwareSelection (host);
    dialogs.answerFile (writeFile ("pad_fw_1.bin", 100)).answerBox (0);
    runFirmwareSelection (host);

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Could not download firmware file", "Not the matching firmware!",
                                                           "Firmware exception!" }));
    EXPECT_EQ (dialogs.getRequests()[2].box.title, "Load File");
    EXPECT_FALSE (host.calls.contains ("upgrade"));
    EXPECT_EQ (host.step, 2);
}

TEST_F (FirmwareSelectionTest, ASelectionThatRunsIsNeverNestedEvenUnderAutomaticStepping)
{
    auto& state = upgraderState();
    state.toolFamily = true;
    state.automaticStepping = true;
    host.targetProduct = host.unitProduct = 2056;
    host.portName = "Z9-X V1.05";

    const auto image = makeImage (4096);
    server.serveText ("/firmware.xml", catalogue (entry (2056, "Z9-X", "1.06", "z9_x_1.06.bin")));
    server.serveData ("/z9_x_1.06.bin", image.getData(), image.getSize());

    // What automatic stepping or a click would bring while the first runs.
    int nestedTries = 0;
    host.onUpgrade = [&]
    {
        if (nestedTries++ == 0)
            runFirmwareSelection (host);
    };

    runFirmwareSelection (host);

    EXPECT_EQ (nestedTries, 1);
    EXPECT_EQ (host.calls, juce::StringArray ({ "busy", "idle", "status Z9-X 1.06 firmware is being downloaded here...",
                                                "busy", "idle", "upgrade" }));   // one fetch, one download, one upgrade
    EXPECT_EQ (server.countRequests ("/firmware.xml"), 2);
    EXPECT_EQ (runner.titles.size(), 1);
    EXPECT_FALSE (firmwareSelectionFlags().running);

    // Once it has ended, the next one runs.
    host.onUpgrade = nullptr;
    runFirmwareSelection (host);
    EXPECT_EQ (runner.titles.size(), 2);
}
