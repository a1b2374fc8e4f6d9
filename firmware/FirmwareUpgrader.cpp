#include "firmware/FirmwareUpgrader.h"
#include "firmware/FirmwareUpgradeComponent.h"
#include "firmware/UpgraderDialogWindow.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "gui/Dialogs.h"

namespace vorlix
{

bool showUpgradeWarning()
{
    return NsZ9m::Dialogs::showOkCancel (NsZ9m::Dialogs::Icon::info, "Firmware Upgrader about to start",
                                         "\n* IMPORTANT WARNING! *\n\n"
                                         "FAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR DEVICE!!\n\n"
                                         "- Connect ONLY the device you want to update\n"
                                         "- Make sure the power supply is connected (if any)\n"
                                         "- Connect device directly to computer (no hub)\n"
                                         "- Do not touch device during firmware update\n"
                                         "- Do not close command-line window during update");
}

int launchFirmwareUpgrader (int productId, juce::Component* centreAround, bool showWarning, bool onlineMode)
{
    NsZ9m::windowsVersionIndex = NsZ9m::getWindowsVersionIndex();

    if (showWarning && ! showUpgradeWarning())
        return 0;

    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = "Firmware Upgrade";
    options.content.setOwned (new FirmwareUpgradeComponent (productId, onlineMode));
    options.componentToCentreAround = centreAround;
    options.escapeKeyTriggersCloseButton = false;   // Escape is the wizard's abort key
    options.useNativeTitleBar = true;
    options.resizable = false;

    // The wizard decides on close requests itself: never while a step runs.
    return UpgraderDialogWindow::runModal (options, true);
}

} // namespace vorlix
