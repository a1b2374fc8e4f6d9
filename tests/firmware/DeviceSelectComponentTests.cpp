#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/DeviceSelectComponent.h"
#include "firmware/UpgraderPorts.h"

using namespace vorlix;
using z9test::midiBootloaderProduct;
using NsZ9m::Dialogs;

namespace
{
    /** The chooser in its (never run) dialog window, as the steps show it. */
    struct Chooser
    {
        Chooser (int productId, const juce::String& nameFilter)
        {
            juce::DialogWindow::LaunchOptions options;
            options.dialogTitle = "Choose Your Vorlix Device";
            options.content.setOwned (new DeviceSelectComponent (productId, nameFilter));
            options.useNativeTitleBar = true;
            options.resizable = false;
            window = std::make_unique<UpgraderDialogWindow> (options, false);
            component = dynamic_cast<DeviceSelectComponent*> (window->getContentComponent());
        }

        /** Every chooser a test builds leaves a picture of how it ended. */
        ~Chooser()
        {
            if (window != nullptr)
                z9test::writeSnapshot (*window);
        }

        DeviceSelectComponent* operator->() const   { return component; }

        std::unique_ptr<UpgraderDialogWindow> window;
        DeviceSelectComponent* component = nullptr;
    };

    const juce::String upgradeFilter (upgradeModePortText);
}

class UnitChooser : public z9test::FirmwareFixture {};

