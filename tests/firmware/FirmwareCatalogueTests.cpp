#include "tests/firmware/FirmwareTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TempFolder.h"
#include "firmware/FirmwareCatalogue.h"
#include <cstdlib>

using namespace vorlix;

namespace
{
    constexpr int pad16 = z9test::midiBootloaderProduct;

    juce::String entry (int pid, const juce::String& name, const juce::String& version, const juce::String& fw)
    {
        return "  <firmware pid=\"" + juce::String (pid) + "\" name=\"" + name + "\" version=\"" + version
             + "\" fw=\"" + fw + "\"/>\n";
    }

    juce::String catalogue (const juce::String& entries)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<firmwares>\n" + entries + "</firmwares>\n";
    }

    const juce::String padEntries = entry (2055, "Z9-M", "1.07", "z9/z9_m_1.07.bin")
                                  + entry (pad16, "Pad16", "1.05", "pad/pad_fw_1.05.bin")
                                  + entry (pad16, "Pad16", "1.06", "pad/pad_fw_1.06.bin");
    const juce::String padCatalogue = catalogue (padEntries);

    juce::StringArray fwOf (const juce::ValueTree& tree)
    {
        juce::StringArray list;

        for (const auto& e : tree)
            list.add (e["fw"].toString());

        return list;
    }
}

//==============================================================================
TEST (FirmwareCatalogueTexts, VersionsReadOneDigitAndUpToThreeAfterThePoint)
{
    const std::pair<const char*, float> cases[] = {
        { "1.05", 1.05f }, { "VORLIX Pad16 V1.05", 1.05f }, { "pad/pad_fw_1.06.bin", 1.06f },
        { "1.10", 1.1f }, { "12.5", 2.5f }, { "1.23456", 1.234f },
        { ".5", 0.0f }, { "no point", 0.0f }, { "", 0.0f },
    };

    for (auto& [text, version] : cases)
        EXPECT_FLOAT_EQ (versionFromText (text), version) << text;

    EXPECT_LT (versionFromText ("1.10"), versionFromText ("1.9"));

    juce::ValueTree firmwares ("firmwares");
    EXPECT_EQ (latestFirmwarePath (firmwares), "");

    for (auto [version, fw] : { std::pair { "1.05", "a.bin" }, { "1.07", "b.bin" }, { "1.070", "c.bin" }, { "0.9", "d.bin" } })
        firmwares.appendChild (juce::ValueTree ("firmware", { { "version", version }, { "fw", fw } }), nullptr);

    EXPECT_EQ (latestFirmwarePath (firmwares), "b.bin");   // the first of the two highest
}

TEST (FirmwareCatalogueTexts, HostileFirmwarePathsGiveNoFileName)
{
    const std::pair<const char*, const char*> cases[] = {
        { "pad/pad_fw_1.06.bin", "pad_fw_1.06.bin" },
        { "PAD_FW_1.BIN", "PAD_FW_1.BIN" },
        { "", "" }, { ".", "" }, { "..", "" }, { "pad/", "" }, { ".bin", "" },
        { "../pad_fw_1.bin", "" }, { "pad/../../pad_fw_1.bin", "" }, { "./pad_fw_1.bin", "" },
        { "pad\\pad_fw_1.bin", "" }, { "c:pad_fw_1.bin", "" }, { "http://elsewhere/pad_fw_1.bin", "" },
        { "pad_fw_1.bin\n", "" }, { "pad\x01_fw.bin", "" }, { "pad_fw_1.exe", "" }, { "pad_fw_1.bin.exe", "" },
    };

    for (auto& [fw, name] : cases)
        EXPECT_EQ (firmwareFileNameFromPath (fw), juce::String (name)) << juce::String (fw).quoted();

    EXPECT_TRUE (isFirmwareFileNameOfProduct ("pad_fw_1.06.bin", pad16));
    EXPECT_FALSE (isFirmwareFileNameOfProduct ("pad_fw_boot_1.bin", pad16));
    EXPECT_FALSE (isFirmwareFileNameOfProduct ("z9_m_1.07.bin", pad16));
    EXPECT_TRUE (isFirmwareFileNameOfProduct ("z9_m_1.07.bin", 2055));
}

