#include "tests/support/gui/ScriptedDialogs.h"
#include <gtest/gtest.h>

namespace z9test
{

ScriptedDialogs::~ScriptedDialogs() = default;

ScriptedDialogs& ScriptedDialogs::answerBox (int buttonIndex)
{
    boxAnswers.push_back (buttonIndex);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerAlertWindow (std::function<int (juce::AlertWindow&)> answer)
{
    alertAnswers.push_back (std::move (answer));
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerFile (const juce::File& file)
{
    fileAnswers.push_back (file);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerMenu (int itemId)
{
    menuAnswers.push_back (itemId);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerEveryBox (int buttonIndex)
{
    everyBoxAnswered = true;
    everyBoxAnswer = buttonIndex;
    return *this;
}

juce::StringArray ScriptedDialogs::getMessages() const
{
    juce::StringArray messages;

    for (auto& r : requests)
        if (r.kind == Request::Kind::box)
            messages.add (r.box.message);

    return messages;
}

bool ScriptedDialogs::allAnswersUsed() const noexcept
{
    return boxAnswers.empty() && alertAnswers.empty() && fileAnswers.empty() && menuAnswers.empty();
}

int ScriptedDialogs::showBox (const NsZ9m::Dialogs::Box& box)
{
    requests.push_back ({ Request::Kind::box, box, {} });

    if (! boxAnswers.empty())
    {
        const auto answer = boxAnswers.front();
        boxAnswers.erase (boxAnswers.begin());
        return answer;
    }

    if (everyBoxAnswered)
        return everyBoxAnswer;

    ADD_FAILURE() << "Unexpected box: \"" << box.title << "\" / \"" << box.message << "\"";
    return -1;
}

int ScriptedDialogs::runAlertWindow (juce::AlertWindow& window)
{
    NsZ9m::Dialogs::Box box;
    box.title = window.getName();

    // The window keeps its message to itself; the answer function sees the window.
    for (auto* child : window.getChildren())
        if (auto* b = dynamic_cast<juce::TextButton*> (child))
            box.buttons.add (b->getButtonText());

    requests.push_back ({ Request::Kind::alertWindow, box, {} });

    if (! alertAnswers.empty())
    {
        auto answer = std::move (alertAnswers.front());
        alertAnswers.erase (alertAnswers.begin());
        return answer (window);
    }

    ADD_FAILURE() << "Unexpected alert window: \"" << box.title << "\" / \"" << box.message << "\"";
    return 0;
}

juce::File ScriptedDialogs::chooseFile (const NsZ9m::Dialogs::FileRequest& request)
{
    requests.push_back ({ Request::Kind::file, {}, request });

    if (! fileAnswers.empty())
    {
        const auto answer = fileAnswers.front();
        fileAnswers.erase (fileAnswers.begin());
        return answer;
    }

    ADD_FAILURE() << "Unexpected file chooser: \"" << request.title << "\"";
    return {};
}

int ScriptedDialogs::showMenu (const juce::PopupMenu& menu)
{
    NsZ9m::Dialogs::Box box;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        box.buttons.add (it.getItem().text);

    requests.push_back ({ Request::Kind::menu, box, {} });

    if (! menuAnswers.empty())
    {
        const auto answer = menuAnswers.front();
        menuAnswers.erase (menuAnswers.begin());
        return answer;
    }

    ADD_FAILURE() << "Unexpected pop-up menu: " << box.buttons.joinIntoString (", ");
    return 0;
}

} // namespace z9test
