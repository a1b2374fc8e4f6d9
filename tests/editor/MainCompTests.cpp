#include "tests/editor/EditorFixture.h"
#include "editor/EditorState.h"
#include "editor/MappableButton.h"
#include "core/model/ControlNumbers.h"
#include "core/model/DawId.h"
#include "core/sync/SyncTimer.h"
#include "core/base/PlatformHelpers.h"
#include "tests/support/SimulatedSurface.h"
#include <gtest/gtest.h>

using namespace NsZ9m;
using z9test::ScriptedDialogs;

namespace
{
    class MainCompTest : public z9test::EditorFixture
    {
    protected:
        /** A control button of a section, as the page's sections make them. */
        std::unique_ptr<MappableButton> controlButton (int controlId)
        {
            auto b = std::make_unique<MappableButton>();
            b->setRole (MappableButton::controlRole);
            b->setControlId (controlId);
            return b;
        }

        void select (MappableButton& b)   { page->buttonClicked (&b); }

        int lockByOf (int control)
        {
            return host().getStore().getControlOfCurrentSlot (control).getProperty (Ids::lockBy, 0);
        }

        juce::Colour innerTabColour (int index)
        {
            return page->getInnerTabs().getTabbedButtonBar().getTabBackgroundColour (index);
        }
    };

    const juce::Colour cadetblue (0xff5f9ea0), skyblue (0xff87ceeb), orange (0xffffa500);
}

//==============================================================================
TEST_F (MainCompTest, TheModelChooserOffersTheEightModelsAndShowsTheCurrentOne)
{
    preferSourceAssets();
    auto& p = showPage();
    auto& combo = p.getModelCombo();

    ASSERT_EQ (combo.getNumItems(), 8);
    const juce::StringArray expected { "Z9-M", "Z9-X", "Z9-X2", "Z9-X3", "Z9-X4", "Z9-X5", "Z9-X6", "Z9-X7" };

    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (combo.getItemText (i), expected[i]);
        EXPECT_EQ (combo.getItemId (i), i + 1);
    }

    EXPECT_EQ (combo.getSelectedId(), 1);
    EXPECT_EQ ((int) host().getTree().getProperty (Ids::current), 1);
    snapshot (*window);
}

TEST_F (MainCompTest, AnEarlierPagesModelSurvivesAndAnUnsupportedOneFallsBackToTheZ9M)
{
    currentProductId = 2069;
    showPage();
    EXPECT_EQ (page->getModelCombo().getSelectedId(), productIndexOf (2069) + 1);

    page.reset();
    currentProductId = productFurtherM;
    showPage();
    EXPECT_EQ (currentProductId, productZ9M);
    EXPECT_EQ (page->getModelCombo().getSelectedId(), 1);
}

TEST_F (MainCompTest, TabsHaveTheirNamesAndColours)
{
    showPage();

    EXPECT_EQ (outerTabNames(), (juce::StringArray { "GENERAL SETTINGS", "BUTTON FUNCTIONS" }));
    auto& outerBar = page->getOuterTabs().getTabbedButtonBar();
    EXPECT_EQ (outerBar.getTabBackgroundColour (0), skyblue);
    EXPECT_EQ (outerBar.getTabBackgroundColour (1), orange);
    EXPECT_EQ (outerBar.getCurrentTabIndex(), 0);
    EXPECT_EQ (page->getOuterTabs().getTabBarDepth(), 27);

    EXPECT_EQ (innerTabNames(), (juce::StringArray { "FUNCTION", "HOTKEY", "MIDI" }));
    EXPECT_EQ (page->getInnerTabs().getTabBarDepth(), 27);

    // only the current inner tab is skyblue; the one before goes back to cadetblue
    EXPECT_EQ (page->getInnerTabs().getCurrentTabIndex(), 0);
    EXPECT_EQ (innerTabColour (0), skyblue);
    EXPECT_EQ (innerTabColour (1), cadetblue);
    EXPECT_EQ (innerTabColour (2), cadetblue);

    page->getInnerTabs().setCurrentTabIndex (2);
    EXPECT_EQ (innerTabColour (0), cadetblue);
    EXPECT_EQ (innerTabColour (1), cadetblue);
    EXPECT_EQ (innerTabColour (2), skyblue);
    snapshot (*page);
}