TEST (FirmwareCatalogueTexts, CatalogueKeepsOnlyUsableEntriesOfTheProduct)
{
    auto read = [] (const juce::String& text, int pid, juce::ValueTree& tree)
    {
        return readFirmwareCatalogue (text.toRawUTF8(), text.getNumBytesAsUTF8(), pid, tree);
    };

    juce::ValueTree tree ("firmwares");
    ASSERT_TRUE (read (catalogue (padEntries + entry (pad16, "Evil", "9.99", "../../etc/pad_fw_9.bin")), pad16, tree).wasOk());
    EXPECT_EQ (fwOf (tree), juce::StringArray ({ "pad/pad_fw_1.05.bin", "pad/pad_fw_1.06.bin" }));
    EXPECT_EQ (tree.getChild (0)["name"].toString(), "Pad16");

    const std::pair<juce::String, const char*> failures[] = {
        { "<firmwares><firmware pid=\"2017\"", "Could not read server response" },
        { "not xml at all", "Could not read server response" },
        { "<!DOCTYPE x [<!ENTITY e \"pad_fw_1.bin\">]><firmwares/>", "Could not read server response" },
        { "", "Could not read server response" },
        { catalogue (entry (2055, "Z9-M", "1.07", "z9_m_1.07.bin")), "No firmware matches in the server, please try again manually!" },
        { catalogue ("<firmware name=\"no pid\" fw=\"pad_fw_1.bin\"/>"), "No firmware matches in the server, please try again manually!" },
    };

    for (auto& [text, message] : failures)
    {
        juce::ValueTree kept ("firmwares");
        kept.appendChild (juce::ValueTree ("old"), nullptr);

        EXPECT_EQ (read (text, pad16, kept).getErrorMessage(), message) << text;
        EXPECT_EQ (kept.getNumChildren(), 1);   // left as it was
    }
}

TEST (FirmwareCatalogueTexts, VersionCheckDecidesTheChooser)
{
    juce::ValueTree one ("firmwares"), two ("firmwares");
    one.appendChild (juce::ValueTree ("firmware", { { "name", "Pad16" }, { "version", "1.06" }, { "fw", "pad_fw_1.06.bin" } }), nullptr);
    two.appendChild (juce::ValueTree ("firmware", { { "name", "Pad16" }, { "version", "1.05" }, { "fw", "pad_fw_1.05.bin" } }), nullptr);
    two.appendChild (juce::ValueTree ("firmware", { { "name", "Pad16" }, { "version", "1.06" }, { "fw", "pad_fw_1.06.bin" } }), nullptr);

    // Older than the single entry: its name in the status, the chooser opens.
    auto older = compareWithCatalogue ("VORLIX Pad16 V1.05", one);
    EXPECT_TRUE (older.offerChooser);
    EXPECT_FALSE (older.newerVersion);
    EXPECT_EQ (older.statusText, "Pad16 1.06 firmware is being downloaded here...");

    // As new as the first of two, with a newer second: the chooser waits for the user.
    auto newer = compareWithCatalogue ("VORLIX Pad16 V1.05", two);
    EXPECT_TRUE (newer.offerChooser);
    EXPECT_TRUE (newer.newerVersion);

    auto upToDate = compareWithCatalogue ("VORLIX Pad16 V1.06", two);
    EXPECT_FALSE (upToDate.offerChooser);
    EXPECT_EQ (upToDate.message, "Your device is up-to-date.");

    auto single = compareWithCatalogue ("VORLIX Pad16 V1.06", one);
    EXPECT_TRUE (single.offerChooser);
    EXPECT_EQ (single.message, "Your device is up-to-date.");

    // A port name without a version counts as older than anything.
    EXPECT_TRUE (compareWithCatalogue ("VORLIX Pad16", one).statusText.isNotEmpty());
}

TEST (FirmwareServerAddress, TheProgramAlwaysUsesTheMakersServer)
{
    // No setting of the process moves it: the program reads no environment.
    const auto previous = juce::SystemStats::getEnvironmentVariable ("Z9_FIRMWARE_SERVER", {});
    ::setenv ("Z9_FIRMWARE_SERVER", "http://127.0.0.1:9/", 1);

    EXPECT_EQ (FirmwareServer::getBaseAddress(), juce::String (FirmwareServer::defaultBaseAddress));
    EXPECT_EQ (FirmwareServer::getBaseAddress(), "http://firmware.vorlix.com/");

    {
        FirmwareServer::ScopedBaseAddress test ("http://127.0.0.1:9");
        EXPECT_EQ (FirmwareServer::getBaseAddress(), "http://127.0.0.1:9/");
    }

    EXPECT_EQ (FirmwareServer::getBaseAddress(), "http://firmware.vorlix.com/");

    if (previous.isEmpty())
        ::unsetenv ("Z9_FIRMWARE_SERVER");
    else
        ::setenv ("Z9_FIRMWARE_SERVER", previous.toRawUTF8(), 1);
}

