#include "firmware/FirmwareUpgradeComponent.h"
#include "firmware/FirmwareProducts.h"
#include "firmware/FirmwareWriteGate.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/PortLookup.h"
#include "gui/Dialogs.h"

namespace vorlix
{

using NsZ9m::Dialogs;

namespace
{
    const juce::String makerWebSite ("www.vorlix.com");
    const juce::String upgradeTitle ("Firmware Upgrade");

    /** The one text by which a failed write still counts as an upgrade: the
        image is in, only the unit's restart was not confirmed. */
    const juce::String resetFailedText ("OK. But reset failed!");
}

//==============================================================================
juce::String FirmwareUpgradeComponent::getStepButtonText (int stepIndex, bool online)
{
    switch (stepIndex)
    {
        case 0: return "Start";
        case 1: return "Enter";
        case 2: return "Activate";
        case 3: return online ? "Select Version" : "Load File";
        case 4: return "Upgrade";
        default: break;
    }

    return "Invalid Step";
}

juce::String FirmwareUpgradeComponent::getStepInstructions (int stepIndex, bool online)
{
    switch (stepIndex)
    {
        case 0: return "Please connect your Vorlix device and click \"" + getStepButtonText (0, online) + "\" button \nto create the connection";
        case 1: return "Click \"" + getStepButtonText (1, online) + "\" button to enter into firmware upgrade mode";
        case 2: return "Click \"" + getStepButtonText (2, online) + "\" button to activate the firmware upgrade \nmode";
        case 3: return online ? juce::String ("Click \"Select Version\", the process will automatically search \nfor the latest firmware for your device at our server")
                              : "Download the latest firmware on \"" + makerWebSite + "\", then click the \"Load File\" button to browse the firmware file";
        case 4: return "Click \"" + getStepButtonText (4, online) + "\" to start the file upload \nprocess";
        default: break;
    }

    return {};
}

//==============================================================================
FirmwareUpgradeComponent::FirmwareUpgradeComponent (int productId, bool online,
                                                    std::unique_ptr<FirmwareUpgradeSteps> stepsToUse)
    : unitProduct (productId),
      launchProduct (productId),
      previousProduct (productId),
      steps (stepsToUse != nullptr ? std::move (stepsToUse) : makeUpgradeSteps())
{
    tooltipWindow.setMillisecondsBeforeTipAppears (0);

    auto& state = upgraderState();
    NsZ9m::alternateBrandFlag = isAlternateBrandProduct (productId);
    state.toolPath = NsZ9m::getExecutableFolderPath() + "resources\\Assets\\tools\\win\\blhost.exe";
    state.toolFamily = isBlhostProduct (productId);

    if (state.toolFamily)
        state.automaticStepping = true;

    state.service = false;
    state.abort = false;
    state.cycleCounter = 0;

    // An image chosen in an earlier wizard is never written by this one.
    state.chosenFirmwarePath.clear();
    state.anyProduct = true;
    state.online = online;

    if (online)
        firmwares = juce::ValueTree ("firmwares");

    targetProduct = unitProduct;

    statusLabel.setText ("Upgrade Progress", juce::dontSendNotification);
    statusLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (statusLabel);

    progressBar.setPercentageDisplay (true);
    progressBar.setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0xff87ceeb));
    addAndMakeVisible (progressBar);

    for (int i = 0; i < numSteps; ++i)
    {
        const auto caption = "Step " + juce::String (i + 1);

        stepCaptions[i].setText (caption, juce::dontSendNotification);
        stepCaptions[i].setJustificationType (juce::Justification::centred);
        addAndMakeVisible (stepCaptions[i]);

        stepTitles[i].setText (caption + ":", juce::dontSendNotification);
        stepTitles[i].setJustificationType (juce::Justification::topLeft);
        addAndMakeVisible (stepTitles[i]);

        // The texts are set here only: the M key changes how the selection
        // step works, not what the wizard says about it.
        stepInstructions[i].setText (getStepInstructions (i, online), juce::dontSendNotification);
        stepInstructions[i].setJustificationType (juce::Justification::topLeft);
        stepInstructions[i].setMinimumHorizontalScale (1.0f);
        addAndMakeVisible (stepInstructions[i]);

        stepButtons[i].setButtonText (getStepButtonText (i, online));
        stepButtons[i].addListener (this);
        stepButtonRow.addAndMakeVisible (stepButtons[i]);
    }

    // Behind everything else, and only its buttons take the mouse.
    stepButtonRow.setInterceptsMouseClicks (false, true);
    addAndMakeVisible (stepButtonRow, 0);

    for (auto* child : getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            label->setColour (juce::Label::textColourId, juce::Colours::black);

    setWantsKeyboardFocus (true);
    updateStepButtons();
    setSize (514, 450);
    resized();
}

