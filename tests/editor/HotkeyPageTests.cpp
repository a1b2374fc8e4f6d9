#include "tests/editor/EditorFixture.h"
#include "editor/EditorState.h"
#include "editor/HotkeyPage.h"
#include "editor/KeyEntryWindow.h"
#include "editor/MappableButton.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/DawId.h"
#include <gtest/gtest.h>

using namespace NsZ9m;
using z9test::ScriptedDialogs;

namespace
{
    constexpr int cubase = 2;

    const juce::KeyPress ctrlA ('a', juce::ModifierKeys::ctrlModifier, 'a');
    const juce::KeyPress shiftF5 (juce::KeyPress::F5Key, juce::ModifierKeys::shiftModifier, 0);
    const juce::KeyPress shiftOne ('!', juce::ModifierKeys::shiftModifier, '!');   // a shifted digit as Linux reports it

    juce::KeyPress plain (int keyCode)   { return juce::KeyPress (keyCode, juce::ModifierKeys(), 0); }

    class HotkeyPageTest : public z9test::EditorFixture
    {
    protected:
        HotkeyPage& hotkeys()   { return page->getHotkeyPage(); }
        MappableButton& nameButton (int id)   { return page->getButtonSection().getButton (id); }
        void select (MappableButton& b)   { page->buttonClicked (&b); }
        juce::ValueTree ctl (int id)   { return host().getStore().getControlOfCurrentSlot (id); }

        /** Answers the next key-entry window with these key presses and then OK
            (or Cancel). */
        void answerKeyEntry (ScriptedDialogs& dialogs, std::vector<juce::KeyPress> presses, bool ok = true)
        {
            dialogs.answerAlertWindow ([presses, ok] (juce::AlertWindow& w)
            {
                auto* window = dynamic_cast<KeyEntryWindow*> (&w);

                if (window == nullptr)
                    return 0;

                for (auto& k : presses)
                    window->keyPressed (k);

                // the window's own handling of the button, then the modal
                // loop's result
                window->buttonClicked (ok ? window->getOkButton() : window->getCancelButton());
                return ok ? 1 : 0;
            });
        }

        void setFunction (int id, int code)
        {
            auto node = ctl (id);
            node.setProperty (Ids::valueType, "func", nullptr);
            node.setProperty (Ids::value, code, nullptr);
            node.setProperty (Ids::name, getAssignedFunctionLabel (cubase, 9, code), nullptr);
        }

        void typeName (const juce::String& text)
        {
            hotkeys().getNameField().setText (text, juce::sendNotificationSync);
        }
    };
}

//==============================================================================
TEST_F (HotkeyPageTest, TheWindowCapturesUpToThreeCombinationsAndEveryKey)
{
    KeyEntryWindow w;
    EXPECT_EQ (w.getName(), "New hotkey");
    EXPECT_EQ (w.getShownMessage(), "Please press your key combinations now...");
    ASSERT_NE (w.getOkButton(), nullptr);
    ASSERT_NE (w.getCancelButton(), nullptr);
    EXPECT_EQ (w.getValueKind(), ValueTypeKind (ValueTypeKind::Func));

    EXPECT_TRUE (w.keyPressed (ctrlA));
    EXPECT_TRUE (w.keyPressed (shiftF5));
    EXPECT_EQ (w.getShownMessage(), "CTRL + A, SHIFT + F5");
    EXPECT_EQ (w.getCount(), 2);
    EXPECT_EQ (w.getValueKind(), ValueTypeKind (ValueTypeKind::Hotkey));

    // Escape, Return and Tab are keys like the others, and a fourth starts again
    EXPECT_TRUE (w.keyPressed (plain (juce::KeyPress::escapeKey)));
    EXPECT_EQ (w.getShownMessage(), "CTRL + A, SHIFT + F5, ESCAPE");
    EXPECT_TRUE (w.keyPressed (plain (juce::KeyPress::returnKey)));
    EXPECT_EQ (w.getShownMessage(), "RETURN");
    EXPECT_EQ (w.getCount(), 1);
    EXPECT_FALSE (w.getKeys()[1].isValid());
    EXPECT_TRUE (w.keyPressed (plain (juce::KeyPress::tabKey)));
    EXPECT_EQ (w.getShownMessage(), "RETURN, TAB");

    // a key the surface cannot send is refused, and the window says so
    EXPECT_TRUE (w.keyPressed (shiftOne));
    EXPECT_EQ (w.getCount(), 2);
    EXPECT_TRUE (w.getShownMessage().startsWith ("RETURN, TAB\n")) << w.getShownMessage();
    EXPECT_TRUE (w.getShownMessage().contains ("SHIFT + ! cannot be sent")) << w.getShownMessage();
    EXPECT_EQ (w.getKeys()[2], juce::KeyPress());
}

