#include "shell/DemoRunnerApplication.h"
#include "shell/DemoSlaveProcess.h"
#include "shell/DemoTaskbarComponent.h"
#include "shell/EditorPageFactory.h"
#include "shell/InstanceLock.h"
#include "shell/InterruptWatcher.h"
#include "shell/MainComponent.h"
#include "shell/PageRegistry.h"
#include "shell/QuitGate.h"
#include "core/sync/SyncTimer.h"

// The framework's own lock lives in one file for all users (/var/tmp), which
// one user's run leaves standing in every other user's way; the program takes
// a lock of its user's own instead (InstanceLock, in initialise).
bool DemoRunnerApplication::moreThanOneInstanceAllowed()
{
    return true;
}

DemoRunnerApplication::DemoRunnerApplication() = default;
DemoRunnerApplication::~DemoRunnerApplication() = default;

void DemoRunnerApplication::initialise (const juce::String& commandLine)
{
    registerAllPages();

    if (startChildProcessIfRequested (commandLine))
        return;

    // Started by a master whose connection could not be made: no window.
    if (hasChildProcessToken (commandLine))
    {
        quitApplication();
        return;
    }

    // A child process serves its master even while a windowed instance runs;
    // a second windowed start of the same user ends at once.
    instanceLock = std::make_unique<InstanceLock> (InstanceLock::getDefaultFile());

    if (instanceLock->isHeldElsewhere())
    {
        instanceLock.reset();
        quitApplication();
        return;
    }

    // Ctrl+C quits as every other quit does, through the QuitGate, instead
    // of the framework's stop at the next message.
    interruptWatcher = std::make_unique<InterruptWatcher> (quitApplication);

    installEditorAssetHook();
    installEditorHooks();

    auto window = std::make_unique<MainAppWindow> (getApplicationName() + " V1.00");

    if (! window->isContentBuilt())
    {
        window.reset();
        quitApplication();
        return;
    }

    mainWindow = std::move (window);
}

void DemoRunnerApplication::shutdown()
{
    // The window first: its editor page saves the settings through the Host
    // as it goes. Then the link to the surfaces, which the first page started.
    mainWindow.reset();
    NsZ9m::stopSyncCore();
    interruptWatcher.reset();
    instanceLock.reset();
}

void DemoRunnerApplication::systemRequestedQuit()
{
    if (QuitGate::holdsQuit())
        return;

    if (mainWindow != nullptr)
        mainWindow->minimiseButtonPressed();

    shutdown();
    quitApplication();
}

bool DemoRunnerApplication::backButtonPressed()
{
    if (mainWindow != nullptr)
        if (auto* content = mainWindow->getMainContent())
            content->getSidePanel().showOrHide (false);

    return true;
}

namespace
{
    std::function<void()>& loopStop()
    {
        static std::function<void()> stop;
        return stop;
    }
}

void DemoRunnerApplication::quitApplication()
{
    if (QuitGate::holdsQuit())
        return;

    if (auto& stop = loopStop())
        stop();
    else
        juce::MessageManager::getInstance()->stopDispatchLoop();
}

DemoRunnerApplication::ScopedLoopStop::ScopedLoopStop (std::function<void()> stop)
    : ScopedOverride (loopStop(), std::move (stop))
{
}

//==============================================================================
DemoRunnerApplication::MainAppWindow::MainAppWindow (const juce::String& title)
    : juce::DocumentWindow (title,
                            juce::Desktop::getInstance().getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId),
                            juce::DocumentWindow::allButtons,
                            true)
{
    setUsingNativeTitleBar (true);
    setTitleBarButtonsRequired (juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton, false);
    setResizable (true, false);
    setResizeLimits (400, 400, 5000, 5000);

    const auto initialBounds = computeInitialBounds (getParentMonitorArea());
    setBounds (initialBounds);

    auto content = std::make_unique<MainComponent>();

    if (! content->isPageBuilt())
        return;

    // A window that fits itself to a content of no size shrinks to nothing
    // and the page never lays out. So the content first takes the window's
    // size (and lays out inside it), and only then does the window start
    // following the content's size.
    auto* owned = content.release();
    setContentOwned (owned, false);
    setContentOwned (owned, true);
    setVisible (true);

    trayEntry = std::make_unique<DemoTaskbarComponent>();
    contentBuilt = true;
}

DemoRunnerApplication::MainAppWindow::~MainAppWindow()
{
    trayEntry.reset();
    clearContentComponent();
}

juce::Rectangle<int> DemoRunnerApplication::MainAppWindow::computeInitialBounds (juce::Rectangle<int> parentArea)
{
    const auto w = (float) parentArea.getWidth();
    const auto h = (float) parentArea.getHeight();

    return { (int) (0.1f * w), (int) (0.1f * h),
             juce::jmax (850, (int) (0.5f * w)), juce::jmax (600, (int) (0.7f * h)) };
}

MainComponent* DemoRunnerApplication::MainAppWindow::getMainContent() const
{
    return dynamic_cast<MainComponent*> (getContentComponent());
}

bool DemoRunnerApplication::MainAppWindow::keyPressed (const juce::KeyPress& key)
{
    return juce::Component::keyPressed (key);
}

void DemoRunnerApplication::MainAppWindow::closeButtonPressed()
{
    // The editor page may be running the firmware upgrader below this call.
    if (QuitGate::holdsQuit())
        return;

    trayEntry.reset();
    clearContentComponent();
    requestApplicationQuit();
}

//==============================================================================
juce::JUCEApplicationBase* createApplication()
{
    return new DemoRunnerApplication();
}

void requestApplicationQuit()
{
    juce::MessageManager::callAsync ([]
    {
        if (auto* app = juce::JUCEApplication::getInstance())
            app->systemRequestedQuit();
    });
}

void quitFromEditor()
{
    DemoRunnerApplication::quitApplication();
}
