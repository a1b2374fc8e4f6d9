#include "tests/editor/EditorFixture.h"
#include "editor/EditorState.h"
#include "editor/FuncPage.h"
#include "editor/MappableButton.h"
#include "core/link/DeviceImage.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/DawId.h"
#include "core/model/NameLists.h"
#include "core/sync/CompiledSlots.h"
#include "tests/support/SimulatedSurface.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

namespace
{
    constexpr int cubase = 2;

    class FuncPageTest : public z9test::EditorFixture
    {
    protected:
        FuncPage& funcPage()    { return page->getFuncPage(); }
        FuncLayer& grid()       { return funcPage().getFuncLayer(); }

        /** The knob button of control 116 to 123 in the general settings. */
        MappableButton& knob (int controlId)   { return page->getMixerSection().getKnobButton (controlId - 116); }
        MappableButton& nameButton (int controlId)   { return page->getButtonSection().getButton (controlId); }

        void select (MappableButton& b)   { page->buttonClicked (&b); }

        /** Chooses a DAW in the function page as the user does. */
        void chooseDaw (int dawId)
        {
            funcPage().getDawChooser().setSelectedId (dawId, juce::sendNotificationSync);
        }

        /** The grid's button that shows the function with this code. */
        MappableButton* functionButtonOf (int code)
        {
            for (int i = 0; i < grid().getNumFilled(); ++i)
                if (grid().getFunctionButton (i).getFunctionCode() == code)
                    return &grid().getFunctionButton (i);

            return nullptr;
        }

        int filledCount (int daw)
        {
            int n = 0;
            const auto& table = functionLabelTable (daw);

            for (int v = isNotHuiDaw (daw) ? 0 : 1; v <= (isNotHuiDaw (daw) ? 127 : 121); ++v)
                if (table[v].trim().isNotEmpty())
                    ++n;

            return n;
        }

        juce::ValueTree ctl (int id)   { return host().getStore().getControlOfCurrentSlot (id); }

        /** A code of the DAW's table whose function is none of the transport's. */
        int freeFunctionCode (int daw, int after = 0)
        {
            const auto& table = functionLabelTable (daw);

            for (int v = after + 1; v < 128; ++v)
                if (table[v].trim().isNotEmpty() && ! transportNames().contains (table[v].trim(), true)
                     && ! functionNameList.contains (table[v].trim()))
                    return v;

            return -1;
        }
    };
}

//==============================================================================
TEST_F (FuncPageTest, TheDawChooserOffersTheEighteenDawsAndChoosingOneGivesItToTheSlot)
{
    keepFirstModels (2);   // a second model shows that every model gets the DAW
    showPage();
    auto& chooser = funcPage().getDawChooser();

    ASSERT_EQ (chooser.getNumItems(), 18);
    EXPECT_EQ (chooser.getItemText (0), "1) Bitwig");
    EXPECT_EQ (chooser.getItemText (2), "3) Pro tools");
    EXPECT_EQ (chooser.getItemText (17), "18) luna");

    for (int i = 0; i < 18; ++i)
    {
        EXPECT_EQ (chooser.getItemId (i), i + 1);
        EXPECT_FALSE (chooser.getItemText (i).containsChar ('\n'));
    }

    EXPECT_EQ (chooser.getSelectedId(), 0);   // slot 1 runs no DAW

    // slot index 1 through its slot button, then "3) Pro tools"
    page->getMixerSection().getSlotButton (1).triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([] { return currentSlotIndex == 1; }));
    chooseDaw (huiDawId);

    EXPECT_EQ (slotDawIds[1], huiDawId);

    for (int m = 1; m <= host().getTree().getNumChildren(); ++m)
        EXPECT_EQ ((int) host().getStore().getSlot (2, m).getProperty (Ids::current), huiDawId) << m;

    EXPECT_TRUE (slotDirty[1]);
    EXPECT_FALSE (slotDirty[0] || slotDirty[2]);
    EXPECT_EQ (page->getMixerSection().getSlotButton (1).getButtonText(), "Pro tools");
    EXPECT_EQ (page->getFuncSection().getDawCaption().getText(), "Pro tools");
    EXPECT_EQ (grid().getNumFilled(), 121);

    // the same DAW again changes nothing
    slotDirty[1] = false;
    chooseDaw (huiDawId);
    EXPECT_FALSE (slotDirty[1]);
}

