#include "shell/Assets.h"
#include "shell/DemoContentComponent.h"
#include "shell/IntroScreen.h"
#include "shell/MainComponent.h"
#include "editor/EditorAssets.h"
#include "editor/MainComp.h"
#include "firmware/DeviceSelectComponent.h"
#include "firmware/FirmwareUpgradeComponent.h"
#include "firmware/UpgraderState.h"
#include "core/model/Products.h"
#include "core/sync/SyncTimer.h"
#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/gui/Snapshot.h"
#include "tests/support/program/ProgramUnderTest.h"
#include <gtest/gtest.h>

/*  The whole views a user sees, compared with their committed reference
    pictures (tests/snapshots/reference). scripts/renew-snapshots.sh renews
    those after a change that is meant.
*/

namespace
{
    /** A view of the table, built and brought into the state it is pictured
        in; returns the component to picture. */
    struct ViewCase
    {
        const char* name;
        std::function<juce::Component& (struct ViewSnapshotTest&)> build;
    };

    void PrintTo (const ViewCase& c, std::ostream* out)   { *out << c.name; }

    /** Every view with the program's own pictures and fonts, a DAW in the
        first slot, in-memory MIDI ports holding a Z9-M and a Z9-X2, and the
        process-wide state of the editor and the upgrader at their start
        values. */
    struct ViewSnapshotTest : public z9test::SurfaceFixture,
                              public ::testing::WithParamInterface<ViewCase>
    {
        void SetUp() override
        {
            // The Host loads a store of the Z9-M alone (SurfaceFixture); a
            // view of another model adds the models it needs.
            SurfaceFixture::SetUp();
            ASSERT_EQ (host().getTree().getNumChildren(), 1);
            vorlix::resetUpgraderState();
            ports.addOutput ("Z9-M MIDI");
            ports.addOutput ("Z9-X2 MIDI");
            setSlotDaw (1, 2);
        }

        void TearDown() override
        {
            content.reset();
            view.reset();
            vorlix::resetUpgraderState();
            delete NsZ9m::theSyncTimer;
            SurfaceFixture::TearDown();
        }

        /** The main window's content as the program starts it, 850 x 720,
            once the editor page shows the store; the model chosen through
            the page's model chooser, then the outer tab. */
        juce::Component& programWindow (int productId, int outerTab)
        {
            keepFirstModels (NsZ9m::productIndexOf (productId) + 1);
            content = std::make_unique<MainComponent>();
            content->setSize (NsZ9m::MainComp::windowWidth, NsZ9m::MainComp::windowHeight);

            auto* page = dynamic_cast<NsZ9m::MainComp*> (content->getContentComponent().getPageComponent());
            EXPECT_NE (page, nullptr);

            if (page == nullptr)
                return *content;

            EXPECT_TRUE (z9test::waitUntil ([&] { return page->isComplete(); }));

            if (productId != NsZ9m::productZ9M)
                page->getModelCombo().setSelectedId (NsZ9m::productIndexOf (productId) + 1, juce::sendNotificationSync);

            EXPECT_EQ (NsZ9m::currentProductId, productId);
            EXPECT_LT (outerTab, page->getOuterTabs().getNumTabs());
            page->getOuterTabs().setCurrentTabIndex (outerTab);
            return *content;
        }

        /** The intro page as "Home" shows it in the main window's content
            (which it sizes to 850 x 600), with its wave stopped where it
            starts. */
        juce::Component& introPage()
        {
            content = std::make_unique<MainComponent>();
            content->setSize (NsZ9m::MainComp::windowWidth, NsZ9m::MainComp::windowHeight);
            content->showHome();

            auto* intro = dynamic_cast<IntroScreen*> (content->getContentComponent().getPageComponent());
            EXPECT_NE (intro, nullptr);

            if (intro != nullptr)
            {
                intro->wave.stopTimer();
                EXPECT_EQ (intro->wave.getPhase(), 0.0f);
            }

            return *content;
        }

        /** The firmware wizard for a Z9-M before its first step, choosing
            the firmware from the catalogue. */
        juce::Component& firmwareWizard()
        {
            view = std::make_unique<vorlix::FirmwareUpgradeComponent> (NsZ9m::productZ9M, true,
                                                                       std::make_unique<z9test::FakeUpgradeSteps> (stepLog));
            return *view;
        }

        /** The unit chooser of the wizard's "Start" step for a Z9-M. */
        juce::Component& unitChooser()
        {
            auto chooser = std::make_unique<vorlix::DeviceSelectComponent> (NsZ9m::productZ9M, juce::String());
            EXPECT_EQ (chooser->selectedName, "Z9-M MIDI");
            view = std::move (chooser);
            return *view;
        }

        // The program's pictures, read from the source tree's resources
        // folder as the program reads them from beside itself.
        ScopedApplicationFile app { juce::File (Z9_SOURCE_DIR).getChildFile ("Z9Ostrik") };
        NsZ9m::EditorAssets::ScopedLoader loader { [] (const juce::String& name)
        {
            return loadAssetImage (name.toRawUTF8());
        } };

        z9test::StepLog stepLog;
        std::unique_ptr<MainComponent> content;
        std::unique_ptr<juce::Component> view;
    };

    const ViewCase viewCases[] =
    {
        { "Z9M_GeneralSettings", [] (ViewSnapshotTest& t) -> juce::Component& { return t.programWindow (NsZ9m::productZ9M, 0); } },
        { "Z9M_ButtonFunctions", [] (ViewSnapshotTest& t) -> juce::Component& { return t.programWindow (NsZ9m::productZ9M, 1); } },
        { "Z9X2_GeneralSettings", [] (ViewSnapshotTest& t) -> juce::Component& { return t.programWindow (NsZ9m::productZ9X2, 0); } },
        { "FirmwareWizard", [] (ViewSnapshotTest& t) -> juce::Component& { return t.firmwareWizard(); } },
        { "UnitChooser", [] (ViewSnapshotTest& t) -> juce::Component& { return t.unitChooser(); } },
        { "IntroPage", [] (ViewSnapshotTest& t) -> juce::Component& { return t.introPage(); } },
    };
}

TEST_P (ViewSnapshotTest, LooksAsItsReference)
{
    auto& component = GetParam().build (*this);
    ASSERT_FALSE (HasFailure());

    // Whatever the view started asynchronously has run before it is pictured.
    z9test::drainMessageLoop();

    z9test::expectSnapshotMatchesReference (component, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P (Views, ViewSnapshotTest, ::testing::ValuesIn (viewCases),
                          [] (const ::testing::TestParamInfo<ViewCase>& info) { return std::string (info.param.name); });
