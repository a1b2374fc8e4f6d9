#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/FirmwareSelectComponent.h"
#include "firmware/FirmwareCatalogue.h"

using namespace vorlix;

namespace
{
    juce::ValueTree makeFirmwares (std::initializer_list<std::pair<const char*, const char*>> entries)
    {
        juce::ValueTree tree ("firmwares");

        for (auto& [name, version] : entries)
            tree.appendChild (juce::ValueTree ("firmware", { { "pid", 2017 }, { "name", name }, { "version", version },
                                                             { "fw", "pad/pad_fw_" + juce::String (version) + ".bin" } }), nullptr);

        return tree;
    }

    /** The chooser in its (never run) dialog window, as the step shows it. */
    struct Chooser
    {
        Chooser (juce::ValueTree firmwares, int initialIndex, bool confirmByItself = false)
        {
            juce::DialogWindow::LaunchOptions options;
            options.dialogTitle = "Firmware Version";
            options.content.setOwned (new FirmwareSelectComponent (firmwares, initialIndex, confirmByItself));
            options.useNativeTitleBar = true;
            options.resizable = false;
            window = std::make_unique<UpgraderDialogWindow> (options, false);
            component = dynamic_cast<FirmwareSelectComponent*> (window->getContentComponent());
        }

        ~Chooser()   { z9test::writeSnapshot (*window); }

        FirmwareSelectComponent* operator->() const   { return component; }

        std::unique_ptr<UpgraderDialogWindow> window;
        FirmwareSelectComponent* component = nullptr;
    };
}

class FirmwareChooser : public z9test::FirmwareFixture
{
protected:
    FirmwareServer::ScopedBaseAddress base { "http://127.0.0.1:1/fw/" };
};

TEST_F (FirmwareChooser, LayoutItemsAndSelectedUrl)
{
    FirmwareSelectComponent chooser (makeFirmwares ({ { "Pad16", "1.05" }, { "Pad16", "1.06" } }), 1);

    EXPECT_EQ (chooser.getName(), "DeviceSelectComponent");
    EXPECT_EQ (chooser.getEntryList().getBounds(), juce::Rectangle<int> (24, 68, 252, 24));
    EXPECT_EQ (chooser.getOkButton().getBounds(), juce::Rectangle<int> (25, 148, 100, 24));
    EXPECT_EQ (chooser.getCancelButton().getBounds(), juce::Rectangle<int> (175, 148, 100, 24));

    auto& list = chooser.getEntryList();
    ASSERT_EQ (list.getNumItems(), 2);
    EXPECT_EQ (list.getItemText (0), "Pad16 V1.05");
    EXPECT_EQ (list.getItemId (1), 2);
    EXPECT_EQ (list.getText(), "Pad16 V1.06");
    EXPECT_EQ (chooser.getSelectedUrl().toString (false), "http://127.0.0.1:1/fw/pad/pad_fw_1.06.bin");

    z9test::writeSnapshot (chooser);

    // No item within the entries: no address.
    FirmwareSelectComponent empty (juce::ValueTree ("firmwares"), 0);
    EXPECT_TRUE (empty.getSelectedUrl().isEmpty());
    EXPECT_FALSE (empty.getSelectedEntry().isValid());
}

TEST_F (FirmwareChooser, OkAndCancelEndTheDialog)
{
    {
        Chooser chooser (makeFirmwares ({ { "Pad16", "1.06" } }), 0);
        EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, [&] { chooser->getOkButton().triggerClick(); }), 1);
    }
    {
        Chooser chooser (makeFirmwares ({ { "Pad16", "1.06" } }), 0);
        EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, [&] { chooser->getCancelButton().triggerClick(); }), 0);
    }
    {
        // An entry that names the system's own ports is never taken.
        Chooser chooser (makeFirmwares ({ { "Microsoft GS", "1.00" } }), 0);
        EXPECT_TRUE (z9test::staysModalAfter (*chooser.window, [&] { chooser->getOkButton().triggerClick(); }));
    }
}

TEST_F (FirmwareChooser, ConfirmsItselfOnlyWhenAsked)
{
    {
        Chooser chooser (makeFirmwares ({ { "Pad16", "1.06" } }), 0, true);
        EXPECT_EQ (z9test::runUntilDismissed (*chooser.window, {}), 1);
    }
    {
        Chooser chooser (makeFirmwares ({ { "Pad16", "1.05" }, { "Pad16", "1.06" } }), 0, false);
        EXPECT_TRUE (z9test::staysModalAfter (*chooser.window, {}));
    }
}

TEST_F (FirmwareChooser, DialogHandsBackTheChosenEntry)
{
    z9test::ScriptedDialogRunner runner;
    runner.drive = [] (UpgraderDialogWindow& window)
    {
        auto* chooser = dynamic_cast<FirmwareSelectComponent*> (window.getContentComponent());
        chooser->getEntryList().setSelectedItemIndex (1, juce::dontSendNotification);
        return 1;
    };

    const auto choice = FirmwareSelectComponent::runChooserDialog (makeFirmwares ({ { "Pad16", "1.05" }, { "Pad16", "1.06" } }),
                                                                   0, false, nullptr);
    EXPECT_EQ (runner.titles, juce::StringArray ({ "Firmware Version" }));
    ASSERT_TRUE (choice.confirmed);
    EXPECT_EQ (choice.entry["version"].toString(), "1.06");
}