TEST_F (FuncPageTest, TheGridOffersTheDawsFunctionsInTableOrderAndForgetsAnEarlierDaws)
{
    setSlotDaw (1, huiDawId);
    showPage();

    // the HUI DAW: 121 functions, "Stop" first, never "(blank)" nor "(custom)"
    ASSERT_EQ (grid().getNumFilled(), 121);
    EXPECT_EQ (grid().getFunctionButton (0).getButtonText(), "Stop");
    EXPECT_EQ (grid().getFunctionButton (0).getFunctionCode(), 1);
    EXPECT_EQ (grid().getFunctionButton (120).getFunctionCode(), 121);
    EXPECT_EQ (grid().findFunctionButton ("(blank)"), nullptr);
    EXPECT_EQ (grid().findFunctionButton ("(custom)"), nullptr);

    for (int i = 0; i < 121; ++i)
        ASSERT_TRUE (grid().getFunctionButton (i).isVisible()) << i;

    // a DAW with fewer functions: the buttons after its last one are emptied
    chooseDaw (cubase);
    const auto n = filledCount (cubase);
    ASSERT_LT (n, 121);
    EXPECT_EQ (grid().getNumFilled(), n);

    for (int i = 0, v = 0; i < n; ++i, ++v)
    {
        while (functionLabelTable (cubase)[v].trim().isEmpty())
            ++v;

        ASSERT_EQ (grid().getFunctionButton (i).getFunctionCode(), v) << i;
        ASSERT_EQ (grid().getFunctionButton (i).getButtonText(), functionLabelTable (cubase)[v].trim());
    }

    for (int i = n; i < FuncLayer::functionButtonCount; ++i)
    {
        ASSERT_EQ (grid().getFunctionButton (i).getButtonText(), "") << i;
        ASSERT_EQ (grid().getFunctionButton (i).getFunctionCode(), 0) << i;
        ASSERT_FALSE (grid().getFunctionButton (i).isVisible()) << i;
    }

    // ... so selecting a button control shows only this DAW's functions
    select (nameButton (5));
    int visible = 0;

    for (int i = 0; i < FuncLayer::functionButtonCount; ++i)
        visible += grid().getFunctionButton (i).isVisible() ? 1 : 0;

    EXPECT_EQ (visible, n);

    // a knob shows none until the next rebuild
    select (knob (116));
    EXPECT_FALSE (grid().getFunctionButton (0).isVisible());
    page->rebuildFromStore();
    EXPECT_TRUE (grid().getFunctionButton (0).isVisible());

    // no DAW: an empty grid
    page->performContextMenuItem (MainComp::removeThisDawItem);
    EXPECT_EQ (grid().getNumFilled(), 0);
    EXPECT_FALSE (grid().getFunctionButton (0).isVisible());
}

