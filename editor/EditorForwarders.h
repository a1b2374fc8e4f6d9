#pragma once

#include "editor/EditorPage.h"

namespace NsZ9m
{

/*  The editor forwarders: the editor's sections reach the editor page named
    by theMainComp through these (refreshMainComp and rebuildMainComp, which
    the core calls too, are declared with EditorLink). Each does nothing while
    no editor page exists. Message thread only.
*/

void rebuildMainCompFromMixer();
void rebuildMainCompFromFuncPage();
void showMainContextMenu();
void showMainContextMenuFromButtons();
void showAssignmentInMainComp (MappableButton& button, juce::ComboBox& chooser);

/** Only for a non-empty text. */
void setMainFunctionButtonEnabledFromHotkeys (const juce::String& text, bool enabled);
void setMainFunctionButtonEnabledFromMidi (const juce::String& text, bool enabled);

} // namespace NsZ9m
