#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/SimulatedBootloaderUnit.h"
#include "tests/support/TempFolder.h"
#include "firmware/FirmwareCatalogue.h"
#include "firmware/WizardFirmwareSeams.h"
#include "firmware/UpgraderMidiHandler.h"
#include "core/base/PlatformHelpers.h"

using namespace vorlix;

namespace
{
    constexpr int pad16 = z9test::midiBootloaderProduct;

    /** The unit's ports as the upgrader's MIDI handler holds them: its
        output, and its input recording the answers into the upgrader's
        acknowledgement flags. */
    struct HandlerPorts final : juce::MidiInputCallback
    {
        HandlerPorts (z9test::InMemoryMidiPorts& ports, const juce::String& name)
        {
            output = ports.openOutput (ports.getOutputNames().indexOf (name));
            input = ports.openInput (ports.getInputNames().indexOf (name), this);
            input->start();
        }

        ~HandlerPorts() override   { input->stop(); }

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override
        {
            upgraderState().acknowledgements.record (m);
        }

        std::unique_ptr<NsZ9m::MidiOutputPort> output;
        std::unique_ptr<NsZ9m::MidiInputPort> input;
        std::vector<juce::uint8> image;
    };
}

class WizardFirmwareSeams : public z9test::FirmwareFixture
{
protected:
    z9test::LocalHttpServer server;
    FirmwareServer::ScopedBaseAddress base { server.getBaseAddress() };
    z9test::TempFolder folder;
    z9test::ScriptedDialogRunner runner;   // the firmware chooser: OK
    z9test::StepLog log;
};

TEST_F (WizardFirmwareSeams, SelectVersionThroughUpgradeAgainstTheServerAndTheUnit)
{
    juce::MemoryBlock image (1300);
    for (size_t i = 0; i < image.getSize(); ++i)
        image[i] = (char) (i * 7);

    server.serveText ("/firmware.xml", "<firmwares><firmware pid=\"2017\" name=\"Pad16\" version=\"1.06\" fw=\"pad/pad_fw_1.06.bin\"/></firmwares>");
    server.serveData ("/pad/pad_fw_1.06.bin", image.getData(), image.getSize());
    runner.drive = [] (UpgraderDialogWindow&) { return 1; };

    struct Case { const char* what; std::function<void (z9test::SimulatedBootloaderUnit&)> set; const char* title; const char* message; };
    const Case cases[] = {
        { "a unit that takes it", [] (auto&) {}, "Firmware Upgrade Succeeded", "Your firmware has been upgraded!" },
        { "a unit that refuses a block", [] (auto& u) { u.refuse = { 0x01 }; }, "Firmware Upgrade Failed", "Could not write new firmware" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        z9test::SimulatedBootloaderUnit unit (ports);
        c.set (unit);
        HandlerPorts handler (ports, unit.portName);

        auto steps = std::make_unique<z9test::FakeUpgradeSteps> (log);
        auto* fake = steps.get();
        FirmwareUpgradeComponent wizard (pad16, true, std::move (steps));
        upgraderState().automaticStepping = true;
        NsZ9m::windowsVersionIndex = 7;

        fake->onSelect = [&] (FirmwareUpgradeComponent& w)
        {
            selectFirmwareForWizard (w, [&] (const juce::File& file)
            {
                return MidiBootloader::readImageFile (file, handler.image).wasOk();
            }, folder.get());
        };

        std::vector<double> progress;
        fake->writeResult = [&]
        {
            MidiTransferTiming timing;
            timing.pollMs = 1;
            auto result = writeOverMidiForWizard (wizard, handler.output.get(), true, upgraderState().acknowledgements,
                                                  handler.image, pad16, timing);
            progress.push_back (wizard.getProgress());
            return result;
        };

        // As "Activate" leaves it: the unit in upgrade mode, its version in its name.
        wizard.targetProduct = pad16;
        wizard.targetPortName = "VORLIX Pad16 V1.05";
        wizard.setStep (2);

        const auto boxesBefore = dialogs.getRequests().size();
        dialogs.answerBox (0);
        wizard.getStepButton (3).triggerClick();
        ASSERT_TRUE (z9test::waitUntil ([&] { return dialogs.getRequests().size() > boxesBefore; }));

        const auto& box = dialogs.getRequests().back().box;
        EXPECT_EQ (box.title, c.title);
        EXPECT_EQ (box.message, c.message);
        EXPECT_EQ (wizard.getStep(), -1);
        EXPECT_EQ (wizard.getStatusLabelText(), "Firmware Upgrade");
        ASSERT_EQ (progress.size(), 1u);

        if (juce::String (c.title) == "Firmware Upgrade Succeeded")
        {
            EXPECT_DOUBLE_EQ (progress[0], 0.8 + 0.2 * 1300 / 1303.0);
            EXPECT_TRUE (std::equal (handler.image.begin(), handler.image.end(), unit.getFlash().begin()));
            EXPECT_EQ (handler.image.size(), image.getSize());
        }

        EXPECT_FALSE (unit.sawUnexpected());
        z9test::writeSnapshot (wizard, c.title);
        log = {};
    }

    EXPECT_EQ (runner.titles, juce::StringArray ({ "Firmware Version", "Firmware Version" }));
}

//==============================================================================
TEST_F (WizardFirmwareSeams, TheProgramsStepsSelectDownloadAndWriteOverMidi)
{
    const std::string image (1300, '\x5a');
    server.serveText ("/firmware.xml", "<firmwares><firmware pid=\"2017\" name=\"Pad16\" version=\"1.06\" fw=\"pad/pad_fw_1.06.bin\"/></firmwares>");
    server.serveData ("/pad/pad_fw_1.06.bin", image.data(), image.size());
    runner.drive = [] (UpgraderDialogWindow&) { return 1; };

    z9test::SimulatedBootloaderUnit unit (ports);
    upgraderState().chosenFirmwarePath = "c:\\old\\pad_fw_0.9.bin";   // from an earlier wizard

    FirmwareUpgradeComponent wizard (pad16, true);   // the program's own steps
    EXPECT_TRUE (upgraderState().chosenFirmwarePath.isEmpty());

    upgraderState().automaticStepping = true;
    NsZ9m::windowsVersionIndex = NsZ9m::getWindowsVersionIndex();

    // As "Activate" leaves it: the handler on the unit's upgrade port.
    wizard.targetProduct = pad16;
    wizard.targetPortName = "VORLIX Pad16 V1.05";
    wizard.midiHandler = std::make_unique<UpgraderMidiHandler> (pad16);
    wizard.midiHandler->openPorts (unit.portName);
    ASSERT_TRUE (wizard.midiHandler->arePortsOpen());
    wizard.setStep (2);

    dialogs.answerBox (0);
    wizard.getStepButton (3).triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return ! dialogs.getRequests().empty(); }));

    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Firmware Upgrade Succeeded");
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Your firmware has been upgraded!" }));
    EXPECT_EQ (unit.getConversation(),
               juce::StringArray ({ "filler", "connect", "filler", "erase 0x70", "block 0", "block 1", "block 2", "filler", "reset" }));
    EXPECT_TRUE (std::equal (image.begin(), image.end(), unit.getFlash().begin(),
                             [] (char a, juce::uint8 b) { return (juce::uint8) a == b; }));
    EXPECT_FALSE (wizard.midiHandler->arePortsOpen());   // closed after the write
    EXPECT_EQ (wizard.getStep(), -1);
    z9test::writeSnapshot (wizard);
}