TEST_F (UnitChooser, LayoutAndItems)
{
    ports.addOutput ("Microsoft GS Wavetable Synth");
    ports.addOutput ("Z9-M MIDI");
    ports.addOutput ("Vorlix firmware upgrade (Pad16)");

    DeviceSelectComponent chooser (2055, {});

    EXPECT_EQ (chooser.getName(), "DeviceSelectComponent");
    EXPECT_EQ (chooser.getWidth(), 300);
    EXPECT_EQ (chooser.getHeight(), 200);
    EXPECT_EQ (chooser.getUnitList().getBounds(), juce::Rectangle<int> (8, 76, 284, 24));
    EXPECT_EQ (chooser.getOkButton().getBounds(), juce::Rectangle<int> (90, 160, 100, 30));
    EXPECT_EQ (chooser.getCancelButton().getBounds(), juce::Rectangle<int> (190, 160, 100, 30));
    EXPECT_EQ (chooser.getOkButton().getButtonText(), "OK");
    EXPECT_EQ (chooser.getCancelButton().getButtonText(), "Cancel");

    auto& list = chooser.getUnitList();
    ASSERT_EQ (list.getNumItems(), 2);
    EXPECT_EQ (list.getItemText (0), "Z9-M MIDI");
    EXPECT_EQ (list.getItemText (1), "Vorlix firmware upgrade manager");
    EXPECT_EQ (list.getItemId (1), 2);

    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, StartPreselectsAPortOfTheProduct)
{
    ports.addOutput ("Z9-X1 MIDI");
    ports.addOutput ("Z9-M MIDI");
    ports.addOutput ("Z9-M Ctrl");

    DeviceSelectComponent chooser (2055, {});

    EXPECT_TRUE (chooser.hasPreselection());
    EXPECT_EQ (chooser.getUnitList().getSelectedItemIndex(), 1);
    EXPECT_EQ (chooser.selectedName, "Z9-M MIDI");
    EXPECT_TRUE (dialogs.getRequests().empty());
    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, StartTakesTheFirstItemWhenUnitsAreInUpgradeModeOrNoneOfTheProductIsThere)
{
    ports.addOutput ("Z9-X1 MIDI");
    ports.addOutput ("Z9-M MIDI");

    {
        DeviceSelectComponent chooser (2069, {});   // no Z9-X4 at all: the first item, no warning
        EXPECT_TRUE (chooser.hasPreselection());
        EXPECT_EQ (chooser.selectedName, "Z9-X1 MIDI");
    }

    ports.addOutput ("Vorlix firmware upgrade (Pad16)");
    DeviceSelectComponent chooser (2055, {});      // units in upgrade mode: the first item
    EXPECT_EQ (chooser.selectedName, "Z9-X1 MIDI");
    EXPECT_TRUE (dialogs.getRequests().empty());
    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, StartWarnsWhenTheProductsPortCannotBeListed)
{
    ports.addOutput ("Other Device");
    ports.addOutput ("Microsoft Z9-M");   // the product's only port is one the list leaves out
    dialogs.answerBox (0);

    DeviceSelectComponent chooser (2055, {});

    EXPECT_FALSE (chooser.hasPreselection());
    EXPECT_EQ (chooser.selectedName, "Other Device");
    ASSERT_EQ (dialogs.getRequests().size(), 1u);
    EXPECT_EQ (dialogs.getRequests()[0].box.icon, Dialogs::Icon::none);
    EXPECT_EQ (dialogs.getRequests()[0].box.title, juce::String());
    EXPECT_EQ (dialogs.getRequests()[0].box.message, "Warning: Cannot find target unit!");
    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, ActivatePreselectsTheOneUnitInUpgradeMode)
{
    ports.addOutput ("Z9-M MIDI");
    ports.addOutput ("Vorlix firmware upgrade (Pad16)");

    DeviceSelectComponent chooser (midiBootloaderProduct, upgradeFilter);

    EXPECT_TRUE (chooser.hasPreselection());
    EXPECT_EQ (chooser.selectedName, "Vorlix firmware upgrade manager");
    EXPECT_EQ (resolvePortDisplayName (chooser.selectedName), "Vorlix firmware upgrade (Pad16)");
    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, ActivateWarnsWithNoneOrTwoUnitsInUpgradeMode)
{
    ports.addOutput ("Z9-M MIDI");
    dialogs.answerBox (0).answerBox (0);

    {
        DeviceSelectComponent chooser (midiBootloaderProduct, upgradeFilter);
        EXPECT_FALSE (chooser.hasPreselection());
        EXPECT_EQ (chooser.selectedName, "Z9-M MIDI");
    }

    ports.addOutput ("Vorlix firmware upgrade (Pad16)");
    ports.addOutput ("Vorlix firmware upgrade (Pad32)");

    DeviceSelectComponent chooser (midiBootloaderProduct, upgradeFilter);
    EXPECT_FALSE (chooser.hasPreselection());
    EXPECT_EQ (chooser.getUnitList().getSelectedItemIndex(), 0);

    EXPECT_EQ (dialogs.getMessages(), juce::StringArray ({ "Warning: Cannot find target unit!", "Warning: Cannot find target unit!" }));
    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, AUnitThatAppearsDuringTheTriesIsFound)
{
    ports.addOutput ("Z9-M MIDI");
    juce::MessageManager::callAsync ([this] { ports.addOutput ("Vorlix firmware upgrade (Pad16)"); });   // during the first pause

    DeviceSelectComponent chooser (midiBootloaderProduct, upgradeFilter);

    // The list was read before the unit came; its position in the ports found now.
    EXPECT_TRUE (chooser.hasPreselection());
    EXPECT_TRUE (dialogs.getRequests().empty());
    z9test::writeSnapshot (chooser);
}

TEST_F (UnitChooser, UnderAutomaticSteppingAFoundUnitIsConfirmedWithoutTheUser)
{
    ports.addOutput ("Vorlix firmware upgrade (Pad16)");
    upgraderState().automaticStepping = true;

    Chooser chooser (midiBootloaderProduct, upgradeFilter);
    EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, {}), 1);
}