//==============================================================================
class FirmwareServerTest : public z9test::FirmwareFixture
{
protected:
    juce::Result fetch (int pid = pad16)
    {
        firmwares = juce::ValueTree ("firmwares");
        return fetchFirmwareDetails (pid, firmwares);
    }

    z9test::LocalHttpServer server;
    FirmwareServer::ScopedBaseAddress base { server.getBaseAddress() };
    juce::ValueTree firmwares;
    z9test::TempFolder folder;
};

TEST_F (FirmwareServerTest, BaseAddressIsOneHttpSetting)
{
    EXPECT_EQ (FirmwareServer::getBaseAddress(), server.getBaseAddress());
    EXPECT_FALSE (FirmwareServer::setBaseAddress ("file:///etc/"));
    EXPECT_FALSE (FirmwareServer::setBaseAddress (""));
    EXPECT_EQ (FirmwareServer::getBaseAddress(), server.getBaseAddress());

    EXPECT_EQ (getCatalogueDocumentName (pad16), "firmware.xml");
    EXPECT_EQ (getCatalogueDocumentName (2090), "firmware-special.xml");
}

TEST_F (FirmwareServerTest, CatalogueIsFetchedAndFiltered)
{
    server.serveText ("/firmware.xml", padCatalogue);

    ASSERT_TRUE (fetch().wasOk());
    EXPECT_EQ (fwOf (firmwares), juce::StringArray ({ "pad/pad_fw_1.05.bin", "pad/pad_fw_1.06.bin" }));

    // The version check on what came from the server.
    EXPECT_TRUE (compareWithCatalogue ("VORLIX Pad16 V1.05", firmwares).newerVersion);
    EXPECT_EQ (compareWithCatalogue ("VORLIX Pad16 V1.06", firmwares).message, "Your device is up-to-date.");
    EXPECT_TRUE (compareWithCatalogue ("VORLIX Pad16 V1.04", firmwares).statusText.startsWith ("Pad16 1.05"));

    EXPECT_EQ (getFirmwareUrl (firmwares.getChild (1)).toString (false), server.getBaseAddress() + "pad/pad_fw_1.06.bin");
}

TEST_F (FirmwareServerTest, EachServerFailureHasItsText)
{
    EXPECT_EQ (fetch (2000).getErrorMessage(), "Cannot fetch firmware details for Unknown product");
    EXPECT_EQ (fetch (-1).getErrorMessage(), "Cannot fetch firmware details for Unknown product");
    EXPECT_TRUE (server.getRequests().isEmpty());

    // Nothing served: a 404 page is no catalogue, after three attempts.
    EXPECT_EQ (fetch().getErrorMessage(), "The firmware server is currently unavailable.");
    EXPECT_EQ (server.countRequests ("/firmware.xml"), 3);

    server.serveText ("/firmware.xml", "<firmwares><firmware pid=");
    EXPECT_EQ (fetch().getErrorMessage(), "Could not read server response");

    server.serveText ("/firmware.xml", catalogue (entry (2055, "Z9-M", "1.07", "z9_m_1.07.bin")));
    EXPECT_EQ (fetch().getErrorMessage(), "No firmware matches in the server, please try again manually!");

    // An answer cut off before its announced length, and an empty one.
    z9test::LocalHttpServer::Reply cut;
    cut.body.append (padCatalogue.toRawUTF8(), 40);
    cut.declaredLength = (juce::int64) padCatalogue.getNumBytesAsUTF8();
    server.serve ("/firmware.xml", cut);
    EXPECT_EQ (fetch().getErrorMessage(), "Error connecting to server");

    server.serveText ("/firmware.xml", "");
    EXPECT_EQ (fetch().getErrorMessage(), "Error connecting to server");

    // A server error page.
    server.serveText ("/firmware.xml", padCatalogue, 500);
    EXPECT_EQ (fetch().getErrorMessage(), "The firmware server is currently unavailable.");
}

