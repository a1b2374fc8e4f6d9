#include "editor/MidiPage.h"
#include "editor/EditorColours.h"
#include "editor/EditorForwarders.h"
#include "editor/EditorState.h"
#include "editor/MappableButton.h"
#include "core/model/ControlNumbers.h"
#include "core/model/DawId.h"
#include "core/model/KeyTables.h"
#include "core/model/MidiMessageKind.h"
#include "core/sync/EditorLink.h"
#include "core/sync/Host.h"

namespace NsZ9m
{

namespace
{
    void refreshColumnOf (int controlId)
    {
        const auto column = (controlId - 1) % 16;

        for (int k = 0; k < 5; ++k)
        {
            const auto member = column + 16 * k + 1;

            if (member != controlId)
                if (auto* b = nameButtons[(size_t) (member - 1)])
                    b->refreshText();
        }
    }

    void selectIndex (juce::ComboBox& box, int index)
    {
        if (juce::isPositiveAndBelow (index, box.getNumItems()))
            box.setSelectedItemIndex (index, juce::dontSendNotification);
        else
            box.setSelectedId (0, juce::dontSendNotification);
    }
}

//==============================================================================
MidiPage::MidiPage()
{
    for (int i = 0; i < 5; ++i)
        kindBox.addItem (getMidiKindDisplayName (i), i + 1);

    kindCaption.setText ("Message Type", juce::dontSendNotification);
    channelCaption.setText ("Channel", juce::dontSendNotification);
    valueCaption.setText ("Message Value", juce::dontSendNotification);
    rotationCaption.setText ("Rotation Pattern", juce::dontSendNotification);
    nameCaption.setText ("Name", juce::dontSendNotification);

    for (auto* l : { &kindCaption, &channelCaption, &valueCaption, &rotationCaption, &nameCaption, &nameField })
        l->setJustificationType (juce::Justification::centred);

    nameField.setEditable (true, false, false);
    nameField.setColour (juce::Label::outlineColourId, juce::Colour (0xffd3d3d3));
    nameField.onEditorShow = [this] { restrictMidiNameEditor(); };
    nameField.onTextChange = [this] { applyMidiNameEdit(); };

    for (auto* b : { &kindBox, &channelBox, &valueBox, &rotationBox })
        b->addListener (this);

    for (auto* c : std::initializer_list<juce::Component*> { &kindBox, &kindCaption, &channelBox, &channelCaption,
                                                             &valueCaption, &valueBox, &rotationBox, &rotationCaption,
                                                             &nameCaption, &nameField })
        addAndMakeVisible (c);
}

MidiPage::~MidiPage()
{
    for (auto* b : { &kindBox, &channelBox, &valueBox, &rotationBox })
        b->removeListener (this);
}

void MidiPage::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Colours::pageColour));
}

void MidiPage::resized()
{
    const auto W = (float) getWidth();
    const auto w = W * 0.8f;
    const auto x = (int) ((W - w) / 2.0f);
    const auto width = (int) w;

    auto place = [x, width] (juce::Component& c, int y) { c.setBounds (x, y, width, 28); };

    place (kindCaption, 33);
    place (kindBox, 61);
    place (channelCaption, 123);
    place (channelBox, 151);
    place (valueCaption, 212);
    place (valueBox, 240);

    const auto id = currentButton != nullptr ? currentButton->getControlId() : 0;
    const auto daw = Host::getInstance()->getStore().getCurrentDaw().get();

    if (currentButton != nullptr && isNotHuiDaw (daw) && isKnobControl (id))
    {
        place (rotationCaption, 302);
        place (rotationBox, 330);
        place (nameCaption, 392);
        place (nameField, 420);
    }
    else
    {
        place (nameCaption, 302);
        place (nameField, 330);
    }
}

//==============================================================================
MidiPageSelection MidiPage::getSelection() const
{
    return { kindBox.getSelectedItemIndex(), channelBox.getSelectedItemIndex(),
             valueBox.getSelectedItemIndex(), rotationBox.getSelectedItemIndex() };
}

void MidiPage::showAssignmentWith (juce::ComboBox& box)
{
    if (currentButton != nullptr)
        showAssignmentInMainComp (*currentButton, box);
}

void MidiPage::refresh()
{
    if (! isNotHuiDaw (Host::getInstance()->getStore().getCurrentDaw().get()))
        kindBox.clear (juce::dontSendNotification);

    if (currentButton != nullptr)
        for (auto* b : { &kindBox, &channelBox, &valueBox, &rotationBox })
            showAssignmentInMainComp (*currentButton, *b);
}

void MidiPage::comboBoxChanged (juce::ComboBox* box)
{
    auto store = Host::getInstance()->getStore();

    if (currentButton != nullptr)
    {
        const auto chooser = box == &kindBox    ? MidiPageChooser::kind
                           : box == &channelBox ? MidiPageChooser::channel
                           : box == &valueBox   ? MidiPageChooser::value
                                                : MidiPageChooser::rotation;
        const auto id = currentButton->getControlId();
        const auto lockBy = getLockBy (store, id);

        // What the control showed before: a DAW function it held is free again.
        const auto oldText = currentButton->getAssignmentText();
        const auto edit = chooseOnMidiPage (store, id, chooser, getSelection());

        if (edit.edited)
        {
            selectIndex (kindBox, edit.selection.kind);

            if (edit.blankFunction)
            {
                // Zone and port are emptied; their own handlers follow once
                // the message loop turns.
                channelBox.setSelectedId (0, juce::sendNotificationAsync);
                valueBox.setSelectedId (0, juce::sendNotificationAsync);
            }
            else
            {
                selectIndex (channelBox, edit.selection.channel);
                selectIndex (valueBox, edit.selection.value);
            }

            if (edit.showsName)
                nameField.setText (edit.nameText, juce::dontSendNotification);

            if (box != &kindBox)
                showAssignmentWith (*box);

            if (edit.complete)
            {
                setMainFunctionButtonEnabledFromMidi (oldText, true);
                rebuildMainComp();

                if (currentButton != nullptr)
                    currentButton->refreshText();

                if (lockBy > 0)
                    refreshColumnOf (id);
            }

            showAssignmentWith (kindBox);
        }
    }

    refreshMainComp();
}

//==============================================================================
void MidiPage::restrictMidiNameEditor()
{
    if (auto* editor = nameField.getCurrentTextEditor())
    {
        editor->setInputRestrictions (maxNameLength, keyboardCharacters());
        editor->setJustification (juce::Justification::centredBottom);
    }
}

void MidiPage::applyMidiNameEdit()
{
    if (currentButton == nullptr)
        return;

    auto store = Host::getInstance()->getStore();
    const auto id = currentButton->getControlId();
    const auto oldText = currentButton->getAssignmentText();
    const auto edit = setMidiPageName (store, id, nameField.getText(), getSelection());

    if (! edit.marked)
        return;

    // A DAW function that the name turned into a message is free again.
    if (edit.kindChanged && edit.previousKind == ValueTypeKind (ValueTypeKind::Func))
        setMainFunctionButtonEnabledFromMidi (oldText, true);

    currentButton->refreshText();

    if (getLockBy (store, id) > 0)
        refreshColumnOf (id);
}

} // namespace NsZ9m
