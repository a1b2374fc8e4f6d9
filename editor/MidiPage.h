#pragma once

#include "gui/JuceGuiIncludes.h"
#include "core/sync/StoreEdits.h"

namespace NsZ9m
{

/**
    The "MIDI" tab (offered for every control): the selected control's MIDI
    message (kind, channel, value, a knob's rotation pattern and a name), or
    on the HUI DAW its HUI function (a fader or knob function, a button
    function or a zone and port pair of the user's own).

    The editor page fills the choosers from the store (showButtonAssignment);
    this page turns the user's choices into store edits (chooseOnMidiPage,
    setMidiPageName), which follow a linked column to its source and mark
    the current slot, so the synchronisation timer sends them. The page owns
    its ten components; the editor page owns the page. Message thread only.
*/
class MidiPage : public juce::Component,
                 public juce::ComboBox::Listener
{
public:
    MidiPage();
    ~MidiPage() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** One of the four choosers changed. */
    void comboBoxChanged (juce::ComboBox*) override;

    /** Shows the selected control's assignment in the four choosers. */
    void refresh();

    /** The name field's callbacks: the editor's restrictions, and the store
        write of a name the user typed. */
    void restrictMidiNameEditor();
    void applyMidiNameEdit();

    /** The choosers' selected indices, -1 for none. */
    MidiPageSelection getSelection() const;

    //==============================================================================
    juce::ComboBox& getKindBox() noexcept           { return kindBox; }
    juce::ComboBox& getChannelBox() noexcept        { return channelBox; }
    juce::ComboBox& getValueBox() noexcept          { return valueBox; }
    juce::ComboBox& getRotationBox() noexcept       { return rotationBox; }
    juce::Label& getKindCaption() noexcept          { return kindCaption; }
    juce::Label& getChannelCaption() noexcept       { return channelCaption; }
    juce::Label& getValueCaption() noexcept         { return valueCaption; }
    juce::Label& getRotationCaption() noexcept      { return rotationCaption; }
    juce::Label& getNameCaption() noexcept          { return nameCaption; }
    juce::Label& getNameField() noexcept            { return nameField; }

private:
    void showAssignmentWith (juce::ComboBox&);

    juce::ComboBox kindBox;
    juce::ComboBox channelBox;
    juce::ComboBox valueBox;
    juce::ComboBox rotationBox;
    juce::Label kindCaption;
    juce::Label channelCaption;
    juce::Label valueCaption;
    juce::Label rotationCaption;
    juce::Label nameCaption;
    juce::Label nameField;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiPage)
};

} // namespace NsZ9m
