#include "shell/SystemTray.h"

#if JUCE_LINUX || JUCE_BSD
 #include <X11/Xlib.h>
#endif

bool isSystemTrayAvailable()
{
   #if JUCE_LINUX || JUCE_BSD
    // A connection of our own: the framework keeps its display to itself.
    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return false;

    const auto selectionName = "_NET_SYSTEM_TRAY_S" + juce::String (DefaultScreen (display));
    const auto selection = XInternAtom (display, selectionName.toRawUTF8(), False);
    const auto available = XGetSelectionOwner (display, selection) != None;

    XCloseDisplay (display);
    return available;
   #else
    return true;
   #endif
}
