#include "editor/MainComp.h"
#include "editor/EditorState.h"
#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/model/Products.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/InMemoryMidiPorts.h"
#include <benchmark/benchmark.h>

using namespace NsZ9m;

namespace
{
    /** An editor page over the full default store, every slot of every model
        running a DAW, as a user clicks through it. */
    struct EditorBenchPage
    {
        EditorBenchPage()
        {
            resetProcessWideState();
            theHost = Host::getInstance();

            for (int s = 0; s < numSlots; ++s)
                slotDawIds[s] = s + 1;

            page = std::make_unique<MainComp> (productZ9M);
            page->setSize (MainComp::windowWidth, MainComp::windowHeight);
            juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        }

        ~EditorBenchPage()
        {
            page.reset();
            Host::deleteInstance();
            theHost = nullptr;
            folder.deleteRecursively();
        }

        juce::File folder { juce::File::createTempFile ("z9editorbench") };
        SettingsLocation::ScopedRedirect redirect { folder };
        z9test::ScopedInMemoryMidiPorts ports;
        std::unique_ptr<MainComp> page;
    };
}

// A model change's tab set, chooser and store selection (Z9-M and Z9-X in turn).
static void BM_ApplyModel (benchmark::State& state)
{
    EditorBenchPage b;
    bool m = false;

    for (auto _ : state)
    {
        currentProductId = (m = ! m) ? productZ9M : productZ9X;
        b.page->applyModel (currentProductId);
    }
}

// Re-deriving the page from the store: every model's slots, the slot buttons,
// the function names in use.
static void BM_RebuildFromStore (benchmark::State& state)
{
    EditorBenchPage b;

    for (auto _ : state)
        b.page->rebuildFromStore();
}

// Every section and page shows the store again.
static void BM_RefreshAll (benchmark::State& state)
{
    EditorBenchPage b;

    for (auto _ : state)
        b.page->refreshAll();
}

// A DAW switch's work on the function page: the grid filled with the new
// DAW's functions (the HUI DAW's 121 and Cubase's in turn), the names in use
// collected and their buttons greyed out.
static void BM_FillFunctionGridOnDawSwitch (benchmark::State& state)
{
    EditorBenchPage b;
    auto& funcPage = b.page->getFuncPage();
    bool hui = false;

    for (auto _ : state)
    {
        slotDawIds[currentSlotIndex] = (hui = ! hui) ? huiDawId : 2;
        funcPage.fillFunctionButtons();
        theHost->collectFunctionNames();
        funcPage.getFuncLayer().disableUsedFunctions();
    }
}

// Both pages shown again for a selected name button: the "BUTTON FUNCTIONS"
// tab (caption and 80 name buttons), the function grid's selection, and the
// hotkey page.
static void BM_RefreshFunctionAndHotkeyPages (benchmark::State& state)
{
    EditorBenchPage b;
    auto& nameButton = b.page->getButtonSection().getButton (17);
    b.page->buttonClicked (&nameButton);

    for (auto _ : state)
    {
        b.page->getFuncSection().refresh();
        b.page->getFuncPage().getFuncLayer().refresh();
        b.page->getHotkeyPage().refresh();
    }
}

BENCHMARK (BM_FillFunctionGridOnDawSwitch)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RefreshFunctionAndHotkeyPages)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_ApplyModel)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RebuildFromStore)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RefreshAll)->Unit (benchmark::kMillisecond);
