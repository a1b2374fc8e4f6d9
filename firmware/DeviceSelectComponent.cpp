#include "firmware/DeviceSelectComponent.h"
#include "firmware/UpgraderPorts.h"
#include "firmware/UpgraderState.h"
#include "firmware/UpgraderDialogWindow.h"
#include "core/base/PlatformHelpers.h"
#include "gui/Dialogs.h"

namespace vorlix
{

namespace
{
    constexpr int preselectionTries = 3;
    constexpr int preselectionPauseMs = 150;
    constexpr int upgradePortWeight = 16;
}

DeviceSelectComponent::DeviceSelectComponent (int productToFind, juce::String filter)
    : juce::Component ("DeviceSelectComponent"),
      nameFilter (std::move (filter)),
      productId (productToFind)
{
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (unitList);

    const auto items = listPortDisplayNames (true, true, true);
    unitList.addItemList (items, 1);

    // A unit that has just been plugged in or restarted may take a moment
    // to show its ports: look a few times before giving up.
    int index = -1;

    if (nameFilter.isEmpty())
    {
        index = 0;

        for (int attempt = 0; attempt < preselectionTries; ++attempt)
        {
            const auto found = countUpgradeAndProductPorts (productId, upgradePortWeight);

            if (found / upgradePortWeight >= 1)   // units in upgrade mode: the first item
                break;

            if (found % upgradePortWeight == 0)
                break;

            index = items.indexOf (firstPortNameOfProduct (productId, items), false);

            if (index >= 0)
                break;

            if (attempt + 1 < preselectionTries)
                NsZ9m::waitWhileDispatching (preselectionPauseMs);
        }
    }
    else
    {
        for (int attempt = 0; attempt < preselectionTries; ++attempt)
        {
            if (countPortsContaining (nameFilter, true) == 1)
                index = indexOfPortContaining (nameFilter, true);

            if (index >= 0)
                break;

            if (attempt + 1 < preselectionTries)
                NsZ9m::waitWhileDispatching (preselectionPauseMs);
        }
    }

    preselected = index >= 0;

    if (! preselected)
    {
        NsZ9m::Dialogs::showMessage (NsZ9m::Dialogs::Icon::none, {}, "Warning: Cannot find target unit!");
        index = 0;
    }

    unitList.setSelectedItemIndex (index, juce::dontSendNotification);
    selectedName = unitList.getText();

    okButton.addListener (this);
    cancelButton.addListener (this);
    unitList.addListener (this);
    setSize (300, 200);

    // Delivered once the dialog runs: the user sees the choice being made.
    if (preselected && upgraderState().automaticStepping)
        okButton.triggerClick();
}

DeviceSelectComponent::~DeviceSelectComponent()
{
    okButton.removeListener (this);
    cancelButton.removeListener (this);
    unitList.removeListener (this);
}

void DeviceSelectComponent::resized()
{
    unitList.setBounds (8, getHeight() / 2 - 24, getWidth() - 16, 24);

    auto strip = getLocalBounds().removeFromBottom (30).translated (-10, -10);
    cancelButton.setBounds (strip.removeFromRight (100));
    okButton.setBounds (strip.removeFromRight (100));
}

void DeviceSelectComponent::comboBoxChanged (juce::ComboBox*)
{
    selectedIndex = listPortDisplayNames (true, true, true).indexOf (unitList.getText(), false);
    selectedName = unitList.getText();
}

void DeviceSelectComponent::buttonClicked (juce::Button* button)
{
    if (button == &cancelButton)
    {
        if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
            dialog->closeButtonPressed();
    }
    else if (button == &okButton)
    {
        confirmSelection();
    }
}

void DeviceSelectComponent::confirmSelection()
{
    const auto& state = upgraderState();
    const bool choosingAnyUnit = nameFilter.isEmpty();
    const bool normalMode = choosingAnyUnit;
    const bool plainFilter = choosingAnyUnit ? state.service : true;

    if (! isListedPortName (resolvePortDisplayName (unitList.getText()), normalMode, plainFilter, state.toolFamily))
        return;

    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->exitModalState (1);
}

DeviceSelectComponent::Choice DeviceSelectComponent::runChooserDialog (int productId, const juce::String& nameFilter,
                                                                       juce::Component* centreAround)
{
    auto* chooser = new DeviceSelectComponent (productId, nameFilter);

    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = "Choose Your Vorlix Device";
    options.content.setOwned (chooser);
    options.componentToCentreAround = centreAround;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;

    // The window owns the chooser: read the choice while both live.
    UpgraderDialogWindow window (options, false);
    const auto result = ModalDialogRunner::getRunner().runModal (window);
    return { result == 1, chooser->selectedName };
}

} // namespace vorlix