TEST_F (MainCompTest, AnXModelKeepsOnlyGeneralSettingsAndTheZ9MGetsButtonFunctionsBack)
{
    showPage();
    auto& outer = page->getOuterTabs();

    outer.setCurrentTabIndex (1);
    chooseModel (2056);
    EXPECT_EQ (currentProductId, 2056);
    EXPECT_EQ (outerTabNames(), juce::StringArray { "GENERAL SETTINGS" });
    EXPECT_EQ (outer.getCurrentTabIndex(), 0);
    EXPECT_EQ (outer.getCurrentContentComponent(), outer.getTabContentComponent (0));
    EXPECT_EQ ((int) host().getTree().getProperty (Ids::current), 2);
    snapshot (*page, "x");

    chooseModel (2072);
    EXPECT_EQ (outerTabNames(), juce::StringArray { "GENERAL SETTINGS" });
    EXPECT_EQ ((int) host().getTree().getProperty (Ids::current), 8);

    chooseModel (productZ9M);
    EXPECT_EQ (outerTabNames(), (juce::StringArray { "GENERAL SETTINGS", "BUTTON FUNCTIONS" }));
    EXPECT_EQ (outer.getTabbedButtonBar().getTabBackgroundColour (1), orange);

    outer.setCurrentTabIndex (1);
    EXPECT_EQ (outer.getCurrentContentComponent(), outer.getTabContentComponent (1));
    EXPECT_NE (outer.getTabContentComponent (1), outer.getTabContentComponent (0));
}

TEST_F (MainCompTest, ApplyModelSelectsTheModelWithoutAChangeNotification)
{
    showPage();
    EXPECT_TRUE (page->applyModel (2067));
    EXPECT_EQ (page->getModelCombo().getSelectedId(), productIndexOf (currentProductId) + 1);
    EXPECT_EQ (outerTabNames().size(), 1);
}

//==============================================================================
TEST_F (MainCompTest, TheWindowIsSizedAndTitledOnEveryLayout)
{
    auto& p = showPage();
    window->setSize (1000, 500);
    p.setBounds (0, 0, 850, 720);
    p.resized();

    EXPECT_EQ (window->getWidth(), 850);
    EXPECT_EQ (window->getHeight(), 720);
    EXPECT_EQ (window->getName(), "Z9-M/X Ostrik V1.04 - " + getCpuModelTag());
    EXPECT_EQ (MainComp::getWindowTitle ("intel"), "Z9-M/X Ostrik V1.04 - intel");
    EXPECT_EQ (MainComp::getWindowTitle ({}), "Z9-M/X Ostrik V1.04 - ");
}

TEST_F (MainCompTest, TheLayoutOfAn850By720Page)
{
    auto& p = showPage();
    const auto pictureWidth = z9test::EditorFixture::readPicture (assets.getChildFile ("z9-m.png")).getWidth();
    ASSERT_EQ (pictureWidth, 240);

    // the logo's piece is (850 - 200 - 240) / 2 + 8 = 213 wide; the logo takes 100 of it
    EXPECT_EQ (p.getVorlixLogo().getBounds(), juce::Rectangle<int> (8, 8, 100, 28));
    EXPECT_EQ (p.getProdLogo().getBounds(), juce::Rectangle<int> (221, 8, 240, 40));
    EXPECT_EQ (p.getModelCombo().getBounds(), juce::Rectangle<int> (640, 14, 170, 28));
    EXPECT_EQ (p.getOuterTabs().getBounds(), juce::Rectangle<int> (10, 52, 600, 627));
    EXPECT_EQ (p.getInnerTabs().getBounds(), juce::Rectangle<int> (614, 52, 226, 627));

    EXPECT_EQ (p.getFirmwareButton().getBounds(), juce::Rectangle<int> (12, 685, 154, 23));
    EXPECT_EQ (p.getLockButton().getBounds(), juce::Rectangle<int> (522, 685, 100, 23));
    EXPECT_EQ (p.getSaveFileButton().getBounds(), juce::Rectangle<int> (630, 685, 100, 23));
    EXPECT_EQ (p.getLoadFileButton().getBounds(), juce::Rectangle<int> (738, 685, 100, 23));

    EXPECT_FALSE (p.getLockButton().isVisible());
    EXPECT_TRUE (p.getSaveFileButton().isVisible());
    EXPECT_TRUE (p.getLoadFileButton().isVisible());
    EXPECT_EQ (p.getVorlixLogo().getTooltip(), "About..");
    snapshot (p);
}