//==============================================================================
namespace
{
    const juce::String z9xCatalogue ("<firmwares><firmware pid=\"2056\" name=\"Z9-X\" version=\"1.06\" fw=\"z9x/z9_x_1.06.bin\"/></firmwares>");

    struct Poll final : juce::Timer
    {
        std::function<void()> tick;
        void timerCallback() override   { tick(); }
    };
}

TEST_F (WizardFirmwareSeams, WhileTheCatalogueIsFetchedNoClickStartsAStepAndOneUpgradeRuns)
{
    // The catalogue's answer is held until the test has acted on the wizard
    // that waits for it.
    const std::string image (4096, '\x3c');
    auto held = std::make_shared<juce::WaitableEvent> (true);
    z9test::LocalHttpServer::Reply reply;
    reply.body = z9xCatalogue.toStdString();
    reply.holdUntil = held;
    server.serve ("/firmware.xml", reply);
    server.serveData ("/z9x/z9_x_1.06.bin", image.data(), image.size());
    runner.drive = [] (UpgraderDialogWindow&) { return 1; };

    auto steps = std::make_unique<z9test::FakeUpgradeSteps> (log);
    auto* fake = steps.get();
    z9test::makeEveryStepSucceed (*fake, 2056);
    FirmwareUpgradeComponent wizard (2056, true, std::move (steps));
    ASSERT_TRUE (upgraderState().automaticStepping);   // a tool-family launch: one click runs every step

    fake->onStart = [] (FirmwareUpgradeComponent& w)
    {
        w.setStep (-1);
        w.targetPortName = "Z9-X V1.05";
        w.selectTargetUnit (2056);
    };
    fake->onSelect = [&] (FirmwareUpgradeComponent& w)   { selectFirmwareForWizard (w, {}, folder.get()); };

    juce::Array<bool> enabledDuringFetch;
    bool actedDuringFetch = false;
    Poll poll;
    poll.tick = [&]
    {
        if (server.countRequests ("/firmware.xml") == 0)
            return;

        poll.stopTimer();

        for (int i = 0; i < FirmwareUpgradeComponent::numSteps; ++i)
            enabledDuringFetch.add (wizard.getStepButton (i).isEnabled());

        // Every step button clicked, and Return pressed on each.
        for (int i = 0; i < FirmwareUpgradeComponent::numSteps; ++i)
        {
            auto& button = wizard.getStepButton (i);
            button.triggerClick();
            static_cast<juce::Component&> (button).keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        }

        juce::MessageManager::callAsync ([&]
        {
            // Forced: each button, and what holds it, enabled, then clicked.
            for (int i = 0; i < FirmwareUpgradeComponent::numSteps; ++i)
            {
                auto& button = wizard.getStepButton (i);

                for (juce::Component* c = &button; c != nullptr && c != &wizard; c = c->getParentComponent())
                    c->setEnabled (true);

                button.triggerClick();
            }

            // After every click above was handled: still in the fetch.
            juce::MessageManager::callAsync ([&]
            {
                actedDuringFetch = wizard.isStepRunning() && runner.titles.isEmpty();
                held->signal();
            });
        });
    };

    poll.startTimer (5);
    dialogs.answerBox (0);
    wizard.getStepButton (0).triggerClick();

    ASSERT_TRUE (z9test::waitUntil ([&] { return ! dialogs.getRequests().empty() && ! wizard.isStepRunning(); }));
    z9test::drainMessageLoop();

    EXPECT_TRUE (actedDuringFetch);
    EXPECT_EQ (enabledDuringFetch, juce::Array<bool> ({ false, false, false, false, false }));

    const auto download = folder.get().getChildFile ("z9_x_1.06.bin");
    juce::StringArray expected ({ "start", "enter", "activate", "select" });
    expected.add ("blhost " + download.getFullPathName());
    EXPECT_EQ (log.calls, expected);
    EXPECT_EQ (runner.titles, juce::StringArray ({ "Firmware Version" }));
    EXPECT_EQ (server.countRequests ("/firmware.xml"), 2);   // one fetch: its reachability check and its read
    EXPECT_EQ (server.countRequests ("/z9x/z9_x_1.06.bin"), 1);
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Your firmware has been upgraded!" }));
    EXPECT_FALSE (download.exists());   // the upgrade used it, and deleted it
    EXPECT_EQ (wizard.getStep(), -1);
    EXPECT_TRUE (wizard.getStepButton (0).isEnabled());
    z9test::writeSnapshot (wizard);
}

