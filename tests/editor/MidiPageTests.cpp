#include "tests/editor/EditorFixture.h"
#include "editor/EditorState.h"
#include "editor/MappableButton.h"
#include "editor/MidiPage.h"
#include "core/link/DeviceImage.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/DawId.h"
#include "core/sync/CompiledSlots.h"
#include "tests/support/SimulatedSurface.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

namespace
{
    constexpr int cubase = 2;

    class MidiPageTest : public z9test::EditorFixture
    {
    protected:
        MidiPage& midi()    { return page->getMidiPage(); }
        MappableButton& nameButton (int id)   { return page->getButtonSection().getButton (id); }
        MappableButton& knob (int id)         { return page->getMixerSection().getKnobButton (id - 116); }
        MappableButton& fader (int id)        { return page->getMixerSection().getFaderButton (id - 136); }
        void select (MappableButton& b)       { page->buttonClicked (&b); }
        juce::ValueTree ctl (int id)          { return host().getStore().getControlOfCurrentSlot (id); }

        /** Chooses an item as the user does: the page hears of it at once. */
        static void choose (juce::ComboBox& box, int index)
        {
            box.setSelectedItemIndex (index, juce::sendNotificationSync);
        }

        /** Opens the MIDI tab, wherever the control's tab set puts it. */
        void openMidiTab()
        {
            auto& tabs = page->getInnerTabs();
            tabs.setCurrentTabIndex (tabs.getNumTabs() - 1);
        }

        void setMidi (int id, const char* type, int chan, int value)
        {
            auto n = ctl (id);
            n.setProperty (Ids::valueType, "midi", nullptr);
            n.setProperty (Ids::type, type, nullptr);
            n.setProperty (Ids::chan, chan, nullptr);
            n.setProperty (Ids::msgValue, value, nullptr);
            n.setProperty (Ids::value, value, nullptr);
            n.setProperty (Ids::name, "", nullptr);
        }

        void setHui (int id, int function)
        {
            auto n = ctl (id);
            n.setProperty (Ids::valueType, "hui", nullptr);
            n.setProperty (Ids::value, function, nullptr);
            n.setProperty (Ids::val1, huiAddressTable()[function].zone, nullptr);
            n.setProperty (Ids::val2, huiAddressTable()[function].port, nullptr);
        }

        static int huiFunctionNamed (const juce::String& label)   { return huiButtonLabels().indexOf (label); }

        struct CountingListener : juce::ComboBox::Listener
        {
            void comboBoxChanged (juce::ComboBox*) override   { ++calls; }
            int calls = 0;
        };
    };
}

//==============================================================================
TEST_F (MidiPageTest, ChoosingAMessageOnThePageStoresItAndNamesTheButton)
{
    preferSourceAssets();
    setSlotDaw (1, cubase);
    showPage();
    page->getOuterTabs().setCurrentTabIndex (1);
    select (nameButton (9));
    openMidiTab();

    auto& m = midi();
    EXPECT_EQ (m.getKindCaption().getText(), "Message Type");
    EXPECT_EQ (m.getChannelCaption().getText(), "Channel");
    EXPECT_EQ (m.getValueCaption().getText(), "Message Value");
    ASSERT_EQ (m.getKindBox().getNumItems(), 5);
    EXPECT_EQ (m.getKindBox().getItemText (3), "Pitch Bend");

    // "CC" completes at once on channel 1 ...
    choose (m.getKindBox(), 1);
    EXPECT_EQ (ctl (9)[Ids::valueType].toString(), "midi");
    EXPECT_EQ (ctl (9)[Ids::type].toString(), "cc");
    EXPECT_EQ ((int) ctl (9)[Ids::chan], 1);
    EXPECT_EQ (m.getChannelBox().getSelectedId(), 1);
    EXPECT_EQ (m.getValueBox().getItemText (0), "0) Bank MSB*(GS)");
    EXPECT_TRUE (slotDirty[0]);

    // ... then channel 4 and "7) Volume*(GM)"
    choose (m.getChannelBox(), 3);
    choose (m.getValueBox(), 7);
    EXPECT_EQ ((int) ctl (9)[Ids::chan], 4);
    EXPECT_EQ ((int) ctl (9)[Ids::msgValue], 7);
    EXPECT_EQ (m.getValueBox().getText(), "7) Volume*(GM)");
    EXPECT_EQ (nameButton (9).getButtonText(), "CC 7");
    EXPECT_EQ (m.getNameField().getText(), "CC 7");

    // a typed name stays through the next choice
    m.getNameField().setText ("Volume", juce::sendNotificationSync);
    choose (m.getValueBox(), 11);
    EXPECT_EQ (ctl (9)[Ids::name].toString(), "Volume");
    EXPECT_EQ (nameButton (9).getButtonText(), "Volume");
    EXPECT_EQ ((int) ctl (9)[Ids::msgValue], 11);

    // the rotation row is only for knobs, the name row only for controls 1 to 80
    EXPECT_FALSE (m.getRotationBox().isVisible());
    EXPECT_TRUE (m.getNameField().isVisible());
    snapshot (*page);

    select (knob (118));
    EXPECT_TRUE (m.getRotationBox().isVisible());
    EXPECT_FALSE (m.getNameField().isVisible());
    EXPECT_EQ (m.getRotationBox().getItemText (1), "2) Numerical");
    EXPECT_EQ (m.getRotationBox().getBounds().getY(), 330);

    choose (m.getKindBox(), 0);
    choose (m.getRotationBox(), 1);

    for (int id : { 118, 199, 215, 231, 247 })
    {
        EXPECT_EQ (ctl (id)[Ids::type].toString(), "note") << id;
        EXPECT_EQ ((int) ctl (id)[Ids::rotate], 2) << id;
    }

    EXPECT_EQ (page->getMixerSection().getKnobLabel (2).getText(), "Note " + ctl (118)[Ids::msgValue].toString());
}

