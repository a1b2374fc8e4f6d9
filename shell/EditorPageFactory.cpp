#include "shell/EditorPageFactory.h"
#include "shell/Assets.h"
#include "editor/EditorAssets.h"
#include "editor/MainComp.h"

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
