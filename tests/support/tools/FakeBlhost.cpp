// A stand-in for the bootloader tool, for the upgrader's tests.
//
// It takes the tool's command lines (-u, -t, then "--" and one of
// get-property, flash-erase-region, write-memory, read-memory, reset), keeps
// the unit's flash in a file and answers as the tool does, with a
// "status = " line that ends in "Success." when the command worked.
//
// Everything lives in the folder named by the environment variable
// Z9_FAKE_BLHOST_DIR:
//   unit     "bootloader" while the unit runs its ROM bootloader; anything
//            else (or no file) and the tool cannot reach a unit. A reset
//            writes "running" here.
//   flash    the unit's flash (the firmware area from its start address).
//            The unit would boot the image in it when its first 4096 bytes
//            (the image's header and vector table) are not all erased (0xFF):
//            "bootable" in the tests means exactly that.
//   faults   lines "<command> <fault> [option ...]": command keep, erase,
//            write, read or reset; fault
//              none      the command works (for the options alone),
//              fail      a status without success,
//              nostatus  an error and no status,
//              garbage   malformed output,
//              endless   prints without end,
//              hang      never ends,
//              corrupt   write or read one wrong byte,
//              nofile    read: success but no file,
//              unplug    write: half the image is written, then the unit is
//                        gone (unit "gone") and the tool ends with no status,
//              held      the command works, but only once a file "go" is in
//                        the folder (or after 5 s); a write leaves the first
//                        half of the image in the flash meanwhile.
//            Options:
//              once      the line is used up by the first command it hits;
//              after     the command does its work first (the flash written,
//                        erased or read), then shows the fault;
//              slow      the command waits 400 ms before it starts;
//              child     the tool first starts a child process that keeps the
//                        tool's output open and sleeps 130 s (its process id
//                        goes into the file "children", one a line), as a
//                        tool that leaves something behind.
//   log      one line per run: the arguments, separated by " | ".
//
// Test-only code; plain C++ so it builds fast and depends on nothing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

namespace
{
    std::string folder;

    std::string pathOf (const std::string& name)   { return folder + "/" + name; }

    std::string readText (const std::string& path)
    {
        std::ifstream in (path, std::ios::binary);
        return std::string (std::istreambuf_iterator<char> (in), {});
    }

    void writeText (const std::string& path, const std::string& text)
    {
        std::ofstream out (path, std::ios::binary | std::ios::trunc);
        out << text;
    }

    std::vector<unsigned char> readBytes (const std::string& path)
    {
        std::ifstream in (path, std::ios::binary | std::ios::ate);

        if (! in)
            return {};

        const auto size = (std::streamsize) in.tellg();
        std::vector<unsigned char> bytes ((size_t) (size > 0 ? size : 0));
        in.seekg (0);
        in.read ((char*) bytes.data(), size);
        return bytes;
    }

    bool writeBytes (const std::string& path, const std::vector<unsigned char>& bytes)
    {
        std::ofstream out (path, std::ios::binary | std::ios::trunc);
        out.write ((const char*) bytes.data(), (std::streamsize) bytes.size());
        return (bool) out;
    }

    struct Fault
    {
        std::string name;                  // empty: no fault line
        std::vector<std::string> options;

        bool has (const std::string& option) const
        {
            return std::find (options.begin(), options.end(), option) != options.end();
        }
    };

    Fault faultFor (const std::string& command)
    {
        std::istringstream lines (readText (pathOf ("faults")));
        std::string line, kept;
        Fault found;

        while (std::getline (lines, line))
        {
            std::istringstream words (line);
            std::string cmd, fault, option;
            words >> cmd >> fault;
            std::vector<std::string> options;

            while (words >> option)
                options.push_back (option);

            if (found.name.empty() && cmd == command && ! fault.empty())
            {
                found = { fault, options };

                if (found.has ("once"))
                    continue;   // used up
            }

            kept += line + "\n";
        }

        if (! found.name.empty())
            writeText (pathOf ("faults"), kept);

        return found;
    }

