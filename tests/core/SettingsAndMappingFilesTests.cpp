#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsStore.h"
#include "core/files/TreeXmlWriter.h"
#include "core/base/StoredNumber.h"
#include "core/link/SurfaceProtocol.h"
#include "core/sync/CompiledSlots.h"
#include "core/sync/SurfaceMessages.h"
#include "tests/support/HostFixture.h"
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace NsZ9m;

namespace
{
    class SettingsFileTest : public z9test::HostFixture
    {
    public:   // the case tables below use the static helpers
        static const juce::ValueTree& defaultTree()
        {
            static const juce::ValueTree tree = MappingStore().getTree();
            return tree;
        }

        // Writes a properties file in the program's own format at the common place.
        static void writeCommonSettings (const std::function<void (juce::PropertiesFile&)>& fill)
        {
            auto options = SettingsLocation::getOptions();
            const auto file = SettingsLocation::getCommonFile();
            file.getParentDirectory().createDirectory();
            juce::PropertiesFile props (file, options);
            fill (props);
            ASSERT_TRUE (props.save());
        }

        void expectDefaultStoreAndNoDirtySlot()
        {
            EXPECT_TRUE (host().getTree().isEquivalentTo (defaultTree()));
            EXPECT_FALSE (slotDirty[0] || slotDirty[1] || slotDirty[2]);
        }

        /** The bytes of a good settings file, as a save writes them, holding
            the default store's first model with a DAW in its first slot;
            made without a start, which would build the whole default store. */
        static juce::MemoryBlock goodFileOfOneModel()
        {
            juce::ValueTree store (Ids::store);
            store.copyPropertiesFrom (defaultTree(), nullptr);
            store.appendChild (defaultTree().getChild (0).createCopy(), nullptr);
            store.getChild (0).getChild (0).setProperty (Ids::current, 2, nullptr);

            juce::StringPairArray properties;
            properties.set ("state", TreeXmlWriter::toSingleLineText (store));
            return SettingsStore::makeFileBytes (properties);
        }

        juce::MemoryBlock commonFileBytes()
        {
            juce::MemoryBlock bytes;
            commonSettingsFile().loadFileAsData (bytes);
            return bytes;
        }
    };

    void setSlotDaw (const juce::ValueTree& tree, int modelIndex, int slotIndex, int daw)
    {
        tree.getChild (modelIndex).getChild (slotIndex).setProperty (Ids::current, daw, nullptr);
    }

    /** Lets files grow to at most `bytes` while it exists: writes beyond fail,
        as on a full disk. */
    struct ScopedFileSizeLimit
    {
        explicit ScopedFileSizeLimit (rlim_t bytes)
        {
            previousHandler = std::signal (SIGXFSZ, SIG_IGN);
            getrlimit (RLIMIT_FSIZE, &previous);
            rlimit limit = previous;
            limit.rlim_cur = bytes;
            setrlimit (RLIMIT_FSIZE, &limit);
        }

        ~ScopedFileSizeLimit()
        {
            setrlimit (RLIMIT_FSIZE, &previous);
            std::signal (SIGXFSZ, previousHandler);
        }

        rlimit previous {};
        void (*previousHandler) (int) = nullptr;
    };
}

TEST_F (SettingsFileTest, SavedStateComesBackWithTheSlotsThatHoldADawDirty)
{
    keepFirstModels (1);   // a writer or reader fault shows on one model as on eight
    auto tree = host().getTree();
    setSlotDaw (tree, 0, 0, 2);
    setSlotDaw (tree, 0, 2, 5);
    host().getStore().getControl (7, 1, 1).setProperty (Ids::name, "Mine", nullptr);
    host().saveSettings();

    auto saved = tree.createCopy();
    EXPECT_TRUE (commonSettingsFile().existsAsFile());
    EXPECT_FALSE (userSettingsFile().exists());

    restartProgram();

    EXPECT_TRUE (host().getTree().isEquivalentTo (saved));
    EXPECT_TRUE (slotDirty[0]);
    EXPECT_FALSE (slotDirty[1]);
    EXPECT_TRUE (slotDirty[2]);
    EXPECT_EQ (slotDawIds[0], 2);
    EXPECT_EQ (slotDawIds[1], 0);
    EXPECT_EQ (slotDawIds[2], 5);
}