TEST_F (MainCompTest, TheZ9MPictureIsScaledToHeight40AndAnXModelShowsItsOwnInTheSameBounds)
{
    z9test::writePng (z9test::drawTestPicture (260, 80, juce::Colours::darkgrey, "Z9-M"), assets.getChildFile ("z9-m.png"));
    showPage();
    const auto bounds = page->getProdLogo().getBounds();
    EXPECT_EQ (bounds.getWidth(), 260);

    auto shown = page->getProdLogo().getImage();
    ASSERT_TRUE (shown.isValid());
    EXPECT_EQ (shown.getHeight(), 40);
    EXPECT_EQ (shown.getWidth(), 130);   // 260 * 40 / 80

    chooseModel (2056);
    shown = page->getProdLogo().getImage();
    ASSERT_TRUE (shown.isValid());
    EXPECT_EQ (shown.getBounds(), juce::Rectangle<int> (0, 0, 120, 40));
    EXPECT_EQ (page->getProdLogo().getBounds(), bounds);
}

TEST_F (MainCompTest, AMissingOrUndecodablePictureShowsNothingAndBreaksNothing)
{
    // undecodable model picture, no X picture, no logo
    assets.getChildFile ("z9-m.png").replaceWithText ("not a picture");
    assets.getChildFile ("z9-x.png").deleteFile();
    assets.getChildFile ("Vorlix Logo.png").deleteFile();

    auto& p = showPage();
    EXPECT_FALSE (p.getProdLogo().getImage().isValid());
    EXPECT_FALSE (p.getVorlixLogo().getImage().isValid());
    EXPECT_EQ (p.getProdLogo().getBounds().getWidth(), 0);
    EXPECT_EQ (p.getVorlixLogo().getBounds(), juce::Rectangle<int> (8, 8, 100, 28));

    chooseModel (2056);
    EXPECT_FALSE (p.getProdLogo().getImage().isValid());
    chooseModel (productZ9M);
    EXPECT_FALSE (p.getProdLogo().getImage().isValid());
    snapshot (p);
}

//==============================================================================
TEST_F (MainCompTest, LockIsShownOnlyWhileANameButtonIsSelected)
{
    setSlotDaw (1, 2);
    showPage();
    auto name = controlButton (5);
    auto knob = controlButton (116);

    EXPECT_FALSE (page->getLockButton().isVisible());

    select (*name);
    EXPECT_TRUE (page->getLockButton().isVisible());
    EXPECT_EQ (page->getLockButton().getButtonText(), "LOCK");
    EXPECT_EQ (currentButton, name.get());
    EXPECT_TRUE (name->getToggleState());

    select (*knob);
    EXPECT_FALSE (page->getLockButton().isVisible());
    EXPECT_FALSE (name->getToggleState());
    EXPECT_TRUE (knob->getToggleState());
}

