#include "firmware/FirmwareUpgradeSteps.h"
#include "firmware/ProgramUpgradeSteps.h"
#include "firmware/FirmwareUpgradeComponent.h"
#include "firmware/FirmwareWorkFolder.h"
#include "firmware/UpgraderMidiHandler.h"
#include "firmware/UpgraderState.h"
#include "firmware/WizardFirmwareSeams.h"
#include "core/base/PlatformHelpers.h"

namespace vorlix
{

void FirmwareUpgradeSteps::pause (int ms)
{
    NsZ9m::waitWhileDispatching (ms);
}

namespace
{
    /** The handler's output, as the MIDI bootloader transfer sends through it. */
    class HandlerOutput final : public NsZ9m::MidiOutputPort
    {
    public:
        explicit HandlerOutput (UpgraderMidiHandler& h) : handler (h) {}

        juce::String getName() const override                        { return handler.getOutputName(); }
        void sendMessageNow (const juce::MidiMessage& message) override { handler.sendNow (message); }

    private:
        UpgraderMidiHandler& handler;
    };

    UpgraderMidiHandler& handlerOf (FirmwareUpgradeComponent& w)
    {
        if (w.midiHandler == nullptr)
            w.midiHandler = std::make_unique<UpgraderMidiHandler> (w.unitProduct);

        return *w.midiHandler;
    }
}

std::unique_ptr<FirmwareUpgradeSteps> makeUpgradeSteps()
{
    ProgramUpgradeSteps::Hooks hooks;

    hooks.selectFirmware = [] (FirmwareUpgradeComponent& w)
    {
        auto& handler = handlerOf (w);

        // A tool-family download waits in the working folder's parent (the
        // maker's folder beside the settings) until the upgrade.
        selectFirmwareForWizard (w, [&handler] (const juce::File& file)
                                 {
                                     handler.loadFirmware (file);
                                     return handler.getImageSize() > 0;
                                 },
                                 FirmwareWorkFolder::get().getParentDirectory());
    };

    hooks.writeOverMidi = [] (FirmwareUpgradeComponent& w)
    {
        auto& handler = handlerOf (w);
        HandlerOutput output (handler);

        const auto* bytes = static_cast<const juce::uint8*> (handler.getImage().getData());
        const std::vector<juce::uint8> image (bytes, bytes + handler.getImageSize());

        auto result = writeOverMidiForWizard (w, handler.hasOutput() ? &output : nullptr, handler.hasInput(),
                                              upgraderState().acknowledgements, image, handler.getProductCode());
        handler.closePorts();
        return result;
    };

    return std::make_unique<ProgramUpgradeSteps> (std::move (hooks));
}

} // namespace vorlix
