#pragma once

#include "core/sync/EditorLink.h"
#include "gui/JuceGuiIncludes.h"

namespace NsZ9m
{

class MappableButton;

/**
    What the editor's sections may ask of the editor page, on top of what the
    core asks of it (EditorLink).

    The editor page implements this interface and registers itself in
    theMainComp while it exists; the sections reach it only through the editor
    forwarders (EditorForwarders.h), which do nothing while no page is
    registered. Message thread only.
*/
class EditorPage : public EditorLink
{
public:
    /** Shows the page's context menu. */
    virtual void showContextMenu() = 0;

    /** Shows a control's assignment together with one of the MIDI page's choosers. */
    virtual void showButtonAssignment (MappableButton& button, juce::ComboBox& chooser) = 0;

    /** Enables or disables the function button with this text. */
    virtual void setFunctionButtonEnabled (const juce::String& text, bool enabled) = 0;
};

} // namespace NsZ9m
