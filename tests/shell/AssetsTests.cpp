#include "shell/Assets.h"
#include "shell/PageRegistry.h"
#include "tests/support/TempFolder.h"
#include "tests/support/gui/DamagedPictures.h"
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace
{
    juce::File operator/ (const juce::File& folder, const juce::String& child)
    {
        return folder.getChildFile (child);
    }

    void writePng (const juce::File& file, int w, int h, juce::Colour colour)
    {
        juce::Image image (juce::Image::ARGB, w, h, true);
        image.clear (image.getBounds(), colour);
        file.getParentDirectory().createDirectory();
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat().writeImageToStream (image, out);
    }

    struct AssetsTest : public ::testing::Test
    {
        AssetsTest()    { juce::ImageCache::releaseUnusedImages(); }
        ~AssetsTest()   { juce::ImageCache::releaseUnusedImages(); }

        z9test::TempFolder temp;
    };
}

TEST_F (AssetsTest, ResourcesFolderIsFoundBesideAboveOrNotAtAll)
{
    const auto beside = temp / "install";
    (beside / "resources/Assets").createDirectory();
    (beside / "bin").createDirectory();

    const auto above = temp / "up/resources";
    above.getChildFile ("bin/deeper").createDirectory();

    const auto none = temp / "plain/a/b";
    none.createDirectory();

    const auto plainFile = temp / "fake";
    plainFile.createDirectory();
    (plainFile / "resources").replaceWithText ("not a folder");

    struct Case { juce::File start; juce::File expected; };
    const Case cases[] =
    {
        { beside / "app",                   beside / "resources" },
        { above / "bin/deeper/app",         above },
        { above / "app",                    above },
        { none / "app",                     juce::File() },
        { plainFile / "app",                juce::File() },
        { juce::File(),                     juce::File() },
    };

    for (auto& c : cases)
        EXPECT_EQ (findResourcesFolderFrom (c.start), c.expected) << c.start.getFullPathName();
}

TEST_F (AssetsTest, AncestorSearchStopsAfterFifteenLevels)
{
    auto deep = temp / "resources";
    juce::String path;

    for (int i = 0; i < 15; ++i)
        path << "d" << i << "/";

    (deep / path).createDirectory();

    // The walk starts at the file itself: 15 steps from d14/app reach d0, not resources.
    EXPECT_EQ (findResourcesFolderFrom (deep / path / "app"), juce::File());
    EXPECT_EQ (findResourcesFolderFrom (deep / path.upToLastOccurrenceOf ("d14/", false, false) / "app"), deep);
}

TEST_F (AssetsTest, WithoutResourcesTheLookupEndsWhereTheWalkStopped)
{
    (temp / "a/b").createDirectory();
    ScopedApplicationFile app (temp / "a/b/app");

    // The walk reaches the root folder within 15 steps from a temporary folder
    // of normal depth, and stops there.
    EXPECT_EQ (getResourcesFolder(), juce::File ("/"));
    EXPECT_FALSE (loadAssetImage ("z9-m.png").isValid());
}

TEST_F (AssetsTest, ImagesComeFromTheAssetsFolderAndTheCache)
{
    const auto assets = temp / "resources/Assets";
    writePng (assets / "z9-m.png", 16, 4, juce::Colours::red);
    writePng (assets / "bkg/Z9-M.png", 3, 3, juce::Colours::blue);
    ScopedApplicationFile app (temp / "app");

    auto first = loadAssetImage ("z9-m.png");
    ASSERT_TRUE (first.isValid());
    EXPECT_EQ (first.getWidth(), 16);
    EXPECT_EQ (first.getPixelAt (1, 1).getARGB(), juce::Colours::red.getARGB());

    // The second load comes from the cache: the file is no longer needed.
    (assets / "z9-m.png").deleteFile();
    auto second = loadAssetImage ("z9-m.png");
    EXPECT_EQ (second, first);

    EXPECT_EQ (loadAssetImage ("bkg/Z9-M.png").getWidth(), 3);
}

