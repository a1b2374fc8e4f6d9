// What the bootloader tool prints: any bytes, read as the upgrader reads a
// run's output, and its verdict.
#include "firmware/BlhostOutput.h"
#include <string>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace vorlix;

    // The runner never reads more than its cap of 1 MB.
    if (size > (1 << 20))
        return 0;

    const auto text = blhostOutputToText (data, size);
    const auto status = readBlhostStatus (text);

    if (status < -1 || status > 1)
        __builtin_trap();

    // Every byte is one character at most, and every ASCII byte stands for
    // itself (a zero byte for a blank), so a marker in the bytes is never
    // lost, nor made up.
    if ((size_t) text.length() > size)
        __builtin_trap();

    std::string bytes (reinterpret_cast<const char*> (data), size);

    for (auto& c : bytes)
        if (c == 0)
            c = ' ';

    const bool hasStatus = bytes.find ("status = ") != std::string::npos;
    const bool hasSuccess = bytes.find ("Success.") != std::string::npos;

    if (hasStatus != (status != -1) || (hasStatus && hasSuccess != (status == 1)))
        __builtin_trap();

    return 0;
}