TEST_F (FuncPageTest, AFunctionOnAKnobGoesToTheSameKnobInTheFourOtherBanks)
{
    setSlotDaw (1, cubase);
    showPage();
    select (knob (118));

    const auto code = freeFunctionCode (cubase);
    auto* f = functionButtonOf (code);
    ASSERT_NE (f, nullptr);
    ASSERT_TRUE (f->isEnabled());
    grid().buttonClicked (f);

    for (int id : { 118, 199, 215, 231, 247 })
    {
        EXPECT_EQ (ctl (id)[Ids::valueType].toString(), "func") << id;
        EXPECT_EQ ((int) ctl (id)[Ids::value], code) << id;
        EXPECT_EQ (ctl (id)[Ids::name].toString(), f->getButtonText()) << id;
    }

    EXPECT_TRUE (slotDirty[0]);
    EXPECT_TRUE (f->getToggleState());
    EXPECT_FALSE (f->isEnabled());
    EXPECT_EQ (grid().getSelectedFunctionButton(), f);
    EXPECT_EQ (page->getMixerSection().getKnobLabel (2).getText(), f->getButtonText());

    // another function for the same knob frees the first one
    const auto other = freeFunctionCode (cubase, code);
    auto* g = functionButtonOf (other);
    ASSERT_NE (g, nullptr);
    grid().buttonClicked (g);
    EXPECT_TRUE (f->isEnabled());
    EXPECT_FALSE (f->getToggleState());
    EXPECT_FALSE (g->isEnabled());
    EXPECT_EQ ((int) ctl (247)[Ids::value], other);
    snapshot (*page);
}

TEST_F (FuncPageTest, AFunctionOnALinkedControlGoesToItsLeaderAndTheColumnShowsIt)
{
    setSlotDaw (1, cubase);
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);

    select (nameButton (5));
    page->buttonClicked (&page->getLockButton());
    ASSERT_EQ ((int) ctl (21)[Ids::lockBy], 5);

    select (nameButton (21));
    const auto own = ctl (21).createCopy();
    const auto code = freeFunctionCode (cubase);
    auto* f = functionButtonOf (code);
    ASSERT_NE (f, nullptr);
    grid().buttonClicked (f);

    EXPECT_EQ (ctl (5)[Ids::valueType].toString(), "func");
    EXPECT_EQ ((int) ctl (5)[Ids::value], code);
    EXPECT_TRUE (ctl (21).isEquivalentTo (own));

    for (int id : { 5, 21, 37, 53, 69 })
        EXPECT_EQ (nameButton (id).getButtonText(), f->getButtonText()) << id;
}

TEST_F (FuncPageTest, UsedFunctionsAreGreyedOutAfterARebuildAndAReservedHuiKeyTakesNone)
{
    setSlotDaw (1, cubase);
    showPage();

    const auto code = freeFunctionCode (cubase);
    auto* f = functionButtonOf (code);
    ASSERT_NE (f, nullptr);
    const auto name = f->getButtonText();

    // assigned behind the page's back: the next rebuild sees it in use
    auto node = ctl (40);
    node.setProperty (Ids::valueType, "func", nullptr);
    node.setProperty (Ids::value, code, nullptr);
    node.setProperty (Ids::name, " " + name + " ", nullptr);
    EXPECT_TRUE (f->isEnabled());
    page->rebuildFromStore();
    EXPECT_FALSE (f->isEnabled());

    for (auto& t : transportNames())
        if (auto* b = grid().findFunctionButton (t))
            EXPECT_FALSE (b->isEnabled()) << t;

    // the editor page enables and disables by text
    page->setFunctionButtonEnabled (name.toUpperCase(), true);
    EXPECT_TRUE (f->isEnabled());

    // "Clear current button" frees it
    page->rebuildFromStore();
    select (nameButton (40));
    EXPECT_TRUE (f->getToggleState());
    page->performContextMenuItem (MainComp::clearCurrentButtonItem);
    EXPECT_TRUE (f->isEnabled());

    // the HUI DAW keeps its own keys
    chooseDaw (huiDawId);
    slotDirty[0] = false;
    select (nameButton (2));
    auto& stop = grid().getFunctionButton (0);
    const auto before = ctl (2).createCopy();
    grid().buttonClicked (&stop);
    EXPECT_TRUE (ctl (2).isEquivalentTo (before));
    EXPECT_FALSE (stop.getToggleState());
    EXPECT_FALSE (slotDirty[0]);
}

