#pragma once

#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

/**
    The maker's logo at the top left of the editor page; a click with any
    mouse button opens the about box (through the dialog layer, so tests can
    answer it).
    Message thread only.
*/
class VorlixLogo : public juce::ImageComponent
{
public:
    VorlixLogo();

    void mouseDown (const juce::MouseEvent&) override;

    /** Runs the modal about box: its title, the build line and the maker's
        web address, one "OK" button. */
    static void showAboutBox();

    /** "Z9-M/X Ostrik V1.04". */
    static juce::String getAboutTitle();

    /** The build line, an empty paragraph and the web address. */
    static juce::String getAboutMessage();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VorlixLogo)
};

} // namespace NsZ9m
