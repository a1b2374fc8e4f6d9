#include "tests/support/program/ProgramUnderTest.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace z9test
{

namespace
{
    /** Lets time pass: the message loop runs when this is the message thread. */
    void pause (int ms)
    {
        auto* mm = juce::MessageManager::getInstanceWithoutCreating();

        if (mm != nullptr && mm->isThisTheMessageThread())
            mm->runDispatchLoopUntil (ms);
        else
            juce::Thread::sleep (ms);
    }

    double now()   { return juce::Time::getMillisecondCounterHiRes(); }

    /** Runs argv with envp (null: this process's environment); stdout and
        stderr go to outputFile (null: /dev/null). */
    pid_t spawn (const juce::StringArray& args, const juce::StringArray* env, const char* outputFile,
                 const std::vector<int>& closeInChild = {})
    {
        std::vector<std::string> argStrings, envStrings;
        std::vector<char*> argv, envp;

        for (auto& a : args)
            argStrings.push_back (a.toStdString());

        for (auto& s : argStrings)
            argv.push_back (s.data());

        argv.push_back (nullptr);

        if (env != nullptr)
        {
            for (auto& e : *env)
                envStrings.push_back (e.toStdString());

            for (auto& s : envStrings)
                envp.push_back (s.data());

            envp.push_back (nullptr);
        }

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addopen (&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen (&actions, 1, outputFile != nullptr ? outputFile : "/dev/null",
                                          O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2 (&actions, 1, 2);

        for (auto fd : closeInChild)
            posix_spawn_file_actions_addclose (&actions, fd);

        pid_t pid = -1;
        const auto result = posix_spawnp (&pid, argv[0], &actions, nullptr, argv.data(),
                                          env != nullptr ? envp.data() : environ);
        posix_spawn_file_actions_destroy (&actions);
        return result == 0 ? pid : -1;
    }

    bool waitForPid (pid_t pid, int timeoutMs, int& exitCode)
    {
        const auto end = now() + timeoutMs;

        for (;;)
        {
            int status = 0;
            const auto r = waitpid (pid, &status, WNOHANG);

            if (r == pid)
            {
                exitCode = WIFEXITED (status) ? WEXITSTATUS (status)
                                              : 128 + (WIFSIGNALED (status) ? WTERMSIG (status) : 0);
                return true;
            }

            if (r < 0 || now() > end)
                return false;

            pause (5);
        }
    }

    // The script that isolates a run: a scratch /var in a mount namespace of
    // its own, holding the real /var's folders but for tmp (the framework's
    // lock files) and VorlixSound (the program's settings for all users).
    const char* isolationScript = R"SH(
set -e
v="$1"; shift
# The folders to make, in the function's own arguments: one mkdir for all of
# them, then one bind mount each.
prepare() {
    set -- "$v/tmp"
    for d in /var/*; do
        n="${d##*/}"
        case "$n" in tmp|VorlixSound) continue ;; esac
        if [ -L "$d" ]; then
            [ -L "$v/$n" ] || ln -s "$(readlink "$d")" "$v/$n"
        elif [ -d "$d" ]; then
            set -- "$@" "$v/$n"
        fi
    done
    mkdir -p -- "$@"
    shift
    for f; do mount --bind "/var/${f##*/}" "$f"; done
}
prepare
mount --rbind "$v" /var
exec "$@"
)SH";

    juce::StringArray isolationPrefix (const juce::File& scratchVar)
    {
        juce::StringArray args { "unshare", "--mount" };

        if (getuid() != 0)
            args.add ("--map-root-user");

        args.addArray ({ "sh", "-c", isolationScript, "sh", scratchVar.getFullPathName() });
        return args;
    }

    int ignoreXErrors (Display*, XErrorEvent*)   { return 0; }

    struct ScopedXErrorsIgnored
    {
        explicit ScopedXErrorsIgnored (Display* d) : display (d), previous (XSetErrorHandler (ignoreXErrors)) {}
        ~ScopedXErrorsIgnored()   { XSync (display, False); XSetErrorHandler (previous); }

        Display* display;
        XErrorHandler previous;
    };
}

