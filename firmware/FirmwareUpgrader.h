#pragma once

#include "gui/JuceGuiIncludes.h"

namespace vorlix
{

/** The OK/Cancel warning shown before the wizard opens; true for OK.
    Message thread. */
bool showUpgradeWarning();

/** Opens the firmware upgrade wizard for a unit of productId in the modal
    dialog "Firmware Upgrade", centred around centreAround (may be null), after
    the warning when showWarning is set. onlineMode chooses catalogue or file
    for the firmware selection.

    Returns the dialog's modal result, or 0 when the user declined the
    warning (then nothing is made). The dialog runs through
    ModalDialogRunner. Message thread only.
*/
int launchFirmwareUpgrader (int productId, juce::Component* centreAround, bool showWarning, bool onlineMode);

} // namespace vorlix