TEST_F (WizardFirmwareSeams, AnUnusedDownloadGoesWithTheWizardOrTheNextSelectionAndAPickedFileStays)
{
    const std::string image (4096, '\x3c');
    server.serveText ("/firmware.xml", z9xCatalogue);
    server.serveData ("/z9x/z9_x_1.06.bin", image.data(), image.size());
    runner.drive = [] (UpgraderDialogWindow&) { return 1; };

    const auto downloads = folder / "downloads";
    const auto picked = (folder / "mine").getChildFile ("z9_x_1.06.bin");

    struct Case { const char* what; bool download; bool secondSelection; };
    const Case cases[] = {
        { "a download, then the wizard goes",             true,  false },
        { "a download, then a second selection",          true,  true },
        { "a file the user picked, then the wizard goes", false, false },
        { "a file the user picked, then a second selection", false, true },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        picked.getParentDirectory().createDirectory();
        ASSERT_TRUE (picked.replaceWithData (image.data(), image.size()));

        auto steps = std::make_unique<z9test::FakeUpgradeSteps> (log);
        steps->onSelect = [&] (FirmwareUpgradeComponent& w)   { selectFirmwareForWizard (w, {}, downloads); };
        auto wizard = std::make_unique<FirmwareUpgradeComponent> (2056, true, std::move (steps));

        auto& state = upgraderState();
        state.automaticStepping = false;   // the image waits for "Upgrade", which never comes
        state.online = c.download;
        wizard->targetPortName = "Z9-X V1.05";
        wizard->setStep (2);

        if (! c.download)
            dialogs.answerFile (picked);

        dialogs.answerBox (0);   // "OK": the image is ready
        wizard->stepSelectFirmware();

        const auto file = wizard->firmwareFile;
        ASSERT_EQ (wizard->getStep(), 3);
        ASSERT_TRUE (file.existsAsFile());
        EXPECT_EQ (file == picked, ! c.download);
        EXPECT_EQ (wizard->firmwareFileReady, c.download);

        if (c.secondSelection)
        {
            // Manual, the file chooser cancelled: nothing new comes.
            state.online = false;
            dialogs.answerFile (juce::File());
            wizard->stepSelectFirmware();
            EXPECT_EQ (file.existsAsFile(), ! c.download);
        }

        wizard.reset();
        EXPECT_EQ (file.existsAsFile(), ! c.download);
        EXPECT_TRUE (picked.existsAsFile());   // never touched
        EXPECT_TRUE (dialogs.allAnswersUsed());
        log = {};
    }
}
