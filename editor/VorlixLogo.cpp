#include "editor/VorlixLogo.h"
#include "editor/EditorVersion.h"
#include "gui/Dialogs.h"

namespace NsZ9m
{

VorlixLogo::VorlixLogo()
    : juce::ImageComponent (juce::String())
{
}

void VorlixLogo::mouseDown (const juce::MouseEvent&)
{
    showAboutBox();
}

juce::String VorlixLogo::getAboutTitle()
{
    return juce::String ("{ostrik} {ver-mark}{ver}")
              .replace ("{ostrik}", EditorVersion::programName)
              .replace ("{ver-mark}", EditorVersion::versionMark)
              .replace ("{ver}", EditorVersion::version);
}

juce::String VorlixLogo::getAboutMessage()
{
    const juce::String buildDate = juce::String (EditorVersion::buildDate).replace ("  ", " ");

    return juce::String ("Build {build}, {date}\n\n\n\n{web}")
              .replace ("{build}", EditorVersion::buildCode)
              .replace ("{date}", buildDate)
              .replace ("{web}", EditorVersion::accountWebAddress);
}

void VorlixLogo::showAboutBox()
{
    juce::AlertWindow box (getAboutTitle(), getAboutMessage(), juce::MessageBoxIconType::NoIcon, nullptr);
    box.addButton ("OK", 1);
    Dialogs::runAlertWindow (box);
}

} // namespace NsZ9m
