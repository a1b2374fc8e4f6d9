#pragma once

#include "editor/EditorColours.h"
#include "editor/MappableButton.h"
#include "editor/OstrikLookAndFeel.h"
#include <array>
#include <memory>

namespace NsZ9m
{

/**
    The "GENERAL SETTINGS" tab: over a picture of the surface's panel, one
    button for each control it offers (the knobs, the row under them, four
    rows of eight buttons, the faders, the row under them and the two pedal
    inputs), the slot row (a button per memory slot showing its DAW, with a
    colour button beside each for the current slot's LED bits) and the
    "Fader8"/"Master" chooser for the eighth fader strip.

    The editor page listens to the control buttons (selection); the section
    handles its slot buttons, colour buttons and chooser itself.

    The first section built in the process starts the core (startSyncCore:
    the Host and the synchronisation timer, theSyncTimer, started at
    2000 ms) and takes the slot colours from the store. A later section uses
    the running timer. The program stops the core when it ends
    (stopSyncCore).

    Message thread only.
*/
class MixerSection : public juce::Component,
                     public juce::Button::Listener,
                     public juce::ComboBox::Listener
{
public:
    MixerSection();
    ~MixerSection() override;

    /** The current slot button's DAW name, then every control button's
        tooltip and text, from the store. */
    void refresh();

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent&) override;

    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    //==============================================================================
    /** Slot button 0 to 2 (role 3, control id = slot number). */
    MappableButton& getSlotButton (int index)           { return *slotButtons[(size_t) index]; }

    /** Colour button 0 to 2 (role 4) of the current slot's flags daw1 to daw3. */
    MappableButton& getColourButton (int index)         { return *colourButtons[(size_t) index]; }

    MappableButton* getCurrentSlotButton() const noexcept   { return currentSlotButton; }
    void setCurrentSlotButton (MappableButton* b) noexcept  { currentSlotButton = b; }

    juce::ComboBox& getFaderModeChooser() noexcept      { return *faderModeChooser; }
    juce::Label& getDawCaption() noexcept               { return *dawCaption; }

    MappableButton& getKnobButton (int k)               { return *knobButtons[(size_t) k]; }
    MappableButton& getKnobRowButton (int k)            { return *knobRowButtons[(size_t) k]; }
    MappableButton& getGridButton (int j)               { return *gridButtons[(size_t) j]; }
    MappableButton& getFaderButton (int p)              { return *faderButtons[(size_t) p]; }
    MappableButton& getFaderRowButton (int p)           { return *faderRowButtons[(size_t) p]; }
    MappableButton& getPedalButton (int r)              { return *pedalButtons[(size_t) r]; }
    juce::Label& getKnobLabel (int k)                   { return *knobLabels[(size_t) k]; }
    juce::Label& getFaderLabel (int p)                  { return *faderLabels[(size_t) p]; }
    juce::Label& getPedalLabel (int r)                  { return *pedalLabels[(size_t) r]; }

    /** Every control button (role 1), in the order they were made. */
    juce::Array<MappableButton*> getControlButtons() const;

    /** Sets the slot colour table from the flags daw1 to daw3 stored in the
        current model's slots (a missing flag keeps the table's start value),
        so the colours the user set survive a restart and a mapping load. */
    static void loadSlotColoursFromStore();

    static constexpr juce::uint32 pageColour  = Colours::pageColour;
    static constexpr juce::uint32 panelColour = Colours::panelColour;

private:
    void slotClicked (MappableButton&);
    void colourClicked (MappableButton&);

    std::array<std::unique_ptr<MappableButton>, 3> slotButtons;
    std::array<std::unique_ptr<MappableButton>, 3> colourButtons;
    MappableButton* currentSlotButton = nullptr;
    std::array<std::unique_ptr<juce::Label>, 8> faderLabels;
    std::array<std::unique_ptr<MappableButton>, 8> faderButtons;
    std::array<std::unique_ptr<MappableButton>, 8> faderRowButtons;
    std::unique_ptr<juce::ComboBox> faderModeChooser;

    OstrikLookAndFeel faderLook, slotLook, colourLook, rowLook, knobLook, gridLook;

    std::unique_ptr<juce::Label> dawCaption;
    std::array<std::unique_ptr<juce::Label>, 8> knobLabels;
    std::array<std::unique_ptr<MappableButton>, 8> knobButtons;
    std::array<std::unique_ptr<MappableButton>, 8> knobRowButtons;
    std::array<std::unique_ptr<MappableButton>, 32> gridButtons;
    std::array<std::unique_ptr<juce::Label>, 2> pedalLabels;
    std::array<std::unique_ptr<MappableButton>, 2> pedalButtons;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MixerSection)
};

/** Set by the function page's DAW chooser: the next MixerSection::refresh
    rewrites the current slot button's DAW name. */
extern bool dawChooserPressed;

} // namespace NsZ9m
