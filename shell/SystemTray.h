#pragma once

#include "shell/ShellIncludes.h"

/*  What the shell needs to know of the desktop's system tray. On Windows the
    notification area is always there; on X11 a tray exists only while a tray
    manager owns the screen's "_NET_SYSTEM_TRAY_S<n>" selection, and an icon
    made without one would be a stray window at the screen's corner.
*/

/** True when the desktop has a system tray that can take an icon now.
    Message thread only. */
bool isSystemTrayAvailable();