TEST_F (SettingsFileTest, DirtyFlagsFollowTheCurrentProductAndDawIdsTheFirstModel)
{
    keepFirstModels (2);   // the first model and the current product's
    auto tree = host().getTree();
    setSlotDaw (tree, 0, 0, 6);
    setSlotDaw (tree, 1, 1, 4);
    host().saveSettings();

    restartProgram();
    currentProductId = 2056;
    host();

    EXPECT_FALSE (slotDirty[0]);
    EXPECT_TRUE (slotDirty[1]);
    EXPECT_FALSE (slotDirty[2]);
    EXPECT_EQ (slotDawIds[0], 6);
    EXPECT_EQ (slotDawIds[1], 0);
}

TEST_F (SettingsFileTest, TheWholeDefaultStoreComesBackFromTheSettingsFile)
{
    // The one case on the whole store (every other works on a model or two):
    // the settings file's bounds on size and expansion, and the reader's on
    // bytes and elements, must leave room for the largest store there is.
    // One round trip and nothing more; the timings are in the benchmarks.
    auto saved = host().getTree();
    ASSERT_EQ (saved.getNumChildren(), numProducts);
    setSlotDaw (saved, numProducts - 1, 2, 4);
    host().saveSettings();

    restartProgram();

    EXPECT_NE (host().getTree(), saved);
    EXPECT_TRUE (host().getTree().isEquivalentTo (saved));
}

TEST_F (SettingsFileTest, UnwritableCommonFolderFallsBackToThePerUserFile)
{
    // a plain file where the common folder should be: nothing can be written there
    (folder / "common").replaceWithText ("in the way");

    keepFirstModels (1);
    setSlotDaw (host().getTree(), 0, 1, 9);
    host().saveSettings();
    EXPECT_TRUE (userSettingsFile().existsAsFile());

    restartProgram();
    EXPECT_EQ (host().getSlotDaw (2, 1).get(), 9);
    EXPECT_TRUE (slotDirty[1]);
}

TEST_F (SettingsFileTest, AFailedWriteLeavesTheOldFileIntact)
{
    // The first model alone still makes a file of many write buffers; the
    // whole store would make each of the six writes and reads below cost
    // seconds, far too long for a busy machine under the sanitizers.
    keepFirstModels (1);

    setSlotDaw (host().getTree(), 0, 0, 2);
    host().saveSettings();
    auto before = commonFileBytes();
    ASSERT_GT (before.getSize(), 100000u);

    setSlotDaw (host().getTree(), 0, 0, 7);
    host().getStore().getControl (3, 1, 1).setProperty (Ids::name, "changed", nullptr);

    // how large the new file will be: the very bytes the save is to write
    juce::StringPairArray properties;
    properties.set ("state", TreeXmlWriter::toSingleLineText (host().getTree()));
    const auto newSize = (juce::int64) SettingsStore::makeFileBytes (properties).getSize();

    // the disk fills up half-way, shortly before the end, or one byte before
    // the end (a file cut in its last bytes, the end of the compressed stream
    // with its checksum, is refused by the check after the write too)
    for (auto limit : { (juce::int64) before.getSize() / 4, newSize - 64, newSize - 8, newSize - 1 })
    {
        SCOPED_TRACE (limit);
        {
            ScopedFileSizeLimit fullDisk ((rlim_t) limit);
            host().saveSettings();
        }
        EXPECT_EQ (commonFileBytes(), before);
    }

    // with room again, the change that could not be written goes out
    host().saveSettings();
    EXPECT_NE (commonFileBytes(), before);
    EXPECT_EQ ((juce::int64) commonFileBytes().getSize(), newSize);
    restartProgram();
    EXPECT_EQ (host().getSlotDaw (1, 1).get(), 7);
}

//==============================================================================
class MappingFileTest : public z9test::HostFixture {};

