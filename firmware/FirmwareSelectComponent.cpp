#include "firmware/FirmwareSelectComponent.h"
#include "firmware/FirmwareCatalogue.h"
#include "firmware/UpgraderDialogWindow.h"

namespace vorlix
{

FirmwareSelectComponent::FirmwareSelectComponent (juce::ValueTree tree, int initialIndex, bool confirmByItself)
    : juce::Component ("DeviceSelectComponent"),
      firmwares (std::move (tree))
{
    addAndMakeVisible (entryList);
    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);

    int id = 1;

    for (const auto& entry : firmwares)
        entryList.addItem (entry["name"].toString() + " V" + entry["version"].toString(), id++);

    entryList.setSelectedItemIndex (initialIndex, juce::sendNotificationAsync);

    okButton.addListener (this);
    cancelButton.addListener (this);
    entryList.addListener (this);
    setSize (300, 200);

    // Delivered once the dialog runs.
    if (confirmByItself)
        okButton.triggerClick();
}

FirmwareSelectComponent::~FirmwareSelectComponent()
{
    okButton.removeListener (this);
    cancelButton.removeListener (this);
    entryList.removeListener (this);
}

juce::ValueTree FirmwareSelectComponent::getSelectedEntry() const
{
    const auto index = entryList.getSelectedItemIndex();
    return index >= 0 && index < firmwares.getNumChildren() ? firmwares.getChild (index) : juce::ValueTree();
}

juce::URL FirmwareSelectComponent::getSelectedUrl() const
{
    const auto entry = getSelectedEntry();
    return entry.isValid() ? getFirmwareUrl (entry) : juce::URL();
}

void FirmwareSelectComponent::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto listWidth = (int) (w * 0.84);
    const auto buttonWidth = w / 3;
    const auto buttonY = 4 * h / 5 - 12;

    entryList.setBounds ((w - listWidth) / 2, 2 * h / 5 - 12, listWidth, 24);
    okButton.setBounds (w / 4 - buttonWidth / 2, buttonY, buttonWidth, 24);
    cancelButton.setBounds (3 * w / 4 - buttonWidth / 2, buttonY, buttonWidth, 24);
}

void FirmwareSelectComponent::buttonClicked (juce::Button* button)
{
    auto* dialog = findParentComponentOfClass<juce::DialogWindow>();

    if (dialog == nullptr)
        return;

    if (button == &cancelButton)
        dialog->closeButtonPressed();
    else if (button == &okButton && ! entryList.getText().containsIgnoreCase ("Microsoft"))
        dialog->exitModalState (1);
}

FirmwareSelectComponent::Choice FirmwareSelectComponent::runChooserDialog (juce::ValueTree firmwares, int initialIndex,
                                                                           bool confirmByItself, juce::Component* centreAround)
{
    auto* chooser = new FirmwareSelectComponent (firmwares, initialIndex, confirmByItself);

    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = "Firmware Version";
    options.content.setOwned (chooser);
    options.componentToCentreAround = centreAround;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;

    // The window owns the chooser: read the choice while both live.
    UpgraderDialogWindow window (options, false);
    const auto result = ModalDialogRunner::getRunner().runModal (window);

    Choice choice;
    choice.confirmed = result == 1;

    if (choice.confirmed)
        choice.entry = chooser->getSelectedEntry();

    return choice;
}

} // namespace vorlix
