#pragma once

#include "firmware/FirmwareUpgradeSteps.h"
#include "firmware/UpgraderMidiHandler.h"
#include "firmware/UpgraderState.h"

namespace vorlix
{

/**
    The firmware upgrade wizard: five steps in a row, one button each
    ("Start", "Enter", "Activate", "Select Version" or "Load File",
    "Upgrade"), with their instructions, a progress bar and a status line.

    The wizard holds the step machine (which buttons a step enables, the
    progress, the busy state), the window title, the hidden service keys, the
    close rule and the "Upgrade" step with its result boxes and repeat cycles.
    The work of the other steps and the writes themselves come from its
    FirmwareUpgradeSteps.

    Made per launch by launchFirmwareUpgrader and owned by its dialog window;
    the process-wide UpgraderState outlives it. Message thread only.
*/
class FirmwareUpgradeComponent  : public juce::Component,
                                  private juce::Button::Listener
{
public:
    /** Makes the wizard for a unit of productId. The steps default to the
        program's (makeUpgradeSteps). */
    FirmwareUpgradeComponent (int productId, bool onlineMode,
                              std::unique_ptr<FirmwareUpgradeSteps> steps = nullptr);

    /** Releases a unit that was left in its bootloader or upgrade mode, and
        deletes an image that the selection step downloaded and no upgrade
        used (firmwareFileReady). */
    ~FirmwareUpgradeComponent() override;

    static constexpr int numSteps = 5;
    static constexpr const char* upgraderName = "Vorlix Firmware Upgrader";
    static constexpr const char* upgraderVersion = "1.66";

    //==============================================================================
    /** The step texts: the button caption and the instruction of step 0 to 4,
        for the online (catalogue) or manual (file) selection step. */
    static juce::String getStepButtonText (int step, bool online);
    static juce::String getStepInstructions (int step, bool online);

    //==============================================================================
    /** Moves the wizard to a step (0 to 4, or -1 for none), with the progress
        and the buttons that go with it. Under automatic stepping, step 4
        counts one upgrade cycle. */
    void setStep (int newStep);

    /** Enables the buttons of every step up to the one after the current.
        While a step runs, every button stays disabled all the same, until the
        step has ended (isStepRunning). */
    void updateStepButtons();

    /** Marks a step's work as running (all buttons disabled) or done (all
        enabled until the next setStep narrows them; none is usable before the
        running step has ended). */
    void setBusy (bool busy);

    /** Makes productId the unit's product, shows its model name in the title,
        moves to step 0 and, when the automatic rule allows, runs "Enter".
        Always returns true. */
    bool selectTargetUnit (int productId);

    /** The window title for the current flags: "Firmware Upgrade", "." with
        the service flag, " [M]" for manual selection, "[n/20]" with the
        repeat flag. */
    juce::String makeUpgraderTitle() const;

    /** Sets the window title to makeUpgraderTitle(), followed by ": " and the
        text when there is one. */
    void setStatusText (const juce::String& text);

    /** The current step (-1 for none) and progress (0 to 1). Any thread. */
    int getStep() const;
    double getProgress() const;

    /** Sets the progress value that the bar shows (0 to 1). */
    void setProgress (double newProgress);

    /** The status line above the progress bar, set without notification. */
    void setStatusLabelText (const juce::String& text);
    juce::String getStatusLabelText() const;

    /** A step's button, for the steps that enable or disable single ones. */
    juce::TextButton& getStepButton (int step);

    /** True while one of this wizard's steps runs (also in its pauses). A
        click on a step button then starts nothing: only a running step starts
        the next (automatic stepping). */
    bool isStepRunning() const noexcept   { return runningSteps > 0; }

    //==============================================================================
    /** The five steps, as the buttons call them. The steps also call one
        another through these (automatic stepping). */
    void stepStart();
    void stepEnter();
    void stepActivate();
    void stepSelectFirmware();
    void stepUpgrade();

    /** The service keys (A, M, O, S, T, Escape, F1, modifiers ignored); the key
        is always passed on. */
    bool keyPressed (const juce::KeyPress& key) override;

    /** A close request: refused while a step runs. Otherwise the wizard closes,
        after the user has confirmed when automatic stepping (or a busy flag left
        by an earlier wizard) is set. */
    void userTriedToCloseWindow() override;

    /** Closes the enclosing dialog, which ends its modal loop. */
    void closeWizardDialog();

    /** The upgrader's name and version, in a plain box. */
    void showBuildInfo();

    void paint (juce::Graphics&) override {}
    void resized() override;

    //==============================================================================
    // The unit and firmware that the steps share; see FirmwareUpgradeSteps.

    int targetProduct = 2000;        ///< product of the unit chosen in "Start"
    int unitProduct;                 ///< product of the unit being upgraded
    const int launchProduct;         ///< the product the wizard was launched for
    juce::String targetPortName;     ///< MIDI output of the unit chosen in "Start"
    juce::String upgradePortName;    ///< port of a MIDI-bootloader unit in upgrade mode
    bool firmwareFileReady = false;  ///< firmwareFile was downloaded; the "Upgrade" step deletes it
    juce::File firmwareFile;         ///< the downloaded or chosen image
    int previousProduct;             ///< the unit product before "Activate" switched it
    juce::ValueTree firmwares;       ///< the catalogue entries offered by the selection step

    /** Whether the selection step takes the catalogue (set) or a file: the
        one online flag of the upgrader's state, which the M key toggles. */
    bool isOnline() const noexcept   { return upgraderState().online; }

    /** The upgrader's MIDI connection to the unit: made by "Enter" (when
        missing), replaced by "Activate" for a MIDI-bootloader unit, made by
        "Upgrade" when missing; lives until the wizard goes. */
    using MidiInputHandler = UpgraderMidiHandler;
    std::unique_ptr<MidiInputHandler> midiHandler;

private:
    void buttonClicked (juce::Button*) override;
    void setWindowTitle (const juce::String& title);
    void scheduleNextRepeatCycle();

    /** Counts a running step for as long as it lives. While any step runs
        (the outermost one and every step it starts in turn), all step buttons
        are disabled, whatever the steps enable meanwhile; when the last one
        ends, each button has the state the steps left it in. */
    struct RunningStep
    {
        explicit RunningStep (FirmwareUpgradeComponent&);
        ~RunningStep();
        FirmwareUpgradeComponent& wizard;
    };

    std::unique_ptr<FirmwareUpgradeSteps> steps;
    int runningSteps = 0;
    bool repeatCycleWaiting = false;   ///< a repeat cycle came due while a step ran

    juce::TooltipWindow tooltipWindow { nullptr, 700 };

    juce::Label stepCaptions[numSteps], stepTitles[numSteps], stepInstructions[numSteps];

    /** Holds the step buttons, over the whole wizard: disabled while a step
        runs, which disables every button in it (see RunningStep). */
    juce::Component stepButtonRow;
    juce::TextButton stepButtons[numSteps];
    juce::Label statusLabel;

    juce::CriticalSection lock;
    int step = -1;
    double progress = 0.0;
    juce::ProgressBar progressBar { progress };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareUpgradeComponent)
};

} // namespace vorlix
