#include "tests/support/gui/Snapshot.h"
#include <gtest/gtest.h>

namespace z9test
{

juce::File writeSnapshot (juce::Component& component, const juce::String& suffix)
{
    juce::String name ("snapshot");

    if (auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        name = juce::String (info->test_suite_name()) + "." + info->name();

    if (suffix.isNotEmpty())
        name << "-" << suffix;

    const auto file = juce::File (Z9_SNAPSHOT_DIR).getChildFile (juce::File::createLegalFileName (name) + ".png");
    file.getParentDirectory().createDirectory();

    const auto image = component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
    file.deleteFile();

    if (juce::FileOutputStream out (file); out.openedOk())
    {
        juce::PNGImageFormat png;
        EXPECT_TRUE (png.writeImageToStream (image, out)) << file.getFullPathName();
    }
    else
    {
        ADD_FAILURE() << "Could not write " << file.getFullPathName();
    }

    return file;
}

} // namespace z9test