TEST_F (MappingFileTest, SavedFileLoadsBackIntoAnIdenticalStore)
{
    // a file of one model has the layout, wrapping and escapes of one of eight
    keepFirstModels (1);
    auto tree = host().getTree();
    setSlotDaw (tree, 0, 1, 8);
    auto edited = host().getStore().getControl (12, 2, 1);
    edited.setProperty (Ids::name, juce::String::fromUTF8 ("Caf\xc3\xa9 <&>"), nullptr);
    auto file = folder / "mine.ostrik";

    ASSERT_TRUE (host().saveMappingFile (file).wasOk());

    auto text = file.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_FALSE (text.contains ("<!DOCTYPE"));
    EXPECT_TRUE (text.contains ("<store current=\"1\" ver=\"0.32\">"));

    // the edits undone, so that only the load can bring them back
    auto saved = tree.createCopy();
    setSlotDaw (tree, 0, 1, 0);
    edited.setProperty (Ids::name, juce::String(), nullptr);
    ASSERT_FALSE (tree.isEquivalentTo (saved));
    tree.setProperty (Ids::current, 3, nullptr);
    currentSlotIndex = 2;

    ASSERT_TRUE (host().loadMappingFile (file).wasOk());

    auto loaded = host().getTree();
    EXPECT_NE (loaded, tree);
    EXPECT_EQ ((int) loaded["current"], 3);   // the model being edited stays
    loaded.setProperty (Ids::current, 1, nullptr);
    EXPECT_TRUE (loaded.isEquivalentTo (saved));

    EXPECT_TRUE (slotDirty[0] && slotDirty[1] && slotDirty[2]);
    EXPECT_EQ (slotDawIds[1], 8);
    EXPECT_EQ (currentSlotIndex, 2);
}

TEST_F (MappingFileTest, AFileThatIsNotAMappingChangesNothing)
{
    auto writeText = [this] (const char* text) { auto f = folder / "in.ostrik"; f.replaceWithText (text); return f; };

    const std::pair<const char*, std::function<juce::File()>> cases[] = {
        { "missing file", [this] { return folder / "missing.ostrik"; } },
        { "empty file", [&] { return writeText (""); } },
        { "not XML", [&] { return writeText ("just some text"); } },
        { "broken XML", [&] { return writeText ("<store current=\"1\"><model"); } },
        { "another root", [&] { return writeText ("<?xml version=\"1.0\"?><PROPERTIES><VALUE name=\"state\"/></PROPERTIES>"); } },
        { "a model alone", [&] { return writeText ("<model id=\"1\" pid=\"2055\"/>"); } },
        { "root STORE", [&] { return writeText ("<STORE current=\"1\"><model id=\"1\" pid=\"2055\"/></STORE>"); } },
        { "root Store", [&] { return writeText ("<Store current=\"1\"><model id=\"1\" pid=\"2055\"/></Store>"); } },
        { "a store without models", [&] { return writeText ("<store/>"); } },
        { "a versioned store without models", [&] { return writeText ("<store ver=\"0.32\"/>"); } },
        { "a store of other nodes", [&] { return writeText ("<store current=\"1\"><slot current=\"2\"/></store>"); } },
        { "a folder", [this] { auto f = folder / "dir.ostrik"; f.createDirectory(); return f; } },
    };

    keepFirstModels (1);
    auto tree = host().getTree();
    slotDawIds[0] = 4;
    auto before = tree.createCopy();

    for (auto& [what, makeFile] : cases)
    {
        SCOPED_TRACE (what);
        auto result = host().loadMappingFile (makeFile());

        EXPECT_TRUE (result.failed());
        EXPECT_EQ (result.getErrorMessage(), "Could not load mapping data");
        EXPECT_EQ (host().getTree(), tree);
        EXPECT_TRUE (tree.isEquivalentTo (before));
        EXPECT_FALSE (slotDirty[0] || slotDirty[1] || slotDirty[2]);
        EXPECT_EQ (slotDawIds[0], 4);
    }
}

TEST_F (MappingFileTest, AStoreOfAnotherLayoutStillLoads)
{
    auto file = folder / "bare.ostrik";
    file.replaceWithText ("<store><model id=\"9\"/></store>");
    currentSlotIndex = 1;
    slotDawIds[2] = 5;

    ASSERT_TRUE (host().loadMappingFile (file).wasOk());
    EXPECT_EQ (host().getTree().getNumChildren(), 1);
    EXPECT_EQ ((int) host().getTree()["current"], 1);
    EXPECT_EQ (slotDawIds[2], 0);
    EXPECT_EQ (currentSlotIndex, 1);
    EXPECT_TRUE (slotDirty[0] && slotDirty[1] && slotDirty[2]);

    // nodes that are missing read as empty values
    EXPECT_EQ (host().getSlotDaw (1).get(), 0);
    EXPECT_FALSE (host().getStore().getControlOfCurrentSlot (1).isValid());
}

