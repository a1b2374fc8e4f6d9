#pragma once

#include "gui/JuceGuiIncludes.h"
#include <sys/types.h>
#include <vector>

namespace z9test
{

/*  Runs the real program in tests and benchmarks, each run on an X display and
    in folders of its own, and looks at its windows from outside through X.

    A run is isolated from the machine and from other runs: it gets a scratch
    HOME and, in a mount namespace of its own, a scratch /var (where the
    program keeps its settings for all users and the framework its
    single-instance lock), so two runs in parallel never see each other and no
    run touches the machine's real settings. Runs that share one Scratch see
    each other, as two starts on one machine do.

    Linux only. Every wait is bounded.
*/

/** Whether this machine lets a test run the program in a mount namespace of
    its own (unshare). Asked once. */
bool canIsolateProgramRuns();

/** The built program (the executable beside its resources). */
juce::File getProgramFile();

/** Copies the built program, with its resources beside it, into the folder
    (folder/bin/Z9Ostrik and folder/bin/resources), so that a test may change
    the resources that a run finds; returns the copy's executable, or the
    invalid File when the copy failed. */
juce::File installProgramCopy (const juce::File& folder);

/** The settings file, written once per build, whose store holds the Z9-M
    alone, exactly as the program writes it (toRewrite: in a form the program
    reads but does not write; see ProgramScratch::Settings). A test copies it
    where the program or the Host will read it. */
juce::File getOneModelSettingsFile (bool toRewrite = false);

//==============================================================================
/** A private X server (Xvfb) for one test; stopped with this object. */
class VirtualDisplay
{
public:
    VirtualDisplay (int width = 1280, int height = 1024);
    ~VirtualDisplay();

    /** ":N", or empty when the server could not be started. */
    const juce::String& getName() const noexcept   { return name; }

private:
    pid_t pid = -1;
    juce::String name;

    JUCE_DECLARE_NON_COPYABLE (VirtualDisplay)
};

//==============================================================================
/** The folders that runs of the program share: HOME and the scratch /var. */
class ProgramScratch
{
public:
    /** What the settings place holds before the first run. */
    enum class Settings
    {
        /** A settings file whose store holds the Z9-M alone, exactly as the
            program writes it: a run loads, shows and keeps one model, and its
            quit finds nothing to save. The default: the whole default store
            is eight times as large, and building, showing and saving it
            under the sanitizers is most of a run's time. */
        oneModelStore,

        /** The same store written with a line break between its elements,
            which the program reads but does not write: a run loads one model
            and its quit has the settings to save once. */
        oneModelStoreToRewrite,

        /** No settings file: a first start, which builds and saves the whole
            default store. Only for what a first start alone shows. */
        none
    };

    explicit ProgramScratch (const juce::File& folder, Settings settings = Settings::oneModelStore);

    juce::File getHome() const        { return folder.getChildFile ("home"); }
    juce::File getVar() const         { return folder.getChildFile ("var"); }

    /** Where the program keeps its settings for all users in this scratch. */
    juce::File getSettingsFile() const;

    const juce::File& getFolder() const noexcept   { return folder; }

private:
    juce::File folder;
};

//==============================================================================
/** One run of the program. The process is killed when this object goes while
    it still runs. */
class ProgramRun
{
public:
    ProgramRun (const ProgramScratch& scratch, const juce::String& display,
                const juce::StringArray& arguments = {});

    /** Runs that executable (a copy from installProgramCopy) instead of the
        built program; call before start. */
    void setProgramFile (const juce::File& executable)   { programFile = executable; }
    ~ProgramRun();

    /** Makes the run, when it starts, run as another user (through setpriv,
        with no supplementary groups) with the given HOME. Call before start(). */
    void runAsUser (uid_t uid, gid_t gid, const juce::File& home);

    /** Starts the process; false when it could not be started. */
    bool start();

    pid_t getPid() const noexcept   { return pid; }
    double getStartTimeMs() const noexcept   { return startTimeMs; }

    /** Sends a signal to the process. */
    void sendSignal (int signal);

    /** Waits up to timeoutMs for the process to end; true when it ended, with
        its exit code (128 + signal number when a signal ended it). */
    bool waitForExit (int timeoutMs, int& exitCode);

    bool isRunning();

    /** What the program wrote to stdout and stderr. */
    juce::String getOutput() const;

private:
    ProgramScratch scratch;
    juce::String display;
    juce::StringArray arguments;
    juce::File programFile = getProgramFile();
    pid_t pid = -1;
    int otherUid = -1, otherGid = -1;
    juce::File otherHome;
    bool ended = false;
    int exitCode = -1;
    double startTimeMs = 0;

    JUCE_DECLARE_NON_COPYABLE (ProgramRun)
};

//==============================================================================
/** A top-level window as X sees it. */
struct XWindowInfo
{
    unsigned long id = 0;
    juce::String title;
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
    bool painted = false;   ///< its centre pixel is no longer black (unpainted)
};

/** Looks at the windows of an X display from a connection of its own. It
    makes the window-manager protocol atoms exist on the display when it
    opens, as a window manager would. */
class XProbe
{
public:
    explicit XProbe (const juce::String& display);
    ~XProbe();

    bool isOpen() const noexcept   { return display != nullptr; }

    /** The viewable top-level windows, with their titles and client sizes. */
    std::vector<XWindowInfo> getViewableWindows();

    /** Waits up to timeoutMs until a viewable window has the title and was
        painted; returns it (id 0 when none came). */
    XWindowInfo waitForPaintedWindow (const juce::String& title, int timeoutMs);

    /** The window's contents as an image (a null image on failure). */
    juce::Image grab (unsigned long window);

    /** Makes this connection own the screen's system-tray selection, as a
        tray manager does, for as long as it stays open. */
    bool becomeTrayManager();

    /** After becomeTrayManager: waits up to timeoutMs for a window's request
        to be docked in the tray. */
    bool waitForDockRequest (int timeoutMs);

    /** Asks the window to close, as the close button of a window manager does
        (WM_DELETE_WINDOW). */
    void requestClose (unsigned long window);

    /** Changes a property of the window that nobody reads, so that its
        owner's X connection has something to read. */
    void nudge (unsigned long window);

private:
    void* display = nullptr;

    JUCE_DECLARE_NON_COPYABLE (XProbe)
};

/** Counts how often a file is written in place or replaced, from the moment
    this object exists (inotify on its folder, which must exist). */
class FileWriteCounter
{
public:
    explicit FileWriteCounter (const juce::File& file);
    ~FileWriteCounter();

    /** The writes seen so far. */
    int count();

private:
    juce::File file;
    int fd = -1, total = 0;

    JUCE_DECLARE_NON_COPYABLE (FileWriteCounter)
};

} // namespace z9test
