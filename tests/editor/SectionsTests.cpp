#include "tests/editor/EditorFixture.h"
#include "editor/EditorState.h"
#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/ControlNumbers.h"
#include "core/model/DawId.h"
#include "core/sync/CompiledSlots.h"
#include "core/model/MappingStore.h"
#include "core/sync/SyncTimer.h"
#include "core/base/PlatformHelpers.h"
#include "tests/support/SimulatedSurface.h"
#include <gtest/gtest.h>

using namespace NsZ9m;
using z9test::ScriptedDialogs;

namespace
{
    class SectionsTest : public z9test::EditorFixture
    {
    protected:
        MixerSection& mixer()         { return page->getMixerSection(); }
        ButtonSection& buttons()      { return page->getButtonSection(); }

        juce::ValueTree ctl (int id)  { return host().getStore().getControlOfCurrentSlot (id); }

        void setFunc (int id, const juce::String& name)
        {
            ctl (id).setProperty (Ids::valueType, "func", nullptr);
            ctl (id).setProperty (Ids::name, name, nullptr);
        }

        /** A mouse event on the component at a point given in the window's
            coordinates, as the mouse input sends it. */
        static juce::MouseEvent mouseAt (juce::Component& c, juce::Point<int> windowPoint,
                                         bool buttonDown, bool dragged = false)
        {
            const auto local = c.getLocalPoint (nullptr, windowPoint).toFloat();
            const auto mods = buttonDown ? juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier) : juce::ModifierKeys();
            const auto now = juce::Time::getCurrentTime();

            return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), local, mods,
                                     juce::MouseInputSource::defaultPressure, 0, 0, 0, 0,
                                     &c, &c, now, local, now, 1, dragged);
        }

        /** The component's mouse handlers, as the mouse input reaches them. */
        static juce::Component& mouse (juce::Component& c)   { return c; }

        static juce::Point<int> centreOf (juce::Component& c)
        {
            return c.localPointToGlobal (c.getLocalBounds().getCentre());
        }

        /** Drags one name button onto another and lets the mouse enter the
            target as the button jumps back. */
        void dragOnto (MappableButton& from, MappableButton& to)
        {
            const auto start = centreOf (from);
            const auto end = centreOf (to);

            mouse (from).mouseDown (mouseAt (from, start, true));
            mouse (from).mouseDrag (mouseAt (from, (start + end) / 2, true, true));
            mouse (from).mouseDrag (mouseAt (from, end, true, true));
            mouse (from).mouseUp (mouseAt (from, end, false, true));
            mouse (to).mouseEnter (mouseAt (to, end, false));
            z9test::drainMessageLoop();
        }

        void selectName (int id)   { page->buttonClicked (&buttons().getButton (id)); }
    };
}

//==============================================================================
TEST_F (SectionsTest, TheEightyNameButtonsSitInFiveBanksAndSelectTheirControl)
{
    setSlotDaw (1, 2);
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);
    auto& section = buttons();
    ASSERT_GE (section.getWidth(), 520);
    const auto w = section.getWidth();
    const auto xs = (w - 520) / 3;

    for (int id = 1; id <= 80; ++id)
    {
        auto& b = section.getButton (id);
        ASSERT_EQ (nameButtons[(size_t) (id - 1)], &b);
        EXPECT_EQ (b.getControlId(), id);
        EXPECT_EQ (b.getRole(), MappableButton::controlRole);
        EXPECT_EQ (b.getComponentID(), "GOTCHA");

        const auto bank = (id - 1) / 16, j = (id - 1) % 16;
        const auto x = (bank % 2) * (260 + xs) + xs + 4 + (j % 4) * 64;
        const auto y = (bank / 2) * (168 + 5) + 5 + 4 + (j / 4) * 41;
        EXPECT_EQ (b.getBounds(), juce::Rectangle<int> (x, y, 60, 37)) << id;
    }

    EXPECT_EQ (ButtonSection::bankColour (0), juce::Colour (0xff87cefa));
    EXPECT_EQ (ButtonSection::bankColour (4), juce::Colour (0xffff0000));

    section.getButton (21).triggerClick();
    z9test::drainMessageLoop();
    EXPECT_EQ (currentButton, &section.getButton (21));
    EXPECT_TRUE (page->getLockButton().isVisible());
    snapshot (*page);
}