TEST_F (MainCompTest, LockLinksTheColumnAndUnlockFromAnyMemberUnlinksIt)
{
    setSlotDaw (1, 2);
    showPage();
    auto five = controlButton (5);
    auto thirtySeven = controlButton (37);

    select (*five);
    page->getLockButton().triggerClick();
    z9test::drainMessageLoop();

    for (int id : { 5, 21, 37, 53, 69 })
        EXPECT_EQ (lockByOf (id), 5) << id;

    EXPECT_EQ (lockByOf (6), 0);
    EXPECT_EQ (page->getLockButton().getButtonText(), "UNLOCK");
    EXPECT_TRUE (slotDirty[0]);

    slotDirty[0] = false;
    select (*thirtySeven);
    EXPECT_EQ (page->getLockButton().getButtonText(), "UNLOCK");
    page->buttonClicked (&page->getLockButton());

    for (int id : { 5, 21, 37, 53, 69 })
        EXPECT_EQ (lockByOf (id), 0) << id;

    EXPECT_EQ (page->getLockButton().getButtonText(), "LOCK");
    EXPECT_TRUE (slotDirty[0]);
}

TEST_F (MainCompTest, LockNeverTouchesTheHuiReservedControls)
{
    setSlotDaw (1, huiDawId);
    showPage();

    auto two = controlButton (2);
    select (*two);
    page->buttonClicked (&page->getLockButton());
    EXPECT_EQ (lockByOf (2), 0);
    EXPECT_EQ (lockByOf (18), 0);
    EXPECT_FALSE (slotDirty[0]);

    auto twentySeven = controlButton (27);   // column of 11
    select (*twentySeven);
    page->buttonClicked (&page->getLockButton());

    for (int id : { 27, 43, 59, 75 })
        EXPECT_EQ (lockByOf (id), 27) << id;

    EXPECT_EQ (lockByOf (11), 0);
}

TEST_F (MainCompTest, LockWithoutASelectionDoesNothing)
{
    setSlotDaw (1, 2);
    showPage();
    page->buttonClicked (&page->getLockButton());

    for (int id = 1; id <= 80; ++id)
        ASSERT_EQ (lockByOf (id), 0);

    EXPECT_FALSE (slotDirty[0]);
}

TEST_F (MainCompTest, TheSelectionSetsTheInnerTabsForTheControlKind)
{
    setSlotDaw (1, 2);
    showPage();
    auto knob = controlButton (116);
    auto fader = controlButton (136);
    auto name = controlButton (80);

    auto& inner = page->getInnerTabs();
    auto* hotkeyPage = inner.getTabContentComponent (1);
    auto* midiPage = inner.getTabContentComponent (2);

    select (*knob);
    EXPECT_EQ (innerTabNames(), (juce::StringArray { "FUNCTION", "MIDI" }));
    EXPECT_EQ (inner.getTabContentComponent (1), midiPage);
    select (*fader);
    EXPECT_EQ (innerTabNames(), (juce::StringArray { "FUNCTION", "MIDI" }));

    // back and forth many times: each tab shows its own page, and the tab
    // component keeps no more pages than tabs
    for (int i = 0; i < 5; ++i)
    {
        select (*knob);
        select (*name);
    }

    EXPECT_EQ (innerTabNames(), (juce::StringArray { "FUNCTION", "HOTKEY", "MIDI" }));
    EXPECT_EQ (inner.getTabContentComponent (1), hotkeyPage);
    EXPECT_EQ (inner.getTabContentComponent (2), midiPage);
    EXPECT_EQ (inner.getTabContentComponent (3), nullptr);
    EXPECT_EQ (inner.getTabbedButtonBar().getTabBackgroundColour (2), cadetblue);

    EXPECT_FALSE (page->updateEditorTabs (0));
    EXPECT_FALSE (page->updateEditorTabs (253));
    EXPECT_EQ (innerTabNames().size(), 3);
}

TEST_F (MainCompTest, ASelectionWithoutADawOnlyMovesTheSelectionAndTheTabs)
{
    setSlotDaw (1, 0);
    showPage();
    auto name = controlButton (5);

    select (*name);
    EXPECT_EQ (currentButton, name.get());
    EXPECT_FALSE (page->getLockButton().isVisible());

    auto outside = controlButton (300);
    select (*outside);
    EXPECT_EQ (currentButton, outside.get());
    EXPECT_FALSE (name->getToggleState());
}

