#pragma once

#include "shell/ShellIncludes.h"

/**
    Holds the program's quit while the firmware upgrader works on a unit, or
    while the link to the surfaces is in the middle of something.

    Every quit of the program (the tray's "Quit", the system's quit, the main
    window's close button, the editor's Ctrl+Q, Ctrl+C in the terminal) asks
    holdsQuit() before it takes anything down. Ending the message loop while
    the upgrader writes an image would end every wait of the write at once
    (the tool's run, the MIDI transfer's polls) and cut the image; deleting
    the main window would delete the editor page whose firmware command runs
    the upgrader's dialog further down the call stack.

    So while an image is written the quit waits for the write to end (its own
    time-outs bound it; the terminal says once that the quit waits), then the
    wizard is closed as Escape and its close button would: its waits end, its
    boxes and choosers are dismissed, its dialog closes and the editor gets
    its ports back. Once the firmware command has returned, the application
    quits as usual, through systemRequestedQuit from the message loop.

    The link's own pauses run the message loop too (a tick opening the
    surface's ports, a mapping send waiting for its acknowledgements), so a
    quit may arrive inside one. Then it waits, without a word, until no pause
    and no tick of the link is on the call stack any more: taking the window
    and the link down there would delete them under the code that paused.
    A box or menu of the editor's that waits for its answer is dismissed, as
    Escape would, and the quit waits until its caller has gone on.

    Message thread only.
*/
class QuitGate
{
public:
    /** False when nothing holds the quit: the caller quits now. True when
        a write runs, the wizard is open, a pause of the link is under way
        or a box waits for its answer:
        the caller does nothing more, the gate quits once it is safe. */
    static bool holdsQuit();

    /** True from a held quit until the gate asks the application to quit. */
    static bool isQuitWaiting() noexcept;

    /** The line written to stderr, once, when a quit has to wait for a write. */
    static constexpr const char* waitingLine = "Quit requested: waiting for the firmware upgrade to finish writing the unit...";
};
