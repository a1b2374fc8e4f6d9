#include "gui/Dialogs.h"
#include "tests/support/gui/ScriptedDialogs.h"
#include <gtest/gtest.h>

using namespace NsZ9m;
using z9test::ScriptedDialogs;

TEST (Dialogs, BoxesReachTheInstalledHandlerWithTheirButtonsAndAnswers)
{
    ScriptedDialogs dialogs;
    dialogs.answerBox (0).answerBox (1).answerBox (-1);

    EXPECT_TRUE (Dialogs::showOkCancel (Dialogs::Icon::info, "Title", "Go on?"));
    EXPECT_FALSE (Dialogs::showOkCancel (Dialogs::Icon::warning, "Title", "Go on?", "Yes", "No"));
    Dialogs::showMessage (Dialogs::Icon::none, {}, "Done");

    const auto& r = dialogs.getRequests();
    ASSERT_EQ (r.size(), 3u);
    EXPECT_EQ (r[0].box.icon, Dialogs::Icon::info);
    EXPECT_EQ (r[0].box.buttons, juce::StringArray ({ "OK", "Cancel" }));
    EXPECT_EQ (r[1].box.buttons, juce::StringArray ({ "Yes", "No" }));
    EXPECT_EQ (r[2].box.title, juce::String());
    EXPECT_TRUE (r[2].box.buttons.isEmpty());
    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Go on?", "Go on?", "Done" }));
    EXPECT_TRUE (dialogs.allAnswersUsed());
}

TEST (Dialogs, FileChoosersCarryTheirRequestAndACancelIsANonExistentFile)
{
    ScriptedDialogs dialogs;
    const auto chosen = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("a.ostrik");
    dialogs.answerFile (chosen).answerFile ({});

    EXPECT_EQ (Dialogs::chooseFileToSave ("Save Mapping", {}, "*.ostrik"), chosen);
    EXPECT_EQ (Dialogs::chooseFileToOpen ("Load Mapping", {}, "*.ostrik"), juce::File());

    const auto& r = dialogs.getRequests();
    ASSERT_EQ (r.size(), 2u);
    EXPECT_TRUE (r[0].file.forSaving);
    EXPECT_FALSE (r[1].file.forSaving);
    EXPECT_EQ (r[1].file.title, "Load Mapping");
    EXPECT_EQ (r[1].file.patterns, "*.ostrik");
}

TEST (Dialogs, AnAlertWindowIsAnsweredWithItsTextFieldsFilled)
{
    ScriptedDialogs dialogs;
    dialogs.answerAlertWindow ([] (juce::AlertWindow& w)
    {
        w.getTextEditor ("sysex")->setText ("F0 F7");
        return 0;
    });

    juce::AlertWindow window ("Input MIDI SYSEX", "SYSEX for sending:", juce::MessageBoxIconType::InfoIcon);
    window.addTextEditor ("sysex", "F02215 100900 0426F7");
    window.addButton ("OK", 0);
    window.addButton ("Cancel", 1);

    EXPECT_EQ (Dialogs::runAlertWindow (window), 0);
    EXPECT_EQ (window.getTextEditorContents ("sysex"), "F0 F7");

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Input MIDI SYSEX");
    EXPECT_EQ (dialogs.getRequests()[0].box.buttons, juce::StringArray ({ "OK", "Cancel" }));
}

TEST (Dialogs, TheHandlerBeforeComesBackWhenAScopedOneGoes)
{
    ScriptedDialogs outer;
    outer.answerBox (0);

    {
        ScriptedDialogs inner;
        inner.answerBox (1);
        EXPECT_FALSE (Dialogs::showOkCancel (Dialogs::Icon::none, {}, "inner"));
    }

    EXPECT_TRUE (Dialogs::showOkCancel (Dialogs::Icon::none, {}, "outer"));
    EXPECT_EQ (outer.getMessages(), juce::StringArray ({ "outer" }));
}
