#include "firmware/FirmwareUpgradeSteps.h"
#include "core/base/PlatformHelpers.h"
#include "gui/Dialogs.h"

namespace vorlix
{

void FirmwareUpgradeSteps::pause (int ms)
{
    NsZ9m::waitWhileDispatching (ms);
}

namespace
{
    /*  The steps as far as this program has them: unit detection, the
        catalogue, the bootloader tool and the MIDI bootloader are not part of
        it yet. A step that is missing says so and leaves the wizard where it
        was; a write that is missing fails, so nothing is ever reported as
        upgraded that was not.
    */
    class StepsNotYetAvailable final : public FirmwareUpgradeSteps
    {
    public:
        void stepStart (FirmwareUpgradeComponent&) override           { reportMissing(); }
        void stepEnter (FirmwareUpgradeComponent&) override           { reportMissing(); }
        void stepActivate (FirmwareUpgradeComponent&) override        { reportMissing(); }
        void stepSelectFirmware (FirmwareUpgradeComponent&) override  { reportMissing(); }

        bool cpuModelHasM2() override
        {
            return NsZ9m::getCpuBrand().contains ("M2");
        }

        juce::Result upgradeWithBlhost (const juce::String&) override             { return missingWrite(); }
        juce::Result upgradeOverMidi (FirmwareUpgradeComponent&) override        { return missingWrite(); }

        void releaseUnits (FirmwareUpgradeComponent&) override {}   // no step has touched a unit

    private:
        static void reportMissing()
        {
            NsZ9m::Dialogs::showMessage (NsZ9m::Dialogs::Icon::warning, "Firmware Upgrade",
                                         "This step is not available in this version of the program.");
        }

        static juce::Result missingWrite()
        {
            return juce::Result::fail ("This version of the program cannot write firmware.");
        }
    };
}

std::unique_ptr<FirmwareUpgradeSteps> makeUpgradeSteps()
{
    return std::make_unique<StepsNotYetAvailable>();
}

} // namespace vorlix