TEST_F (SectionsTest, TheGeneralSettingsControlsHaveTheirIdsRolesAndPlaces)
{
    showPage();
    auto& m = mixer();
    m.setSize (594, 560);

    EXPECT_EQ (m.getDawCaption().getBounds(), juce::Rectangle<int> (62, 2, 36, 26));
    EXPECT_EQ (m.getDawCaption().getText(), "DAW");

    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (m.getSlotButton (i).getBounds(), juce::Rectangle<int> (105 + 136 * i, 2, 112, 24));
        EXPECT_EQ (m.getColourButton (i).getBounds(), juce::Rectangle<int> (220 + 136 * i, 7, 13, 13));
        EXPECT_EQ (m.getSlotButton (i).getRole(), MappableButton::slotRole);
        EXPECT_EQ (m.getColourButton (i).getRole(), MappableButton::colourRole);
        EXPECT_EQ (m.getSlotButton (i).getControlId(), i + 1);
        EXPECT_EQ (m.getColourButton (i).getControlId(), i + 1);
    }

    const int knobX[] = { 15, 80, 145, 210, 275, 341, 406, 471 };
    const int faderX[] = { 14, 79, 144, 209, 274, 340, 405, 470 };

    for (int k = 0; k < 8; ++k)
    {
        EXPECT_EQ (m.getKnobButton (k).getBounds(), juce::Rectangle<int> (knobX[k], 57, 40, 40)) << k;
        EXPECT_EQ (m.getKnobButton (k).getControlId(), 116 + k);
        EXPECT_EQ (m.getKnobButton (k).getLabel(), &m.getKnobLabel (k));
        EXPECT_EQ (m.getKnobRowButton (k).getBounds(), juce::Rectangle<int> (knobX[k] - 6, 99, 52, 25));
        EXPECT_EQ (m.getKnobRowButton (k).getControlId(), 189 + k);
        EXPECT_EQ (m.getFaderButton (k).getBounds(), juce::Rectangle<int> (faderX[k], 326, 40, 80)) << k;
        EXPECT_EQ (m.getFaderButton (k).getControlId(), 136 + k);
        EXPECT_EQ (m.getFaderLabel (k).getBounds(), juce::Rectangle<int> (faderX[k] - 6, 301, 52, 25));
        EXPECT_EQ (m.getFaderRowButton (k).getBounds(), juce::Rectangle<int> (faderX[k] - 6, 408, 52, 25));
        EXPECT_EQ (m.getFaderRowButton (k).getControlId(), 127 + k);
        EXPECT_EQ (m.getKnobLabel (k).findColour (juce::Label::textColourId).getAlpha(), 0);
    }

    for (int j = 0; j < 32; ++j)
    {
        const auto c = j % 8, r = j / 8;
        EXPECT_EQ (m.getGridButton (j).getBounds(), juce::Rectangle<int> (knobX[c] - 6, 130 + 35 * r, 52, 32)) << j;
        EXPECT_EQ (m.getGridButton (j).getControlId(), j < 8 ? 99 + j : 157 + j);
    }

    EXPECT_EQ (m.getPedalButton (0).getBounds(), juce::Rectangle<int> (150, 518, 54, 28));
    EXPECT_EQ (m.getPedalButton (1).getBounds(), juce::Rectangle<int> (335, 518, 54, 28));
    EXPECT_EQ (m.getPedalLabel (0).getBounds(), juce::Rectangle<int> (93, 518, 54, 28));
    EXPECT_EQ (m.getPedalLabel (1).getText(), "PEDAL B");
    EXPECT_EQ (m.getPedalButton (1).getControlId(), 126);
    EXPECT_EQ (m.getFaderModeChooser().getBounds(), juce::Rectangle<int> (464, 518, 72, 28));

    const auto controls = m.getControlButtons();
    EXPECT_EQ (controls.size(), 8 + 8 + 32 + 8 + 8 + 2);

    for (auto* b : controls)
        EXPECT_EQ (b->getRole(), MappableButton::controlRole);

    EXPECT_EQ (windowsVersionIndex, getWindowsVersionIndex());
    ASSERT_NE (theSyncTimer, nullptr);
    EXPECT_EQ (syncTimerIntervalAtStart, 2000);
    snapshot (m);
}

