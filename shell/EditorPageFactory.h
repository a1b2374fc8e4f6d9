#pragma once

#include "shell/ShellIncludes.h"

/*  Where the shell gets the mapping editor's page from: the one place that
    knows how the editor makes its page and how the editor finds its images.
    Message thread only.
*/

/** A new editor page for the Z9-M, owned by the caller; null when it could
    not be made. The start-up page of the main window and the factory of the
    registered page "Controllers/Z9M". */
juce::Component* createEditorPage();

/** Lets the editor load its images through the shell's asset lookup
    (loadAssetImage). Run once at start-up, before the first page is made. */
void installEditorAssetHook();

/** Gives the editor its ways out of the page: FIRMWARE UPGRADE opens the
    firmware upgrader (vorlix::launchFirmwareUpgrader), Ctrl+Q quits
    (quitFromEditor). Run once at start-up, before the first page is made. */
void installEditorHooks();
