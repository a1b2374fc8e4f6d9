#include "shell/Assets.h"
#include "shell/DemoList.h"
#include "shell/DemoRunnerApplication.h"
#include "shell/DemoTaskbarComponent.h"
#include "shell/IntroScreen.h"
#include "shell/MainComponent.h"
#include "shell/PageRegistry.h"
#include "shell/SidePanelHeader.h"
#include "shell/SystemTray.h"
#include "tests/support/BoundedWait.h"
#include "editor/MainComp.h"
#include "core/sync/SyncTimer.h"
#include "core/model/Products.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/gui/Snapshot.h"
#include "tests/support/program/ProgramUnderTest.h"
#include <gtest/gtest.h>

namespace
{
    /** A page that counts how many of its kind exist. */
    struct CountedPage : public juce::Component
    {
        CountedPage()    { ++alive; ++made; }
        ~CountedPage()   { --alive; }

        static inline int alive = 0, made = 0;
    };

    /** The editor's page starts the process's one synchronisation timer; each
        case ends without it, as it starts. The surfaces' ports are in memory.
        The Host loads a settings file whose store holds the Z9-M alone, so
        that no case builds the whole default store only to cut it. */
    struct ShellFixture : public z9test::SurfaceFixture
    {
        enum class Settings
        {
            oneModelStore,   ///< as the program writes it: nothing waits to be saved
            toSave           ///< read in a form the program writes otherwise, then
                             ///< removed: the settings wait to be saved, and no file is there
        };

        explicit ShellFixture (Settings s = Settings::oneModelStore) : settings (s) {}

        void SetUp() override
        {
            // The one-model store as the program writes it is the surfaces'
            // fixture's own start; only the form to be saved is placed here.
            const auto file = commonSettingsFile();

            if (settings == Settings::toSave)
            {
                ASSERT_TRUE (file.getParentDirectory().createDirectory());
                ASSERT_TRUE (z9test::getOneModelSettingsFile (true).copyFileTo (file));
            }

            SurfaceFixture::SetUp();
            ASSERT_EQ (host().getTree().getNumChildren(), 1);

            if (settings == Settings::toSave)
                ASSERT_TRUE (file.deleteFile());
        }

        void TearDown() override
        {
            NsZ9m::stopSyncCore();
            SurfaceFixture::TearDown();
        }

        const Settings settings;
    };

    struct PageHolderTest : public ShellFixture
    {
        explicit PageHolderTest (Settings s = Settings::oneModelStore) : ShellFixture (s) {}

        void SetUp() override
        {
            ShellFixture::SetUp();
            getPageCategories().clear();
            CountedPage::alive = CountedPage::made = 0;
            (folder / "resources").createDirectory();
            app = std::make_unique<ScopedApplicationFile> (folder / "app");
        }

        void TearDown() override
        {
            app.reset();
            getPageCategories().clear();
            ShellFixture::TearDown();
        }

        void registerCountedPages()
        {
            registerPage ([] { return new CountedPage(); }, "Controllers/Z9M", "Controllers", false);
            registerPage ([] { return new CountedPage(); }, "Controllers/Heavy", "Controllers", true);
            findOrAddPageCategory ("Empty");
        }

        std::unique_ptr<ScopedApplicationFile> app;
    };

    struct PageHolderSavingTest : public PageHolderTest
    {
        PageHolderSavingTest() : PageHolderTest (Settings::toSave) {}
    };
}

TEST_F (PageHolderTest, AtStartTheEditorPageFillsTheWindowAndThePanelIsHidden)
{
    MainComponent content;
    content.setSize (850, 720);

    EXPECT_TRUE (content.isPageBuilt());
    auto& holder = content.getContentComponent();
    ASSERT_NE (holder.getPageComponent(), nullptr);
    EXPECT_FALSE (holder.isShowingIntroPage());
    EXPECT_EQ (holder.getCurrentCategory(), "");
    EXPECT_EQ (holder.getCurrentPageIndex(), -1);
    EXPECT_EQ (holder.getPageComponent()->getLocalBounds(), juce::Rectangle<int> (0, 0, 850, 720));

    auto* editor = dynamic_cast<NsZ9m::MainComp*> (holder.getPageComponent());
    ASSERT_NE (editor, nullptr);
    EXPECT_TRUE (z9test::waitUntil ([&] { return editor->isComplete(); }));

    EXPECT_EQ (content.getMenuButton().getBounds(), juce::Rectangle<int> (0, 0, 150, 0));
    EXPECT_FALSE (content.getSidePanel().isPanelShowing());

    // The pointer at the left edge does not open the panel.
    content.hitTest (5, 300);
    EXPECT_FALSE (content.getSidePanel().isPanelShowing());

    z9test::writeSnapshot (content);
}

