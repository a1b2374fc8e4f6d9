#pragma once

#include "shell/ShellIncludes.h"
#include <functional>

/**
    The program's entry in the system tray: the maker's logo with the tooltip
    "Ostrik", and a one-item menu "Quit" that ends the program the way a quit
    request from the system does.

    Created by the main window after its content was built and deleted with it
    (or by its close button). When the desktop has no tray the entry stays
    off-screen and does nothing. Message thread only.
*/
class DemoTaskbarComponent final : public juce::SystemTrayIconComponent,
                                   private juce::Timer
{
public:
    DemoTaskbarComponent();
    ~DemoTaskbarComponent() override;

    /** Any button: brings the program to the front and shows the menu 50 ms later. */
    void mouseDown (const juce::MouseEvent&) override;

    /** The result of the menu, bound to the entry (null when the entry went
        while the menu was open): 1 ("Quit") asks the application to quit,
        anything else (the menu dismissed) does nothing. */
    static void onTrayMenuResult (int result, DemoTaskbarComponent*);

    /** The menu that a click shows. */
    static juce::PopupMenu createMenu();

    /** What "Quit" does: by default requestApplicationQuit(); tests put
        something of their own here. */
    std::function<void()> onQuit;

    /** True when the icon was handed to a system tray. */
    bool isInTray() const noexcept   { return inTray; }

    void timerCallback() override;

private:
    bool inTray = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoTaskbarComponent)
};
