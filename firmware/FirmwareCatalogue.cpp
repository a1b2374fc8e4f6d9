#include "firmware/FirmwareCatalogue.h"
#include "firmware/FirmwareProducts.h"
#include "core/base/PlatformHelpers.h"
#include "core/base/StoredNumber.h"
#include "core/files/StrictXmlReader.h"
#include <atomic>

namespace vorlix
{

//==============================================================================
namespace
{
    bool isHttpAddress (const juce::String& address)
    {
        return address.startsWithIgnoreCase ("http://") || address.startsWithIgnoreCase ("https://");
    }

    juce::String withFinalSlash (juce::String address)
    {
        return address.endsWithChar ('/') ? address : address + "/";
    }

    juce::String& baseAddress()
    {
        // The program always talks to the maker's server; only a test moves
        // it, through FirmwareServer::setBaseAddress.
        static juce::String address (FirmwareServer::defaultBaseAddress);
        return address;
    }

    void defaultWait (int ms)   { NsZ9m::waitWhileDispatching (ms); }

    constexpr int pollIntervalMs = 32;

    const juce::String noMatchesText ("No firmware matches in the server, please try again manually!");
    const juce::String unreadableText ("Could not read server response");
    const juce::String downloadFailedText ("Could not download firmware file");
}

juce::String FirmwareServer::getBaseAddress()   { return baseAddress(); }

bool FirmwareServer::setBaseAddress (const juce::String& address)
{
    const auto trimmed = address.trim();

    if (! isHttpAddress (trimmed))
        return false;

    baseAddress() = withFinalSlash (trimmed);
    return true;
}

FirmwareServer::ScopedBaseAddress::ScopedBaseAddress (const juce::String& address)
    : previous (getBaseAddress())
{
    const auto taken = setBaseAddress (address);
    jassert (taken);   // only http and https addresses are taken
    juce::ignoreUnused (taken);
}

FirmwareServer::ScopedBaseAddress::~ScopedBaseAddress()   { setBaseAddress (previous); }

juce::String getCatalogueDocumentName (int productId)
{
    // Two units of the maker's other brand have a catalogue of their own.
    return (productId == 2090 || productId == 2091) ? "firmware-special.xml" : "firmware.xml";
}

//==============================================================================
float versionFromText (juce::String text)
{
    const auto point = text.indexOfChar ('.');

    if (point <= 0)
        return 0.0f;

    return text.substring (point - 1, point + 4).getFloatValue();
}

juce::String latestFirmwarePath (juce::ValueTree firmwares)
{
    juce::String path;
    float best = 0.0f;
    bool any = false;

    for (const auto& entry : firmwares)
    {
        const auto version = versionFromText (entry["version"].toString());

        if (! any || version > best)
        {
            best = version;
            path = entry["fw"].toString();
            any = true;
        }
    }

    return path;
}

CatalogueVersionCheck compareWithCatalogue (const juce::String& unitPortName, juce::ValueTree firmwares)
{
    CatalogueVersionCheck check;

    if (firmwares.getNumChildren() == 0)
        return check;

    const auto first = firmwares.getChild (0);
    const auto current = versionFromText (unitPortName);

    if (current < versionFromText (first["fw"].toString()))
    {
        check.statusText = first["name"].toString() + " " + first["version"].toString()
                         + " firmware is being downloaded here...";
        check.offerChooser = true;
    }
    else if (firmwares.getNumChildren() == 1)
    {
        check.message = "Your device is up-to-date.";
        check.offerChooser = true;
    }
    else if (current >= versionFromText (latestFirmwarePath (firmwares)))
    {
        check.message = "Your device is up-to-date.";
    }
    else
    {
        check.offerChooser = true;
        check.newerVersion = true;
    }

    return check;
}

juce::String firmwareFileNameFromPath (const juce::String& fw)
{
    constexpr int maxNameLength = 255;

    if (fw.isEmpty())
        return {};

    for (auto p = fw.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || c == '\\' || c == ':')
            return {};
    }