TEST_F (SectionsTest, AButtonShowsItsAssignmentForEachKind)
{
    setSlotDaw (1, 2);
    showPage();
    auto& b = buttons().getButton (5);

    struct Case { const char* valueType; std::function<void (juce::ValueTree)> set; juce::String expected; };

    const Case cases[] = {
        { "func",   [] (juce::ValueTree c) { c.setProperty (Ids::name, "Play", nullptr); }, "Play" },
        { " func ", [] (juce::ValueTree c) { c.setProperty (Ids::name, "Stop", nullptr); }, "Stop" },
        { "hotkey", [] (juce::ValueTree c) { c.setProperty (Ids::name, "Save all", nullptr); }, "Save all" },
        { "hotkey", [] (juce::ValueTree c) { c.setProperty (Ids::name, "", nullptr); c.setProperty (Ids::ctrl, true, nullptr);
                                             c.setProperty (Ids::keyName, "S", nullptr); },
          formatHotkeyText ({ true, false, false, false, "S" }, {}, {}, {}, 1).trim() },
        { "midi",   [] (juce::ValueTree c) { c.setProperty (Ids::name, "", nullptr); c.setProperty (Ids::type, "cc", nullptr);
                                             c.setProperty (Ids::msgValue, 7, nullptr); }, "CC 7" },
        { "mouse",  [] (juce::ValueTree c) { c.setProperty (Ids::name, "", nullptr); c.setProperty (Ids::shift, true, nullptr);
                                             c.setProperty (Ids::keyName, "Wheel Up", nullptr); },
          formatKeyComboForButton (false, true, false, false, "Wheel Up", {}, 3) },
        { "null",   [] (juce::ValueTree c) { c.setProperty (Ids::name, "Hidden", nullptr); }, "" },
        { "nil",    [] (juce::ValueTree c) { c.setProperty (Ids::name, "Reads as func", nullptr); }, "Reads as func" },
    };

    for (const auto& c : cases)
    {
        auto node = ctl (5);
        clearControlAssignment (node);
        node.setProperty (Ids::valueType, c.valueType, nullptr);
        c.set (node);
        b.refreshText();
        EXPECT_EQ (b.getButtonText(), c.expected) << c.valueType;
    }

    // the HUI DAW: a label from its table by this control's own kind, or the user's own name
    setSlotDaw (1, huiDawId);
    auto node = ctl (5);
    node.setProperty (Ids::valueType, "hui", nullptr);
    node.setProperty (Ids::value, 4, nullptr);
    node.setProperty (Ids::diyNameQ, false, nullptr);
    EXPECT_EQ (b.getAssignmentText(), getFunctionLabel (huiDawId, ControlKind (ControlKind::Button), 4));
    node.setProperty (Ids::diyNameQ, true, nullptr);
    node.setProperty (Ids::name, "Mine", nullptr);
    EXPECT_EQ (b.getAssignmentText(), "Mine");

    // no DAW in the slot: nothing
    setSlotDaw (1, 0);
    EXPECT_EQ (b.getAssignmentText(), juce::String());
}

TEST_F (SectionsTest, ALinkedControlShowsItsSourceAndTooltipsFollowTheSlot)
{
    setSlotDaw (1, 2);
    setFunc (5, "Source");
    setFunc (21, "Own");
    ctl (21).setProperty (Ids::lockBy, 5, nullptr);
    showPage();

    auto& b = buttons().getButton (21);
    EXPECT_EQ (b.getButtonText(), "Source");
    EXPECT_EQ (b.getTooltip(), "Source");

    // a slot without a DAW gives an empty tooltip; an unknown slot index leaves it
    setSlotDaw (1, 0);
    updateControlButton (b);
    EXPECT_EQ (b.getTooltip(), juce::String());

    b.setTooltip ("kept");
    currentSlotIndex = 7;
    updateControlButton (b);
    EXPECT_EQ (b.getTooltip(), "kept");
    currentSlotIndex = 0;
}

