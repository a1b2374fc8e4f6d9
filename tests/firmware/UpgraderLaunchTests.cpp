#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/FirmwareUpgrader.h"
#include "core/base/PlatformHelpers.h"

using namespace vorlix;
using NsZ9m::Dialogs;

class FirmwareLaunch : public z9test::FirmwareFixture {};

TEST_F (FirmwareLaunch, TheWarningBoxAndItsAnswers)
{
    dialogs.answerBox (0).answerBox (1).answerBox (-1);

    EXPECT_TRUE (showUpgradeWarning());
    EXPECT_FALSE (showUpgradeWarning());
    EXPECT_FALSE (showUpgradeWarning());   // dismissed

    const auto& box = dialogs.getRequests()[0].box;
    EXPECT_EQ (box.icon, Dialogs::Icon::info);
    EXPECT_EQ (box.title, "Firmware Upgrader about to start");
    EXPECT_EQ (box.buttons, juce::StringArray ({ "OK", "Cancel" }));
    EXPECT_EQ (box.message,
               "\n* IMPORTANT WARNING! *\n\nFAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR DEVICE!!\n\n"
               "- Connect ONLY the device you want to update\n- Make sure the power supply is connected (if any)\n"
               "- Connect device directly to computer (no hub)\n- Do not touch device during firmware update\n"
               "- Do not close command-line window during update");
}

TEST_F (FirmwareLaunch, ADeclinedWarningMakesNothing)
{
    z9test::ScriptedDialogRunner runner;
    dialogs.answerBox (1);
    upgraderState().anyProduct = false;

    EXPECT_EQ (launchFirmwareUpgrader (2055, nullptr, true, true), 0);
    EXPECT_TRUE (runner.titles.isEmpty());
    EXPECT_FALSE (upgraderState().anyProduct);   // no wizard was made
}

TEST_F (FirmwareLaunch, TheWizardRunsInItsModalDialog)
{
    NsZ9m::windowsVersionIndex = 0;
    juce::Component editor;
    editor.setBounds (100, 100, 850, 720);

    z9test::ScriptedDialogRunner runner;
    FirmwareUpgradeComponent* wizard = nullptr;
    bool escapeClosed = true, resizable = true, nativeTitleBar = false;

    runner.drive = [&] (UpgraderDialogWindow& window)
    {
        wizard = dynamic_cast<FirmwareUpgradeComponent*> (window.getContentComponent());
        resizable = window.isResizable();
        nativeTitleBar = window.isUsingNativeTitleBar();

        // Escape goes to the focused wizard first, which passes it on to
        // its window, as the framework delivers keys.
        window.setVisible (true);
        const juce::KeyPress escape (juce::KeyPress::escapeKey);

        if (wizard != nullptr && ! wizard->keyPressed (escape))
            static_cast<juce::Component&> (window).keyPressed (escape);

        escapeClosed = ! window.isVisible();

        if (wizard != nullptr)
        {
            EXPECT_EQ (wizard->launchProduct, 2056);
            EXPECT_FALSE (wizard->isOnline());
            EXPECT_EQ (wizard->getStepButton (3).getButtonText(), "Load File");
            z9test::writeSnapshot (window);
        }

        return 7;
    };

    EXPECT_EQ (launchFirmwareUpgrader (2056, &editor, false, false), 7);

    EXPECT_EQ (runner.titles, juce::StringArray ({ "Firmware Upgrade" }));
    EXPECT_NE (wizard, nullptr);
    EXPECT_FALSE (resizable);
    EXPECT_TRUE (nativeTitleBar);
    EXPECT_FALSE (escapeClosed);                       // Escape is the wizard's abort key
    EXPECT_TRUE (upgraderState().abort);
    EXPECT_EQ (NsZ9m::windowsVersionIndex, NsZ9m::getWindowsVersionIndex());
    EXPECT_TRUE (dialogs.getRequests().empty());       // no warning asked for
}

TEST_F (FirmwareLaunch, TheDialogsCloseButtonAsksTheWizard)
{
    z9test::ScriptedDialogRunner runner;
    dialogs.answerBox (0);   // the warning
    dialogs.answerBox (1);   // "Close the firmware upgrader?" -> Cancel

    runner.drive = [&] (UpgraderDialogWindow& window)
    {
        // A tool-family launch steps automatically: the close needs a yes.
        z9test::writeSnapshot (window);
        EXPECT_TRUE (z9test::staysModalAfter (window, [&] { window.userTriedToCloseWindow(); }));

        dialogs.answerBox (0);
        return z9test::runUntilDismissed (window, [&] { window.userTriedToCloseWindow(); });
    };

    EXPECT_EQ (launchFirmwareUpgrader (2055, nullptr, true, true), 0);
    EXPECT_EQ (dialogs.getRequests().size(), 3u);
}