TEST_F (PageHolderTest, HomeShowsTheIntroPageOnceAndTheListBuildsRegisteredPages)
{
    registerCountedPages();
    MainComponent content;
    content.setSize (850, 600);
    auto& holder = content.getContentComponent();

    content.showHome();
    EXPECT_TRUE (holder.isShowingIntroPage());
    auto* intro = holder.getPageComponent();
    content.showHome();
    EXPECT_EQ (holder.getPageComponent(), intro);

    holder.showRegisteredPage ("Controllers", 0);
    EXPECT_EQ (CountedPage::made, 1);
    EXPECT_EQ (holder.getCurrentPageIndex(), 0);

    // The same page again creates nothing; another one replaces it.
    holder.showRegisteredPage ("Controllers", 0);
    EXPECT_EQ (CountedPage::made, 1);
    holder.showRegisteredPage ("Controllers", 1);
    EXPECT_EQ (CountedPage::made, 2);
    EXPECT_EQ (CountedPage::alive, 1);

    // Pages that are not there change nothing and add no category.
    holder.showRegisteredPage ("Controllers", 2);
    holder.showRegisteredPage ("Controllers", -1);
    holder.showRegisteredPage ("Nowhere", 0);
    EXPECT_EQ (CountedPage::made, 2);
    EXPECT_EQ (holder.getCurrentPageIndex(), 1);
    EXPECT_EQ (getPageCategories().size(), 2u);

    content.showHome();
    EXPECT_TRUE (holder.isShowingIntroPage());
    EXPECT_EQ (CountedPage::alive, 0);
    EXPECT_EQ (holder.getCurrentCategory(), "");
    EXPECT_EQ (holder.getCurrentPageIndex(), -1);
}

TEST_F (PageHolderTest, ThePageListOpensCategoriesAndGoesBack)
{
    registerCountedPages();
    MainComponent content;
    content.setSize (850, 600);

    auto* list = dynamic_cast<DemoList*> (content.getSidePanel().getContent());
    ASSERT_NE (list, nullptr);
    list->setSize (200, 400);

    EXPECT_EQ (list->getNumRows(), 2);
    EXPECT_EQ (list->getRowText (0), "Controllers");
    EXPECT_EQ (list->getRowText (5), "");

    list->selectedRowsChanged (0);
    EXPECT_EQ (list->getOpenCategory(), "Controllers");
    EXPECT_EQ (list->getNumRows(), 2);
    EXPECT_EQ (list->getRowText (0), "Z9M");
    ASSERT_NE (list->getListBox().getHeaderComponent(), nullptr);
    z9test::writeSnapshot (*list, "Controllers");

    list->selectedRowsChanged (1);
    EXPECT_EQ (CountedPage::made, 1);
    EXPECT_EQ (content.getContentComponent().getCurrentPageIndex(), 1);

    list->selectedRowsChanged (-1);
    EXPECT_EQ (CountedPage::made, 1);

    // The header's "<" brings the categories back; an empty category has no rows.
    auto* header = list->getListBox().getHeaderComponent();
    header->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                         header, header, juce::Time(), {}, juce::Time(), 1, false));
    EXPECT_EQ (list->getOpenCategory(), "");
    EXPECT_EQ (list->getListBox().getHeaderComponent(), nullptr);

    list->openCategoryNamed ("Empty");
    EXPECT_EQ (list->getNumRows(), 0);

    z9test::writeSnapshot (*list);
}

TEST_F (PageHolderTest, HomeFromThePanelHeaderResetsTheList)
{
    registerCountedPages();
    MainComponent content;
    content.setSize (850, 600);

    auto* list = dynamic_cast<DemoList*> (content.getSidePanel().getContent());
    auto* header = dynamic_cast<SidePanelHeader*> (content.getSidePanel().getTitleBarComponent());
    ASSERT_NE (list, nullptr);
    ASSERT_NE (header, nullptr);

    list->openCategoryNamed ("Controllers");
    header->homeButton.triggerClick();
    EXPECT_TRUE (z9test::waitUntil ([&] { return content.getContentComponent().isShowingIntroPage(); }));
    EXPECT_EQ (list->getOpenCategory(), "");
}

TEST_F (PageHolderSavingTest, ReleasingTheContentSavesTheSettingsOnce)
{
    const auto settings = commonSettingsFile();
    {
        MainComponent content;
        EXPECT_FALSE (settings.exists());
    }
    EXPECT_TRUE (settings.existsAsFile());
}