//==============================================================================
TEST_F (SectionsTest, DraggingFiveOntoSixSwapsThemMarksTheSlotAndSelectsSix)
{
    setSlotDaw (1, 2);
    setFunc (5, "Five");
    setFunc (6, "Six");
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);
    auto& five = buttons().getButton (5);
    auto& six = buttons().getButton (6);
    const auto home = five.getBounds();

    dragOnto (five, six);

    EXPECT_EQ (ctl (5).getProperty (Ids::name).toString(), "Six");
    EXPECT_EQ (ctl (6).getProperty (Ids::name).toString(), "Five");
    EXPECT_EQ ((int) ctl (5).getProperty (Ids::id), 5);
    EXPECT_EQ (five.getButtonText(), "Six");
    EXPECT_EQ (six.getButtonText(), "Five");
    EXPECT_EQ (five.getBounds(), home);
    EXPECT_TRUE (slotDirty[0]);
    EXPECT_EQ (currentButton, &six);
    EXPECT_TRUE (six.getToggleState());
    EXPECT_FALSE (five.getToggleState());
    EXPECT_FALSE (dropArmed);
    snapshot (*page);
}

TEST_F (SectionsTest, ADropIsRefusedForLinkedAndReservedControlsAndAfterTheMouseMoved)
{
    struct Case { const char* what; int daw; int from, to; int lockedControl, lockBy; bool mouseMoved; };

    const Case cases[] = {
        { "linked target", 2,        5, 6, 6, 6,  false },
        { "linked source", 2,        5, 6, 5, 21, false },
        { "mouse moved",   2,        5, 6, 0, 0,  true },
        { "HUI key",       huiDawId, 2, 3, 0, 0,  false },
    };

    // One page for each DAW of the table: a refused drop leaves the page as
    // it was, so the next case starts from where a user would.
    int shownDaw = -1;

    for (const auto& c : cases)
    {
        if (c.daw != shownDaw)
        {
            page.reset();
            setSlotDaw (1, c.daw);
            showPage();
            page->getOuterTabs().setCurrentTabIndex (1);
            shownDaw = c.daw;
        }

        setFunc (c.from, "From");
        setFunc (c.to, "To");
        if (c.lockedControl > 0)
            ctl (c.lockedControl).setProperty (Ids::lockBy, c.lockBy, nullptr);

        slotDirty[0] = false;

        auto& from = buttons().getButton (c.from);
        auto& to = buttons().getButton (c.to);

        if (c.mouseMoved)
        {
            const auto start = centreOf (from), end = centreOf (to);
            mouse (from).mouseDown (mouseAt (from, start, true));
            mouse (from).mouseDrag (mouseAt (from, end, true, true));
            mouse (from).mouseUp (mouseAt (from, end, false, true));
            mouse (to).mouseEnter (mouseAt (to, end + juce::Point<int> (3, 0), false));
        }
        else
        {
            dragOnto (from, to);
        }

        EXPECT_EQ (ctl (c.from).getProperty (Ids::name).toString(), "From") << c.what;
        EXPECT_EQ (ctl (c.to).getProperty (Ids::name).toString(), "To") << c.what;
        EXPECT_FALSE (slotDirty[0]) << c.what;
        EXPECT_FALSE (dropArmed) << c.what;

        if (c.lockedControl > 0)
            ctl (c.lockedControl).setProperty (Ids::lockBy, 0, nullptr);
    }
}

TEST_F (SectionsTest, AClickWithoutMovementOnlySelects)
{
    setSlotDaw (1, 2);
    setFunc (5, "Five");
    setFunc (6, "Six");
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);
    auto& five = buttons().getButton (5);
    auto& six = buttons().getButton (6);

    mouse (five).mouseDown (mouseAt (five, centreOf (five), true));
    mouse (five).mouseUp (mouseAt (five, centreOf (five), false));
    mouse (six).mouseEnter (mouseAt (six, centreOf (six), false));
    z9test::drainMessageLoop();

    EXPECT_EQ (currentButton, &five);
    EXPECT_EQ (ctl (5).getProperty (Ids::name).toString(), "Five");
    EXPECT_FALSE (slotDirty[0]);
}

