#include "editor/EditorHooks.h"

namespace NsZ9m
{

EditorHooks::FirmwareLauncher& EditorHooks::launcher()
{
    static FirmwareLauncher installed;
    return installed;
}

EditorHooks::QuitHandler& EditorHooks::quitHandler()
{
    static QuitHandler installed;
    return installed;
}

void EditorHooks::setFirmwareLauncher (FirmwareLauncher newLauncher)
{
    JUCE_ASSERT_MESSAGE_THREAD
    launcher() = std::move (newLauncher);
}

void EditorHooks::setQuitHandler (QuitHandler newHandler)
{
    JUCE_ASSERT_MESSAGE_THREAD
    quitHandler() = std::move (newHandler);
}

int EditorHooks::launchFirmwareUpgrader (int productId, juce::Component* centreAround,
                                         bool showWarning, bool onlineMode)
{
    JUCE_ASSERT_MESSAGE_THREAD

    // A copy: the launch runs a modal loop, in which the installed one may change.
    if (auto l = launcher())
        return l (productId, centreAround, showWarning, onlineMode);

    return 0;
}

void EditorHooks::quit()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (auto q = quitHandler())
        q();
}

EditorHooks::ScopedFirmwareLauncher::ScopedFirmwareLauncher (FirmwareLauncher newLauncher)
    : ScopedOverride (launcher(), std::move (newLauncher))
{
}

EditorHooks::ScopedQuitHandler::ScopedQuitHandler (QuitHandler newHandler)
    : ScopedOverride (quitHandler(), std::move (newHandler))
{
}

} // namespace NsZ9m