//==============================================================================
TEST_F (MainCompTest, SaveFileWritesTheChosenFileAndSaysSo)
{
    showPage();
    ScriptedDialogs dialogs;
    const auto file = folder / "mine.ostrik";
    dialogs.answerFile (file).answerBox (0);

    page->getSaveFileButton().triggerClick();
    z9test::drainMessageLoop();

    ASSERT_EQ (dialogs.getRequests().size(), 2u);
    const auto& chooser = dialogs.getRequests()[0].file;
    EXPECT_TRUE (chooser.forSaving);
    EXPECT_EQ (chooser.title, "Save Mapping");
    EXPECT_EQ (chooser.patterns, "*.ostrik");
    EXPECT_FALSE (chooser.warnAboutOverwriting);

    const auto& box = dialogs.getRequests()[1].box;
    EXPECT_EQ (box.message, "SAVE FILE successfully!");
    EXPECT_EQ (box.title, juce::String());
    EXPECT_EQ (box.icon, Dialogs::Icon::none);
    EXPECT_TRUE (file.existsAsFile());
    EXPECT_TRUE (dialogs.allAnswersUsed());
}

TEST_F (MainCompTest, SaveFileReportsAFailureAndACancelDoesNothing)
{
    showPage();
    ScriptedDialogs dialogs;
    const auto blocker = folder / "blocker";
    blocker.replaceWithText ("a file where a folder should be");
    dialogs.answerFile (blocker.getChildFile ("mine.ostrik")).answerBox (0).answerFile ({});

    page->buttonClicked (&page->getSaveFileButton());
    ASSERT_EQ (dialogs.getMessages().size(), 1);
    EXPECT_TRUE (dialogs.getMessages()[0].startsWith ("Error: ")) << dialogs.getMessages()[0];
    EXPECT_GT (dialogs.getMessages()[0].length(), 7);

    page->buttonClicked (&page->getSaveFileButton());
    EXPECT_EQ (dialogs.getRequests().size(), 3u);
    EXPECT_TRUE (dialogs.allAnswersUsed());
}

TEST_F (MainCompTest, LoadFileReplacesTheStoreMarksEverySlotAndRebuilds)
{
    keepFirstModels (2);   // a second model shows that every model gets the slot's DAW
    setSlotDaw (2, 5);
    const auto file = folder / "saved.ostrik";
    host().getStore().getControl (7, 2, 1).setProperty (Ids::name, "From the file", nullptr);
    ASSERT_TRUE (host().saveMappingFile (file).wasOk());

    showPage();
    setSlotDaw (2, 0);
    host().getStore().getControl (7, 2, 1).setProperty (Ids::name, "Changed", nullptr);

    ScriptedDialogs dialogs;
    dialogs.answerFile (file);
    page->buttonClicked (&page->getLoadFileButton());

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].file.title, "Load Mapping");
    EXPECT_FALSE (dialogs.getRequests()[0].file.forSaving);
    EXPECT_EQ (dialogs.getRequests()[0].file.patterns, "*.ostrik");

    EXPECT_EQ (host().getStore().getControl (7, 2, 1).getProperty (Ids::name).toString(), "From the file");
    EXPECT_EQ (slotDawIds[1], 5);

    ASSERT_EQ (host().getTree().getNumChildren(), 2);

    for (int p = 1; p <= 2; ++p)
        EXPECT_EQ ((int) host().getStore().getSlot (2, p).getProperty (Ids::current), 5) << p;

    EXPECT_TRUE (slotDirty[0] && slotDirty[1] && slotDirty[2]);
}

TEST_F (MainCompTest, LoadFileOfARefusedFileSaysWhyAndChangesNothing)
{
    showPage();
    const auto file = folder / "broken.ostrik";
    file.replaceWithText ("<notAStore/>");
    host().getStore().getControl (7).setProperty (Ids::name, "Kept", nullptr);

    ScriptedDialogs dialogs;
    dialogs.answerFile (file).answerBox (0).answerFile ({});
    page->buttonClicked (&page->getLoadFileButton());

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray { "Error: Could not load mapping data" });
    EXPECT_EQ (host().getStore().getControl (7).getProperty (Ids::name).toString(), "Kept");
    EXPECT_FALSE (slotDirty[0] || slotDirty[1] || slotDirty[2]);

    page->buttonClicked (&page->getLoadFileButton());   // cancelled
    EXPECT_EQ (dialogs.getRequests().size(), 3u);
    EXPECT_TRUE (dialogs.allAnswersUsed());
}

