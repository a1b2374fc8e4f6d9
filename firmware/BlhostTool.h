#pragma once

#include "firmware/BlhostOutput.h"
#include "core/base/JuceIncludes.h"
#include <functional>

namespace vorlix
{

/*  The bootloader tool (NXP's blhost) and the write of a firmware image
    through it.

    The tool is started directly with an argument list, never through a
    command interpreter, and its standard output is read to its end. Each
    command also has the command line as the interpreter of the Windows
    program would get it (BlhostCommand::commandLine): that text is what the
    user may see and what tests compare, byte for byte.
*/

/** The start of the unit's firmware area in every command. */
inline constexpr const char* blhostFlashAddress = "0x60010000";

/** The largest erase the tool is asked for (hexadecimal 101000): a larger or
    unreadable size is erased as this one. */
inline constexpr int blhostMaxEraseBytes = 1052672;

/** The largest image the unit's firmware area takes: the erase covers the
    image and 4096 bytes more. */
inline constexpr int blhostMaxImageBytes = blhostMaxEraseBytes - 4096;

/** One tool command, built by makeBlhostCommand. */
struct BlhostCommand
{
    bool valid = false;            ///< a known operation with arguments the tool can take
    juce::String commandLine;      ///< the Windows command-line text
    juce::StringArray arguments;   ///< what is run: the tool, then its arguments
    int pauseMs = 0;               ///< the pause that follows the run
    int toolTimeoutMs = 5000;      ///< the time-out the tool itself is given (-t), 5000 unless erasing
};

/** True when the text holds no double quote, no "%" and no control
    character, so it stands for itself in a command line. */
bool isPlainToolText (const juce::String& text);

/** The command of an operation ("keep", "erase", "write", "read", "reset",
    compared ignoring case) for the tool at toolPath: for "erase" argument1
    is the size text, for "write" the file, for "read" the file and argument2
    the size text. Invalid for an empty tool path, any other operation, or a
    tool path or file that is not plain text (isPlainToolText). */
BlhostCommand makeBlhostCommand (const juce::String& toolPath, const juce::String& operation,
                                 const juce::String& argument1, const juce::String& argument2);

/** The file that a tool path names (its backslashes are folder separators).
    An empty path names "resources\Assets\tools\win\blhost.exe" in the
    current folder. */
juce::File blhostToolFile (const juce::String& toolPath);

/** Whether the tool at toolPath exists as a file. */
bool blhostToolExists (const juce::String& toolPath);

//==============================================================================
/** What one run of an external program gave. */
struct ToolRunResult
{
    bool started = false;      ///< the program was started
    bool timedOut = false;     ///< it ran past its time and was killed
    bool overflowed = false;   ///< it printed more than the cap and was killed
    juce::String output;       ///< its standard output (at most the cap)
};

/**
    Runs an external program with an argument list and reads its standard
    output.

    The program's own runner starts the program (with an argument list,
    never through a command interpreter) as the leader of a process group of
    its own, and reads its output on the calling thread while it waits for it
    to end, running the message loop meanwhile when called on the message
    thread, so the window repaints and takes Escape. At timeoutMs or past
    outputCapBytes of output, or a second after the program itself has ended
    while something it started still holds its output open, the whole group
    is killed and the reading stops: a run always returns within timeoutMs
    and a small margin, and leaves no process behind. Message thread (or any
    one thread at a time).
*/
class ToolRunner
{
public:
    virtual ~ToolRunner() = default;

    virtual ToolRunResult run (const juce::StringArray& arguments, int timeoutMs) = 0;

    /** The program's runner. */
    static std::unique_ptr<ToolRunner> makeChildProcessRunner (size_t outputCapBytes = 1 << 20);
};

//==============================================================================
/**
    Runs the bootloader tool of the upgrader's state (UpgraderState::toolPath)
    and writes one firmware image through it (upgradeWithBlhost).

    It reads the abort flag and clears the bootloader-active flag of
    upgraderState(). Its pauses run the message loop (pause, replaceable by
    tests). Message thread only.
*/
class BlhostTool
{
public:
    /** runner: the program's runner when null. */
    explicit BlhostTool (std::unique_ptr<ToolRunner> runner = nullptr);
    ~BlhostTool();

    /** One tool command (see makeBlhostCommand) and its pause: -1 when it was
        not run or its output holds no status, 0 when the status is not
        "Success.", 1 when it is. A run that times out or prints without end
        is killed and gives -1. */
    int runBlhost (const juce::String& operation, const juce::String& argument1, const juce::String& argument2);

    /** The whole write of the image at imagePath: working copy, erase, write,
        read-back and comparison, reset. Fails with the text that the wizard
        shows.

        Once the image area has been erased, every outcome short of a
        verified read-back (a failed, killed or unconfirmed write, a failed or
        differing read-back, an Escape at any moment of the write) ends with
        the first 4096 bytes of the image erased again (eraseImageStart), so
        that the unit never boots a half-written or unchecked image. The
        abort flag only stops the next step: a running tool command always
        ends on its own (or at its time-out). The working copy and the
        read-back file are removed on every path; the image file itself is
        only read. */
    juce::Result upgradeWithBlhost (const juce::String& imagePath);

    /** How many times the invalidating erase is tried: a unit that has just
        failed a write may miss one command, and each try is bounded by the
        run's time-out. */
    static constexpr int invalidatingEraseAttempts = 3;

    /** The working copy of an image: the working folder, the image's name
        without extension, suffix and the extension; and the read-back file:
        the name without extension and ".dat". */
    static juce::File workingCopyFor (const juce::File& image, const juce::String& suffix = "_");
    static juce::File readBackFileFor (const juce::File& image);

    /** How long a run may take: the longest time the tool is ever given for
        an erase, plus a margin. */
    static constexpr int defaultRunTimeoutMs = 64000 + 30000;

    /** The pauses, by default waitWhileDispatching. */
    std::function<void (int)> pause;

    /** The time-out of every run; tests shorten it. */
    int runTimeoutMs = defaultRunTimeoutMs;

    /** Every command line run, in order (what the user may be shown). */
    juce::StringArray commandLines;

private:
    std::unique_ptr<ToolRunner> runner;

    /** The erase of the first 4096 bytes of the image area after a failed
        write, tried up to invalidatingEraseAttempts times until the tool
        confirms it; false when it never did. */
    bool eraseImageStart();

    JUCE_DECLARE_NON_COPYABLE (BlhostTool)
};

} // namespace vorlix