//==============================================================================
bool canIsolateProgramRuns()
{
    static const bool possible = []
    {
        auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getNonexistentChildFile ("z9probe", "", false);
        folder.createDirectory();
        // What a run needs of the machine: a mount namespace of its own, in
        // which this process may bind-mount.
        juce::StringArray args { "unshare", "--mount" };

        if (getuid() != 0)
            args.add ("--map-root-user");

        args.addArray ({ "mount", "--bind", folder.getFullPathName(), folder.getFullPathName() });

        const auto pid = spawn (args, nullptr, nullptr);
        int code = -1;
        const auto ok = pid > 0 && waitForPid (pid, 10000, code) && code == 0;
        folder.deleteRecursively();
        return ok;
    }();

    return possible;
}

juce::File getProgramFile()
{
    return juce::File (Z9_PROGRAM_FILE);
}

juce::File getOneModelSettingsFile (bool toRewrite)
{
    // Written once per build by tests/support/tools/OneModelSettings.cpp.
    return juce::File (toRewrite ? Z9_ONE_MODEL_SETTINGS_TO_REWRITE : Z9_ONE_MODEL_SETTINGS);
}

juce::File installProgramCopy (const juce::File& folder)
{
    // The program finds its resources beside its own file, the link-free path
    // of the running executable: the copy must be a real file.
    const auto built = getProgramFile();
    const auto bin = folder.getChildFile ("bin");
    const auto copy = bin.getChildFile (built.getFileName());

    if (! bin.createDirectory() || ! built.copyFileTo (copy) || ! copy.setExecutePermission (true)
         || ! built.getSiblingFile ("resources").copyDirectoryTo (bin.getChildFile ("resources")))
        return {};

    return copy;
}

//==============================================================================
VirtualDisplay::VirtualDisplay (int width, int height)
{
    int fds[2];

    if (pipe (fds) != 0)
        return;

    const juce::StringArray args { "Xvfb", "-displayfd", juce::String (fds[1]),
                                   "-screen", "0", juce::String (width) + "x" + juce::String (height) + "x24",
                                   "-nolisten", "tcp" };
    pid = spawn (args, nullptr, nullptr, { fds[0] });
    close (fds[1]);

    std::string number;
    const auto end = now() + 10000;

    while (pid > 0 && now() < end)
    {
        pollfd p { fds[0], POLLIN, 0 };

        if (poll (&p, 1, 100) > 0)
        {
            char c = 0;

            if (read (fds[0], &c, 1) != 1 || c == '\n')
                break;

            number += c;
        }
    }

    close (fds[0]);

    if (! number.empty())
        name = ":" + juce::String (number);
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid > 0)
    {
        kill (pid, SIGTERM);
        int code = 0;

        if (! waitForPid (pid, 5000, code))
        {
            kill (pid, SIGKILL);
            waitForPid (pid, 5000, code);
        }
    }
}

//==============================================================================
ProgramScratch::ProgramScratch (const juce::File& f, Settings settings)
    : folder (f)
{
    getHome().createDirectory();
    getVar().createDirectory();

    if (settings == Settings::none)
        return;

    const auto source = getOneModelSettingsFile (settings == Settings::oneModelStoreToRewrite);
    const auto file = getSettingsFile();

    if (! file.getParentDirectory().createDirectory() || ! source.copyFileTo (file))
        jassertfalse;   // the runs would start without settings: was the file built, is the scratch writable?
}

juce::File ProgramScratch::getSettingsFile() const
{
    return getVar().getChildFile ("VorlixSound/Z9M/Z9M.conf");
}

//==============================================================================
ProgramRun::ProgramRun (const ProgramScratch& s, const juce::String& d, const juce::StringArray& args)
    : scratch (s), display (d), arguments (args)
{
}

ProgramRun::~ProgramRun()
{
    if (pid > 0 && ! ended)
    {
        kill (pid, SIGKILL);
        int code = 0;
        waitForPid (pid, 5000, code);
    }
}

void ProgramRun::runAsUser (uid_t uid, gid_t gid, const juce::File& home)
{
    otherUid = (int) uid;
    otherGid = (int) gid;
    otherHome = home;
}

