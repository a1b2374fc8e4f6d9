#pragma once

#include "core/EditorPage.h"

namespace NsZ9m
{

/*  The editor forwarders: the core and the editor's sections reach the editor
    page named by theMainComp through these. Each does nothing while no editor
    page exists. Message thread only.
*/

void refreshMainComp();
void rebuildMainComp();
void rebuildMainCompFromMixer();
void rebuildMainCompFromFuncPage();
void showMainContextMenu();
void showMainContextMenuFromButtons();
void showAssignmentInMainComp (MappableButton& button, juce::ComboBox& chooser);

/** Only for a non-empty text. */
void setMainFunctionButtonEnabledFromHotkeys (const juce::String& text, bool enabled);
void setMainFunctionButtonEnabledFromMidi (const juce::String& text, bool enabled);

/** Stops the message loop (the editor's Ctrl+Q). */
void quitFromEditor();

} // namespace NsZ9m
