#pragma once

#include "gui/JuceGuiIncludes.h"

namespace vorlix
{

/**
    The firmware chooser of the selection step: the catalogue's entries of
    the unit's product, each shown as its "name", " V" and its "version",
    with "OK" and "Cancel", in the small modal dialog "Firmware Version".

    OK ends the enclosing dialog with result 1 (but never on an item that
    names the system's own "Microsoft" ports); Cancel ends it with result 0.
    When the step asks it to (automatic stepping, and no newer version that
    the user should see first) it confirms itself once its dialog runs.

    It shares the catalogue tree with the wizard and reads it, never writes
    it. Owned by its dialog window. Message thread only.
*/
class FirmwareSelectComponent  : public juce::Component,
                                 private juce::Button::Listener,
                                 private juce::ComboBox::Listener
{
public:
    FirmwareSelectComponent (juce::ValueTree firmwares, int initialIndex, bool confirmByItself = false);
    ~FirmwareSelectComponent() override;

    /** The chosen entry, or an invalid tree when no item within the entries
        is selected. */
    juce::ValueTree getSelectedEntry() const;

    /** The chosen entry's image: the server's base address followed by its
        "fw"; an empty URL when no item within the entries is selected. */
    juce::URL getSelectedUrl() const;

    /** What the user chose in the chooser's dialog. */
    struct Choice
    {
        bool confirmed = false;
        juce::ValueTree entry;      ///< the chosen catalogue entry (when confirmed)
    };

    /** Shows a new chooser in the modal dialog "Firmware Version", centred on
        centreAround (Escape closes it), through ModalDialogRunner, and reads
        the choice before the dialog deletes the chooser. */
    static Choice runChooserDialog (juce::ValueTree firmwares, int initialIndex, bool confirmByItself,
                                    juce::Component* centreAround);

    juce::ComboBox& getEntryList() noexcept        { return entryList; }
    juce::TextButton& getOkButton() noexcept       { return okButton; }
    juce::TextButton& getCancelButton() noexcept   { return cancelButton; }

    void paint (juce::Graphics&) override {}
    void resized() override;

private:
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override {}

    juce::ComboBox entryList;
    juce::TextButton okButton { "OK" }, cancelButton { "Cancel" };
    juce::ValueTree firmwares;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareSelectComponent)
};

} // namespace vorlix