TEST_F (UnitChooser, OkOnAUnitTheStepCannotTakeKeepsTheDialogOpen)
{
    ports.addOutput ("Z9-M MIDI");
    ports.addOutput ("Vorlix firmware upgrade (Pad16)");
    ports.addOutput ("Vorlix firmware upgrade (Pad32)");
    dialogs.answerBox (0);   // two units in upgrade mode: the warning

    Chooser chooser (midiBootloaderProduct, upgradeFilter);
    auto& list = chooser->getUnitList();
    ASSERT_EQ (list.getText(), "Z9-M MIDI");

    EXPECT_TRUE (z9test::staysModalAfter (*chooser.window, [&] { chooser->confirmSelection(); }));

    list.setSelectedItemIndex (1, juce::sendNotificationSync);
    EXPECT_EQ (chooser->selectedIndex, 1);
    EXPECT_EQ (chooser->selectedName, "Vorlix firmware upgrade manager");

    EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, [&] { chooser->getOkButton().triggerClick(); }), 1);
}

TEST_F (UnitChooser, StartConfirmsWhatItsFilterLists)
{
    ports.addOutput ("MIDIOUT2 (Z9-X1)");
    ports.addOutput ("Z9X1");
    upgraderState().toolFamily = true;

    Chooser chooser (2056, {});
    ASSERT_EQ (chooser->selectedName, "MIDIOUT2 (Z9-X1)");
    EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, [&] { chooser->confirmSelection(); }), 1);

    chooser->getUnitList().setSelectedItemIndex (1, juce::sendNotificationSync);   // a one-word name
    EXPECT_TRUE (z9test::staysModalAfter (*chooser.window, [&] { chooser->confirmSelection(); }));

    upgraderState().service = true;   // the plain filter takes any port
    EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, [&] { chooser->confirmSelection(); }), 1);
}

TEST_F (UnitChooser, CancelEndsTheDialogWithZero)
{
    ports.addOutput ("Z9-M MIDI");

    Chooser chooser (2055, {});
    EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, [&] { chooser->getCancelButton().triggerClick(); }), 0);
}

TEST_F (UnitChooser, TheChooserDialogReturnsTheChoice)
{
    ports.addOutput ("Z9-M MIDI");
    ports.addOutput ("Z9-X1 MIDI");
    z9test::ScriptedDialogRunner runner;

    runner.drive = [] (UpgraderDialogWindow& window)
    {
        auto* chooser = dynamic_cast<DeviceSelectComponent*> (window.getContentComponent());
        EXPECT_NE (chooser, nullptr);
        chooser->getUnitList().setSelectedItemIndex (1, juce::sendNotificationSync);
        z9test::writeSnapshot (window);
        return z9test::runUntilDismissed (window, [chooser] { chooser->getOkButton().triggerClick(); });
    };

    auto choice = DeviceSelectComponent::runChooserDialog (2055, {}, nullptr);
    EXPECT_TRUE (choice.confirmed);
    EXPECT_EQ (choice.selectedName, "Z9-X1 MIDI");

    runner.drive = [] (UpgraderDialogWindow& window)   // Escape closes this dialog
    {
        return z9test::runUntilDismissed (window, [&window]
        {
            static_cast<juce::Component&> (window).keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        });
    };

    choice = DeviceSelectComponent::runChooserDialog (2055, {}, nullptr);
    EXPECT_FALSE (choice.confirmed);
    EXPECT_EQ (choice.selectedName, "Z9-M MIDI");
    EXPECT_EQ (runner.titles, juce::StringArray ({ "Choose Your Vorlix Device", "Choose Your Vorlix Device" }));
}

TEST_F (UnitChooser, UnderAutomaticSteppingTheDialogConfirmsByItself)
{
    ports.addOutput ("Z9-M MIDI");
    upgraderState().automaticStepping = true;
    z9test::ScriptedDialogRunner runner;
    runner.drive = [] (UpgraderDialogWindow& window) { return z9test::runUntilDismissed (window, {}); };

    const auto choice = DeviceSelectComponent::runChooserDialog (2055, {}, nullptr);
    EXPECT_TRUE (choice.confirmed);
    EXPECT_EQ (choice.selectedName, "Z9-M MIDI");
}