    const auto components = juce::StringArray::fromTokens (fw, "/", {});

    for (auto& component : components)
        if (component == "." || component == "..")
            return {};

    const auto name = components[components.size() - 1];

    if (name.length() <= 4 || name.length() > maxNameLength || ! name.endsWithIgnoreCase (".bin"))
        return {};

    return name;
}

bool isFirmwareFileNameOfProduct (const juce::String& fileName, int productCode)
{
    const auto dot = fileName.lastIndexOfChar ('.');
    const auto stem = dot >= 0 ? fileName.substring (0, dot) : fileName;
    return getFirmwareFilePattern (stem.toLowerCase().trim(), productCode);
}

juce::Result readFirmwareCatalogue (const void* data, size_t size, int productId, juce::ValueTree& firmwares)
{
    // A catalogue is a root with one flat list of entries; the bounds leave a
    // wide margin around any real one.
    const auto reader = NsZ9m::StrictXmlReader()
                            .withMaxBytes (FirmwareServer::maxCatalogueBytes)
                            .withMaxDepth (4)
                            .withMaxElements (8192)
                            .withMaxAttributesPerElement (32)
                            .withThreads (1, 1024 * 1024);

    juce::ValueTree document;

    if (reader.read (data, size, document).failed() || ! document.isValid())
        return juce::Result::fail (unreadableText);

    juce::Array<juce::ValueTree> unwanted;

    for (const auto& entry : document)
    {
        const auto fw = entry["fw"].toString();

        if (NsZ9m::StoredNumber::read (entry, "pid", -1) != productId
             || ! entry.hasProperty ("pid")
             || firmwareFileNameFromPath (fw).isEmpty())
            unwanted.add (entry);
    }

    for (auto& entry : unwanted)
        document.removeChild (entry, nullptr);

    if (document.getNumChildren() == 0)
        return juce::Result::fail (noMatchesText);

    firmwares = document;
    return juce::Result::ok();
}

//==============================================================================
namespace
{
    class RequestThread final : public juce::Thread
    {
    public:
        RequestThread (const juce::URL& u, bool body, juce::int64 cap)
            : juce::Thread ("Firmware server request"), url (u), readBody (body), maxBytes (cap) {}

        ~RequestThread() override   { cancel(); stopThread (-1); }

        void run() override
        {
            auto stream = std::make_unique<juce::WebInputStream> (url, false);
            stream->withConnectionTimeout (FirmwareServer::connectionTimeoutMs)
                   .withNumRedirectsToFollow (FirmwareServer::maxRedirects);

            {
                const juce::ScopedLock sl (lock);
                current = stream.get();
            }

            if (! threadShouldExit() && stream->connect (nullptr))
            {
                outcome.connected = true;
                outcome.status = stream->getStatusCode();
                outcome.declaredLength = stream->getTotalLength();

                if (readBody && outcome.isSuccess())
                    readWhole (*stream);
            }

            {
                const juce::ScopedLock sl (lock);
                current = nullptr;
            }

            done = true;
        }

        void cancel()
        {
            signalThreadShouldExit();
            const juce::ScopedLock sl (lock);

            if (current != nullptr)
                current->cancel();
        }

        HttpOutcome outcome;
        std::atomic<bool> done { false };

    private:
        void readWhole (juce::WebInputStream& stream)
        {
            juce::HeapBlock<char> buffer (16384);

            while (! threadShouldExit())
            {
                const auto n = stream.read (buffer, 16384);

                if (n <= 0)
                {
                    outcome.complete = stream.isExhausted();
                    return;
                }

                if ((juce::int64) outcome.body.getSize() + n > maxBytes)
                {
                    // One byte over the cap tells the caller it was too large.
                    outcome.body.append (buffer, (size_t) (maxBytes + 1 - (juce::int64) outcome.body.getSize()));
                    return;
                }

                outcome.body.append (buffer, (size_t) n);
            }
        }