TEST_F (MidiPageTest, TheDisplayOfEachKindOfMessage)
{
    setSlotDaw (1, cubase);
    setMidi (20, "note", 3, 60);
    setMidi (21, "program", 2, 5);
    setMidi (22, "pitch", 9, 0);
    setMidi (23, "nil", 1, 4);
    ctl (24).removeProperty (Ids::type, nullptr);
    ctl (24).setProperty (Ids::msgValue, 9, nullptr);
    showPage();
    auto& m = midi();

    struct Case { int id; int kind; int channel; int value; const char* valueText; bool enabled; };
    const Case cases[] = { { 20, 0, 3, 60, "60)  C4", true }, { 21, 2, 2, 5, "5) ---", true },
                           { 22, 3, 9, 0, "0) ---", false }, { 23, 0, 1, 4, "4)  E-1", true },
                           { 24, 0, -1, 9, "9)  A-1", true } };

    for (auto& c : cases)
    {
        select (nameButton (c.id));
        EXPECT_EQ (m.getKindBox().getSelectedItemIndex(), c.kind) << c.id;
        EXPECT_EQ (m.getChannelBox().getSelectedId(), juce::jmax (0, c.channel)) << c.id;
        EXPECT_EQ (m.getValueBox().getNumItems(), 128) << c.id;
        EXPECT_EQ (m.getValueBox().getSelectedItemIndex(), c.value) << c.id;
        EXPECT_EQ (m.getValueBox().getText(), c.valueText) << c.id;
        EXPECT_EQ (m.getValueBox().isEnabled(), c.enabled) << c.id;
    }

    EXPECT_EQ (m.getValueBox().getItemText (0), "0)  C-1");

    // a linked control shows its column's source
    select (nameButton (4));
    page->buttonClicked (&page->getLockButton());
    setMidi (4, "cc", 7, 74);
    select (nameButton (36));
    EXPECT_EQ (m.getKindBox().getSelectedItemIndex(), 1);
    EXPECT_EQ (m.getChannelBox().getSelectedId(), 7);
    EXPECT_EQ (m.getValueBox().getSelectedItemIndex(), 74);
    EXPECT_EQ (m.getNameField().getText(), "");

    // ... and a choice there edits the source, the whole column showing it
    const auto own = ctl (36).createCopy();
    choose (m.getValueBox(), 75);
    EXPECT_EQ ((int) ctl (4)[Ids::msgValue], 75);
    EXPECT_TRUE (ctl (36).isEquivalentTo (own));

    for (int id : { 4, 20, 36, 52, 68 })
        EXPECT_EQ (nameButton (id).getButtonText(), "CC 75") << id;
}