TEST_F (AssetsTest, MissingOrUndecodableAssetsGiveNullImagesAndAreNotCached)
{
    const auto assets = temp / "resources/Assets";
    assets.createDirectory();
    (assets / "broken.png").replaceWithText ("this is not a picture");
    (assets / "folder.png").createDirectory();
    ASSERT_EQ (mkfifo ((assets / "fifo.png").getFullPathName().toRawUTF8(), 0666), 0);
    z9test::writePicture (assets / "bkg/Z9-M.jpg", z9test::jpegWithBadHuffmanTable());
    ScopedApplicationFile app (temp / "app");

    // A FIFO is refused without waiting for a writer; a damaged picture is
    // refused by the decoder.
    for (auto* name : { "missing.png", "broken.png", "folder.png", "fifo.png", "bkg/Z9-M.jpg", "" })
        EXPECT_FALSE (loadAssetImage (name).isValid()) << name;

    EXPECT_EQ (openAssetStream (nullptr), nullptr);
    EXPECT_EQ (openAssetStream ("fifo.png"), nullptr);

    // Once the file is good it loads: the failure was not cached.
    writePng (assets / "broken.png", 2, 2, juce::Colours::green);
    EXPECT_TRUE (loadAssetImage ("broken.png").isValid());
}

TEST_F (AssetsTest, OversizedAssetFilesAreNotRead)
{
    const auto assets = temp / "resources/Assets";
    assets.createDirectory();
    {
        juce::FileOutputStream out (assets / "huge.png");
        ASSERT_TRUE (out.setPosition (maxAssetFileSize));
        out.writeByte (0);
    }
    ScopedApplicationFile app (temp / "app");

    EXPECT_EQ (openAssetStream ("huge.png"), nullptr);
}

//==============================================================================
namespace
{
    struct RegistryTest : public ::testing::Test
    {
        RegistryTest()    { getPageCategories().clear(); }
        ~RegistryTest()   { getPageCategories().clear(); }

        z9test::TempFolder temp;
    };
}

TEST_F (RegistryTest, TheEditorPageIsRegisteredWhenTheResourcesAreThere)
{
    (temp / "resources").createDirectory();
    ScopedApplicationFile app (temp / "app");

    registerAllPages();

    auto& categories = getPageCategories();
    ASSERT_EQ (categories.size(), 1u);
    EXPECT_EQ (categories[0].name, "Controllers");
    ASSERT_EQ (categories[0].pages.size(), 1u);
    EXPECT_EQ (categories[0].pages[0].pageFile, temp / "resources/Controllers/Z9M");
    EXPECT_EQ (categories[0].pages[0].pageFile.getFileName(), "Z9M");
    EXPECT_FALSE (categories[0].pages[0].isHeavyweight);
    EXPECT_NE (categories[0].pages[0].factory, nullptr);
}

TEST_F (RegistryTest, NothingIsRegisteredWithoutResources)
{
    ScopedApplicationFile app (temp / "app");
    registerAllPages();
    EXPECT_TRUE (getPageCategories().empty());
}

TEST_F (RegistryTest, CategoriesAreFoundByExactNameAndPagesByValidIndex)
{
    (temp / "resources").createDirectory();
    ScopedApplicationFile app (temp / "app");

    registerPage ([] { return new juce::Component(); }, "A/one", "Controllers", false);
    registerPage ([] { return new juce::Component(); }, "A/two", "Controllers", true);
    findOrAddPageCategory ("controllers");

    ASSERT_EQ (getPageCategories().size(), 2u);
    EXPECT_EQ (&findOrAddPageCategory ("Controllers"), &getPageCategories()[0]);
    EXPECT_EQ (getPageCategories()[1].name, "controllers");

    ASSERT_NE (findRegisteredPage ("Controllers", 1), nullptr);
    EXPECT_TRUE (findRegisteredPage ("Controllers", 1)->isHeavyweight);

    for (auto [category, index] : std::initializer_list<std::pair<const char*, int>> {
             { "Controllers", 2 }, { "Controllers", -1 }, { "controllers", 0 }, { "Nowhere", 0 } })
        EXPECT_EQ (findRegisteredPage (category, index), nullptr) << category << " " << index;

    // Looking a page up adds no category.
    EXPECT_EQ (getPageCategories().size(), 2u);
}
