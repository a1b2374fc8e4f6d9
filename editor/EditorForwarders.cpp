#include "editor/EditorForwarders.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

template <typename Call>
static void withEditorPage (Call&& call)
{
    if (auto* page = dynamic_cast<EditorPage*> (theMainComp))
        call (*page);
}

void rebuildMainCompFromMixer()         { rebuildMainComp(); }
void rebuildMainCompFromFuncPage()      { rebuildMainComp(); }
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

} // namespace NsZ9m
