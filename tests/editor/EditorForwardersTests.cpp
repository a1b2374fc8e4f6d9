#include "editor/EditorForwarders.h"
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
        void showButtonAssignment (MappableButton&, juce::ComboBox&) override { calls.add ("assignment"); }
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
        // the page only passes these on; no mappable button is needed to see that
        alignas (std::max_align_t) static char button[64];
        juce::ComboBox chooser;
        showAssignmentInMainComp (*reinterpret_cast<MappableButton*> (button), chooser);
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
                                                "enable Save on", "enable Pan off", "assignment" }));
}
