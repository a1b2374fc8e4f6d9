#include "firmware/WizardFirmwareSeams.h"
#include "firmware/FirmwareUpgradeComponent.h"

namespace vorlix
{

namespace
{
    class WizardSelectionHost final : public FirmwareSelectionHost
    {
    public:
        WizardSelectionHost (FirmwareUpgradeComponent& w, std::function<bool (const juce::File&)> load, juce::File folder)
            : wizard (w), loadImage (std::move (load)), downloadFolder (std::move (folder)) {}

        void setStep (int step) override                        { wizard.setStep (step); }
        void setBusy (bool busy) override                       { wizard.setBusy (busy); }
        void setStatusText (const juce::String& text) override  { wizard.setStatusText (text); }

        void disableStartAndEnter() override
        {
            wizard.getStepButton (0).setEnabled (false);
            wizard.getStepButton (1).setEnabled (false);
        }

        void runUpgradeStep() override                          { wizard.stepUpgrade(); }
        juce::Component* getDialogParent() override             { return &wizard; }
        int getTargetProduct() override                        { return wizard.targetProduct; }
        juce::String getTargetPortName() override              { return wizard.targetPortName; }
        int getUnitProduct() override                           { return wizard.unitProduct; }
        bool loadMidiImage (const juce::File& file) override    { return loadImage != nullptr && loadImage (file); }
        juce::File getDownloadFolder() override                 { return downloadFolder; }

        juce::File& firmwareFile() override                     { return wizard.firmwareFile; }
        bool& firmwareFileReady() override                      { return wizard.firmwareFileReady; }
        juce::ValueTree& firmwares() override                   { return wizard.firmwares; }

    private:
        FirmwareUpgradeComponent& wizard;
        std::function<bool (const juce::File&)> loadImage;
        const juce::File downloadFolder;
    };
}

void selectFirmwareForWizard (FirmwareUpgradeComponent& wizard, std::function<bool (const juce::File&)> loadMidiImage,
                              const juce::File& downloadFolder)
{
    WizardSelectionHost host (wizard, std::move (loadMidiImage), downloadFolder);
    runFirmwareSelection (host);
}

juce::Result writeOverMidiForWizard (FirmwareUpgradeComponent& wizard, NsZ9m::MidiOutputPort* output, bool inputOpen,
                                     AcknowledgementFlags& flags, const std::vector<juce::uint8>& image, int productCode,
                                     const MidiTransferTiming& timing)
{
    juce::Component::SafePointer<FirmwareUpgradeComponent> safeWizard (&wizard);

    MidiTransferHooks hooks;
    hooks.setProgress = [safeWizard] (double p)                 { if (safeWizard != nullptr) safeWizard->setProgress (p); };
    hooks.showStatus = [safeWizard] (const juce::String& text)  { if (safeWizard != nullptr) safeWizard->setStatusLabelText (text); };
    // No pause given: the transfer paces with its own (TransferPause).

    return upgradeOverMidi (output, inputOpen, flags, image, productCode, hooks, timing);
}

} // namespace vorlix