//==============================================================================
TEST (MainAppWindowBoundsTest, InitialBoundsFollowTheScreenArea)
{
    struct Case { juce::Rectangle<int> area, expected; };
    const Case cases[] =
    {
        { { 0, 0, 1280, 1024 }, { 128, 102, 850, 716 } },
        { { 0, 0, 1920, 1040 }, { 192, 104, 960, 728 } },
        { { 0, 0, 800, 600 },   { 80, 60, 850, 600 } },
    };

    for (auto& c : cases)
        EXPECT_EQ (DemoRunnerApplication::MainAppWindow::computeInitialBounds (c.area), c.expected)
            << c.area.toString();
}

namespace
{
    struct MainAppWindowTest : public ShellFixture
    {
        explicit MainAppWindowTest (Settings s = Settings::oneModelStore) : ShellFixture (s) {}

        void SetUp() override
        {
            ShellFixture::SetUp();
            getPageCategories().clear();
        }
    };

    struct MainAppWindowSavingTest : public MainAppWindowTest
    {
        MainAppWindowSavingTest() : MainAppWindowTest (Settings::toSave) {}
    };
}

TEST_F (MainAppWindowTest, TheContentGetsTheWindowsSizeAndThePageSetsIt)
{
    DemoRunnerApplication::MainAppWindow window ("Z9-M Ostrik V1.00");

    ASSERT_TRUE (window.isContentBuilt());
    auto* content = window.getMainContent();
    ASSERT_NE (content, nullptr);

    auto* editor = dynamic_cast<NsZ9m::MainComp*> (content->getContentComponent().getPageComponent());
    ASSERT_NE (editor, nullptr);
    EXPECT_TRUE (z9test::waitUntil ([&] { return editor->isComplete(); }));

    EXPECT_EQ (window.getWidth(), 850);
    EXPECT_EQ (window.getHeight(), 720);
    EXPECT_EQ (content->getWidth(), 850);
    EXPECT_EQ (content->getHeight(), 720);
    EXPECT_TRUE (window.getName().startsWith ("Z9-M/X Ostrik V1.04 - "));
    EXPECT_TRUE (window.isVisible());
    ASSERT_NE (window.getTrayEntry(), nullptr);
    EXPECT_EQ (window.getTrayEntry()->isInTray(), isSystemTrayAvailable());

    z9test::writeSnapshot (*content);
}

TEST_F (MainAppWindowSavingTest, TheCloseButtonSavesOnceAndLeavesNoTrayEntry)
{
    const auto settings = commonSettingsFile();
    auto window = std::make_unique<DemoRunnerApplication::MainAppWindow> ("Z9-M Ostrik V1.00");

    window->closeButtonPressed();

    EXPECT_EQ (window->getTrayEntry(), nullptr);
    EXPECT_EQ (window->getContentComponent(), nullptr);
    EXPECT_TRUE (settings.existsAsFile());
    const auto written = settings.getLastModificationTime();

    // With no running application the deferred quit finds nothing to do.
    z9test::drainMessageLoop();
    window.reset();
    EXPECT_EQ (settings.getLastModificationTime(), written);
}

TEST (DemoRunnerApplicationTest, GuardsWithoutAWindow)
{
    // The application object is not run here, only asked.
    DemoRunnerApplication app;
    EXPECT_EQ (app.getApplicationName(), "Z9-M Ostrik");
    EXPECT_EQ (app.getApplicationVersion(), "1.01");
    EXPECT_TRUE (app.backButtonPressed());
    app.shutdown();
    app.shutdown();
    EXPECT_EQ (app.getMainWindow(), nullptr);
}

//==============================================================================
TEST (TrayEntryTest, OnlyQuitEndsTheProgram)
{
    DemoTaskbarComponent entry;
    int quits = 0;
    entry.onQuit = [&] { ++quits; };

    for (auto result : { 0, 2, -1 })
        DemoTaskbarComponent::onTrayMenuResult (result, &entry);

    EXPECT_EQ (quits, 0);
    DemoTaskbarComponent::onTrayMenuResult (1, &entry);
    EXPECT_EQ (quits, 1);

    // Without the entry (it went while the menu was open) nothing breaks.
    DemoTaskbarComponent::onTrayMenuResult (1, nullptr);
    z9test::drainMessageLoop();
    EXPECT_EQ (quits, 1);
}

TEST (TrayEntryTest, TheMenuHoldsOnlyQuit)
{
    auto menu = DemoTaskbarComponent::createMenu();
    ASSERT_EQ (menu.getNumItems(), 1);

    juce::PopupMenu::MenuItemIterator items (menu);
    ASSERT_TRUE (items.next());
    EXPECT_EQ (items.getItem().itemID, 1);
    EXPECT_EQ (items.getItem().text, "Quit");
    EXPECT_TRUE (items.getItem().isEnabled);
    EXPECT_FALSE (items.getItem().isTicked);

    DemoTaskbarComponent entry;
    EXPECT_EQ (entry.isInTray(), isSystemTrayAvailable());
    EXPECT_EQ (entry.isVisible(), entry.isInTray());
}