TEST_F (MappingFileTest, SaveFailures)
{
    keepFirstModels (1);
    auto result = host().saveMappingFile (folder / "no/such/folder/x.ostrik");
    EXPECT_EQ (result.getErrorMessage(), "Failed to write mapping file");

    host().data->tree = juce::ValueTree();
    result = host().saveMappingFile (folder / "x.ostrik");
    EXPECT_EQ (result.getErrorMessage(), "Could not save current mapping to disk");
    EXPECT_FALSE ((folder / "x.ostrik").exists());
}

//==============================================================================
// Hostile and broken files: each case here was once taken, hung the program,
// crashed it, read a local file into the store or read past a buffer.
namespace
{
    juce::MemoryBlock compress (const juce::MemoryBlock& plain)
    {
        juce::MemoryOutputStream out;
        {
            juce::GZIPCompressorOutputStream zipped (out, 9);
            zipped.write (plain.getData(), plain.getSize());
        }
        return out.getMemoryBlock();
    }

    /** A settings file in the compressed format whose property list is `list`. */
    juce::MemoryBlock settingsFileWithList (const juce::MemoryBlock& list)
    {
        juce::MemoryBlock bytes ("CPRP", 4);
        const auto compressed = compress (list);
        bytes.append (compressed.getData(), compressed.getSize());
        return bytes;
    }

    juce::MemoryBlock propertyList (const juce::StringArray& keysAndValues)
    {
        juce::MemoryOutputStream out;
        out.writeInt (keysAndValues.size() / 2);
        for (auto& s : keysAndValues)
            out.writeString (s);
        return out.getMemoryBlock();
    }

    juce::MemoryBlock rawPropertyList (const void* bytes, size_t size)
    {
        return juce::MemoryBlock (bytes, size);
    }
}

// Every start that refuses its settings file builds the whole default store,
// as it must: each case is a test of its own, with one start.
namespace
{
    struct UnusableSettingsCase
    {
        const char* name;
        std::function<void()> prepare;   // leaves the file at the common place
    };

    struct HostileSettingsCase
    {
        const char* name;
        std::function<juce::MemoryBlock()> makeBytes;
    };

    juce::File commonFile()   { return SettingsLocation::getCommonFile(); }

    void writeCommonBytes (const juce::MemoryBlock& bytes)
    {
        commonFile().getParentDirectory().createDirectory();
        ASSERT_TRUE (commonFile().replaceWithData (bytes.getData(), bytes.getSize()));
    }

    class UnusableSettingsTest : public SettingsFileTest, public ::testing::WithParamInterface<UnusableSettingsCase> {};
    class HostileSettingsTest : public SettingsFileTest, public ::testing::WithParamInterface<HostileSettingsCase> {};

    /** A good file (one model, a DAW in a slot) cut to that fraction of its size. */
    std::function<void()> cutGoodFile (double fraction)
    {
        return [fraction]
        {
            const auto bytes = UnusableSettingsTest::goodFileOfOneModel();
            juce::StringPairArray whole;
            ASSERT_TRUE (SettingsStore::readBytes (bytes.getData(), bytes.getSize(), whole).wasOk());   // only the cut is bad
            writeCommonBytes (juce::MemoryBlock (bytes.getData(), (size_t) ((double) bytes.getSize() * fraction)));
        };
    }