//==============================================================================
TEST_F (SectionsTest, TheContextMenuOffersItsThreeItemsFromBothSections)
{
    showPage();
    ScriptedDialogs dialogs;
    dialogs.answerMenu (0).answerMenu (0);

    const auto rightClick = [] (juce::Component& c)
    {
        const auto now = juce::Time::getCurrentTime();
        c.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { 2.0f, 2.0f },
                                       juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier),
                                       juce::MouseInputSource::defaultPressure, 0, 0, 0, 0,
                                       &c, &c, now, { 2.0f, 2.0f }, now, 1, false));
    };

    rightClick (buttons());
    rightClick (mixer());

    ASSERT_EQ (dialogs.getRequests().size(), 2u);

    for (auto& r : dialogs.getRequests())
    {
        EXPECT_EQ (r.kind, ScriptedDialogs::Request::Kind::menu);
        EXPECT_EQ (r.box.buttons, (juce::StringArray { "Reset to defaults", "Remove this DAW", "Clear current button" }));
    }
}

TEST_F (SectionsTest, ResetToDefaultsResetsTheWholeStoreAndMarksEverySlotThatRunsADaw)
{
    // The case begins with the Z9-M alone; the reset builds the whole default
    // store, every model of it.
    setSlotDaw (1, 2);
    setSlotDaw (3, 7);
    showPage();
    currentSlotIndex = 0;
    const auto defaultName = host().getStore().getControl (9, 2, 1).getProperty (Ids::name).toString();
    host().getStore().getControl (9, 2, 1).setProperty (Ids::name, "Edited", nullptr);
    setFunc (5, "Edited too");

    ScriptedDialogs dialogs;
    dialogs.answerMenu (MainComp::resetToDefaultsItem);
    page->showContextMenu();

    EXPECT_EQ (host().getTree().getNumChildren(), numProducts);
    EXPECT_EQ (host().getStore().getControl (9, 2, 1).getProperty (Ids::name).toString(), defaultName);
    EXPECT_NE (ctl (5).getProperty (Ids::name).toString(), "Edited too");

    EXPECT_TRUE (slotDirty[0]);
    EXPECT_FALSE (slotDirty[1]);   // no DAW there
    EXPECT_TRUE (slotDirty[2]);

    for (int m = 1; m <= numProducts; ++m)
        EXPECT_EQ ((int) host().getStore().getSlot (3, m).getProperty (Ids::current), 7) << m;
}

TEST_F (SectionsTest, RemoveThisDawEmptiesTheSlotInEveryModelForTheZ9M)
{
    setSlotDaw (2, 4);
    currentSlotIndex = 1;
    showPage();
    slotFingerprints[0][1] = 1234;
    slotDirty[1] = true;

    ScriptedDialogs dialogs;
    dialogs.answerMenu (MainComp::removeThisDawItem);
    page->showContextMenu();

    EXPECT_EQ (slotDawIds[1], 0);
    EXPECT_EQ (slotFingerprints[0][1], 0);
    EXPECT_FALSE (slotDirty[1]);

    for (int p = 1; p <= numProducts; ++p)
        EXPECT_EQ ((int) host().getStore().getSlot (2, p).getProperty (Ids::current), 0) << p;

    EXPECT_EQ (mixer().getSlotButton (1).getButtonText(), "2");
}

TEST_F (SectionsTest, RemoveThisDawOnAnXModelClearsOnlyTheFingerprintAndTheDirtyFlag)
{
    keepFirstModels (2);   // the Z9-X
    setSlotDaw (1, 4);
    currentProductId = 2056;
    showPage();
    slotFingerprints[1][0] = 99;
    slotDirty[0] = true;

    ScriptedDialogs dialogs;
    dialogs.answerMenu (MainComp::removeThisDawItem);
    page->showContextMenu();

    EXPECT_EQ (slotDawIds[0], 4);
    EXPECT_EQ ((int) host().getStore().getSlot (1, 2).getProperty (Ids::current), 4);
    EXPECT_EQ (slotFingerprints[1][0], 0);
    EXPECT_FALSE (slotDirty[0]);
}

