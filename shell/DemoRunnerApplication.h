#pragma once

#include "shell/ShellIncludes.h"

#include "core/base/ScopedOverride.h"
#include <functional>

class MainComponent;
class DemoTaskbarComponent;
class InstanceLock;
class InterruptWatcher;

/**
    The application: registers the pages, becomes a child-process slave when
    the command line asks for it, and otherwise shows the main window with
    the editor page and the tray entry. Only one windowed instance runs; a
    second start ends at once.

    Every quit (the tray's "Quit", the system's quit, the window's close
    button, the editor's Ctrl+Q, Ctrl+C in the terminal) first asks the
    QuitGate: while the firmware upgrader writes a unit or its wizard is
    open, the quit waits and the gate quits through systemRequestedQuit once
    the wizard has closed.

    Created by createApplication and run by the framework. Message thread only.
*/
class DemoRunnerApplication final : public juce::JUCEApplication
{
public:
    DemoRunnerApplication();
    ~DemoRunnerApplication() override;

    const juce::String getApplicationName() override      { return "Z9-M Ostrik"; }
    const juce::String getApplicationVersion() override   { return "1.01"; }

    /** True: the framework's lock is not used. A windowed start takes its
        user's own InstanceLock and ends at once when another instance holds
        it; a child process takes none. */
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;

    /** Deletes the main window when there is one, then stops the link to the
        surfaces (the Host and the synchronisation timer). Safe to call twice. */
    void shutdown() override;

    /** A second start's command line: ignored. */
    void anotherInstanceStarted (const juce::String&) override {}

    /** Minimises the main window (when there is one), deletes it and stops the
        message loop; nothing yet while the QuitGate holds the quit (it asks
        again once it is safe). */
    void systemRequestedQuit() override;

    /** Hides the side panel; true. */
    bool backButtonPressed() override;

    /** Stops the message loop; the framework then ends the application.
        Nothing yet while the QuitGate holds the quit. */
    static void quitApplication();

    /** What stops the message loop: by default the framework's
        stopDispatchLoop. A test puts its own here for as long as this lives,
        to see the quit happen in a loop that has to go on. Message thread. */
    class ScopedLoopStop : private NsZ9m::ScopedOverride<std::function<void()>>
    {
    public:
        explicit ScopedLoopStop (std::function<void()> stop);
    };

    //==============================================================================
    /**
        The main window: native title bar with minimise and close, resizable
        from 400 x 400 to 5000 x 5000, placed at 10 % of the screen area at
        max (850, 50 %) x max (600, 70 %) of it. Its content is a MainComponent;
        it owns that content and the tray entry.
    */
    class MainAppWindow final : public juce::DocumentWindow
    {
    public:
        explicit MainAppWindow (const juce::String& title);
        ~MainAppWindow() override;

        /** The bounds that the window takes on a screen whose usable area is parentArea. */
        static juce::Rectangle<int> computeInitialBounds (juce::Rectangle<int> parentArea);

        /** True when the content built its start-up page. */
        bool isContentBuilt() const noexcept   { return contentBuilt; }

        MainComponent* getMainContent() const;
        DemoTaskbarComponent* getTrayEntry() const noexcept   { return trayEntry.get(); }

        bool keyPressed (const juce::KeyPress&) override;

        /** Removes the tray entry and deletes the content (the editor page
            saves the settings as it goes), then asks the application to quit
            once this callback has returned. While the QuitGate holds the
            quit, takes nothing down: the gate's quit deletes the window. */
        void closeButtonPressed() override;

    private:
        bool contentBuilt = false;
        std::unique_ptr<DemoTaskbarComponent> trayEntry;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainAppWindow)
    };

    MainAppWindow* getMainWindow() const noexcept   { return mainWindow.get(); }

private:
    std::unique_ptr<InstanceLock> instanceLock;
    std::unique_ptr<InterruptWatcher> interruptWatcher;
    std::unique_ptr<MainAppWindow> mainWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DemoRunnerApplication)
};

/** The framework's application factory: a new DemoRunnerApplication. */
juce::JUCEApplicationBase* createApplication();

/** Asks the running application to quit (systemRequestedQuit) from the message
    loop, after the caller's own callback has returned; nothing without a
    running application. Any thread. */
void requestApplicationQuit();

/** The editor's Ctrl+Q: stops the message loop at once, without asking
    (but for the QuitGate). The framework then shuts the application down,
    which destroys the window and its editor page (saving the settings).
    Message thread. */
void quitFromEditor();