TEST_F (FuncPageTest, TheButtonFunctionsCaptionNamesTheSlotsDaw)
{
    preferSourceAssets();
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);
    EXPECT_EQ (page->getFuncSection().getDawCaption().getText(), "DAW");

    chooseDaw (cubase);
    EXPECT_EQ (page->getFuncSection().getDawCaption().getText(), "Cubase");
    EXPECT_EQ (page->getFuncSection().getPageTabs().getTabBarDepth(), 0);
    EXPECT_EQ (page->getFuncSection().getPageTabs().getTabNames(), juce::StringArray { "Cubase" });
    EXPECT_TRUE (page->getButtonSection().getWidth() >= 2 * ButtonSection::blockWidth);
    snapshot (*page);
}

TEST_F (FuncPageTest, TheLayoutOfTheFunctionPage)
{
    showPage();
    auto& p = funcPage();
    p.setSize (220, 595);

    // 0.8 of 220 = 176, centred
    EXPECT_EQ (p.getDawCaption().getBounds(), juce::Rectangle<int> (22, 5, 176, 28));
    EXPECT_EQ (p.getDawChooser().getBounds(), juce::Rectangle<int> (22, 33, 176, 28));
    EXPECT_EQ (p.getFunctionCaption().getBounds(), juce::Rectangle<int> (22, 67, 176, 28));
    EXPECT_EQ (p.getPageTabs().getBounds(), juce::Rectangle<int> (0, 95, 220, 500));
    EXPECT_EQ (grid().getWidth(), 210);
    EXPECT_EQ (grid().getHeight(), (int) (500 * 2.7234042));
    EXPECT_EQ (grid().getFunctionButton (4).getBounds(), juce::Rectangle<int> (71, 33, 70, 27));
    EXPECT_EQ (grid().getFunctionButton (127).getBounds(), juce::Rectangle<int> (71, 1263, 70, 27));
}

//==============================================================================
TEST_F (FuncPageTest, AFunctionChosenInTheEditorReachesTheSurfaceOnTheNextTick)
{
    preferSourceAssets();
    z9test::SimulatedSurface unit (ports, productZ9M);
    showPage();
    ASSERT_NE (theSyncTimer, nullptr);

    // the user chooses Cubase for slot 1 on the function page ...
    page->getInnerTabs().setCurrentTabIndex (0);
    auto& chooser = funcPage().getDawChooser();
    int cubaseItem = -1;

    for (int i = 0; i < chooser.getNumItems(); ++i)
        if (chooser.getItemText (i).endsWith (") Cubase"))
            cubaseItem = i;

    ASSERT_GE (cubaseItem, 0);
    chooser.setSelectedItemIndex (cubaseItem, juce::sendNotificationSync);
    ASSERT_EQ (slotDawIds[0], cubase);

    // ... which goes out with the next tick
    theSyncTimer->timerCallback();
    EXPECT_EQ (unit.getImageDawId (0), cubase);
    unit.clearRecords();

    // then selects knob 118 and clicks a function
    knob (118).triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return currentButton == &knob (118); }));
    const auto code = freeFunctionCode (cubase);
    auto* f = functionButtonOf (code);
    ASSERT_NE (f, nullptr);
    f->triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([] { return slotDirty[0]; }));

    theSyncTimer->timerCallback();
    EXPECT_FALSE (slotDirty[0]);

    const auto image = unit.getImage (0);
    ASSERT_EQ ((int) image.getSize(), wireImageSize);

    for (int id : { 118, 199, 215, 231, 247 })
    {
        const auto row = controlRowOf (id);
        const auto* record = deviceImage[0][0][row];
        EXPECT_EQ (record[1], 0x90) << id;
        EXPECT_EQ (record[2], code) << id;
        EXPECT_EQ (record[3], 0x7F) << id;

        juce::uint8 wire[wireRecordSize];
        makeWireRecord (record, wire);
        EXPECT_EQ (juce::MemoryBlock (wire, wireRecordSize),
                   juce::MemoryBlock (static_cast<const char*> (image.getData()) + row * wireRecordSize, wireRecordSize)) << id;
    }

    snapshot (*page);
}