TEST_F (SectionsTest, ClearCurrentButtonClearsTheControlOrItsColumnsSource)
{
    setSlotDaw (1, 2);
    setFunc (5, "Source");
    setFunc (21, "Own");
    setFunc (7, "Plain");
    ctl (21).setProperty (Ids::lockBy, 5, nullptr);
    ctl (5).setProperty (Ids::lockBy, 5, nullptr);
    showPage();

    ScriptedDialogs dialogs;
    dialogs.answerMenu (MainComp::clearCurrentButtonItem).answerMenu (MainComp::clearCurrentButtonItem)
           .answerMenu (MainComp::clearCurrentButtonItem);

    page->showContextMenu();   // no selection: nothing
    EXPECT_FALSE (slotDirty[0]);

    selectName (7);
    page->showContextMenu();
    EXPECT_EQ (ctl (7).getProperty (Ids::valueType).toString(), "null");
    EXPECT_EQ (buttons().getButton (7).getButtonText(), juce::String());
    EXPECT_TRUE (slotDirty[0]);

    // control 21 shows and sends control 5's assignment: that one is cleared
    slotDirty[0] = false;
    selectName (21);
    EXPECT_EQ (buttons().getButton (21).getButtonText(), "Source");
    page->showContextMenu();
    EXPECT_EQ (ctl (5).getProperty (Ids::valueType).toString(), "null");
    EXPECT_EQ (buttons().getButton (21).getButtonText(), juce::String());
    EXPECT_EQ (buttons().getButton (5).getButtonText(), juce::String());
    EXPECT_EQ ((int) ctl (21).getProperty (Ids::lockBy), 5);
    EXPECT_TRUE (slotDirty[0]);
}

TEST_F (SectionsTest, ClearCurrentButtonLeavesAHuiKeyAlone)
{
    setSlotDaw (1, huiDawId);
    showPage();
    const auto before = ctl (2).createCopy();

    ScriptedDialogs dialogs;
    dialogs.answerMenu (MainComp::clearCurrentButtonItem);
    selectName (2);
    page->showContextMenu();

    EXPECT_TRUE (ctl (2).isEquivalentTo (before));
    EXPECT_FALSE (slotDirty[0]);
}

//==============================================================================
TEST_F (SectionsTest, ASlotClickChangesTheSlotBeingEditedWithoutMarkingIt)
{
    setSlotDaw (1, 2);
    setSlotDaw (3, 6);
    showPage();
    EXPECT_EQ (mixer().getSlotButton (0).getButtonText(), getDawDisplayName (2));
    EXPECT_EQ (mixer().getSlotButton (1).getButtonText(), "2");

    mixer().getSlotButton (2).triggerClick();
    z9test::drainMessageLoop();

    EXPECT_EQ (currentSlotIndex, 2);
    EXPECT_EQ ((int) host().getStore().getModel (-1).getProperty (Ids::current), 2);
    EXPECT_EQ (mixer().getCurrentSlotButton(), &mixer().getSlotButton (2));
    EXPECT_TRUE (mixer().getSlotButton (2).getToggleState());
    EXPECT_FALSE (mixer().getSlotButton (0).getToggleState());
    EXPECT_EQ (host().getStore().getCurrentDaw().get(), 6);
    EXPECT_FALSE (slotDirty[0] || slotDirty[1] || slotDirty[2]);
    snapshot (mixer());
}

TEST_F (SectionsTest, AColourClickSwitchesOneLedBitOfTheCurrentSlot)
{
    setSlotDaw (2, 3);
    currentSlotIndex = 1;
    showPage();
    auto& m = mixer();
    EXPECT_FALSE (m.getColourButton (0).getToggleState());
    EXPECT_TRUE (m.getColourButton (1).getToggleState());

    m.getColourButton (1).triggerClick();   // its own bit cannot change
    z9test::drainMessageLoop();
    EXPECT_EQ (slotColourTable[1][1], 1);
    EXPECT_FALSE (slotDirty[1]);

    m.getColourButton (0).triggerClick();
    z9test::drainMessageLoop();
    EXPECT_EQ (slotColourTable[1][0], 1);
    EXPECT_EQ ((int) host().getStore().getSlot (2, 1).getProperty (Ids::daw1), 1);
    EXPECT_TRUE (m.getColourButton (0).getToggleState());
    EXPECT_TRUE (slotDirty[1]);

    // a slot without a DAW keeps the change but is not marked
    setSlotDaw (2, 0);
    slotDirty[1] = false;
    m.getColourButton (2).triggerClick();
    z9test::drainMessageLoop();
    EXPECT_EQ (slotColourTable[1][2], 1);
    EXPECT_EQ ((int) host().getStore().getSlot (2, 1).getProperty (Ids::daw3), 1);
    EXPECT_FALSE (slotDirty[1]);
}

