// The firmware catalogue as the server may send it: any bytes, read for the
// Pad16, and everything the selection step then does with the entries.
#include "firmware/FirmwareCatalogue.h"
#include "core/base/StoredNumber.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace vorlix;
    constexpr int pad16 = 2017;

    juce::ValueTree firmwares ("firmwares");

    if (readFirmwareCatalogue (data, size, pad16, firmwares).wasOk())
    {
        if (firmwares.getNumChildren() == 0)
            __builtin_trap();

        for (const auto& entry : firmwares)
        {
            const auto name = firmwareFileNameFromPath (entry["fw"].toString());

            // Only a plain ".bin" name of the product's entries is ever kept.
            if (NsZ9m::StoredNumber::read (entry, "pid", -1) != pad16 || name.isEmpty()
                 || name.containsAnyOf ("/\\:") || name == "." || name == ".." || ! name.endsWithIgnoreCase (".bin"))
                __builtin_trap();

            volatile bool fits = isFirmwareFileNameOfProduct (name, pad16);
            (void) fits;
        }

        volatile float latest = versionFromText (latestFirmwarePath (firmwares));
        (void) latest;

        const auto check = compareWithCatalogue (firmwares.getChild (0)["version"].toString(), firmwares);
        volatile bool offered = check.offerChooser;
        (void) offered;
    }
    else if (firmwares.getNumChildren() != 0 || firmwares.getType().toString() != "firmwares")
    {
        __builtin_trap();   // a refused catalogue leaves the tree as it was
    }

    // The same bytes as an entry's "fw" text and as a port name.
    if (juce::CharPointer_UTF8::isValidString (reinterpret_cast<const char*> (data), (int) size))
    {
        const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
        const auto name = firmwareFileNameFromPath (text);

        if (name.isNotEmpty() && (name.containsAnyOf ("/\\:") || ! name.endsWithIgnoreCase (".bin")))
            __builtin_trap();

        volatile float version = versionFromText (text);
        (void) version;
    }

    return 0;
}
