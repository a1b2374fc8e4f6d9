#include "firmware/BlhostTool.h"
#include "firmware/FirmwareFileReader.h"
#include "firmware/FirmwareWorkFolder.h"
#include "firmware/UpgraderState.h"
#include "core/base/Checksums.h"
#include "core/base/PlatformHelpers.h"
#include <atomic>

#if ! JUCE_WINDOWS
 #include <cerrno>
 #include <csignal>
 #include <fcntl.h>
 #include <poll.h>
 #include <spawn.h>
 #include <sys/wait.h>
 #include <unistd.h>

extern char** environ;
#endif

namespace vorlix
{

namespace
{
    const juce::String quote ("\"");

    /** A size argument: digits and signs only, so that it is one word. */
    bool isSizeText (const juce::String& text)
    {
        return text.isNotEmpty() && text.containsOnly ("0123456789-+");
    }

    juce::String toolExecutablePath (const juce::String& toolPath)
    {
        return blhostToolFile (toolPath).getFullPathName();
    }
}

bool isPlainToolText (const juce::String& text)
{
    for (auto c : text)
        if (c == '"' || c == '%' || c < 0x20 || c == 0x7f)
            return false;

    return true;
}

juce::File blhostToolFile (const juce::String& toolPath)
{
    auto path = toolPath.isNotEmpty() ? toolPath : juce::String ("resources\\Assets\\tools\\win\\blhost.exe");

   #if ! JUCE_WINDOWS
    path = path.replaceCharacter ('\\', '/');
   #endif

    if (juce::File::isAbsolutePath (path))
        return juce::File (path);

    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

bool blhostToolExists (const juce::String& toolPath)
{
    return blhostToolFile (toolPath).existsAsFile();
}

BlhostCommand makeBlhostCommand (const juce::String& toolPath, const juce::String& operation,
                                 const juce::String& argument1, const juce::String& argument2)
{
    BlhostCommand command;

    if (toolPath.isEmpty() || ! isPlainToolText (toolPath))
        return command;

    const auto op = operation.toLowerCase();
    const juce::String address (blhostFlashAddress);
    juce::String options, leading = quote;
    juce::StringArray arguments;

    if (op == "keep")
    {
        options = "-- get-property 1";
        arguments.addArray (juce::StringArray ("--", "get-property", "1"));
        command.pauseMs = 235;
    }
    else if (op == "erase")
    {
        if (! isSizeText (argument1))
            return command;

        auto size = argument1.getIntValue();

        if (size < 0 || size > blhostMaxEraseBytes)
            size = blhostMaxEraseBytes;

        const auto n = size / 64;
        command.pauseMs = (n >= 0 && n <= 64000) ? n : 5000;
        command.toolTimeoutMs = (n >= 5000 && n <= 64000) ? n : 5000;

        options = "-t " + juce::String (command.toolTimeoutMs) + " -- flash-erase-region " + address + " " + argument1;
        arguments.addArray (juce::StringArray ("-t", juce::String (command.toolTimeoutMs), "--", "flash-erase-region", address, argument1));
    }
    else if (op == "write" || op == "read")
    {
        const auto file = argument1.replaceCharacter ('\\', '/');

        if (file.isEmpty() || ! isPlainToolText (file))
            return command;

        leading = quote + quote;

        if (op == "write")
        {
            options = "-- write-memory " + address + " " + quote + file + quote;
            arguments.addArray (juce::StringArray ("--", "write-memory", address, file));
            command.pauseMs = 3000;
        }
        else
        {
            if (! isSizeText (argument2))
                return command;

            options = "-- read-memory " + address + " " + argument2 + " " + quote + file + quote;
            arguments.addArray (juce::StringArray ("--", "read-memory", address, argument2, file));
            command.pauseMs = 235;
        }
    }
    else if (op == "reset")
    {
        options = " -- reset";
        arguments.addArray (juce::StringArray ("--", "reset"));
        command.pauseMs = 235;
    }
    else
    {
        return command;
    }

    command.commandLine = leading + toolPath + quote + " -u " + options;
    command.arguments.add (toolExecutablePath (toolPath));
    command.arguments.add ("-u");
    command.arguments.addArray (arguments);
    command.valid = true;
    return command;
}

//==============================================================================
namespace
{
    juce::String outputToText (const juce::MemoryBlock& bytes)
    {
        return blhostOutputToText (bytes.getData(), bytes.getSize());
    }

    /** A short wait of the runner: on the message thread the message loop
        runs meanwhile (so the window repaints and takes Escape). */
    void idleBriefly (int ms)
    {
        if (auto* mm = juce::MessageManager::getInstanceWithoutCreating(); mm != nullptr && mm->isThisTheMessageThread())
            mm->runDispatchLoopUntil (ms);
    }

    bool isCapped (const juce::MemoryBlock& bytes, size_t cap, size_t more)
    {
        return bytes.getSize() + more > cap;
    }
}

#if JUCE_WINDOWS
namespace
{
    /** The runner on Windows: a juce::ChildProcess read on a thread of its
        own. */
    class ChildProcessRunner final : public ToolRunner
    {
    public:
        explicit ChildProcessRunner (size_t cap) : outputCap (cap) {}

        ToolRunResult run (const juce::StringArray& arguments, int timeoutMs) override
        {
            ToolRunResult result;

            if (arguments.isEmpty() || ! juce::File::isAbsolutePath (arguments[0])
                 || ! juce::File (arguments[0]).existsAsFile())
                return result;

            juce::ChildProcess process;

            if (! process.start (arguments, juce::ChildProcess::wantStdOut))
                return result;

            result.started = true;

            Reader reader (process, outputCap);
            reader.startThread();

            const auto deadline = juce::Time::getMillisecondCounterHiRes() + timeoutMs;

            while (! reader.finished.load() && ! reader.overflowed.load())
            {
                if (juce::Time::getMillisecondCounterHiRes() >= deadline)
                {
                    result.timedOut = true;
                    break;
                }

                idleBriefly (5);
                reader.done.wait (1);
            }

            if (process.isRunning())
                process.kill();

            reader.stopThread (2000);
            result.overflowed = reader.overflowed.load();
            process.waitForProcessToFinish (2000);
            result.output = outputToText (reader.bytes);
            return result;
        }

    private:
        struct Reader final : public juce::Thread
        {
            Reader (juce::ChildProcess& p, size_t cap) : juce::Thread ("blhost output"), process (p), capBytes (cap) {}

            void run() override
            {
                char buffer[512];

                while (! threadShouldExit())
                {
                    const auto n = process.readProcessOutput (buffer, (int) sizeof (buffer));

                    if (n <= 0)
                        break;

                    if (isCapped (bytes, capBytes, (size_t) n))
                    {
                        overflowed.store (true);
                        break;
                    }

                    bytes.append (buffer, (size_t) n);
                }

                finished.store (true);
                done.signal();
            }

            juce::ChildProcess& process;
            const size_t capBytes;
            juce::MemoryBlock bytes;
            std::atomic<bool> finished { false }, overflowed { false };
            juce::WaitableEvent done;
        };

        const size_t outputCap;
    };
}
#else
namespace
{
    /**
        The runner on POSIX systems.

        The tool starts (posix_spawn, with an argument list) as the leader of a
        process group of its own, its standard output a pipe that this thread
        reads without blocking, its standard input and error /dev/null. A run
        ends when the output has ended and the tool has ended; or at the
        time-out, or at the output cap; or a short grace after the tool has
        ended while something it started still holds the pipe open. Then
        whatever is left of the group (the tool, anything it started) is
        killed, and the tool is reaped. The group is killed before the tool is
        reaped, so its id cannot have been given to another process.
    */
    class GroupProcessRunner final : public ToolRunner
    {
    public:
        explicit GroupProcessRunner (size_t cap) : outputCap (cap) {}

        /** How long the run waits for the pipe to close once the tool has
            ended. */
        static constexpr int graceAfterEndMs = 1000;

        ToolRunResult run (const juce::StringArray& arguments, int timeoutMs) override
        {
            ToolRunResult result;

            if (arguments.isEmpty() || ! juce::File::isAbsolutePath (arguments[0])
                 || ! juce::File (arguments[0]).existsAsFile())
                return result;

            int pipeEnds[2];

            if (::pipe2 (pipeEnds, O_CLOEXEC) != 0)
                return result;

            const auto pid = spawn (arguments, pipeEnds[1]);
            ::close (pipeEnds[1]);

            if (pid <= 0)
            {
                ::close (pipeEnds[0]);
                return result;
            }

            result.started = true;
            const int fd = pipeEnds[0];
            ::fcntl (fd, F_SETFL, ::fcntl (fd, F_GETFL) | O_NONBLOCK);

            juce::MemoryBlock bytes;
            const auto start = juce::Time::getMillisecondCounterHiRes();
            const auto deadline = start + timeoutMs;
            double graceEnd = 0;
            bool outputEnded = false, toolEnded = false;

            for (;;)
            {
                if (! outputEnded)
                    outputEnded = drain (fd, bytes, result.overflowed);

                if (result.overflowed)
                    break;

                if (! toolEnded && hasEnded (pid))
                {
                    toolEnded = true;
                    graceEnd = juce::Time::getMillisecondCounterHiRes() + graceAfterEndMs;
                }

                if (outputEnded && toolEnded)
                    break;

                const auto now = juce::Time::getMillisecondCounterHiRes();

                if (now >= deadline)
                {
                    result.timedOut = ! toolEnded;
                    break;
                }

                if (toolEnded && now >= graceEnd)
                    break;   // something the tool started holds the pipe

                idleBriefly (4);

                if (! outputEnded)
                {
                    pollfd p { fd, POLLIN, 0 };
                    ::poll (&p, 1, 1);
                }
                else
                {
                    juce::Thread::sleep (1);
                }
            }

            ::close (fd);
            ::kill (-pid, SIGKILL);
            reap (pid);

            result.output = outputToText (bytes);
            return result;
        }

    private:
        static pid_t spawn (const juce::StringArray& arguments, int outputEnd)
        {
            std::vector<std::string> texts;

            for (auto& a : arguments)
                texts.push_back (a.toStdString());

            std::vector<char*> argv;

            for (auto& t : texts)
                argv.push_back (t.data());

            argv.push_back (nullptr);

            posix_spawn_file_actions_t actions;
            posix_spawnattr_t attributes;
            ::posix_spawn_file_actions_init (&actions);
            ::posix_spawnattr_init (&attributes);

            ::posix_spawn_file_actions_addopen (&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
            ::posix_spawn_file_actions_adddup2 (&actions, outputEnd, STDOUT_FILENO);
            ::posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

            // A group of its own (so that the whole of it can be ended), no
            // blocked signals and the usual dispositions of those a program
            // may have changed for itself.
            sigset_t none, defaults;
            sigemptyset (&none);
            sigemptyset (&defaults);

            for (auto s : { SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD })
                sigaddset (&defaults, s);

            ::posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
            ::posix_spawnattr_setpgroup (&attributes, 0);
            ::posix_spawnattr_setsigmask (&attributes, &none);
            ::posix_spawnattr_setsigdefault (&attributes, &defaults);

            pid_t pid = 0;
            const auto error = ::posix_spawn (&pid, argv[0], &actions, &attributes, argv.data(), environ);

            ::posix_spawnattr_destroy (&attributes);
            ::posix_spawn_file_actions_destroy (&actions);
            return error == 0 ? pid : 0;
        }

        /** Reads what the pipe holds; true at its end (or a read error). */
        bool drain (int fd, juce::MemoryBlock& bytes, bool& overflowed) const
        {
            char buffer[4096];

            for (;;)
            {
                const auto n = ::read (fd, buffer, sizeof (buffer));

                if (n > 0)
                {
                    if (isCapped (bytes, outputCap, (size_t) n))
                    {
                        overflowed = true;
                        return false;
                    }

                    bytes.append (buffer, (size_t) n);
                    continue;
                }

                if (n < 0 && errno == EINTR)
                    continue;

                return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            }
        }

        /** Whether the tool has ended, leaving it to be reaped. */
        static bool hasEnded (pid_t pid)
        {
            siginfo_t info {};

            if (::waitid (P_PID, (id_t) pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0)
                return errno != EINTR;

            return info.si_pid == pid;
        }

        /** Reaps the killed tool; a process stuck in the kernel gets a
            bounded wait. */
        static void reap (pid_t pid)
        {
            const auto deadline = juce::Time::getMillisecondCounterHiRes() + 5000;

            for (;;)
            {
                const auto r = ::waitpid (pid, nullptr, WNOHANG);

                if (r == pid || (r < 0 && errno != EINTR))
                    return;

                if (juce::Time::getMillisecondCounterHiRes() >= deadline)
                    return;

                juce::Thread::sleep (1);
            }
        }

        const size_t outputCap;
    };
}
#endif

std::unique_ptr<ToolRunner> ToolRunner::makeChildProcessRunner (size_t outputCapBytes)
{
   #if JUCE_WINDOWS
    return std::make_unique<ChildProcessRunner> (outputCapBytes);
   #else
    return std::make_unique<GroupProcessRunner> (outputCapBytes);
   #endif
}

//==============================================================================
BlhostTool::BlhostTool (std::unique_ptr<ToolRunner> r)
    : pause ([] (int ms) { NsZ9m::waitWhileDispatching (ms); }),
      runner (r != nullptr ? std::move (r) : ToolRunner::makeChildProcessRunner())
{
}

BlhostTool::~BlhostTool() = default;

int BlhostTool::runBlhost (const juce::String& operation, const juce::String& argument1, const juce::String& argument2)
{
    const auto& toolPath = upgraderState().toolPath;

    if (toolPath.isEmpty())
        return -1;

    const auto command = makeBlhostCommand (toolPath, operation, argument1, argument2);

    if (! command.valid)
        return -1;

    commandLines.add (command.commandLine);
    const auto run = runner->run (command.arguments, runTimeoutMs);

    if (pause)
        pause (command.pauseMs);

    if (! run.started || run.timedOut || run.overflowed)
        return -1;

    return readBlhostStatus (run.output);
}

juce::File BlhostTool::workingCopyFor (const juce::File& image, const juce::String& suffix)
{
    return FirmwareWorkFolder::get().getChildFile (image.getFileNameWithoutExtension() + suffix + image.getFileExtension());
}

juce::File BlhostTool::readBackFileFor (const juce::File& image)
{
    return FirmwareWorkFolder::get().getChildFile (image.getFileNameWithoutExtension() + ".dat");
}

juce::Result BlhostTool::upgradeWithBlhost (const juce::String& imagePath)
{
    auto& state = upgraderState();

    if (! juce::File::isAbsolutePath (imagePath) || ! juce::File (imagePath).existsAsFile())
        return juce::Result::fail ("No firmware file!");

    const juce::File image (imagePath);

    // The name goes into the tool's command line: it must stand for itself.
    if (! isPlainToolText (image.getFileName()))
        return juce::Result::fail ("The firmware file's name holds a double quote, a \"%\" or a control character: rename the file and try again.");

    // The image is read once: its size, the reference checksum and the
    // working copy all come from the same bytes.
    juce::MemoryBlock bytes;

    if (! readFirmwareFile (image, blhostMaxImageBytes, bytes).wasOk())
    {
        if (image.getSize() > blhostMaxImageBytes)
            return juce::Result::fail ("The firmware file is too large for the unit!");

        return juce::Result::fail ("No firmware file!");
    }

    if (bytes.isEmpty())
        return juce::Result::fail ("The firmware file is empty!");

    const auto size = (int) bytes.getSize();
    const auto reference = NsZ9m::bytesChecksum ((const juce::uint8*) bytes.getData(), bytes.getSize());

    const auto readBack = readBackFileFor (image);
    const auto workingCopy = workingCopyFor (image);

    // The working files are the upgrader's own: a file the user picked from
    // the working folder itself is never written over or removed.
    if (image == workingCopy || image == readBack)
        return juce::Result::fail ("The firmware file lies in the upgrader's working folder ("
                                   + workingCopy.getParentDirectory().getFullPathName()
                                   + "): move it to another folder and try again.");

    // Whatever the outcome, neither working file outlives the write.
    const juce::ScopeGuard removeWorkingFiles { [&] { workingCopy.deleteFile(); readBack.deleteFile(); } };

    if (! workingCopy.getParentDirectory().createDirectory().wasOk()
         || ! workingCopy.replaceWithData (bytes.getData(), bytes.getSize()))
        return juce::Result::fail ("Cannot create firmware file!");

    // An Escape left over from an earlier step never counts as an upgrade.
    if (state.abort)
        return juce::Result::fail ("Firmware upgrade aborted!");

    auto wait = [this] (int ms) { if (pause) pause (ms); };

    if (runBlhost ("erase", juce::String (size + 4096), {}) != 1)
    {
        eraseImageStart();
        return juce::Result::fail ("Erase failed!");
    }

    // From here on the unit's old image is gone, and anything short of a
    // verified read-back ends with the first 4096 bytes of the image erased
    // again, so that the unit never boots a half-written or unchecked image.
    // An Escape (the abort flag, set while a run or a pause turns the message
    // loop) never cuts a tool command short: it stops the next step, and the
    // erase still runs.
    auto fail = [this, &state] (const juce::String& text)
    {
        eraseImageStart();
        state.bootloaderActive = false;
        return juce::Result::fail (text);
    };

    const juce::String aborted ("Firmware upgrade aborted!");

    if (state.abort)
        return fail (aborted);

    if (runBlhost ("write", workingCopy.getFullPathName(), {}) == -1)
        return fail ("Write firmware failed!");

    if (state.abort)
        return fail (aborted);

    runBlhost ("keep", juce::String (524288), {});
    workingCopy.deleteFile();
    wait (235);

    if (state.abort)
        return fail (aborted);

    // Only what this read brings back may be compared: never a file left
    // behind by an earlier one.
    readBack.deleteFile();

    if (runBlhost ("read", readBack.getFullPathName(), juce::String (size)) != 1)
        return fail ("Check failed!");

    if (! readBack.existsAsFile())
        return fail ("check failed!");

    juce::MemoryBlock readBytes;
    const bool readOk = readFirmwareFile (readBack, blhostMaxEraseBytes, readBytes).wasOk();
    const bool same = readOk && readBytes == bytes
                       && NsZ9m::bytesChecksum ((const juce::uint8*) readBytes.getData(), readBytes.getSize()) == reference;

    wait (470);
    readBack.deleteFile();

    if (! same)
        return fail ("Wrote wrong data!");

    // The image is verified: the reset follows whatever was pressed meanwhile.
    auto result = juce::Result::ok();

    if (runBlhost ("reset", juce::String (524288), {}) != 1)
        result = juce::Result::fail ("OK. But reset failed!");

    state.bootloaderActive = false;
    return result;
}

bool BlhostTool::eraseImageStart()
{
    for (int attempt = 0; attempt < invalidatingEraseAttempts; ++attempt)
        if (runBlhost ("erase", "4096", {}) == 1)
            return true;

    return false;
}

} // namespace vorlix