FirmwareUpgradeComponent::~FirmwareUpgradeComponent()
{
    steps->releaseUnits (*this);
    midiHandler.reset();

    // A download that no upgrade used goes with the wizard; a file the user
    // picked is never marked ready, so it is never touched.
    if (firmwareFileReady)
    {
        firmwareFile.deleteFile();
        firmwareFileReady = false;
    }

    for (auto& button : stepButtons)
        button.removeListener (this);
}

//==============================================================================
void FirmwareUpgradeComponent::resized()
{
    const auto w = getWidth();

    stepButtonRow.setBounds (getLocalBounds());
    statusLabel.setBounds (0, 10, w, 20);
    progressBar.setBounds (40, 36, w - 80, 24);

    constexpr int columnWidth = 90, columnGap = 6, columnStep = columnWidth + columnGap;
    const auto y0 = progressBar.getBottom() + 6;
    const auto x0 = w / 2 - (numSteps * columnStep) / 2;

    for (int i = 0; i < numSteps; ++i)
    {
        stepCaptions[i].setBounds (x0 + columnStep * i, y0, columnWidth, 20);
        stepButtons[i].setBounds (x0 + columnStep * i, y0 + 26, columnWidth, 20);
    }

    auto y = stepButtons[0].getBottom() + 43;

    for (int i = 0; i < numSteps; ++i)
    {
        stepTitles[i].setBounds (x0, y, 70, 20);
        stepInstructions[i].setBounds (x0 + 76, y, w - (x0 + 70) - 20, 50);
        y = stepInstructions[i].getBottom() + 6;
    }
}

//==============================================================================
void FirmwareUpgradeComponent::setStep (int newStep)
{
    if (newStep < 0)
    {
        step = -1;
        progress = 0.0;
        updateStepButtons();
        return;
    }

    const juce::ScopedLock sl (lock);
    progress = (double) (newStep + 1) / (double) numSteps;
    step = newStep;
    updateStepButtons();

    if (upgraderState().automaticStepping && newStep == 4)
        ++upgraderState().cycleCounter;
}

void FirmwareUpgradeComponent::updateStepButtons()
{
    const auto enabledCount = step < 0 ? 1 : (step < numSteps ? step + 2 : 0);

    for (int i = 0; i < numSteps; ++i)
        stepButtons[i].setEnabled (i < enabledCount);
}

void FirmwareUpgradeComponent::setBusy (bool busy)
{
    upgraderState().busy = busy;

    for (auto& button : stepButtons)
        button.setEnabled (! busy);
}

int FirmwareUpgradeComponent::getStep() const
{
    const juce::ScopedLock sl (lock);
    return step;
}

double FirmwareUpgradeComponent::getProgress() const
{
    const juce::ScopedLock sl (lock);
    return progress;
}

void FirmwareUpgradeComponent::setProgress (double newProgress)
{
    const juce::ScopedLock sl (lock);
    progress = newProgress;
}

void FirmwareUpgradeComponent::setStatusLabelText (const juce::String& text)
{
    statusLabel.setText (text, juce::dontSendNotification);
}

juce::String FirmwareUpgradeComponent::getStatusLabelText() const
{
    return statusLabel.getText();
}

juce::TextButton& FirmwareUpgradeComponent::getStepButton (int stepIndex)
{
    jassert (juce::isPositiveAndBelow (stepIndex, numSteps)); // steps are numbered 0 to 4
    return stepButtons[juce::jlimit (0, numSteps - 1, stepIndex)];
}

