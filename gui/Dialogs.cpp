#include "gui/Dialogs.h"

namespace NsZ9m
{

namespace
{

juce::MessageBoxIconType toJuceIcon (Dialogs::Icon icon)
{
    switch (icon)
    {
        case Dialogs::Icon::info:     return juce::MessageBoxIconType::InfoIcon;
        case Dialogs::Icon::warning:  return juce::MessageBoxIconType::WarningIcon;
        case Dialogs::Icon::question: return juce::MessageBoxIconType::QuestionIcon;
        case Dialogs::Icon::none:     break;
    }
    return juce::MessageBoxIconType::NoIcon;
}

/** JUCE's own synchronous boxes and native choosers. */
class RealDialogs final : public Dialogs::Handler
{
public:
    int showBox (const Dialogs::Box& box) override
    {
        juce::AlertWindow window (box.title, box.message, toJuceIcon (box.icon));

        if (box.buttons.isEmpty())
            window.addButton (TRANS ("OK"), 1);
        else
            for (int i = 0; i < box.buttons.size(); ++i)
                window.addButton (box.buttons[i], i + 1);

        // A button's return value is its index plus one, so 0 means dismissed.
        return runAlertWindow (window) - 1;
    }

    int runAlertWindow (juce::AlertWindow& window) override
    {
       #if JUCE_MODAL_LOOPS_PERMITTED
        return window.runModalLoop();
       #else
        jassertfalse;   // The program needs modal loops for its synchronous boxes.
        juce::ignoreUnused (window);
        return 0;
       #endif
    }

    juce::File chooseFile (const Dialogs::FileRequest& request) override
    {
        juce::FileChooser chooser (request.title, request.initialFileOrFolder, request.patterns, true);

       #if JUCE_MODAL_LOOPS_PERMITTED
        const bool chosen = request.forSaving ? chooser.browseForFileToSave (request.warnAboutOverwriting)
                                              : chooser.browseForFileToOpen();
        return chosen ? chooser.getResult() : juce::File();
       #else
        jassertfalse;
        return {};
       #endif
    }

    int showMenu (const juce::PopupMenu& menu) override
    {
       #if JUCE_MODAL_LOOPS_PERMITTED
        return juce::PopupMenu (menu).show();
       #else
        jassertfalse;
        juce::ignoreUnused (menu);
        return 0;
       #endif
    }
};

Dialogs::Handler* installedHandler = nullptr;

int requestDepth = 0;

/** Counts a request for as long as its answer is awaited. */
struct RunningRequest
{
    RunningRequest()   { ++requestDepth; }
    ~RunningRequest()  { --requestDepth; }
};

} // namespace

Dialogs::Handler& Dialogs::getHandler()
{
    JUCE_ASSERT_MESSAGE_THREAD

    static RealDialogs realDialogs;
    return installedHandler != nullptr ? *installedHandler : realDialogs;
}

bool Dialogs::isRequestRunning() noexcept
{
    return requestDepth > 0;
}

Dialogs::ScopedHandler::ScopedHandler (Handler& handler)
    : ScopedOverride (installedHandler, &handler)
{
}

//==============================================================================
void Dialogs::showMessage (Icon icon, const juce::String& title, const juce::String& message)
{
    showBox ({ icon, title, message, {} });
}

bool Dialogs::showOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                            const juce::String& okText, const juce::String& cancelText)
{
    Box box { icon, title, message, {} };
    box.buttons.add (okText.isEmpty() ? TRANS ("OK") : okText);
    box.buttons.add (cancelText.isEmpty() ? TRANS ("Cancel") : cancelText);
    return showBox (box) == 0;
}

int Dialogs::showBox (const Box& box)
{
    const RunningRequest running;
    return getHandler().showBox (box);
}

int Dialogs::runAlertWindow (juce::AlertWindow& window)
{
    const RunningRequest running;
    return getHandler().runAlertWindow (window);
}

juce::File Dialogs::chooseFileToOpen (const juce::String& title, const juce::File& initialFileOrFolder,
                                      const juce::String& patterns)
{
    const RunningRequest running;
    return getHandler().chooseFile ({ false, title, initialFileOrFolder, patterns, false });
}

juce::File Dialogs::chooseFileToSave (const juce::String& title, const juce::File& initialFileOrFolder,
                                      const juce::String& patterns, bool warnAboutOverwriting)
{
    const RunningRequest running;
    return getHandler().chooseFile ({ true, title, initialFileOrFolder, patterns, warnAboutOverwriting });
}

int Dialogs::showPopupMenu (const juce::PopupMenu& menu)
{
    const RunningRequest running;
    return getHandler().showMenu (menu);
}

} // namespace NsZ9m
