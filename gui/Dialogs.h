#pragma once

#include "gui/JuceGuiIncludes.h"
#include "core/base/ScopedOverride.h"

namespace NsZ9m
{

/**
    The one road by which the program asks the user something in a modal box:
    message boxes, OK/Cancel boxes, alert windows it builds itself, and the
    file choosers.

    By default every request goes to JUCE's real, synchronous boxes and native
    choosers, which run a nested message loop until the user answers. A test
    installs a Handler of its own (Dialogs::ScopedHandler) that records each
    request and answers it at once, so no test ever waits on a modal loop.

    Message thread only.
*/
class Dialogs
{
public:
    /** The symbol shown in a box. */
    enum class Icon { none, info, warning, question };

    /** One box: a title, a message and its buttons, left to right. An empty
        button list means the framework's single "OK" button. */
    struct Box
    {
        Icon icon = Icon::none;
        juce::String title;
        juce::String message;
        juce::StringArray buttons;
    };

    /** What a file chooser asks for. */
    struct FileRequest
    {
        bool forSaving = false;
        juce::String title;
        juce::File initialFileOrFolder;
        juce::String patterns;     ///< e.g. "*.ostrik"
        bool warnAboutOverwriting = false;
    };

    /** Whoever answers the requests. */
    class Handler
    {
    public:
        virtual ~Handler() = default;

        /** Shows a box and returns the index of the button the user chose
            (0 for the first), or -1 when the box was dismissed otherwise. */
        virtual int showBox (const Box& box) = 0;

        /** Runs an alert window that the caller built and owns, and returns
            its result (the return value of the button pressed, 0 when it was
            dismissed). The handler may fill in the window's text fields. */
        virtual int runAlertWindow (juce::AlertWindow& window) = 0;

        /** Asks for a file; a non-existent juce::File when the user cancelled. */
        virtual juce::File chooseFile (const FileRequest& request) = 0;

        /** Shows a pop-up menu at the mouse and returns the chosen item's id,
            0 when it was dismissed. The base answers 0 (dismissed). */
        virtual int showMenu (const juce::PopupMenu& menu)   { juce::ignoreUnused (menu); return 0; }
    };

    //==============================================================================
    /** A box with one "OK" button. */
    static void showMessage (Icon icon, const juce::String& title, const juce::String& message);

    /** A box with "OK" and "Cancel"; true for OK. */
    static bool showOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& okText = {}, const juce::String& cancelText = {});

    /** A box with the given buttons; the index of the chosen one, -1 when dismissed. */
    static int showBox (const Box& box);

    /** Runs a caller-built alert window modally and returns its result. */
    static int runAlertWindow (juce::AlertWindow& window);

    /** A native chooser; a non-existent file when the user cancelled. */
    static juce::File chooseFileToOpen (const juce::String& title, const juce::File& initialFileOrFolder,
                                        const juce::String& patterns);
    static juce::File chooseFileToSave (const juce::String& title, const juce::File& initialFileOrFolder,
                                        const juce::String& patterns, bool warnAboutOverwriting = false);

    /** A pop-up menu at the mouse, run synchronously; the chosen item's id,
        0 when the user dismissed it. */
    static int showPopupMenu (const juce::PopupMenu& menu);

    //==============================================================================
    /** Puts a handler in place of the real boxes for as long as it lives; the
        previous one comes back when it goes. The caller owns the handler. */
    class ScopedHandler : private ScopedOverride<Handler*>
    {
    public:
        explicit ScopedHandler (Handler& handler);
    };

    /** The handler in use: the installed one, else the one that shows JUCE's real boxes. */
    static Handler& getHandler();

    /** True while a request made through this class waits for its answer
        further down the call stack (a real box runs a nested message loop
        meanwhile). Whatever the loop delivers then runs under the caller of
        the box, which must not be deleted under it: the program's quit
        closes the box and waits until this is false. */
    static bool isRequestRunning() noexcept;
};

} // namespace NsZ9m
