#include "core/EditorForwarders.h"
#include "core/ProcessState.h"

namespace NsZ9m
{

template <typename Call>
static void withEditorPage (Call&& call)
{
    if (auto* page = theMainComp)
        call (*page);
}

void refreshMainComp()                  { withEditorPage ([] (EditorPage& p) { p.refreshAll(); }); }
void rebuildMainComp()                  { withEditorPage ([] (EditorPage& p) { p.rebuildFromStore(); }); }
void rebuildMainCompFromMixer()         { withEditorPage ([] (EditorPage& p) { p.rebuildFromStore(); }); }
void rebuildMainCompFromFuncPage()      { withEditorPage ([] (EditorPage& p) { p.rebuildFromStore(); }); }
void showMainContextMenu()              { withEditorPage ([] (EditorPage& p) { p.showContextMenu(); }); }
void showMainContextMenuFromButtons()   { withEditorPage ([] (EditorPage& p) { p.showContextMenu(); }); }

void showAssignmentInMainComp (MappableButton& button, juce::ComboBox& chooser)
{
    withEditorPage ([&] (EditorPage& p) { p.showButtonAssignment (button, chooser); });
}

static void setFunctionButtonEnabled (const juce::String& text, bool enabled)
{
    if (text.isNotEmpty())
        withEditorPage ([&] (EditorPage& p) { p.setFunctionButtonEnabled (text, enabled); });
}

void setMainFunctionButtonEnabledFromHotkeys (const juce::String& text, bool enabled)   { setFunctionButtonEnabled (text, enabled); }
void setMainFunctionButtonEnabledFromMidi (const juce::String& text, bool enabled)      { setFunctionButtonEnabled (text, enabled); }

void quitFromEditor()
{
    juce::MessageManager::getInstance()->stopDispatchLoop();
}

} // namespace NsZ9m