TEST_F (HotkeyPageTest, FourPressesLeaveTheLastAndOkPublishesWhileCancelDoesNot)
{
    {
        KeyEntryWindow w;

        for (int c : { 'A', 'B', 'C', 'D' })
            w.keyPressed (plain (c));

        EXPECT_EQ (w.getShownMessage(), "D");
        w.buttonClicked (w.getCancelButton());
    }

    EXPECT_EQ (lastKeyEntryKind, ValueTypeKind (ValueTypeKind::Func));
    EXPECT_FALSE (capturedHotkeys[0].isValid());

    KeyEntryWindow w;
    w.keyPressed (ctrlA);
    w.buttonClicked (w.getOkButton());
    EXPECT_EQ (lastKeyEntryKind, ValueTypeKind (ValueTypeKind::Hotkey));
    EXPECT_EQ (capturedHotkeys[0], ctrlA);
    EXPECT_FALSE (capturedHotkeys[1].isValid());
    EXPECT_FALSE (capturedHotkeys[2].isValid());
}

//==============================================================================
TEST_F (HotkeyPageTest, ClickToChangeWritesTheCapturedHotkeyIntoTheSelectedControl)
{
    preferSourceAssets();
    setSlotDaw (1, cubase);
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);
    page->getInnerTabs().setCurrentTabIndex (1);
    select (nameButton (7));

    ScriptedDialogs dialogs;
    answerKeyEntry (dialogs, { ctrlA, shiftF5 });
    hotkeys().getChangeButton().triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return dialogs.allAnswersUsed(); }));

    const auto n = ctl (7);
    EXPECT_EQ (n[Ids::valueType].toString(), "hotkey");
    EXPECT_TRUE ((bool) n[Ids::ctrl]);
    EXPECT_EQ ((int) n[Ids::key], 0x04);
    EXPECT_EQ (n[Ids::keyName].toString(), "A");
    EXPECT_TRUE ((bool) n[Ids::shift2]);
    EXPECT_EQ ((int) n[Ids::key2], 0x3E);
    EXPECT_EQ ((int) n[Ids::key3], 0);
    EXPECT_FALSE ((bool) n[Ids::cmd] || (bool) n[Ids::cmd2] || (bool) n[Ids::cmd3]);
    EXPECT_TRUE (slotDirty[0]);

    EXPECT_EQ (hotkeys().getKeysLabel().getText(), "CTRL+A\nSHIFT+F5\n");
    EXPECT_EQ (nameButton (7).getButtonText(), hotkeys().getNameField().getText());
    EXPECT_TRUE (hotkeys().getNameField().isVisible());
    snapshot (*page);
}

TEST_F (HotkeyPageTest, OkWithoutAKeyOnlyMarksTheSlotAndCancelDoesNothing)
{
    setSlotDaw (1, cubase);
    showPage();
    select (nameButton (7));
    const auto before = ctl (7).createCopy();

    ScriptedDialogs dialogs;
    answerKeyEntry (dialogs, {}, true);
    answerKeyEntry (dialogs, { ctrlA }, false);

    hotkeys().buttonClicked (&hotkeys().getChangeButton());
    EXPECT_TRUE (ctl (7).isEquivalentTo (before));
    EXPECT_TRUE (slotDirty[0]);

    slotDirty[0] = false;
    hotkeys().buttonClicked (&hotkeys().getChangeButton());
    EXPECT_TRUE (ctl (7).isEquivalentTo (before));
    EXPECT_FALSE (slotDirty[0]);
    EXPECT_TRUE (dialogs.allAnswersUsed());
}

TEST_F (HotkeyPageTest, ACaptureOnALinkedControlWritesTheLeaderAndFreesTheOwnFunction)
{
    setSlotDaw (1, cubase);
    setFunction (5, 5);
    showPage();

    select (nameButton (5));
    page->buttonClicked (&page->getLockButton());
    select (nameButton (21));

    auto* f = page->getFuncPage().getFuncLayer().findFunctionButton (ctl (5)[Ids::name].toString().trim());
    ASSERT_NE (f, nullptr);
    ASSERT_FALSE (f->isEnabled());

    // control 21's own node holds a function too: that one is what gets freed
    setFunction (21, 6);
    ScriptedDialogs dialogs;
    answerKeyEntry (dialogs, { ctrlA });
    hotkeys().buttonClicked (&hotkeys().getChangeButton());

    EXPECT_EQ (ctl (5)[Ids::valueType].toString(), "hotkey");
    EXPECT_EQ (ctl (21)[Ids::valueType].toString(), "func");
    EXPECT_TRUE (f->isEnabled());
    EXPECT_EQ (nameButton (5).getButtonText(), "Ctrl A");
    EXPECT_EQ (nameButton (37).getButtonText(), "Ctrl A");
}

