#pragma once

#include "gui/Dialogs.h"
#include <functional>
#include <vector>

namespace z9test
{

/**
    Answers the program's modal boxes and file choosers from a script, at once,
    and records every request. A request that the script does not expect fails
    the running test and is answered as if the user cancelled.

    Lives on the test's stack; it is installed from construction to destruction.
*/
class ScriptedDialogs final : public NsZ9m::Dialogs::Handler
{
public:
    ScriptedDialogs() : installed (*this) {}
    ~ScriptedDialogs() override;

    /** One recorded request. */
    struct Request
    {
        enum class Kind { box, alertWindow, file, menu } kind;
        NsZ9m::Dialogs::Box box;                  ///< box: all of it; alertWindow: title and button texts; menu: the item texts as buttons
        NsZ9m::Dialogs::FileRequest file;         ///< for file
    };

    //==============================================================================
    /** The next box is answered with this button index (-1: dismissed). */
    ScriptedDialogs& answerBox (int buttonIndex);

    /** The next alert window is answered by this function, which may fill the
        window's text fields and returns the window's result. */
    ScriptedDialogs& answerAlertWindow (std::function<int (juce::AlertWindow&)> answer);

    /** The next file chooser returns this file (a default juce::File: cancelled). */
    ScriptedDialogs& answerFile (const juce::File& file);

    /** The next pop-up menu is answered with this item id (0: dismissed). */
    ScriptedDialogs& answerMenu (int itemId);

    /** Takes every request from now on as unexpected-free: boxes get this answer. */
    ScriptedDialogs& answerEveryBox (int buttonIndex);

    //==============================================================================
    const std::vector<Request>& getRequests() const noexcept   { return requests; }

    /** The messages of the recorded boxes, in order. */
    juce::StringArray getMessages() const;

    /** True when every scripted answer was used. */
    bool allAnswersUsed() const noexcept;

    //==============================================================================
    int showBox (const NsZ9m::Dialogs::Box& box) override;
    int runAlertWindow (juce::AlertWindow& window) override;
    juce::File chooseFile (const NsZ9m::Dialogs::FileRequest& request) override;
    int showMenu (const juce::PopupMenu& menu) override;

private:
    std::vector<Request> requests;
    std::vector<int> boxAnswers;
    std::vector<std::function<int (juce::AlertWindow&)>> alertAnswers;
    std::vector<juce::File> fileAnswers;
    std::vector<int> menuAnswers;
    bool everyBoxAnswered = false;
    int everyBoxAnswer = 0;
    NsZ9m::Dialogs::ScopedHandler installed;
};

} // namespace z9test
