#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsStore.h"
#include "tests/support/HostFixture.h"
#include <csignal>
#include <sys/resource.h>

using namespace NsZ9m;

namespace
{
    class SettingsFileTest : public z9test::HostFixture
    {
    protected:
        static const juce::ValueTree& defaultTree()
        {
            static const juce::ValueTree tree = MappingStore().getTree();
            return tree;
        }

        // Writes a properties file in the program's own format at the common place.
        void writeCommonSettings (const std::function<void (juce::PropertiesFile&)>& fill)
        {
            auto options = SettingsLocation::getOptions();
            commonSettingsFile().getParentDirectory().createDirectory();
            juce::PropertiesFile props (commonSettingsFile(), options);
            fill (props);
            ASSERT_TRUE (props.save());
        }

        void expectDefaultStoreAndNoDirtySlot()
        {
            EXPECT_TRUE (host().getTree().isEquivalentTo (defaultTree()));
            EXPECT_FALSE (slotDirty[0] || slotDirty[1] || slotDirty[2]);
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

TEST_F (SettingsFileTest, AnyUnusableSettingsFileGivesTheDefaultStore)
{
    auto truncatedGoodFile = [this]
    {
        setSlotDaw (host().getTree(), 0, 0, 2);
        host().saveSettings();
        auto bytes = commonFileBytes();
        restartProgram();
        commonSettingsFile().replaceWithData (bytes.getData(), bytes.getSize() / 2);
    };

    const std::pair<const char*, std::function<void()>> cases[] = {
        { "not a properties file", [this] { commonSettingsFile().getParentDirectory().createDirectory();
                                            commonSettingsFile().replaceWithText ("hello, not settings"); } },
        { "random bytes", [this] { juce::Random random (42);
                                   juce::MemoryBlock bytes (8192);
                                   random.fillBitsRandomly (bytes.getData(), bytes.getSize());
                                   commonSettingsFile().getParentDirectory().createDirectory();
                                   commonSettingsFile().replaceWithData (bytes.getData(), bytes.getSize()); } },
        { "truncated", truncatedGoodFile },
        { "state is not XML", [this] { writeCommonSettings ([] (auto& p) { p.setValue ("state", "store ver 0.32, but not as XML"); }); } },
        { "state of another version", [this] { writeCommonSettings ([] (auto& p) {
              p.setValue ("state", "<store current=\"1\" ver=\"0.31\"><model id=\"1\" current=\"0\" pid=\"2055\">"
                                   "<slot id=\"0\" current=\"4\"/></model></store>"); }); } },
        { "state without a version", [this] { writeCommonSettings ([] (auto& p) { p.setValue ("state", "<store/>"); }); } },
        { "state that is not a store", [this] { writeCommonSettings ([] (auto& p) {
              p.setValue ("state", "<model id=\"1\" ver=\"0.32\"/>"); }); } },
        { "no state", [this] { writeCommonSettings ([] (auto& p) { p.setValue ("other", 1); }); } },
    };

    for (auto& [what, prepare] : cases)
    {
        SCOPED_TRACE (what);
        prepare();
        expectDefaultStoreAndNoDirtySlot();
        restartProgram();
        commonSettingsFile().deleteFile();
    }
}

TEST_F (SettingsFileTest, UnwritableCommonFolderFallsBackToThePerUserFile)
{
    // a plain file where the common folder should be: nothing can be written there
    (folder / "common").replaceWithText ("in the way");

    setSlotDaw (host().getTree(), 0, 1, 9);
    host().saveSettings();
    EXPECT_TRUE (userSettingsFile().existsAsFile());

    restartProgram();
    EXPECT_EQ (host().getSlotDaw (2, 1).get(), 9);
    EXPECT_TRUE (slotDirty[1]);
}

TEST_F (SettingsFileTest, AFailedWriteLeavesTheOldFileIntact)
{
    setSlotDaw (host().getTree(), 0, 0, 2);
    host().saveSettings();
    auto before = commonFileBytes();
    ASSERT_GT (before.getSize(), 1000u);

    setSlotDaw (host().getTree(), 0, 0, 7);
    host().getStore().getControl (3, 1, 1).setProperty (Ids::name, "changed", nullptr);

    // how large the new file will be, written elsewhere
    juce::int64 newSize = 0;
    {
        auto scratch = folder / "scratch.conf";
        juce::PropertiesFile props (scratch, SettingsLocation::getOptions());
        props.setValue ("state", host().getTree().createXml().get());
        ASSERT_TRUE (props.save());
        newSize = scratch.getSize();
    }

    // the disk fills up half-way, or just before the last few bytes
    for (auto limit : { (juce::int64) before.getSize() / 4, newSize - 8 })
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
    restartProgram();
    EXPECT_EQ (host().getSlotDaw (1, 1).get(), 7);
}

//==============================================================================
class MappingFileTest : public z9test::HostFixture {};

TEST_F (MappingFileTest, SavedFileLoadsBackIntoAnIdenticalStore)
{
    auto tree = host().getTree();
    setSlotDaw (tree, 0, 1, 8);
    host().getStore().getControl (12, 2, 1).setProperty (Ids::name, juce::String::fromUTF8 ("Caf\xc3\xa9 <&>"), nullptr);
    auto file = folder / "mine.ostrik";

    ASSERT_TRUE (host().saveMappingFile (file).wasOk());

    auto text = file.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_FALSE (text.contains ("<!DOCTYPE"));
    EXPECT_TRUE (text.contains ("<store current=\"1\" ver=\"0.32\">"));

    auto saved = tree.createCopy();
    host().getStore().resetToDefaults();
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
        { "a folder", [this] { auto f = folder / "dir.ostrik"; f.createDirectory(); return f; } },
    };

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
    file.replaceWithText ("<store/>");
    currentSlotIndex = 1;
    slotDawIds[2] = 5;

    ASSERT_TRUE (host().loadMappingFile (file).wasOk());
    EXPECT_EQ (host().getTree().getNumChildren(), 0);
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
    auto result = host().saveMappingFile (folder / "no/such/folder/x.ostrik");
    EXPECT_EQ (result.getErrorMessage(), "Failed to write mapping file");

    host().data->tree = juce::ValueTree();
    result = host().saveMappingFile (folder / "x.ostrik");
    EXPECT_EQ (result.getErrorMessage(), "Could not save current mapping to disk");
    EXPECT_FALSE ((folder / "x.ostrik").exists());
}