bool ProgramRun::start()
{
    auto args = isolationPrefix (scratch.getVar());

    if (otherUid >= 0)
        args.addArray ({ "setpriv", "--reuid=" + juce::String (otherUid), "--regid=" + juce::String (otherGid),
                         "--clear-groups", "--" });

    args.add (programFile.getFullPathName());
    args.addArray (arguments);

    const auto home = otherUid >= 0 ? otherHome : scratch.getHome();

    juce::StringArray env { "HOME=" + home.getFullPathName(),
                            "DISPLAY=" + display,
                            "PATH=" + juce::SystemStats::getEnvironmentVariable ("PATH", "/usr/bin:/bin") };

    for (auto** e = environ; *e != nullptr; ++e)
    {
        const juce::String entry (*e);

        if (entry.startsWith ("ASAN_") || entry.startsWith ("UBSAN_") || entry.startsWith ("LSAN_"))
            env.add (entry);
    }

    const auto log = scratch.getFolder().getChildFile ("output.txt").getFullPathName().toStdString();
    startTimeMs = now();
    pid = spawn (args, &env, log.c_str());
    return pid > 0;
}

void ProgramRun::sendSignal (int signal)
{
    if (pid > 0 && ! ended)
        kill (pid, signal);
}

bool ProgramRun::waitForExit (int timeoutMs, int& code)
{
    if (! ended && pid > 0)
        ended = waitForPid (pid, timeoutMs, exitCode);

    code = exitCode;
    return ended;
}

bool ProgramRun::isRunning()
{
    int code = 0;
    return pid > 0 && ! waitForExit (0, code);
}

juce::String ProgramRun::getOutput() const
{
    return scratch.getFolder().getChildFile ("output.txt").loadFileAsString();
}

//==============================================================================
XProbe::XProbe (const juce::String& name)
    : display (XOpenDisplay (name.toRawUTF8()))
{
    if (auto* d = static_cast<Display*> (display))
    {
        XInternAtom (d, "WM_PROTOCOLS", False);
        XInternAtom (d, "WM_DELETE_WINDOW", False);
        XSync (d, False);
    }
}

XProbe::~XProbe()
{
    if (display != nullptr)
        XCloseDisplay (static_cast<Display*> (display));
}

std::vector<XWindowInfo> XProbe::getViewableWindows()
{
    std::vector<XWindowInfo> result;
    auto* d = static_cast<Display*> (display);

    if (d == nullptr)
        return result;

    ScopedXErrorsIgnored ignoring (d);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int numChildren = 0;

    if (XQueryTree (d, DefaultRootWindow (d), &root, &parent, &children, &numChildren) == 0)
        return result;

    const auto wmName = XInternAtom (d, "WM_NAME", False);

    for (unsigned int i = 0; i < numChildren; ++i)
    {
        XWindowAttributes attributes {};

        if (XGetWindowAttributes (d, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
            continue;

        XWindowInfo info;
        info.id = children[i];
        info.x = attributes.x;
        info.y = attributes.y;
        info.width = attributes.width;
        info.height = attributes.height;
        info.viewable = true;

        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;

        if (XGetWindowProperty (d, children[i], wmName, 0, 1024, False, AnyPropertyType,
                                &type, &format, &items, &after, &data) == Success && data != nullptr)
        {
            if (format == 8)
                info.title = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) items);

            XFree (data);
        }

        if (auto* image = XGetImage (d, children[i], info.width / 2, info.height / 2, 1, 1, AllPlanes, ZPixmap))
        {
            info.painted = XGetPixel (image, 0, 0) != 0;
            XDestroyImage (image);
        }

        result.push_back (info);
    }

    if (children != nullptr)
        XFree (children);

    return result;
}

XWindowInfo XProbe::waitForPaintedWindow (const juce::String& title, int timeoutMs)
{
    const auto end = now() + timeoutMs;

    for (;;)
    {
        for (auto& w : getViewableWindows())
            if (w.title == title && w.painted)
                return w;

        if (now() > end)
            return {};

        pause (5);
    }
}