//==============================================================================
TEST_F (MainCompTest, TheNewestPageKeepsTheEditorWhenAnOlderOneGoes)
{
    showPage();
    auto first = std::move (page);
    EXPECT_EQ (theMainComp, first.get());

    auto second = std::unique_ptr<MainComp> (static_cast<MainComp*> (editorPageFactory()));
    EXPECT_EQ (theMainComp, second.get());

    first.reset();
    EXPECT_EQ (theMainComp, second.get());
    EXPECT_TRUE (midiInputEnabled);
    EXPECT_TRUE (commonSettingsFile().existsAsFile() || userSettingsFile().existsAsFile());

    second.reset();
    EXPECT_EQ (theMainComp, nullptr);
    EXPECT_FALSE (midiInputEnabled);
}

TEST_F (MainCompTest, AnEditReachesTheSurfaceAfterTheUserWentToAnotherPageAndBack)
{
    z9test::SimulatedSurface unit (ports, productZ9M);
    setSlotDaw (1, 2);

    for (int round = 0; round < 2; ++round)
    {
        // the page list builds the new page before it lets the old one go
        auto previous = std::move (page);
        showPage();
        previous.reset();

        // ... and "Home" lets the page go with no page after it
        page.reset();
        EXPECT_FALSE (midiInputEnabled);
        showPage();
    }

    ASSERT_TRUE (midiInputEnabled);
    unit.clearRecords();
    host().getStore().getControlOfCurrentSlot (5).setProperty (Ids::name, "After", nullptr);
    slotDirty[0] = true;
    ASSERT_NE (theSyncTimer, nullptr);
    tick();

    for (int k = 1; k <= 9; ++k)
        EXPECT_TRUE (unit.hasImageChunk (0, k)) << k;

    EXPECT_FALSE (slotDirty[0]);
}

TEST_F (MainCompTest, ThePageFillsItselfLightGrey)
{
    auto& p = showPage();
    const auto image = p.createComponentSnapshot ({ 0, 0, 4, 4 }, false);
    EXPECT_EQ (image.getPixelAt (1, 1), juce::Colour (0xffd3d3d3));
}

TEST_F (MainCompTest, CreateMainCompMakesAZ9MPageThatTheCallerOwns)
{
    currentProductId = 0;
    auto made = createMainComp();
    ASSERT_NE (made, nullptr);
    EXPECT_EQ (theMainComp, made.get());
    EXPECT_EQ (currentProductId, productZ9M);
}

TEST_F (MainCompTest, AClickOnTheLogoOpensTheAboutBox)
{
    auto& logo = showPage().getVorlixLogo();
    ScriptedDialogs dialogs;
    dialogs.answerAlertWindow ([] (juce::AlertWindow& w) { return w.getNumButtons() == 1 ? 1 : 0; });

    const auto now = juce::Time::getCurrentTime();
    juce::Component& target = logo;
    target.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { 5.0f, 5.0f }, {},
                                        juce::MouseInputSource::defaultPressure, 0, 0, 0, 0,
                                        &logo, &logo, now, { 5.0f, 5.0f }, now, 1, false));

    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].kind, ScriptedDialogs::Request::Kind::alertWindow);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, "Z9-M/X Ostrik V1.04");
    EXPECT_EQ (dialogs.getRequests()[0].box.buttons, juce::StringArray { "OK" });

    const auto message = VorlixLogo::getAboutMessage();
    EXPECT_TRUE (message.startsWith ("Build 99C, Nov 2 2023\n\n\n\n")) << message;
    EXPECT_TRUE (message.fromLastOccurrenceOf ("\n", false, false).startsWith ("https://"));
    EXPECT_TRUE (dialogs.allAnswersUsed());
}