    const UnusableSettingsCase unusableSettingsCases[] = {
        { "NotAPropertiesFile", [] { writeCommonBytes (juce::MemoryBlock ("hello, not settings", 19)); } },
        { "RandomBytes", [] { juce::Random random (42);
                              juce::MemoryBlock bytes (8192);
                              random.fillBitsRandomly (bytes.getData(), bytes.getSize());
                              writeCommonBytes (bytes); } },
        { "CutToATenth", cutGoodFile (0.1) },
        { "CutInHalf", cutGoodFile (0.5) },
        { "CutInItsLastHundredth", cutGoodFile (0.99) },
        // Opening it waited for a writer: every start blocked with no window.
        { "AFifo", [] { commonFile().getParentDirectory().createDirectory();
                        ASSERT_EQ (mkfifo (commonFile().getFullPathName().toRawUTF8(), 0666), 0); } },
        { "StateIsNotXml", [] { SettingsFileTest::writeCommonSettings ([] (auto& p) { p.setValue ("state", "store ver 0.32, but not as XML"); }); } },
        { "StateOfAnotherVersion", [] { SettingsFileTest::writeCommonSettings ([] (auto& p) {
              p.setValue ("state", "<store current=\"1\" ver=\"0.31\"><model id=\"1\" current=\"0\" pid=\"2055\">"
                                   "<slot id=\"0\" current=\"4\"/></model></store>"); }); } },
        { "StateWithoutAVersion", [] { SettingsFileTest::writeCommonSettings ([] (auto& p) { p.setValue ("state", "<store/>"); }); } },
        { "StateThatIsNotAStore", [] { SettingsFileTest::writeCommonSettings ([] (auto& p) {
              p.setValue ("state", "<model id=\"1\" ver=\"0.32\"/>"); }); } },
        { "NoState", [] { SettingsFileTest::writeCommonSettings ([] (auto& p) { p.setValue ("other", 1); }); } },
    };

    juce::MemoryBlock stateFile (const juce::String& text)   { return settingsFileWithList (propertyList ({ "state", text })); }

    juce::MemoryBlock storeList()   { return propertyList ({ "state", "<store ver=\"0.32\"/>" }); }

    const HostileSettingsCase hostileSettingsCases[] = {
        { "StateHangsTheFrameworksParser", [] { return stateFile ("<store><?x?>y</store>"); } },
        // 30000 levels in 176 bytes compressed; made at once, as 30000 appends
        // would copy the growing text each time
        { "StateNested30000Deep", [] { return stateFile (juce::String::repeatedString ("<a>", 30000)); } },
        { "StateWithADtd", [] { return stateFile ("<!DOCTYPE store SYSTEM \"x\"><store ver=\"0.32\"/>"); } },
        { "StateWithInvalidUtf8", [] { return settingsFileWithList (rawPropertyList ("\x01\x00\x00\x00state\0<0>\xff\0", 15)); } },
        { "KeyWithInvalidUtf8", [] { const char invalidKey[] = "\x01\x00\x00\x00st\xff" "\0<store/>";
                                     return settingsFileWithList (rawPropertyList (invalidKey, sizeof (invalidKey) - 1)); } },
        { "CountHigherThanTheProperties", [] { const char countTooHigh[] = "\x02\x00\x00\x00state\0<store/>";
                                               return settingsFileWithList (rawPropertyList (countTooHigh, sizeof (countTooHigh) - 1)); } },
        { "UncompressedFormat", [] { juce::MemoryBlock bytes ("PROP", 4);
                                     bytes.append (storeList().getData(), storeList().getSize());
                                     return bytes; } },
        { "BytesAfterTheCompressedStream", [] { auto bytes = settingsFileWithList (storeList());
                                                bytes.append ("xx", 2);
                                                return bytes; } },
    };
}

TEST_P (UnusableSettingsTest, GivesTheDefaultStore)
{
    GetParam().prepare();
    expectDefaultStoreAndNoDirtySlot();
}

INSTANTIATE_TEST_SUITE_P (SettingsFiles, UnusableSettingsTest, ::testing::ValuesIn (unusableSettingsCases),
                          [] (const ::testing::TestParamInfo<UnusableSettingsCase>& info) { return std::string (info.param.name); });

TEST_P (HostileSettingsTest, GivesTheDefaultStoreAndStaysOnDisk)
{
    const auto bytes = GetParam().makeBytes();
    writeCommonBytes (bytes);

    expectDefaultStoreAndNoDirtySlot();
    restartProgram();

    // not rewritten at start, nor when the program ends without a save
    EXPECT_EQ (commonFileBytes(), bytes);
}

INSTANTIATE_TEST_SUITE_P (SettingsFiles, HostileSettingsTest, ::testing::ValuesIn (hostileSettingsCases),
                          [] (const ::testing::TestParamInfo<HostileSettingsCase>& info) { return std::string (info.param.name); });

