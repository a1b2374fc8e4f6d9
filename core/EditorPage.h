#pragma once

#include "core/JuceIncludes.h"

namespace juce { class ComboBox; }

namespace NsZ9m
{

class MappableButton;

/**
    What the mapping core may ask of the editor page.

    The core does not depend on the editor: the editor page implements this
    interface, registers itself in theMainComp while it exists, and the core
    and the editor's sections reach it only through the editor forwarders
    (EditorForwarders.h), which do nothing while no page is registered.
    Message thread only.
*/
class EditorPage
{
public:
    virtual ~EditorPage() = default;

    /** Repaints every section from the store. */
    virtual void refreshAll() = 0;

    /** Rebuilds the page's controls from the store. */
    virtual void rebuildFromStore() = 0;

    /** Shows the page's context menu. */
    virtual void showContextMenu() = 0;

    /** Shows a control's assignment together with one of the MIDI page's choosers. */
    virtual void showButtonAssignment (MappableButton& button, juce::ComboBox& chooser) = 0;

    /** Enables or disables the function button with this text. */
    virtual void setFunctionButtonEnabled (const juce::String& text, bool enabled) = 0;
};

} // namespace NsZ9m
