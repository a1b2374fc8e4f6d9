#include "editor/EditorForwarders.h"
#include "editor/MappableButton.h"
#include "core/sync/ProcessState.h"
#include "tests/support/CoreFixture.h"

using namespace NsZ9m;

namespace
{
    class EditorForwardersTest : public z9test::CoreFixture {};

    struct RecordingPage : public EditorPage
    {
        void refreshAll() override                                   { calls.add ("refresh"); }
        void rebuildFromStore() override                             { calls.add ("rebuild"); }
        void showContextMenu() override                              { calls.add ("menu"); }
        void showButtonAssignment (MappableButton& b, juce::ComboBox& c) override
        {
            calls.add ("assignment " + b.getButtonText() + " " + c.getName());
        }
        void setFunctionButtonEnabled (const juce::String& t, bool e) override
        {
            calls.add ("enable " + t + (e ? " on" : " off"));
        }

        juce::StringArray calls;
    };

    void callEveryForwarder()
    {
        refreshMainComp();
        rebuildMainComp();
        rebuildMainCompFromMixer();
        rebuildMainCompFromFuncPage();
        showMainContextMenu();
        showMainContextMenuFromButtons();
        setMainFunctionButtonEnabledFromHotkeys ("Save", true);
        setMainFunctionButtonEnabledFromMidi ("Pan", false);
        setMainFunctionButtonEnabledFromMidi ({}, true);
        MappableButton button ("K1");
        juce::ComboBox chooser ("chooser");
        showAssignmentInMainComp (button, chooser);
    }
}

TEST_F (EditorForwardersTest, ForwardersReachTheRegisteredPageOnly)
{
    callEveryForwarder();   // no page: nothing happens, nothing crashes

    RecordingPage page;
    theMainComp = &page;
    callEveryForwarder();
    theMainComp = nullptr;
    callEveryForwarder();

    EXPECT_EQ (page.calls, juce::StringArray ({ "refresh", "rebuild", "rebuild", "rebuild", "menu", "menu",
                                                "enable Save on", "enable Pan off", "assignment K1 chooser" }));
}
