#pragma once

#include "gui/JuceGuiIncludes.h"

namespace vorlix
{

/**
    The unit chooser: a list of the MIDI outputs (ports in upgrade mode shown
    as "Vorlix firmware upgrade manager") with "OK" and "Cancel", shown in a
    small modal dialog by the wizard's "Start" step (any unit) and "Activate"
    step (a unit in upgrade mode).

    It preselects the likely unit and, when it finds none, warns and takes
    the first item. Under automatic stepping a found unit is confirmed without
    the user. OK ends the enclosing dialog with result 1, but only for a unit
    that the step can take; Cancel ends it with result 0. The wizard reads
    selectedName afterwards.

    Owned by its dialog window. Message thread only.
*/
class DeviceSelectComponent  : public juce::Component,
                               private juce::Button::Listener,
                               private juce::ComboBox::Listener
{
public:
    /** productId: the product the wizard looks for. nameFilter: empty to choose
        any unit, "Vorlix firmware upgrade" to choose a unit in upgrade mode. */
    DeviceSelectComponent (int productId, juce::String nameFilter);
    ~DeviceSelectComponent() override;

    /** Ends the enclosing dialog with result 1 when the listed unit passes the
        step's filter; otherwise the dialog stays open. */
    void confirmSelection();

    /** What the user chose in the chooser's dialog. */
    struct Choice
    {
        bool confirmed = false;       ///< OK on a unit that the filter takes
        juce::String selectedName;    ///< the chosen item's text (a display name)
    };

    /** Shows a new chooser in the modal dialog "Choose Your Vorlix Device",
        centred on centreAround (Escape closes it), through ModalDialogRunner,
        and reads the choice before the dialog deletes the chooser. */
    static Choice runChooserDialog (int productId, const juce::String& nameFilter, juce::Component* centreAround);

    /** The text of the chosen item, and its position among the display names. */
    juce::String selectedName;
    int selectedIndex = -1;

    /** Whether the constructor found a unit to preselect (no warning). */
    bool hasPreselection() const noexcept   { return preselected; }

    juce::ComboBox& getUnitList() noexcept         { return unitList; }
    juce::TextButton& getOkButton() noexcept       { return okButton; }
    juce::TextButton& getCancelButton() noexcept   { return cancelButton; }

    void paint (juce::Graphics&) override {}
    void resized() override;

private:
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    const juce::String nameFilter;
    const int productId;
    bool preselected = false;

    juce::ComboBox unitList;
    juce::TextButton cancelButton { "Cancel" }, okButton { "OK" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DeviceSelectComponent)
};

} // namespace vorlix