TEST_F (MidiPageTest, TheHuiFunctionsOfFadersAndButtons)
{
    preferSourceAssets();
    setSlotDaw (1, huiDawId);
    setHui (30, huiFunctionNamed ("User B"));
    ctl (31).setProperty (Ids::valueType, "hotkey", nullptr);
    showPage();
    auto& m = midi();
    EXPECT_EQ (m.getKindCaption().getText(), "Function");
    EXPECT_EQ (m.getChannelCaption().getText(), "Value 1");
    EXPECT_EQ (m.getValueCaption().getText(), "Value 2");

    // a fader: nine functions and no zone, port or rotation
    select (fader (138));
    openMidiTab();
    ASSERT_EQ (m.getKindBox().getNumItems(), 9);
    EXPECT_EQ (m.getKindBox().getItemText (0), "0) Volume 1");
    EXPECT_EQ (m.getKindBox().getItemText (8), "8) VolumeM");
    EXPECT_FALSE (m.getChannelBox().isVisible() || m.getValueBox().isVisible() || m.getRotationBox().isVisible());

    choose (m.getKindBox(), 2);
    EXPECT_EQ ((int) ctl (138)[Ids::val1], 32);
    EXPECT_EQ ((int) ctl (138)[Ids::val2], 2);
    EXPECT_EQ ((int) ctl (138)[Ids::value], 2);
    EXPECT_EQ (ctl (138)[Ids::name].toString(), "Volume 3");
    EXPECT_EQ (ctl (138)[Ids::valueType].toString(), "hui");
    EXPECT_EQ (page->getMixerSection().getFaderLabel (2).getText(), "Volume 3");

    // a button on port 0x01 shows that port, not another
    select (nameButton (30));
    ASSERT_EQ (m.getKindBox().getNumItems(), 123);
    EXPECT_EQ (m.getKindBox().getItemText (122), "122) (custom)");
    EXPECT_EQ (m.getKindBox().getText(), juce::String (huiFunctionNamed ("User B")) + ") User B");
    EXPECT_EQ (m.getChannelBox().getText(), "0x1D");
    EXPECT_EQ (m.getValueBox().getText(), "0x01");
    EXPECT_EQ (m.getValueBox().getNumItems(), 11);
    EXPECT_TRUE (m.getChannelBox().isVisible());

    // a hotkey shows no function
    select (nameButton (31));
    EXPECT_EQ (m.getKindBox().getSelectedId(), 0);

    // zone 0x0E and port 0x43 name "Stop"
    select (nameButton (32));
    choose (m.getChannelBox(), 0x0E);
    choose (m.getValueBox(), huiPortIndexOf (0x43));
    EXPECT_EQ (m.getKindBox().getSelectedItemIndex(), huiFunctionNamed ("Stop"));
    EXPECT_EQ (ctl (32)[Ids::name].toString(), "Stop");
    EXPECT_EQ (nameButton (32).getButtonText(), "Stop");

    // a pair of the user's own keeps showing its zone and port
    choose (m.getChannelBox(), 0x1D);
    choose (m.getValueBox(), huiPortIndexOf (0x47));
    EXPECT_EQ (m.getKindBox().getSelectedItemIndex(), huiCustomFunction);
    EXPECT_EQ (m.getNameField().getText(), "#1D47");
    EXPECT_EQ (nameButton (32).getButtonText(), "#1D47");
    EXPECT_EQ (m.getChannelBox().getText(), "0x1D");
    EXPECT_EQ (m.getValueBox().getText(), "0x47");
    EXPECT_EQ ((int) ctl (32)[Ids::value], huiCustomFunction);
    page->getOuterTabs().setCurrentTabIndex (1);
    openMidiTab();
    snapshot (*page);

    // the blank function empties both, and their own handlers follow later
    CountingListener heard;
    m.getValueBox().addListener (&heard);
    choose (m.getKindBox(), 0);
    EXPECT_EQ ((int) ctl (32)[Ids::val1], -1);
    EXPECT_EQ ((int) ctl (32)[Ids::val2], -1);
    EXPECT_EQ ((int) ctl (32)[Ids::value], 0);
    EXPECT_TRUE (z9test::waitUntil ([&] { return heard.calls > 0; }));
    m.getValueBox().removeListener (&heard);
    EXPECT_EQ ((int) ctl (32)[Ids::val2], -1);
    EXPECT_EQ (m.getValueBox().getSelectedId(), 0);
    EXPECT_EQ (m.getKindBox().getSelectedItemIndex(), 0);

    // the HUI DAW's own keys are never changed
    select (nameButton (11));
    const auto before = ctl (11).createCopy();
    choose (m.getKindBox(), 3);
    EXPECT_TRUE (ctl (11).isEquivalentTo (before));
}

//==============================================================================
TEST_F (MidiPageTest, AMessageChosenInTheEditorReachesTheSurfaceOnTheNextTick)
{
    preferSourceAssets();
    z9test::SimulatedSurface unit (ports, productZ9M);
    setSlotDaw (1, cubase);
    showPage();
    ASSERT_NE (theSyncTimer, nullptr);
    theSyncTimer->timerCallback();
    unit.clearRecords();

    // the user selects knob 118, opens "MIDI" and picks CC 74 on channel 3
    knob (118).triggerClick();
    ASSERT_TRUE (z9test::waitUntil ([&] { return currentButton == &knob (118); }));
    openMidiTab();
    auto& m = midi();
    choose (m.getKindBox(), 1);
    choose (m.getChannelBox(), 2);
    choose (m.getValueBox(), 74);
    ASSERT_TRUE (slotDirty[0]);

    theSyncTimer->timerCallback();
    EXPECT_FALSE (slotDirty[0]);

    const auto image = unit.getImage (0);
    ASSERT_EQ ((int) image.getSize(), wireImageSize);

    for (int id : { 118, 199, 215, 231, 247 })
    {
        const auto row = controlRowOf (id);
        const auto* record = deviceImage[0][0][row];
        EXPECT_EQ (record[1], 0xB2) << id;
        EXPECT_EQ (record[2], 74) << id;

        juce::uint8 wire[wireRecordSize];
        makeWireRecord (record, wire);
        EXPECT_EQ (juce::MemoryBlock (wire, wireRecordSize),
                   juce::MemoryBlock (static_cast<const char*> (image.getData()) + row * wireRecordSize, wireRecordSize)) << id;
    }

    snapshot (*page);
}
