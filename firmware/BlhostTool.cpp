#include "firmware/BlhostTool.h"
#include "firmware/FirmwareFileReader.h"
#include "firmware/FirmwareWorkFolder.h"
#include "firmware/UpgraderState.h"
#include "core/base/Checksums.h"
#include "core/base/PlatformHelpers.h"
#include <atomic>

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

int readBlhostStatus (const juce::String& output)
{
    if (! output.contains ("status = "))
        return -1;

    return output.contains ("Success.") ? 1 : 0;
}

//==============================================================================
namespace
{
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

            while (! reader.finished.load())
            {
                if (reader.overflowed.load())
                    break;

                if (juce::Time::getMillisecondCounterHiRes() >= deadline)
                {
                    result.timedOut = true;
                    break;
                }

                waitBriefly (reader);
            }

            if (result.timedOut || reader.overflowed.load() || ! reader.finished.load())
                process.kill();   // its end of the pipe closes, and the reader sees the end

            reader.stopThread (-1);
            result.overflowed = reader.overflowed.load();
            endProcess (process);

            result.output = toText (reader.bytes);
            return result;
        }

    private:
        struct Reader final : public juce::Thread
        {
            Reader (juce::ChildProcess& p, size_t cap) : juce::Thread ("blhost output"), process (p), capBytes (cap) {}

            void run() override
            {
                char buffer[512];

                for (;;)
                {
                    const auto n = process.readProcessOutput (buffer, (int) sizeof (buffer));

                    if (n <= 0)
                        break;

                    if (bytes.getSize() + (size_t) n > capBytes)
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

        static void waitBriefly (Reader& reader)
        {
            if (auto* mm = juce::MessageManager::getInstanceWithoutCreating(); mm != nullptr && mm->isThisTheMessageThread())
                mm->runDispatchLoopUntil (5);
            else
                reader.done.wait (5);
        }

        static void idle()
        {
            if (auto* mm = juce::MessageManager::getInstanceWithoutCreating(); mm != nullptr && mm->isThisTheMessageThread())
                mm->runDispatchLoopUntil (1);
            else
                juce::Thread::sleep (1);
        }

        /** The output as text: bytes that are not UTF-8 are read one by one
            as characters, and a zero byte as a blank, so that no marker is
            hidden behind one and no text is malformed. */
        static juce::String toText (const juce::MemoryBlock& bytes)
        {
            auto* data = static_cast<const char*> (bytes.getData());
            const auto size = (int) bytes.getSize();

            if (size == 0)
                return {};

            std::string copy (data, (size_t) size);

            for (auto& c : copy)
                if (c == 0)
                    c = ' ';

            if (juce::CharPointer_UTF8::isValidString (copy.data(), size))
                return juce::String::fromUTF8 (copy.data(), size);

            for (auto& c : copy)
                if ((unsigned char) c >= 0x80)
                    c = '?';

            return juce::String (copy.data(), (size_t) size);
        }

        /** Waits (briefly) for the process to end once its output has ended,
            killing it when it goes on, so that no process is left behind. */
        static void endProcess (juce::ChildProcess& process)
        {
            const auto deadline = juce::Time::getMillisecondCounterHiRes() + 2000;

            while (process.isRunning())
            {
                if (juce::Time::getMillisecondCounterHiRes() >= deadline)
                {
                    process.kill();
                    process.waitForProcessToFinish (2000);
                    break;
                }

                idle();
            }
        }

        const size_t outputCap;
    };
}

std::unique_ptr<ToolRunner> ToolRunner::makeChildProcessRunner (size_t outputCapBytes)
{
    return std::make_unique<ChildProcessRunner> (outputCapBytes);
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

    if (! workingCopy.getParentDirectory().createDirectory().wasOk()
         || ! workingCopy.replaceWithData (bytes.getData(), bytes.getSize()))
    {
        workingCopy.deleteFile();
        return juce::Result::fail ("Cannot create firmware file!");
    }

    // An Escape left over from an earlier step never counts as an upgrade.
    if (state.abort)
    {
        workingCopy.deleteFile();
        return juce::Result::fail ("Firmware upgrade aborted!");
    }

    auto wait = [this] (int ms) { if (pause) pause (ms); };

    if (runBlhost ("erase", juce::String (size + 4096), {}) != 1)
    {
        runBlhost ("erase", "4096", {});
        return juce::Result::fail ("Erase failed!");
    }

    if (runBlhost ("write", workingCopy.getFullPathName(), {}) == -1)
    {
        state.bootloaderActive = false;
        return juce::Result::fail ("Write firmware failed!");
    }

    runBlhost ("keep", juce::String (524288), {});
    workingCopy.deleteFile();
    wait (235);

    auto result = juce::Result::ok();
    bool checkFailed = false;

    // Only what this read brings back may be compared: never a file left
    // behind by an earlier one.
    readBack.deleteFile();

    if (runBlhost ("read", readBack.getFullPathName(), juce::String (size)) != 1)
    {
        result = juce::Result::fail ("Check failed!");
        checkFailed = true;
    }
    else if (readBack.existsAsFile())
    {
        juce::MemoryBlock readBytes;
        const bool readOk = readFirmwareFile (readBack, blhostMaxEraseBytes, readBytes).wasOk();

        if (! readOk || readBytes != bytes
             || NsZ9m::bytesChecksum ((const juce::uint8*) readBytes.getData(), readBytes.getSize()) != reference)
        {
            result = juce::Result::fail ("Wrote wrong data!");
            checkFailed = true;
        }

        wait (470);
        readBack.deleteFile();
    }
    else
    {
        result = juce::Result::fail ("check failed!");
        checkFailed = true;
    }

    if (! checkFailed)
    {
        if (runBlhost ("reset", juce::String (524288), {}) != 1)
            result = juce::Result::fail ("OK. But reset failed!");

        state.bootloaderActive = false;
    }
    else
    {
        if (! state.abort)
            runBlhost ("erase", "4096", {});

        state.bootloaderActive = false;
    }

    return result;
}

} // namespace vorlix
