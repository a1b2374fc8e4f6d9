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
//   faults   lines "<command> <fault>": command keep, erase, write, read or
//            reset; fault fail (a status without success), nostatus,
//            garbage, endless (prints without end), hang (never ends),
//            corrupt (write or read one wrong byte), nofile (read: success
//            but no file), slow (works, but only once a file "go" is in the
//            folder, or after 5 s; a write leaves the first half of the
//            image in the flash meanwhile). A fault line "<command> <fault> once" is used up
//            by the first command it hits.
//   log      one line per run: the arguments, separated by " | ".
//
// Test-only code; plain C++ so it builds fast and depends on nothing.

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

    std::string faultFor (const std::string& command)
    {
        std::istringstream lines (readText (pathOf ("faults")));
        std::string line, kept, found;

        while (std::getline (lines, line))
        {
            std::istringstream words (line);
            std::string cmd, fault, once;
            words >> cmd >> fault >> once;

            if (found.empty() && cmd == command)
            {
                found = fault;

                if (once == "once")
                    continue;   // used up
            }

            kept += line + "\n";
        }

        if (! found.empty())
            writeText (pathOf ("faults"), kept);

        return found;
    }

    int fail (const std::string& text)
    {
        std::cout << text << "\n";
        return 1;
    }

    constexpr size_t flashBytes = 1052672;
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

    if (fault == "hang")
    {
        for (;;)
            std::this_thread::sleep_for (std::chrono::hours (1));
    }

    const auto slowly = fault == "slow";

    const auto waitForGo = []
    {
        for (int waited = 0; waited < 5000 && ! std::ifstream (pathOf ("go")); waited += 10)
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
    };

    if (slowly && command != "write")
        waitForGo();

    if (fault == "endless")
    {
        for (unsigned long n = 0;; ++n)
            std::cout << "Inject command '" << verb << "' " << n << " ................................................\n";
    }

    if (fault == "garbage")
    {
        std::cout << "st\x01tus \xff\xfe= 0 (0x0) Su" << std::string (1, '\0') << "ccess.\n\x80\x81 statuss=";
        return 3;
    }

    if (fault == "nostatus")
        return fail ("Error: Initial ping failure: No response received for ping command.");

    std::cout << "Inject command '" << verb << "'\n";

    if (fault == "fail")
    {
        std::cout << "Response status = 10200 (0x27d8) Command failure.\n";
        return 1;
    }

    const auto address = [&] { return rest.empty() ? std::string() : rest[0]; };
    const std::string ok = "Response status = 0 (0x0) Success.\n";

    if (command == "keep")
    {
        if (rest.size() != 1 || rest[0] != "1")
            return fail ("Error: bad get-property");

        std::cout << ok << "Response word 1 = 1258487808 (0x4b030000)\nCurrent Version = K3.0.0\n";
        return 0;
    }

    if (command == "reset")
    {
        if (! rest.empty())
            return fail ("Error: bad reset");

        std::cout << "Successful generic response to command 'reset'\n" << ok;
        writeText (pathOf ("unit"), "running");
        return 0;
    }

    if (address() != "0x60010000")
        return fail ("Error: bad address");

    auto flash = readBytes (pathOf ("flash"));
    flash.resize (flashBytes, 0xff);

    if (command == "erase")
    {
        if (rest.size() != 2)
            return fail ("Error: bad flash-erase-region");

        const auto size = std::strtoul (rest[1].c_str(), nullptr, 10);

        if (size == 0 || size > flashBytes)
        {
            std::cout << "Response status = 10200 (0x27d8) Memory range invalid.\n";
            return 1;
        }

        for (size_t b = 0; b < size; ++b)
            flash[b] = 0xff;

        writeBytes (pathOf ("flash"), flash);
        std::cout << "Successful generic response to command 'flash-erase-region'\n" << ok;
        return 0;
    }

    if (command == "write")
    {
        if (rest.size() != 2)
            return fail ("Error: bad write-memory");

        auto data = readBytes (rest[1]);

        if (data.empty() || data.size() > flashBytes)
            return fail ("Error: cannot read " + rest[1]);

        if (fault == "corrupt")
            data[data.size() / 2] ^= 0x5a;

        if (slowly)
        {
            for (size_t b = 0; b < data.size() / 2; ++b)
                flash[b] = data[b];

            writeBytes (pathOf ("flash"), flash);
            waitForGo();
        }

        for (size_t b = 0; b < data.size(); ++b)
            flash[b] = data[b];

        writeBytes (pathOf ("flash"), flash);
        std::cout << "Preparing to send " << data.size() << " bytes to the target.\n"
                  << "Successful generic response to command 'write-memory'\n"
                  << "Wrote " << data.size() << " of " << data.size() << " bytes.\n" << ok;
        return 0;
    }

    // read
    if (rest.size() != 3)
        return fail ("Error: bad read-memory");

    const auto size = std::strtoul (rest[1].c_str(), nullptr, 10);

    if (size == 0 || size > flashBytes)
        return fail ("Error: bad size");

    std::vector<unsigned char> data (flash.begin(), flash.begin() + (long) size);

    if (fault == "corrupt")
        data[0] ^= 0x01;

    if (fault != "nofile" && ! writeBytes (rest[2], data))
        return fail ("Error: cannot write " + rest[2]);

    std::cout << "Reading memory\nSuccessful response to command 'read-memory'\n"
              << "Read " << size << " of " << size << " bytes.\n" << ok;
    return 0;
}