TEST_F (SettingsFileTest, TheFrameworksXmlFormatIsRefused)
{
    auto options = SettingsLocation::getOptions();
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    commonSettingsFile().getParentDirectory().createDirectory();
    {
        juce::PropertiesFile props (commonSettingsFile(), options);
        props.setValue ("state", "<store current=\"1\" ver=\"0.32\"/>");
        ASSERT_TRUE (props.save());
    }

    // the same file with one byte that is not UTF-8, which the framework reads past
    auto text = commonSettingsFile().loadFileAsString();
    juce::MemoryBlock bytes (text.toRawUTF8(), text.getNumBytesAsUTF8());
    bytes.append ("\xff", 1);
    commonSettingsFile().replaceWithData (bytes.getData(), bytes.getSize());

    expectDefaultStoreAndNoDirtySlot();
}

TEST_F (SettingsFileTest, ASmallFileCannotExpandWithoutBound)
{
    // a few hundred kilobytes of zeros' stream, expanding past the limit
    juce::MemoryOutputStream out;
    out.write ("CPRP", 4);
    {
        juce::GZIPCompressorOutputStream zipped (out, 1);   // the fastest level compresses runs as well
        const juce::uint8 header[] = { 1, 0, 0, 0, 's', 0 };
        zipped.write (header, sizeof (header));
        juce::MemoryBlock ones (1 << 20);
        ones.fillWith ('a');

        for (juce::int64 written = 0; written <= SettingsStore::maxExpandedBytes; written += (juce::int64) ones.getSize())
            zipped.write (ones.getData(), ones.getSize());
    }

    ASSERT_LT (out.getDataSize(), 1024u * 1024u);
    juce::StringPairArray read;
    auto result = SettingsStore::readBytes (out.getData(), out.getDataSize(), read);
    EXPECT_TRUE (result.getErrorMessage().contains ("expand")) << result.getErrorMessage();
    EXPECT_EQ (read.size(), 0);
}

TEST_F (SettingsFileTest, TheWrittenFileIsOneTheFrameworkReadsWithTheSameContent)
{
    keepFirstModels (1);   // the format and escapes of one model are those of eight
    host().getStore().getControl (4, 1, 1).setProperty (Ids::name, juce::String::fromUTF8 ("\xc3\xa9t\xc3\xa9"), nullptr);
    host().saveSettings();

    juce::PropertiesFile framework (commonSettingsFile(), SettingsLocation::getOptions());
    ASSERT_TRUE (framework.isValidFile());
    EXPECT_EQ (framework.getValue ("state"),
               host().getTree().createXml()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()));

    // the expanded bytes are the ones the framework itself writes
    auto ours = commonFileBytes();
    auto theirsFile = folder / "theirs.conf";
    {
        juce::PropertiesFile theirs (theirsFile, SettingsLocation::getOptions());
        theirs.getAllProperties() = framework.getAllProperties();
        ASSERT_TRUE (theirs.save());
    }

    auto expand = [] (const juce::MemoryBlock& file)
    {
        juce::MemoryInputStream in (file, false);
        in.setPosition (4);
        juce::GZIPDecompressorInputStream unzipped (in);
        juce::MemoryBlock out;
        unzipped.readIntoMemoryBlock (out);
        return out;
    };

    juce::MemoryBlock theirsBytes;
    theirsFile.loadFileAsData (theirsBytes);
    EXPECT_EQ (expand (ours), expand (theirsBytes));
    EXPECT_EQ (ours.getSize() > 4 ? std::memcmp (ours.getData(), "CPRP", 4) : 1, 0);
}

