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