        const juce::URL url;
        const bool readBody;
        const juce::int64 maxBytes;
        juce::CriticalSection lock;
        juce::WebInputStream* current = nullptr;
    };
}

HttpOutcome httpGet (const juce::URL& url, bool readBody, juce::int64 maxBytes, int timeLimitMs, const HttpWait& wait)
{
    const auto& pause = wait ? wait : HttpWait (defaultWait);

    RequestThread request (url, readBody, maxBytes);
    request.startThread();

    const auto start = juce::Time::getMillisecondCounterHiRes();
    bool timedOut = false;

    while (! request.done)
    {
        if (juce::Time::getMillisecondCounterHiRes() - start > timeLimitMs)
        {
            timedOut = true;
            request.cancel();
            break;
        }

        pause (pollIntervalMs);
    }

    request.stopThread (-1);

    auto outcome = std::move (request.outcome);
    outcome.timedOut = timedOut;

    if (timedOut)
        outcome.complete = false;

    return outcome;
}

bool isFirmwareServerReachable (const juce::URL& url, const HttpWait& wait)
{
    const auto& pause = wait ? wait : HttpWait (defaultWait);

    for (int attempt = 0; attempt < 3; ++attempt)
    {
        // The connection time-out bounds the attempt; the overall bound only
        // catches a server that answers slower than curl's low-speed limit.
        const auto outcome = httpGet (url, false, 0, 3 * FirmwareServer::connectionTimeoutMs, pause);

        if (outcome.connected && outcome.status >= 200 && outcome.status <= 304)
            return true;

        pause (50);
    }

    return false;
}

juce::Result fetchFirmwareDetails (int productId, juce::ValueTree& firmwares, const HttpWait& wait)
{
    if (productId < 0 || productId == 2000)
        return juce::Result::fail ("Cannot fetch firmware details for Unknown product");

    const juce::URL url (FirmwareServer::getBaseAddress() + getCatalogueDocumentName (productId));

    if (! isFirmwareServerReachable (url, wait))
        return juce::Result::fail ("The firmware server is currently unavailable.");

    const auto outcome = httpGet (url, true, FirmwareServer::maxCatalogueBytes, FirmwareServer::catalogueTimeLimitMs, wait);
    const auto size = (juce::int64) outcome.body.getSize();

    if (! outcome.connected || ! outcome.isSuccess() || ! outcome.complete || size == 0
         || (outcome.declaredLength >= 0 && outcome.declaredLength != size))
        return juce::Result::fail ("Error connecting to server");

    return readFirmwareCatalogue (outcome.body.getData(), outcome.body.getSize(), productId, firmwares);
}

juce::URL getFirmwareUrl (const juce::ValueTree& entry)
{
    return juce::URL (FirmwareServer::getBaseAddress() + entry["fw"].toString());
}

juce::Result downloadFirmware (const juce::String& fw, int productCode, const juce::File& target, const HttpWait& wait)
{
    const auto name = firmwareFileNameFromPath (fw);

    if (name.isEmpty() || ! isFirmwareFileNameOfProduct (name, productCode))
        return juce::Result::fail ("Not the matching firmware!");

    const juce::URL url (FirmwareServer::getBaseAddress() + fw);
    const auto outcome = httpGet (url, true, FirmwareServer::maxImageBytes, FirmwareServer::downloadTimeLimitMs, wait);
    const auto size = (juce::int64) outcome.body.getSize();

    if (! outcome.connected || ! outcome.isSuccess() || ! outcome.complete || size == 0
         || (outcome.declaredLength >= 0 && outcome.declaredLength != size))
        return juce::Result::fail (downloadFailedText);

    // Written beside the target and moved over it whole: a failed write
    // never leaves half an image where a whole one is expected.
    juce::TemporaryFile temporary (target);

    if (! temporary.getFile().replaceWithData (outcome.body.getData(), outcome.body.getSize())
         || ! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail (downloadFailedText);

    return juce::Result::ok();
}

} // namespace vorlix