bool FirmwareUpgradeComponent::selectTargetUnit (int productId)
{
    unitProduct = productId;
    targetProduct = productId;
    setStatusText (getModelName (productId));
    setStep (0);

    const auto& state = upgraderState();

    if (state.service ? isBlhostProduct (productId) : state.automaticStepping)
        stepEnter();

    return true;
}

//==============================================================================
juce::String FirmwareUpgradeComponent::makeUpgraderTitle() const
{
    const auto& state = upgraderState();
    juce::String title (upgradeTitle);

    if (state.service)
        title << ".";

    if (! state.online)
        title << " [M]";

    if (state.repeat)
        title << juce::String::formatted ("[%d/%d]", state.cycleCounter, repeatCycleLimit);

    return title;
}

void FirmwareUpgradeComponent::setStatusText (const juce::String& text)
{
    setWindowTitle (text.isEmpty() ? makeUpgraderTitle() : makeUpgraderTitle() + ": " + text);
}

void FirmwareUpgradeComponent::setWindowTitle (const juce::String& title)
{
    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->setName (title);
    else if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        window->setName (title);
}

//==============================================================================
FirmwareUpgradeComponent::RunningStep::RunningStep (FirmwareUpgradeComponent& w) : wizard (w)
{
    if (wizard.runningSteps++ == 0)
        wizard.stepButtonRow.setEnabled (false);
}

FirmwareUpgradeComponent::RunningStep::~RunningStep()
{
    if (--wizard.runningSteps > 0)
        return;

    wizard.stepButtonRow.setEnabled (true);

    // A cycle that came due while a step still ran starts once none runs.
    if (wizard.repeatCycleWaiting)
    {
        wizard.repeatCycleWaiting = false;
        wizard.scheduleNextRepeatCycle();
    }
}

void FirmwareUpgradeComponent::buttonClicked (juce::Button* button)
{
    // One step at a time: a click that reaches a button while a step runs
    // (its waits run the message loop) starts nothing, however it came.
    if (isStepRunning())
        return;

    if (button == &stepButtons[0])       stepStart();
    else if (button == &stepButtons[1])  stepEnter();
    else if (button == &stepButtons[2])  stepActivate();
    else if (button == &stepButtons[3])  stepSelectFirmware();
    else if (button == &stepButtons[4])  stepUpgrade();
}

void FirmwareUpgradeComponent::stepStart()           { RunningStep running (*this); steps->stepStart (*this); }
void FirmwareUpgradeComponent::stepEnter()           { RunningStep running (*this); steps->stepEnter (*this); }
void FirmwareUpgradeComponent::stepActivate()        { RunningStep running (*this); steps->stepActivate (*this); }
void FirmwareUpgradeComponent::stepSelectFirmware()  { RunningStep running (*this); steps->stepSelectFirmware (*this); }

