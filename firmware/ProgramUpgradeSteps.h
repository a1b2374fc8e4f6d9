#pragma once

#include "firmware/FirmwareUpgradeSteps.h"
#include "firmware/BlhostTool.h"
#include <array>
#include <functional>

namespace vorlix
{

/** "The target device of \"<model name>\" is not found!" */
juce::String notFoundMessage (int productId);

/** The value of the digit just before the first "." of the name; 0 when there
    is no "." or no digit before it. */
int digitBeforeFirstDot (const juce::String& name);

/** The MIDI bootloader's reset command: 17 bytes, command 0x02, parameter 0,
    the sum of the first 16 as its check byte. */
std::array<juce::uint8, 17> makeBootloaderResetPacket();

/** The two products of other models between which "Activate" switches by the
    digit in the upgrade port's name (the first for 1, else the second). */
inline constexpr int pairedUpgradeProducts[2] = { 2035, 2036 };

/**
    The steps of the program's wizard: "Start" finds and identifies the unit,
    "Enter" brings it into its firmware-upgrade mode, "Activate" connects to
    a unit of the MIDI-bootloader family in that mode, and the write through
    the bootloader tool (BlhostTool).

    The selection step and the MIDI bootloader write come from the hooks the
    program gives it (selectFirmware, writeOverMidi); without them the step
    says that it is not available and the write fails.

    Every wait runs the message loop (pause); the tool runs through the
    BlhostTool it owns. Message thread only.
*/
class ProgramUpgradeSteps : public FirmwareUpgradeSteps
{
public:
    struct Hooks
    {
        /** "Select Version" / "Load File". */
        std::function<void (FirmwareUpgradeComponent&)> selectFirmware;

        /** The MIDI bootloader write of the image the selection step obtained. */
        std::function<juce::Result (FirmwareUpgradeComponent&)> writeOverMidi;
    };

    /** runner: the tool runner of its BlhostTool (the program's when null). */
    explicit ProgramUpgradeSteps (Hooks hooks = {}, std::unique_ptr<ToolRunner> runner = nullptr);

    void stepStart (FirmwareUpgradeComponent&) override;
    void stepEnter (FirmwareUpgradeComponent&) override;
    void stepActivate (FirmwareUpgradeComponent&) override;
    void stepSelectFirmware (FirmwareUpgradeComponent&) override;

    bool cpuModelHasM2() override;
    juce::Result upgradeWithBlhost (const juce::String& imagePath) override;
    juce::Result upgradeOverMidi (FirmwareUpgradeComponent&) override;
    void releaseUnits (FirmwareUpgradeComponent&) override;

    /** Sends the reset command to every unit in upgrade mode; true when none
        is left in it afterwards. */
    bool releaseUpgradeModeUnits();

    /** A tool probe ("keep") and a tool reset, as the steps run them. */
    int probeTool();
    int resetTool();

    BlhostTool& getTool() noexcept   { return tool; }

    /** The processor tests, replaceable by tests. */
    std::function<bool()> processorIsAmd;
    std::function<bool()> processorIsAppleM2;

private:
    void sendResetCommandsToUpgradePorts();

    Hooks hooks;
    BlhostTool tool;
};

} // namespace vorlix