TEST_F (MappingFileTest, HostileFilesAreRefusedAndChangeNothing)
{
    auto write = [this] (const juce::MemoryBlock& bytes) { auto f = folder / "in.ostrik"; f.replaceWithData (bytes.getData(), bytes.getSize()); return f; };
    auto text = [&] (const char* t) { return write (juce::MemoryBlock (t, std::strlen (t))); };

    // a real file (the default store's first model), cut in half
    keepFirstModels (1);
    auto full = folder / "full.ostrik";
    ASSERT_TRUE (host().saveMappingFile (full).wasOk());
    juce::MemoryBlock fullBytes;
    full.loadFileAsData (fullBytes);

    auto secret = folder / "secret.txt";
    secret.replaceWithText ("SECRET");
    auto dtd = "<!DOCTYPE store [<!ENTITY % p SYSTEM \"" + secret.getFullPathName() + "\"> %p;]><store ver=\"0.32\"/>";

    // made at once: 30000 appends would copy the growing block each time
    const auto deepText = juce::String::repeatedString ("<a>", 30000);
    const juce::MemoryBlock deep (deepText.toRawUTF8(), deepText.getNumBytesAsUTF8());

    const std::pair<const char*, std::function<juce::File()>> cases[] = {
        { "half of a real file", [&] { return write (juce::MemoryBlock (fullBytes.getData(), fullBytes.getSize() / 2)); } },
        { "cut inside a close tag", [&] { return text ("<store current=\"1\"><model id=\"1\"></mo"); } },
        { "cut in the root's start tag", [&] { return text ("<store"); } },
        { "cut in an attribute", [&] { return text ("<store ver=\""); } },
        { "processing instruction (hung the parser)", [&] { return text ("<store><?x?>y</store>"); } },
        { "30000 levels deep (overflowed the stack)", [&] { return write (deep); } },
        { "external DTD", [&] { return text ("<!DOCTYPE store SYSTEM \"x\"><store ver=\"0.32\"/>"); } },
        { "entity reading a local file", [&] { return text (dtd.toRawUTF8()); } },
        { "invalid UTF-8 (read past the buffer)", [&] { return write (juce::MemoryBlock ("<0>\xff", 4)); } },
        { "a FIFO (the window hung waiting for a writer)", [&] { auto f = folder / "fifo.ostrik";
                                                                 mkfifo (f.getFullPathName().toRawUTF8(), 0666);
                                                                 return f; } },
    };

    auto tree = host().getTree();
    auto before = tree.createCopy();

    for (auto& [what, makeFile] : cases)
    {
        SCOPED_TRACE (what);
        auto result = host().loadMappingFile (makeFile());

        EXPECT_EQ (result.getErrorMessage(), "Could not load mapping data");
        EXPECT_EQ (host().getTree(), tree);
        EXPECT_TRUE (tree.isEquivalentTo (before));
        EXPECT_FALSE (slotDirty[0] || slotDirty[1] || slotDirty[2]);
    }
}