void FirmwareUpgradeComponent::stepUpgrade()
{
    RunningStep running (*this);
    auto& state = upgraderState();

    setStep (3);
    stepButtons[0].setEnabled (false);
    stepButtons[1].setEnabled (false);

    // An Escape pressed during an earlier step ended that step's wait; it
    // must not end this write before it has begun.
    state.abort = false;

    if (midiHandler == nullptr)
        midiHandler = std::make_unique<MidiInputHandler> (unitProduct);

    toFront (true);
    juce::Desktop::setScreenSaverEnabled (false);
    setBusy (true);

    // A quit asked for meanwhile waits until the image is in (or invalidated).
    FirmwareWriteGate::ScopedWrite writing;
    auto result = juce::Result::ok();

    if (steps->cpuModelHasM2())
    {
        result = juce::Result::fail ("Warning: The current device cannot upgrade firmware correctly,\n on the M2 series macOS. \n\nPlease close the current upgrade window!");
    }
    else if (state.toolFamily)
    {
        result = steps->upgradeWithBlhost (state.chosenFirmwarePath);

        if (firmwareFileReady)
        {
            firmwareFile.deleteFile();
            firmwareFileReady = false;
        }
    }
    else
    {
        result = steps->upgradeOverMidi (*this);
        steps->pause (800);
    }

    writing.end();
    setBusy (false);
    juce::Desktop::setScreenSaverEnabled (true);
    setStatusLabelText (upgradeTitle);
    steps->pause (300);

    if (result.wasOk())
    {
        setStep (4);

        if (! (state.automaticStepping && state.repeat))
            Dialogs::showMessage (Dialogs::Icon::info, "Firmware Upgrade Succeeded", "Your firmware has been upgraded!");

        steps->pause (600);
    }
    else if (result.getErrorMessage() == resetFailedText)
    {
        Dialogs::showMessage (Dialogs::Icon::info, "Firmware Upgrade Succeeded",
                              "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, then turn back on for changes to take effect");
    }
    else
    {
        Dialogs::showMessage (Dialogs::Icon::warning, "Firmware Upgrade Failed", result.getErrorMessage());
    }

    setStatusText ({});
    setStep (-1);
    targetPortName.clear();
    upgradePortName.clear();
    setStatusLabelText (upgradeTitle);

    if (state.automaticStepping && state.repeat && ! state.abort)
    {
        if (state.cycleCounter >= repeatCycleLimit)
            state.cycleCounter = 0;
        else
            scheduleNextRepeatCycle();
    }
}

void FirmwareUpgradeComponent::scheduleNextRepeatCycle()
{
    // The next cycle starts from the message loop, once this one has
    // returned: the cycles follow one another instead of nesting, and a
    // wizard that has gone or an Escape pressed meanwhile ends them. A step
    // that still runs (one that started the upgrade and then waits, or shows
    // a box) holds the cycle back until it has ended.
    juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<FirmwareUpgradeComponent> (this)]
    {
        const auto& state = upgraderState();

        if (safeThis == nullptr || ! state.automaticStepping || ! state.repeat || state.abort)
            return;

        if (safeThis->isStepRunning())
            safeThis->repeatCycleWaiting = true;
        else
            safeThis->stepStart();
    });
}

//==============================================================================
bool FirmwareUpgradeComponent::keyPressed (const juce::KeyPress& key)
{
    auto& state = upgraderState();
    const auto code = key.getKeyCode();
    const auto letter = juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) code);

    if (code == juce::KeyPress::escapeKey)
    {
        state.abort = true;
        state.repeat = false;
    }
    else if (code == juce::KeyPress::F1Key)
    {
        showBuildInfo();
    }
    else if (letter == 'A')
    {
        state.automaticStepping = ! state.automaticStepping;
    }
    else if (letter == 'M')
    {
        state.online = ! state.online;
        setWindowTitle (makeUpgraderTitle());
    }
    else if (letter == 'O')
    {
        state.anyProduct = ! state.anyProduct;
    }
    else if (letter == 'S')
    {
        state.repeat = ! state.repeat;
        state.abort = false;
    }
    else if (letter == 'T')
    {
        state.service = ! state.service;

        if (state.service)
            targetProduct = unitProduct;

        setWindowTitle (makeUpgraderTitle());
    }

    return juce::Component::keyPressed (key);
}

void FirmwareUpgradeComponent::showBuildInfo()
{
    Dialogs::showMessage (Dialogs::Icon::none,
                          "\n\n" + juce::String (upgraderName) + "\n\nV" + upgraderVersion, {});
}

//==============================================================================
void FirmwareUpgradeComponent::userTriedToCloseWindow()
{
    // Never while a step works on the unit: closing could leave it half
    // written. Once nothing runs, the wizard always closes; under automatic
    // stepping (or with a busy flag left behind by an earlier wizard) only
    // after the user has confirmed.
    if (isStepRunning())
        return;

    const auto& state = upgraderState();

    if (state.automaticStepping || state.busy)
        if (! Dialogs::showOkCancel (Dialogs::Icon::question, upgradeTitle,
                                     "No step is running. Close the firmware upgrader?"))
            return;

    closeWizardDialog();
}

void FirmwareUpgradeComponent::closeWizardDialog()
{
    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->closeButtonPressed();
}

} // namespace vorlix