TEST_F (FirmwareServerTest, NoServerAtAllIsUnavailable)
{
    int freePort = 0;
    {
        z9test::LocalHttpServer gone;
        freePort = gone.getPort();
    }

    FirmwareServer::ScopedBaseAddress nowhere ("http://127.0.0.1:" + juce::String (freePort) + "/");
    EXPECT_EQ (fetch().getErrorMessage(), "The firmware server is currently unavailable.");
}

TEST_F (FirmwareServerTest, RedirectChainsAreFollowedUpToFive)
{
    server.serveText ("/catalogue.xml", padCatalogue);
    server.redirect ("/firmware.xml", "/r1", 301);
    server.redirect ("/r1", "/r2");
    server.redirect ("/r2", "/catalogue.xml");

    ASSERT_TRUE (fetch().wasOk());
    EXPECT_EQ (firmwares.getNumChildren(), 2);

    // Six in a row are too many: the last redirect is all that comes back.
    for (int i = 1; i <= 6; ++i)
        server.redirect (i == 1 ? "/firmware.xml" : "/s" + juce::String (i - 1), i == 6 ? "/catalogue.xml" : "/s" + juce::String (i));

    EXPECT_EQ (fetch().getErrorMessage(), "Error connecting to server");
    EXPECT_EQ (firmwares.getNumChildren(), 0);
}

//==============================================================================
TEST_F (FirmwareServerTest, DownloadWritesOnlyAWholeImageOfTheProduct)
{
    const juce::String image ("pad firmware image bytes");
    server.serveText ("/pad/pad_fw_1.06.bin", image);

    const auto target = folder / "download.bin";
    ASSERT_TRUE (downloadFirmware ("pad/pad_fw_1.06.bin", pad16, target).wasOk());
    EXPECT_EQ (target.loadFileAsString(), image);

    // Failures leave the target as it was.
    target.replaceWithText ("before");

    z9test::LocalHttpServer::Reply cut;
    cut.body.append (image.toRawUTF8(), 5);
    cut.declaredLength = image.length();
    server.serve ("/pad/pad_fw_cut.bin", cut);
    server.serveText ("/pad/pad_fw_empty.bin", "");

    for (auto fw : { "pad/pad_fw_missing.bin", "pad/pad_fw_cut.bin", "pad/pad_fw_empty.bin" })
    {
        EXPECT_EQ (downloadFirmware (fw, pad16, target).getErrorMessage(), "Could not download firmware file") << fw;
        EXPECT_EQ (target.loadFileAsString(), "before");
    }

    EXPECT_EQ (server.countRequests ("/pad/pad_fw_missing.bin"), 1);

    // Hostile or foreign names are refused before anything is asked.
    const auto before = server.getRequests().size();

    for (auto fw : { "../pad_fw_1.bin", "pad/pad_fw_1.exe", "z9/z9_m_1.07.bin", "pad/pad_fw_boot_1.bin", "", ".." })
        EXPECT_EQ (downloadFirmware (fw, pad16, target).getErrorMessage(), "Not the matching firmware!") << fw;

    EXPECT_EQ (server.getRequests().size(), before);
    EXPECT_EQ (target.loadFileAsString(), "before");
}

TEST_F (FirmwareServerTest, EveryRequestIsBoundInTime)
{
    // A server that answers, then trickles its body fast enough for curl's
    // low-speed limit: only the request's own time bound ends it.
    z9test::LocalHttpServer::Reply slow;
    slow.body.assign (100000, '\0');
    slow.trickleBytesPerSecond = 2000;
    server.serve ("/slow.bin", slow);

    const auto start = juce::Time::getMillisecondCounterHiRes();
    const auto outcome = httpGet (juce::URL (server.getBaseAddress() + "slow.bin"), true, 1 << 20, 300);
    const auto took = juce::Time::getMillisecondCounterHiRes() - start;

    EXPECT_TRUE (outcome.timedOut);
    EXPECT_FALSE (outcome.complete);
    EXPECT_LT (took, 10000.0);

    // A body over the cap is never complete.
    server.serveData ("/big.bin", std::vector<char> (5000).data(), 5000);
    const auto big = httpGet (juce::URL (server.getBaseAddress() + "big.bin"), true, 4096, 5000);
    EXPECT_TRUE (big.isSuccess());
    EXPECT_FALSE (big.complete);
    EXPECT_EQ (big.body.getSize(), 4097u);
}
