#pragma once

#include "editor/EditorAssets.h"
#include "editor/KeyEntryWindow.h"
#include "editor/MainComp.h"
#include "gui/SafeImageDecoder.h"
#include "core/sync/Host.h"
#include "core/sync/SyncTimer.h"
#include "core/sync/ProcessState.h"
#include "core/model/Products.h"
#include "tests/support/BoundedWait.h"
#include "tests/support/SurfaceFixture.h"
#include "tests/support/gui/ScriptedDialogs.h"
#include "tests/support/gui/Snapshot.h"

namespace z9test
{

/** Draws a labelled picture of the given size, as a stand-in asset. */
inline juce::Image drawTestPicture (int w, int h, juce::Colour colour, const juce::String& text)
{
    juce::Image image (juce::Image::ARGB, w, h, true);
    juce::Graphics g (image);
    g.fillAll (colour);
    g.setColour (juce::Colours::white);
    g.drawRect (image.getBounds(), 2);
    g.setFont (juce::jmin (20.0f, (float) h * 0.45f));
    g.drawText (text, image.getBounds(), juce::Justification::centred);
    return image;
}

inline void writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat().writeImageToStream (image, out);
}

/**
    The editor's tests: a Host over a settings folder of its own, in-memory
    MIDI ports, and the editor's pictures read from an assets folder of the
    case's own (the source tree's resources/Assets when it holds the picture,
    else pictures drawn here). Every page a case builds is gone before the
    Host goes.
*/
class EditorFixture : public SurfaceFixture
{
protected:
    void SetUp() override
    {
        SurfaceFixture::SetUp();
        NsZ9m::resetCapturedHotkeys();
        writePng (drawTestPicture (100, 28, juce::Colour (0xff203040), "VORLIX"), assets.getChildFile ("Vorlix Logo.png"));
        writePng (drawTestPicture (240, 40, juce::Colour (0xff404040), "Z9-M"), assets.getChildFile ("z9-m.png"));
        writePng (drawTestPicture (120, 40, juce::Colour (0xff406040), "Z9-X"), assets.getChildFile ("z9-x.png"));
        writePng (drawTestPicture (594, 560, juce::Colour (0xff303030), "panel"), assets.getChildFile ("bkg/Z9-M.jpg"));
    }

    void TearDown() override
    {
        // Every case leaves a picture of the page as it ended, unless it took
        // its own.
        if (page != nullptr && ! snapshotTaken)
            writeSnapshot (*page);

        page.reset();
        window.reset();

        // The program keeps its one timer to the end; each case starts without.
        NsZ9m::stopSyncCore();
        SurfaceFixture::TearDown();
    }

    /** Reads a picture from the test's own assets folder as the program does;
        a missing or refused file is a null picture. */
    static juce::Image readPicture (const juce::File& file)
    {
        return NsZ9m::SafeImageDecoder::loadFile (file);
    }

    /** The program's own picture from the source tree when there is one. */
    static juce::File sourceAsset (const juce::String& name)
    {
       #ifdef Z9_SOURCE_DIR
        return juce::File (Z9_SOURCE_DIR).getChildFile ("resources/Assets").getChildFile (name);
       #else
        juce::ignoreUnused (name);
        return {};
       #endif
    }

    /** Uses the source tree's pictures where they exist (for snapshots that
        look like the program). */
    void preferSourceAssets()   { useSourceAssets = true; }

    /** Builds a page inside a window-like parent and lets the model
        chooser's asynchronous change run, as the message loop would. */
    NsZ9m::MainComp& showPage()
    {
        if (window == nullptr)
        {
            window = std::make_unique<juce::Component> ("window");
            window->setSize (640, 480);
        }

        page = std::make_unique<NsZ9m::MainComp> (NsZ9m::productZ9M);

        // The page started the process's synchronisation timer. The cases tick
        // it themselves (tick()): a running one would also tick whenever a case
        // runs the message loop for long enough, which depends on how busy the
        // machine is.
        if (NsZ9m::theSyncTimer != nullptr)
        {
            syncTimerIntervalAtStart = NsZ9m::theSyncTimer->getTimerInterval();
            NsZ9m::theSyncTimer->stopTimer();
        }

        window->addAndMakeVisible (*page);
        page->setBounds (0, 0, NsZ9m::MainComp::windowWidth, NsZ9m::MainComp::windowHeight);

        EXPECT_TRUE (waitUntil ([&] { return page->isComplete(); }));
        return *page;
    }

    /** One tick of the process's synchronisation timer, which then stays
        stopped as the page left it. */
    void tick()
    {
        ASSERT_NE (NsZ9m::theSyncTimer, nullptr);
        NsZ9m::theSyncTimer->timerCallback();
        NsZ9m::theSyncTimer->stopTimer();
    }

    /** Writes a PNG of the component, named after the case. */
    void snapshot (juce::Component& c, const juce::String& suffix = {})
    {
        writeSnapshot (c, suffix);
        snapshotTaken = true;
    }

    /** Chooses a model as the user does, through the chooser. */
    void chooseModel (int productId)
    {
        page->getModelCombo().setSelectedId (NsZ9m::productIndexOf (productId) + 1, juce::sendNotificationSync);
    }

    juce::StringArray outerTabNames() const   { return page->getOuterTabs().getTabbedButtonBar().getTabNames(); }
    juce::StringArray innerTabNames() const   { return page->getInnerTabs().getTabbedButtonBar().getTabNames(); }

    TempFolder assetFolder;
    juce::File assets { assetFolder.get().getChildFile ("Assets") };
    bool useSourceAssets = false;
    bool snapshotTaken = false;
    int syncTimerIntervalAtStart = 0;   // of the last page built: 2000 when it started the timer

    NsZ9m::EditorAssets::ScopedLoader loader { [this] (const juce::String& name)
    {
        if (useSourceAssets && sourceAsset (name).existsAsFile())
            return readPicture (sourceAsset (name));

        return readPicture (assets.getChildFile (name));
    } };

    std::unique_ptr<juce::Component> window;
    std::unique_ptr<NsZ9m::MainComp> page;
};

} // namespace z9test