TEST_F (MappingFileTest, ExtremeNumbersLoadCompileAndSendWithoutOverflow)
{
    // Each number went into signed arithmetic unchecked; under the sanitizers
    // this test fails on any overflow. The numbers sit in a store of one
    // model, and the whole table makes one round trip; only the root's
    // current model goes on its own, since it hides the model's current slot
    // from every lookup through the root.
    using Change = std::function<void (juce::ValueTree)>;

    auto ctlOf = [] (juce::ValueTree tree, int model, int slot, int control)
    {
        return MappingStore (tree).getControl (control, slot, model);
    };

    const Change inTheModel[] = {
        // hotkey modifier
        [&] (auto t) { setSlotDaw (t, 0, 0, 2);
              ctlOf (t, 1, 1, 3).setProperty (Ids::valueType, "hotkey", nullptr).setProperty (Ids::shift, "2000000000", nullptr); },
        // MIDI channel
        [&] (auto t) { ctlOf (t, 1, 1, 6).setProperty (Ids::valueType, "midi", nullptr).setProperty (Ids::type, "cc", nullptr)
                                         .setProperty (Ids::chan, "-2147483648", nullptr); },
        // model's current slot
        [&] (auto t) { t.getChild (0).setProperty (Ids::current, "2147483647", nullptr); },
        // slot's DAW
        [&] (auto t) { t.getChild (0).getChild (1).setProperty (Ids::current, "-2147483648", nullptr); },
        // locked to a control
        [&] (auto t) { ctlOf (t, 1, 1, 4).setProperty (Ids::lockBy, "-2147483648", nullptr); },
        // numbers beyond int
        [&] (auto t) { ctlOf (t, 1, 1, 5).setProperty (Ids::valueType, "midi", nullptr).setProperty (Ids::chan, "99999999999999999999", nullptr)
                                         .setProperty (Ids::msgValue, "-99999999999999999999", nullptr); },
    };

    const Change atTheRoot = [] (auto t) { t.setProperty (Ids::current, "-2147483648", nullptr); };

    // The default store's first model; the settings file keeps it, so that
    // the second start loads it instead of building the whole default again.
    keepFirstModels (1);
    host().saveSettings();
    const auto defaults = host().getTree().createCopy();

    auto roundTrip = [&] (const std::function<void (juce::ValueTree)>& change)
    {
        auto tree = defaults.createCopy();

        change (tree);
        auto file = folder / "numbers.ostrik";
        juce::XmlElement::TextFormat format;
        format.customEncoding = "UTF-8";
        ASSERT_TRUE (tree.createXml()->writeTo (file, format));

        ASSERT_TRUE (host().loadMappingFile (file).wasOk());
        host().getTree().setProperty (Ids::current, tree[Ids::current], nullptr);

        for (int product = 1; product <= numProducts; ++product)
        {
            for (auto& d : slotDirty) d = true;
            compileDeviceImage (product);

            for (int slot = 1; slot <= numSlots; ++slot)
                for (int chunk = 1; chunk <= numImageChunks; ++chunk)
                    EXPECT_EQ (makeSlotImageChunk (productList()[product - 1], slot, chunk).getRawDataSize(), imageChunkMessageSize);
        }

        for (int slot = 1; slot <= numSlots; ++slot)
            for (int chunk = 1; chunk <= numLabelChunks; ++chunk)
                EXPECT_EQ (makeLabelChunk (slot, chunk).getRawDataSize(), labelChunkMessageSize);

        host().getCurrentSlotIndex();
        host().getSlotDaw (1);
        host().setCurrentSlot (0);
        host().collectFunctionNames();
        host().getStore().getControlOfCurrentSlot (1);
        host().getStore().getCurrentDaw();
    };

    {
        SCOPED_TRACE ("numbers in the model");
        roundTrip ([&] (juce::ValueTree t) { for (auto& c : inTheModel) c (t); });
    }

    // what the extreme numbers compile to: every byte of the wire image is 7-bit
    for (auto& slot : wireImages[0])
        for (auto byte : slot)
            EXPECT_LT (byte, 0x80);

    restartProgram();
    SCOPED_TRACE ("the root's current model");
    roundTrip (atTheRoot);
}

TEST (StoredNumber, ReadsTextAsTheFrameworkDoesButSaturates)
{
    const std::pair<const char*, int> cases[] = {
        { "0", 0 }, { "42", 42 }, { "-7", -7 }, { "  12abc", 12 }, { "abc", 0 }, { "-", 0 }, { "+5", 0 }, { "", 0 },
        { "2147483647", 2147483647 }, { "2147483648", 2147483647 }, { "99999999999999999999", 2147483647 },
        { "-2147483648", std::numeric_limits<int>::min() }, { "-2147483649", std::numeric_limits<int>::min() },
    };

    for (auto& [text, value] : cases)
        EXPECT_EQ (StoredNumber::fromText (text), value) << text;

    EXPECT_EQ (StoredNumber::fromVar (juce::var (1e300)), 2147483647);
    EXPECT_EQ (StoredNumber::fromVar (juce::var (-((juce::int64) 1 << 40))), std::numeric_limits<int>::min());
    EXPECT_EQ (StoredNumber::fromVar (juce::var (std::nan (""))), 0);
    EXPECT_EQ (StoredNumber::fromVar (juce::var (true)), 1);

    juce::ValueTree node ("n");
    node.setProperty ("a", "TRUE", nullptr).setProperty ("b", "0", nullptr).setProperty ("c", "-2147483648", nullptr)
        .setProperty ("d", true, nullptr).setProperty ("e", " yes ", nullptr);
    EXPECT_TRUE (StoredNumber::readFlag (node, "a"));
    EXPECT_FALSE (StoredNumber::readFlag (node, "b"));
    EXPECT_TRUE (StoredNumber::readFlag (node, "c"));
    EXPECT_TRUE (StoredNumber::readFlag (node, "d"));
    EXPECT_TRUE (StoredNumber::readFlag (node, "e"));
    EXPECT_FALSE (StoredNumber::readFlag (node, "missing"));
    EXPECT_EQ (StoredNumber::read (node, "missing", 5), 5);
}
