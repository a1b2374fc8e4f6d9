#include "shell/EditorPageFactory.h"
#include "core/sync/Host.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"

juce::String getEditorWindowTitle()
{
    return "Z9-M/X Ostrik V" + juce::String ("1.04") + " - " + NsZ9m::getCpuModelTag();
}

namespace
{
    /*  PLACEHOLDER until the editor page (NsZ9m::MainComp) is built into the
        program: it keeps the page's contract with the window and the settings
        (the window is 850 x 720 and titled like the editor while it is shown,
        the Host is created with it and the settings are saved when it goes),
        and says plainly that the editor is not here yet. Nothing else in it
        pretends to be the editor.
    */
    class PendingEditorPage final : public juce::Component
    {
    public:
        PendingEditorPage()
        {
            NsZ9m::theHost = NsZ9m::Host::getInstance();
            setOpaque (true);
        }

        ~PendingEditorPage() override
        {
            if (auto* host = NsZ9m::Host::getInstanceWithoutCreating())
                host->saveSettings();

            NsZ9m::midiInputEnabled = false;
        }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (juce::Colour (0xffd3d3d3));
            g.setColour (juce::Colour (0xff484848));
            g.setFont (20.0f);
            g.drawFittedText ("The mapping editor is not built into this version yet.",
                              getLocalBounds().reduced (40), juce::Justification::centred, 2);
        }

        void resized() override
        {
            if (auto* window = getTopLevelComponent(); window != nullptr && window != this)
            {
                window->setSize (850, 720);
                window->setName (getEditorWindowTitle());
            }
        }
    };
}

juce::Component* createEditorPage()
{
    return new PendingEditorPage();
}

void installEditorAssetHook()
{
    // The editor page is not built in yet, so there is no hook to install.
}
