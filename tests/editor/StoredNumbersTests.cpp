#include "tests/editor/EditorFixture.h"
#include "editor/MappableButton.h"
#include "core/sync/SyncTimer.h"
#include "tests/support/SimulatedSurface.h"
#include <gtest/gtest.h>

using namespace NsZ9m;

// A loaded store may hold any number where the editor reads one. Each case
// puts the lowest int into one kind of stored number, loads the store with
// LOAD FILE, shows it and sends it; under the sanitizers any overflow (the
// slot's DAW minus one was one) fails the case.

namespace
{
    const juce::String lowest ("-2147483648");

    class StoredNumbersTest : public z9test::EditorFixture
    {
    protected:
        /** Every button of the page that shows a control or a slot. */
        std::vector<MappableButton*> mappableButtons()
        {
            std::vector<MappableButton*> found;
            std::function<void (juce::Component&)> visit = [&] (juce::Component& c)
            {
                if (auto* b = dynamic_cast<MappableButton*> (&c))
                    found.push_back (b);

                for (auto* child : c.getChildren())
                    visit (*child);
            };

            visit (*page);
            return found;
        }

        /** Reads every number a button reads, as showing and hovering do. */
        void showEverything()
        {
            for (auto* b : mappableButtons())
            {
                b->refreshText();
                updateControlButton (*b);
                b->getFunctionCode();
            }
        }
    };

    void forEveryControl (juce::ValueTree tree, const std::function<void (juce::ValueTree, int)>& change)
    {
        auto slot = tree.getChild (0).getChild (0);

        for (auto mode : slot)
            for (int i = 0; i < mode.getNumChildren(); ++i)
                change (mode.getChild (i), i);
    }
}

struct StoredNumberCase
{
    const char* what;
    std::function<void (juce::ValueTree)> change;
};

static const StoredNumberCase storedNumberCases[] =
{
    { "the model being edited",  [] (auto t) { t.setProperty (Ids::current, lowest, nullptr); } },
    { "the model's slot",        [] (auto t) { t.getChild (0).setProperty (Ids::current, lowest, nullptr); } },
    { "every slot's DAW",        [] (auto t) { for (auto slot : t.getChild (0)) slot.setProperty (Ids::current, lowest, nullptr); } },
    { "the slot colour flags",   [] (auto t) { for (auto slot : t.getChild (0))
                                                   for (auto* flag : { "daw1", "daw2", "daw3" })
                                                       slot.setProperty (flag, lowest, nullptr); } },
    { "every control's id",      [] (auto t) { forEveryControl (t, [] (auto ctl, int) { ctl.setProperty (Ids::id, lowest, nullptr); }); } },
    { "every control's link",    [] (auto t) { forEveryControl (t, [] (auto ctl, int) { ctl.setProperty (Ids::lockBy, lowest, nullptr); }); } },
    { "every other number of every control", [] (auto t) { forEveryControl (t, [] (auto ctl, int i)
      {
          const char* types[] = { "midi", "hotkey", "mouse", "hui", "func" };
          ctl.setProperty (Ids::valueType, types[i % 5], nullptr);
          ctl.setProperty (Ids::type, i % 2 == 0 ? "cc" : "note", nullptr);

          for (auto* id : { &Ids::chan, &Ids::msgValue, &Ids::value, &Ids::diyNameQ,
                            &Ids::ctrl, &Ids::shift, &Ids::alt, &Ids::cmd,
                            &Ids::ctrl2, &Ids::shift2, &Ids::alt2, &Ids::cmd2,
                            &Ids::ctrl3, &Ids::shift3, &Ids::alt3, &Ids::cmd3 })
              ctl.setProperty (*id, lowest, nullptr);
      }); } },
};

class StoredNumbersEveryCase : public StoredNumbersTest,
                               public ::testing::WithParamInterface<int> {};

TEST_P (StoredNumbersEveryCase, ShowsAndSendsWithoutOverflow)
{
    auto& c = storedNumberCases[GetParam()];
    SCOPED_TRACE (c.what);
    z9test::SimulatedSurface unit (ports, productZ9M);

    // A store whose first slot runs a DAW, with the one change, as a file:
    // every slot keeps only the profiles of the first two DAWs, which keeps
    // the file small (a slot whose DAW has no profile shows and sends
    // nothing, which is checked here too).
    setSlotDaw (1, 2);
    auto tree = host().getTree().createCopy();

    for (auto model : tree)
        for (auto slot : model)
            while (slot.getNumChildren() > 2)
                slot.removeChild (slot.getNumChildren() - 1, nullptr);

    c.change (tree);
    const auto file = folder / "numbers.ostrik";
    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    ASSERT_TRUE (tree.createXml()->writeTo (file, format));

    showPage();
    z9test::ScriptedDialogs dialogs;
    dialogs.answerFile (file);
    page->buttonClicked (&page->getLoadFileButton());
    EXPECT_TRUE (dialogs.getMessages().isEmpty()) << dialogs.getMessages().joinIntoString ("\n");

    showEverything();
    chooseModel (2056);
    chooseModel (productZ9M);
    showEverything();

    for (int control : { 1, 2, 17, 100, 252 })
    {
        MappableButton b;
        b.setRole (MappableButton::controlRole);
        b.setControlId (control);
        page->buttonClicked (&b);
        page->buttonClicked (&page->getLockButton());
        page->buttonClicked (&page->getLockButton());
    }

    // The page's own send, as its timer runs it.
    ASSERT_NE (theSyncTimer, nullptr);
    theSyncTimer->timerCallback();
    EXPECT_FALSE (slotDirty[0] && slotDirty[1] && slotDirty[2]) << "nothing was sent";
}

INSTANTIATE_TEST_SUITE_P (StoredNumbers, StoredNumbersEveryCase,
                          ::testing::Range (0, (int) std::size (storedNumberCases)));
