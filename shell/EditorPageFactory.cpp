#include "shell/EditorPageFactory.h"
#include "shell/Assets.h"
#include "shell/DemoRunnerApplication.h"
#include "editor/EditorAssets.h"
#include "editor/EditorHooks.h"
#include "editor/MainComp.h"
#include "firmware/FirmwareUpgrader.h"

juce::Component* createEditorPage()
{
    return NsZ9m::createMainComp().release();
}

void installEditorAssetHook()
{
    NsZ9m::EditorAssets::setLoader ([] (const juce::String& assetName)
    {
        return loadAssetImage (assetName.toRawUTF8());
    });
}

void installEditorHooks()
{
    NsZ9m::EditorHooks::setFirmwareLauncher (vorlix::launchFirmwareUpgrader);
    NsZ9m::EditorHooks::setQuitHandler (quitFromEditor);
}