TEST_F (HotkeyPageTest, AReservedHuiKeyIsNeverChanged)
{
    setSlotDaw (1, huiDawId);
    showPage();
    select (nameButton (12));
    const auto before = ctl (12).createCopy();

    ScriptedDialogs dialogs;
    answerKeyEntry (dialogs, { ctrlA });
    hotkeys().buttonClicked (&hotkeys().getChangeButton());
    typeName ("Mine");

    EXPECT_TRUE (ctl (12).isEquivalentTo (before));
    EXPECT_FALSE (slotDirty[0]);
}

//==============================================================================
TEST_F (HotkeyPageTest, TheNameFieldStoresSixteenCharactersAndRefusesCharactersAbove126)
{
    setSlotDaw (1, cubase);
    showPage();
    select (nameButton (9));

    typeName ("A name of twenty chars");
    EXPECT_EQ (ctl (9)[Ids::name].toString(), "A name of twenty");
    EXPECT_EQ (ctl (9)[Ids::valueType].toString(), "hotkey");
    EXPECT_EQ ((int) ctl (9)[Ids::diyNameQ], 1);
    EXPECT_EQ (nameButton (9).getButtonText(), "A name of twenty");
    EXPECT_EQ (hotkeys().getNameField().getText(), "A name of twenty");
    EXPECT_TRUE (slotDirty[0]);

    slotDirty[0] = false;
    typeName (juce::String::fromUTF8 ("Na\xc3\xafve"));
    EXPECT_EQ (ctl (9)[Ids::name].toString(), "A name of twenty");
    EXPECT_TRUE (slotDirty[0]);
    EXPECT_EQ (hotkeys().getNameField().getText(), "A name of twenty");

    // the field's editor holds to the same rules; it takes the keyboard
    // focus, which only a component on the screen can have
    window->addToDesktop (0);
    window->setVisible (true);
    page->getOuterTabs().setCurrentTabIndex (1);
    page->getInnerTabs().setCurrentTabIndex (1);
    hotkeys().getNameField().showEditor();
    auto* editor = hotkeys().getNameField().getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->setText ({});
    editor->insertTextAtCaret (juce::String::fromUTF8 ("abc\xc3\xa9 defghijklmnopqrstu"));
    EXPECT_EQ (editor->getText(), "abc defghijklmno");
    hotkeys().getNameField().hideEditor (true);

    // the name row exists only for controls 1 to 80
    select (page->getMixerSection().getGridButton (0));
    EXPECT_FALSE (hotkeys().getNameField().isVisible());
    EXPECT_FALSE (hotkeys().getNameCaption().isVisible());
}

TEST_F (HotkeyPageTest, ANameOnAFunctionMakesAHotkeyAndFreesTheFunction)
{
    setSlotDaw (1, cubase);
    setFunction (9, 5);
    showPage();
    auto* f = page->getFuncPage().getFuncLayer().findFunctionButton (ctl (9)[Ids::name].toString().trim());
    ASSERT_NE (f, nullptr);
    ASSERT_FALSE (f->isEnabled());

    select (nameButton (9));
    EXPECT_EQ (hotkeys().getNameField().getText(), "");
    typeName ("Mine");

    EXPECT_EQ (ctl (9)[Ids::valueType].toString(), "hotkey");
    EXPECT_EQ (ctl (9)[Ids::name].toString(), "Mine");
    EXPECT_TRUE (f->isEnabled());
    EXPECT_EQ (nameButton (9).getButtonText(), "Mine");
}

TEST_F (HotkeyPageTest, TheLayoutOfTheHotkeyPage)
{
    showPage();
    auto& h = hotkeys();
    h.setSize (220, 600);

    // w = 176, y0 = 120, x = 22
    EXPECT_EQ (h.getNameCaption().getBounds(), juce::Rectangle<int> (22, 87, 176, 28));
    EXPECT_EQ (h.getNameField().getBounds(), juce::Rectangle<int> (22, 120, 176, 28));
    EXPECT_EQ (h.getHotkeyCaption().getBounds(), juce::Rectangle<int> (22, 162, 176, 28));
    EXPECT_EQ (h.getKeysLabel().getBounds(), juce::Rectangle<int> (4, 195, 211, 56));
    EXPECT_EQ (h.getChangeButton().getBounds(), juce::Rectangle<int> (22, 265, 176, 28));
    EXPECT_EQ (h.getChangeButton().getButtonText(), "Click To Change");
}
