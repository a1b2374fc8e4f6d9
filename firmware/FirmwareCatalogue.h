#pragma once

#include "core/base/JuceIncludes.h"
#include <functional>

namespace vorlix
{

/*  The maker's firmware server: its catalogue of firmware images and the
    images themselves, fetched over HTTP (juce::URL, curl on Linux).

    Everything the server sends is checked before use: each request has a
    connection time-out and an overall time bound, bodies have a size cap,
    only 2xx answers count as a document, the catalogue goes through the
    strict XML reader, and a catalogue entry's "fw" path only ever yields a
    plain ".bin" file name of the unit's product.

    The requests run on a thread of their own while the calling (message)
    thread waits with its message loop running; message thread only, unless
    said otherwise.
*/

//==============================================================================
/** The base address of the firmware server, ending with "/": one setting for
    the whole program. Tests point it at a server of their own. */
struct FirmwareServer
{
    static constexpr const char* defaultBaseAddress = "http://firmware.vorlix.com/";

    static constexpr int connectionTimeoutMs = 2000;
    static constexpr int maxRedirects = 5;

    /** Bounds of what the server may send. */
    static constexpr juce::int64 maxCatalogueBytes = 1024 * 1024;
    static constexpr juce::int64 maxImageBytes = 2097152 - 1;

    /** The overall time a catalogue read or a download may take. */
    static constexpr int catalogueTimeLimitMs = 20000;
    static constexpr int downloadTimeLimitMs = 120000;

    static juce::String getBaseAddress();

    /** Sets the base address; one without a final "/" gets one. Only http and
        https addresses are taken (anything else is refused, returning false). */
    static bool setBaseAddress (const juce::String& address);

    /** Sets the base address for its own lifetime (tests). */
    struct ScopedBaseAddress
    {
        explicit ScopedBaseAddress (const juce::String& address);
        ~ScopedBaseAddress();

        juce::String previous;
    };
};

/** "firmware-special.xml" for the two products of the maker that the special
    catalogue serves, "firmware.xml" for every other. */
juce::String getCatalogueDocumentName (int productId);

//==============================================================================
/** The version number in a text: one digit before the first "." and up to
    three after it, as a float; 0 when the text has no "." or starts with one.
    "Z9-X 1.05" gives 1.05, "1.10" gives 1.1, "12.5" gives 2.5. */
float versionFromText (juce::String text);

/** The "fw" of the entry with the highest version (the first of equals), or
    an empty text when there are no entries. */
juce::String latestFirmwarePath (juce::ValueTree firmwares);

/** What the catalogue's versions say about a unit whose port name shows its
    firmware version (versionFromText): when the unit is older than the
    first entry, the chooser opens with a status text naming that entry; when
    it is as new as the first entry and there is a newer one, the chooser
    opens and must not confirm itself (newerVersion); when it is as new as
    every entry, the message says so (and a single entry is still offered). */
struct CatalogueVersionCheck
{
    bool offerChooser = false;
    bool newerVersion = false;
    juce::String message;       ///< "Your device is up-to-date." or empty
    juce::String statusText;    ///< "<name> <version> firmware is being downloaded here..." or empty
};

CatalogueVersionCheck compareWithCatalogue (const juce::String& unitPortName, juce::ValueTree firmwares);

/** The local file name that a catalogue entry's "fw" path gives: its last
    component. Empty (refused) when that is empty, "." or "..", when the path
    holds a backslash, a ":" or a control character, or a component "." or
    "..", or when the name does not end in ".bin". */
juce::String firmwareFileNameFromPath (const juce::String& fw);

/** Whether a firmware file name fits a product: the name without its
    extension, lower-cased and trimmed, matches the product's patterns
    (getFirmwareFilePattern). Used for chosen files and downloads alike. */
bool isFirmwareFileNameOfProduct (const juce::String& fileName, int productCode);

/**
    Reads a catalogue document held in memory into firmwares: the root's
    children, as the strict reader gives them, without the entries of other
    products ("pid") and without entries whose "fw" gives no usable file name.

    Fails with "Could not read server response" for a document that is not
    well-formed or too large, and with "No firmware matches in the server,
    please try again manually!" when no entry is left; firmwares is then left
    as it was. Any thread.
*/
juce::Result readFirmwareCatalogue (const void* data, size_t size, int productId, juce::ValueTree& firmwares);

//==============================================================================
/** What one HTTP GET brought back. */
struct HttpOutcome
{
    bool connected = false;           ///< a server answered
    int status = 0;                   ///< its status code (after redirects)
    juce::int64 declaredLength = -1;  ///< the length it announced, -1 when none
    juce::MemoryBlock body;           ///< what was read (only for a 2xx answer)
    bool complete = false;            ///< the body was read to its end, within the cap
    bool timedOut = false;            ///< the overall time bound ended the request

    bool isSuccess() const noexcept    { return status >= 200 && status <= 299; }
};

/** Waits for a request: called with the time to wait in ms, it must run the
    message loop meanwhile. Defaults to NsZ9m::waitWhileDispatching. */
using HttpWait = std::function<void (int)>;

/** One GET of url, following up to 5 redirects, with a connection time-out
    of connectionTimeoutMs; the body (when readBody) is read up to maxBytes
    (one byte more marks it as too large, and not complete). The request is
    cancelled when it takes longer than timeLimitMs. The caller's thread
    polls every 32 ms through wait. */
HttpOutcome httpGet (const juce::URL& url, bool readBody, juce::int64 maxBytes, int timeLimitMs,
                     const HttpWait& wait = {});

/** Up to three attempts to reach the server at url, each with a connection
    time-out of 2000 ms; between attempts the message loop runs for 50 ms.
    True when an answer's status lies within 200 to 304. */
bool isFirmwareServerReachable (const juce::URL& url, const HttpWait& wait = {});

/**
    Fetches the catalogue of a product into firmwares (see
    readFirmwareCatalogue). Failures, each leaving firmwares as it was:
    "Cannot fetch firmware details for Unknown product" (a product below 0 or
    2000), "The firmware server is currently unavailable.", "Error connecting
    to server" (no document: not a 2xx answer, cut off, too large or too
    slow), "Could not read server response" and "No firmware matches in the
    server, please try again manually!".
*/
juce::Result fetchFirmwareDetails (int productId, juce::ValueTree& firmwares, const HttpWait& wait = {});

/** The address of an entry's image: the base address followed by its "fw". */
juce::URL getFirmwareUrl (const juce::ValueTree& entry);

/**
    Downloads the image of a catalogue entry's "fw" into target, for a unit
    of productCode. Nothing is requested unless the path gives a usable file
    name (firmwareFileNameFromPath) that fits the product
    (isFirmwareFileNameOfProduct): "Not the matching firmware!". The download
    counts only with a 2xx answer, a body that is not empty, within
    maxImageBytes and as long as the length the server announced; target is
    written only then, whole ("Could not download firmware file" otherwise,
    and target is left as it was).
*/
juce::Result downloadFirmware (const juce::String& fw, int productCode, const juce::File& target,
                               const HttpWait& wait = {});

} // namespace vorlix