juce::Image XProbe::grab (unsigned long window)
{
    auto* d = static_cast<Display*> (display);

    if (d == nullptr)
        return {};

    ScopedXErrorsIgnored ignoring (d);
    XWindowAttributes attributes {};

    if (XGetWindowAttributes (d, window, &attributes) == 0)
        return {};

    auto* xImage = XGetImage (d, window, 0, 0, (unsigned) attributes.width, (unsigned) attributes.height,
                              AllPlanes, ZPixmap);

    if (xImage == nullptr)
        return {};

    juce::Image image (juce::Image::RGB, attributes.width, attributes.height, false);
    juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
        {
            const auto p = XGetPixel (xImage, x, y);
            pixels.setPixelColour (x, y, juce::Colour ((juce::uint8) ((p >> 16) & 0xff),
                                                       (juce::uint8) ((p >> 8) & 0xff),
                                                       (juce::uint8) (p & 0xff)));
        }

    XDestroyImage (xImage);
    return image;
}

bool XProbe::becomeTrayManager()
{
    auto* d = static_cast<Display*> (display);

    if (d == nullptr)
        return false;

    const auto selectionName = "_NET_SYSTEM_TRAY_S" + juce::String (DefaultScreen (d));
    const auto selection = XInternAtom (d, selectionName.toRawUTF8(), False);
    const auto window = XCreateSimpleWindow (d, DefaultRootWindow (d), 0, 0, 1, 1, 0, 0, 0);

    XSetSelectionOwner (d, selection, window, CurrentTime);
    XSync (d, False);
    return XGetSelectionOwner (d, selection) == window;
}

bool XProbe::waitForDockRequest (int timeoutMs)
{
    auto* d = static_cast<Display*> (display);

    if (d == nullptr)
        return false;

    const auto opcode = XInternAtom (d, "_NET_SYSTEM_TRAY_OPCODE", False);
    const auto end = now() + timeoutMs;

    while (now() < end)
    {
        while (XPending (d) > 0)
        {
            XEvent event {};
            XNextEvent (d, &event);

            if (event.type == ClientMessage && event.xclient.message_type == opcode
                 && event.xclient.data.l[1] == 0 /* request dock */)
                return true;
        }

        pause (5);
    }

    return false;
}

void XProbe::requestClose (unsigned long window)
{
    auto* d = static_cast<Display*> (display);

    if (d == nullptr)
        return;

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (d, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;

    XSendEvent (d, window, False, NoEventMask, &event);
    XFlush (d);
}

void XProbe::nudge (unsigned long window)
{
    auto* d = static_cast<Display*> (display);

    if (d == nullptr)
        return;

    ScopedXErrorsIgnored ignoring (d);
    const auto atom = XInternAtom (d, "Z9TEST_NUDGE", False);
    const long value = 1;
    XChangeProperty (d, window, atom, XA_CARDINAL, 32, PropModeReplace,
                     reinterpret_cast<const unsigned char*> (&value), 1);
    XFlush (d);
}

//==============================================================================
FileWriteCounter::FileWriteCounter (const juce::File& f)
    : file (f), fd (inotify_init1 (IN_NONBLOCK | IN_CLOEXEC))
{
    if (fd >= 0)
        inotify_add_watch (fd, file.getParentDirectory().getFullPathName().toRawUTF8(), IN_CLOSE_WRITE | IN_MOVED_TO);
}

FileWriteCounter::~FileWriteCounter()
{
    if (fd >= 0)
        close (fd);
}

int FileWriteCounter::count()
{
    if (fd < 0)
        return -1;

    alignas (inotify_event) char buffer[8192];

    for (;;)
    {
        const auto n = read (fd, buffer, sizeof (buffer));

        if (n <= 0)
            break;

        for (ssize_t offset = 0; offset < n;)
        {
            auto* event = reinterpret_cast<const inotify_event*> (buffer + offset);

            if (event->len > 0 && file.getFileName() == juce::String::fromUTF8 (event->name))
                ++total;

            offset += (ssize_t) (sizeof (inotify_event) + event->len);
        }
    }

    return total;
}

} // namespace z9test