    /** A child that keeps the tool's output open (it inherits it) and
        sleeps; the tool itself goes on. */
    void leaveChild()
    {
        std::cout.flush();
        const auto pid = fork();

        if (pid == 0)
        {
            std::this_thread::sleep_for (std::chrono::seconds (130));
            _exit (0);
        }

        if (pid > 0)
        {
            std::ofstream children (pathOf ("children"), std::ios::app);
            children << pid << "\n";
        }
    }

    /** Until the test lets the command go on (the file "go"), 5 s at most. */
    void waitForGo()
    {
        for (int waited = 0; waited < 5000 && ! std::ifstream (pathOf ("go")); waited += 10)
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }

    int fail (const std::string& text)
    {
        std::cout << text << "\n";
        return 1;
    }

    constexpr size_t flashBytes = 1052672;
}

namespace
{
    int failTo (std::ostream& out, const std::string& text)
    {
        out << text << "\n";
        return 1;
    }

    /** What the command does to the unit and what it answers (into out);
        the tool's exit code. */
    int work (const std::string& command, const std::string& verb, const std::vector<std::string>& rest,
              const std::string& fault, std::ostream& out)
    {
        out << "Inject command '" << verb << "'\n";
        const auto address = [&] { return rest.empty() ? std::string() : rest[0]; };
        const std::string ok = "Response status = 0 (0x0) Success.\n";

        if (command == "keep")
        {
            if (rest.size() != 1 || rest[0] != "1")
                return failTo (out, "Error: bad get-property");

            out << ok << "Response word 1 = 1258487808 (0x4b030000)\nCurrent Version = K3.0.0\n";
            return 0;
        }

        if (command == "reset")
        {
            if (! rest.empty())
                return failTo (out, "Error: bad reset");

            out << "Successful generic response to command 'reset'\n" << ok;
            writeText (pathOf ("unit"), "running");
            return 0;
        }

        if (address() != "0x60010000")
            return failTo (out, "Error: bad address");

        auto flash = readBytes (pathOf ("flash"));
        flash.resize (flashBytes, 0xff);

        if (command == "erase")
        {
            if (rest.size() != 2)
                return failTo (out, "Error: bad flash-erase-region");

            const auto size = std::strtoul (rest[1].c_str(), nullptr, 10);

            if (size == 0 || size > flashBytes)
            {
                out << "Response status = 10200 (0x27d8) Memory range invalid.\n";
                return 1;
            }

            for (size_t b = 0; b < size; ++b)
                flash[b] = 0xff;

            writeBytes (pathOf ("flash"), flash);
            out << "Successful generic response to command 'flash-erase-region'\n" << ok;
            return 0;
        }

        if (command == "write")
        {
            if (rest.size() != 2)
                return failTo (out, "Error: bad write-memory");

            auto data = readBytes (rest[1]);

            if (data.empty() || data.size() > flashBytes)
                return failTo (out, "Error: cannot read " + rest[1]);

            if (fault == "corrupt")
                data[data.size() / 2] ^= 0x5a;

            if (fault == "unplug")
            {
                for (size_t b = 0; b < data.size() / 2; ++b)
                    flash[b] = data[b];

                writeBytes (pathOf ("flash"), flash);
                writeText (pathOf ("unit"), "gone");
                return failTo (out, "Error: read_data() returned no data: the device was removed.");
            }

            if (fault == "held")
            {
                for (size_t b = 0; b < data.size() / 2; ++b)
                    flash[b] = data[b];

                writeBytes (pathOf ("flash"), flash);
                waitForGo();
            }

            for (size_t b = 0; b < data.size(); ++b)
                flash[b] = data[b];

            writeBytes (pathOf ("flash"), flash);
            out << "Preparing to send " << data.size() << " bytes to the target.\n"
                << "Successful generic response to command 'write-memory'\n"
                << "Wrote " << data.size() << " of " << data.size() << " bytes.\n" << ok;
            return 0;
        }

        // read
        if (rest.size() != 3)
            return failTo (out, "Error: bad read-memory");

        const auto size = std::strtoul (rest[1].c_str(), nullptr, 10);

        if (size == 0 || size > flashBytes)
            return failTo (out, "Error: bad size");

        std::vector<unsigned char> data (flash.begin(), flash.begin() + (long) size);

        if (fault == "corrupt")
            data[0] ^= 0x01;

        if (fault != "nofile" && ! writeBytes (rest[2], data))
            return failTo (out, "Error: cannot write " + rest[2]);

        out << "Reading memory\nSuccessful response to command 'read-memory'\n"
            << "Read " << size << " of " << size << " bytes.\n" << ok;
        return 0;
    }
}