TEST_F (SectionsTest, TheSlotColoursSurviveARestartAndFollowALoadedMapping)
{
    setSlotDaw (1, 2);
    showPage();
    mixer().getColourButton (2).triggerClick();
    z9test::drainMessageLoop();
    ASSERT_EQ (slotColourTable[0][2], 1);
    const auto file = folder.get().getChildFile ("colours.ostrik");
    ASSERT_TRUE (host().saveMappingFile (file).wasOk());

    page.reset();   // saves the settings
    stopSyncCore();
    restartProgram();
    ASSERT_EQ (slotColourTable[0][2], 0);

    showPage();
    EXPECT_EQ (slotColourTable[0][2], 1);
    EXPECT_TRUE (mixer().getColourButton (2).getToggleState());

    // a loaded mapping brings its own colours
    mixer().getColourButton (2).triggerClick();
    z9test::drainMessageLoop();
    ASSERT_EQ (slotColourTable[0][2], 0);

    ScriptedDialogs dialogs;
    dialogs.answerFile (file);
    page->buttonClicked (&page->getLoadFileButton());
    EXPECT_EQ (slotColourTable[0][2], 1);
    EXPECT_TRUE (mixer().getColourButton (2).getToggleState());
}

TEST_F (SectionsTest, MasterMakesTheEighthStripStandForTheMasterControls)
{
    setSlotDaw (1, 2);
    showPage();
    auto& chooser = mixer().getFaderModeChooser();
    EXPECT_TRUE (chooser.isVisible());

    chooser.setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (mixer().getFaderButton (7).getControlId(), 144);
    EXPECT_EQ (mixer().getFaderRowButton (7).getControlId(), 135);
    EXPECT_EQ (mixer().getFaderButton (6).getControlId(), 142);

    chooser.setSelectedId (1, juce::sendNotificationSync);
    EXPECT_EQ (mixer().getFaderButton (7).getControlId(), 143);
    EXPECT_EQ (mixer().getFaderRowButton (7).getControlId(), 134);

    // hidden, and back to Fader8, for an X model or the HUI DAW
    chooser.setSelectedId (2, juce::sendNotificationSync);
    chooseModel (2056);
    EXPECT_FALSE (chooser.isVisible());
    EXPECT_TRUE (z9test::waitUntil ([&] { return mixer().getFaderButton (7).getControlId() == 143; }));
}

//==============================================================================
TEST_F (SectionsTest, TheSavedMappingArrivesAtASurfaceAndAnEditFollowsOnTheNextTick)
{
    // a first run leaves a mapping in the settings
    setSlotDaw (1, 2);
    showPage();
    page.reset();
    stopSyncCore();
    restartProgram();

    // the next run starts with a surface attached
    z9test::SimulatedSurface unit (ports, productZ9M);
    showPage();
    ASSERT_NE (theSyncTimer, nullptr);
    EXPECT_EQ (slotDawIds[0], 2);
    EXPECT_TRUE (slotDirty[0]);

    tick();
    EXPECT_EQ (unit.getImageDawId (0), 2);
    EXPECT_EQ (unit.getImage (0), juce::MemoryBlock (wireImages[0][0], wireImageSize));

    // an edit in the section: a drag between two name buttons
    setFunc (5, "Five");
    setFunc (6, "Six");
    page->getOuterTabs().setCurrentTabIndex (1);
    dragOnto (buttons().getButton (5), buttons().getButton (6));
    ASSERT_TRUE (slotDirty[0]);
    unit.clearRecords();

    tick();
    EXPECT_FALSE (slotDirty[0]);
    EXPECT_TRUE (unit.hasImageChunk (0, 1));
    EXPECT_EQ (unit.getImage (0), juce::MemoryBlock (wireImages[0][0], wireImageSize));
    EXPECT_TRUE (unit.getLabels (0).joinIntoString ("|").contains ("Six")) << unit.getLabels (0).joinIntoString ("|");
}