int main (int argc, char** argv)
{
    const char* dir = std::getenv ("Z9_FAKE_BLHOST_DIR");

    if (dir == nullptr)
        return fail ("Z9_FAKE_BLHOST_DIR is not set");

    folder = dir;
    std::vector<std::string> args (argv + 1, argv + argc);

    {
        std::string line;
        for (size_t i = 0; i < args.size(); ++i)
            line += (i > 0 ? " | " : "") + args[i];

        std::ofstream log (pathOf ("log"), std::ios::app);
        log << line << "\n";
    }

    // -u [-t ms] -- command ...
    size_t i = 0;

    if (i >= args.size() || args[i++] != "-u")
        return fail ("Error: expected -u");

    if (i < args.size() && args[i] == "-t")
    {
        if (i + 1 >= args.size() || std::atoi (args[i + 1].c_str()) <= 0)
            return fail ("Error: bad -t");
        i += 2;
    }

    if (i >= args.size() || args[i++] != "--" || i >= args.size())
        return fail ("Error: expected -- and a command");

    const std::string verb = args[i++];
    const std::vector<std::string> rest (args.begin() + (long) i, args.end());
    const std::string command = verb == "get-property" ? "keep"
                              : verb == "flash-erase-region" ? "erase"
                              : verb == "write-memory" ? "write"
                              : verb == "read-memory" ? "read"
                              : verb == "reset" ? "reset" : "";

    if (command.empty())
        return fail ("Error: unknown command " + verb);

    if (readText (pathOf ("unit")).rfind ("bootloader", 0) != 0)
        return fail ("Error: UsbHidPeripheral() cannot open USB HID device (vid=0x1fc9, pid=0x0135).");

    const auto fault = faultFor (command);

    if (fault.has ("slow"))
        std::this_thread::sleep_for (std::chrono::milliseconds (400));

    if (fault.has ("child"))
        leaveChild();

    if (fault.name == "held" && command != "write")
        waitForGo();

    // The faults that replace the tool's answer: before the command's work,
    // or after it with the option "after".
    auto showFault = [&]() -> int
    {
        if (fault.name == "hang")
        {
            std::cout.flush();

            for (;;)
                std::this_thread::sleep_for (std::chrono::hours (1));
        }

        if (fault.name == "endless")
        {
            for (unsigned long n = 0;; ++n)
                std::cout << "Inject command '" << verb << "' " << n << " ................................................\n";
        }

        if (fault.name == "garbage")
        {
            std::cout << "st\x01tus \xff\xfe= 0 (0x0) Su" << std::string (1, '\0') << "ccess.\n\x80\x81 statuss=";
            return 3;
        }

        if (fault.name == "nostatus")
            return fail ("Error: Initial ping failure: No response received for ping command.");

        if (fault.name == "fail")
        {
            std::cout << "Inject command '" << verb << "'\n"
                      << "Response status = 10200 (0x27d8) Command failure.\n";
            return 1;
        }

        return -1;
    };

    const bool after = fault.has ("after");

    if (! after)
        if (const auto code = showFault(); code >= 0)
            return code;

    std::ostringstream answer;
    const auto code = work (command, verb, rest, fault.name, answer);

    if (after)
        if (const auto faultCode = showFault(); faultCode >= 0)
            return faultCode;

    std::cout << answer.str();
    return code;
}
