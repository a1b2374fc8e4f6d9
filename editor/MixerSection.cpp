#include "editor/MixerSection.h"
#include "editor/EditorAssets.h"
#include "editor/EditorCaptions.h"
#include "core/model/ControlNumbers.h"
#include "core/base/StoredNumber.h"
#include "core/model/DawId.h"
#include "editor/EditorForwarders.h"
#include "core/sync/Host.h"
#include "core/sync/StoreEdits.h"
#include "core/sync/SyncTimer.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "core/model/Products.h"

namespace NsZ9m
{

bool dawChooserPressed = false;

namespace
{
    const juce::Identifier& colourFlag (int column)
    {
        static const juce::Identifier* flags[] = { &Ids::daw1, &Ids::daw2, &Ids::daw3 };
        return *flags[juce::jlimit (0, 2, column)];
    }

    void setBothColours (juce::Button& b, juce::Colour c)
    {
        b.setColour (juce::TextButton::buttonColourId, c);
        b.setColour (juce::TextButton::buttonOnColourId, c);
    }

    std::unique_ptr<juce::Label> makeStripLabel (const juce::String& name)
    {
        auto l = std::make_unique<juce::Label> (name, juce::String());
        l->setColour (juce::Label::textColourId, juce::Colour (0x00000000));
        l->setJustificationType (juce::Justification::centred);
        return l;
    }

    /** The strip positions of the knobs and faders, computed as the layout
        of the surface's panel gives them. */
    float knobStripX (int k)    { return (float) ((40 * k + 3) + 12 * (2.1 * k + 1.0)); }
    float faderStripX (int p)   { return (float) ((40 * p + 2) + 12 * (2.1 * p + 1.0)); }
    float pedalX (int r)        { return (float) ((r + 0.8) * 172.8 + 6 * (2.1 * r + 2.0)); }
}

//==============================================================================
MixerSection::MixerSection()
{
    // 1. to 3. the core: the Host with its saved state, the one sync timer
    const auto firstSection = startSyncCore();

    windowsVersionIndex = getWindowsVersionIndex();

    if (firstSection)
        loadSlotColoursFromStore();

    // 4. the store
    auto store = theHost->getStore();
    const auto slotIndex = juce::jlimit (0, numSlots - 1, currentSlotIndex);

    // 5. the "DAW" caption
    dawCaption = std::make_unique<juce::Label> (juce::String(), juce::String());
    addAndMakeVisible (*dawCaption);
    dawCaption->setText (NsZ9m::dawCaption(), juce::dontSendNotification);
    dawCaption->setJustificationType (juce::Justification::centred);

    // 6. and 7. slot and colour buttons
    slotLook.setCornerSize (7.0f);
    slotLook.setOutlineThickness (2.0f);
    colourLook.setCornerSize (7.0f);
    colourLook.setOutlineThickness (2.0f);
    colourLook.setHighlightFill (true);
    colourLook.setHighlightColour (juce::Colour (0xffff0000));

    for (int i = 0; i < numSlots; ++i)
    {
        auto& s = slotButtons[(size_t) i];
        s = std::make_unique<MappableButton> (juce::String (i + 1));
        addAndMakeVisible (*s);
        setBothColours (*s, juce::Colour (pageColour));
        s->setRole (MappableButton::slotRole);
        s->setControlId (i + 1);
        s->getFunctionCodeValue() = slotDawIds[i];
        s->setLookAndFeel (&slotLook);
        s->addListener (this);

        auto& c = colourButtons[(size_t) i];
        c = std::make_unique<MappableButton> (juce::String());
        addAndMakeVisible (*c);
        setBothColours (*c, juce::Colour (pageColour));
        c->setRole (MappableButton::colourRole);
        c->setControlId (i + 1);
        c->setLookAndFeel (&colourLook);
        c->addListener (this);
        c->setToggleState (slotColourTable[slotIndex][i] != 0, juce::dontSendNotification);
    }

    // 8. the current slot
    currentSlotButton = slotButtons[(size_t) slotIndex].get();
    currentSlotButton->setToggleState (true, juce::dontSendNotification);

    // 9. the knob and fader hot spots show only a frame while active
    knobLook.setOutlineColour (juce::Colour (0x00ffffff));
    faderLook.setOutlineColour (juce::Colour (0x00ffffff));

    const juce::Colour invisible (0x00484848);

    auto makeControl = [&] (std::unique_ptr<MappableButton>& b, int controlId, OstrikLookAndFeel& look,
                            juce::Colour colour, juce::Label* label)
    {
        b = std::make_unique<MappableButton> (juce::String());
        addAndMakeVisible (*b);
        setBothColours (*b, colour);
        b->setLookAndFeel (&look);
        b->setLabel (label);
        b->setControlId (controlId);
        b->setRole (MappableButton::controlRole);

        // A store without the node (no model selected) keeps the id given here.
        if (auto node = store.getControlOfCurrentSlot (controlId); node.isValid())
            b->setControl (node);
        else
            b->refreshText();
    };

    // 10. knobs and the row under them
    for (int k = 0; k < 8; ++k)
    {
        knobLabels[(size_t) k] = makeStripLabel (juce::String (k + 1));
        addAndMakeVisible (*knobLabels[(size_t) k]);
        makeControl (knobButtons[(size_t) k], 116 + k, knobLook, invisible, knobLabels[(size_t) k].get());
        makeControl (knobRowButtons[(size_t) k], 189 + k, rowLook, juce::Colour (panelColour), nullptr);
    }

    // 11. the grid: controls 99 to 106, then 165 to 188
    gridLook.setOutlineColour (juce::Colour (0xff000000));

    for (int j = 0; j < 32; ++j)
        makeControl (gridButtons[(size_t) j], j < 8 ? 99 + j : 165 + (j - 8), gridLook, juce::Colour (pageColour), nullptr);

    // 12. faders and the row under them
    for (int p = 0; p < 8; ++p)
    {
        faderLabels[(size_t) p] = makeStripLabel (juce::String (p + 1));
        addAndMakeVisible (*faderLabels[(size_t) p]);
        makeControl (faderButtons[(size_t) p], 136 + p, faderLook, invisible, faderLabels[(size_t) p].get());
        makeControl (faderRowButtons[(size_t) p], 127 + p, rowLook, juce::Colour (panelColour), nullptr);
    }

    // 13. pedals; their labels only name them
    for (int r = 0; r < 2; ++r)
    {
        pedalLabels[(size_t) r] = makeStripLabel ({});
        addAndMakeVisible (*pedalLabels[(size_t) r]);
        pedalLabels[(size_t) r]->setText (juce::String ("PEDAL ") + (r == 0 ? "A" : "B"), juce::dontSendNotification);
        makeControl (pedalButtons[(size_t) r], 125 + r, rowLook, invisible, nullptr);
    }

    // 14. the eighth fader strip's chooser
    faderModeChooser = std::make_unique<juce::ComboBox> (juce::String());
    addAndMakeVisible (*faderModeChooser);
    faderModeChooser->addListener (this);
    faderModeChooser->addItem ("Fader8", 1);
    faderModeChooser->addItem ("Master", 2);
    faderModeChooser->setSelectedId (1, juce::dontSendNotification);

    // The device image buffers are the core's, sized from start: nothing to
    // prepare here, and nothing a later section could clear.
}

MixerSection::~MixerSection()
{
    // Everything that draws with the section's looks goes before them.
    for (auto* group : { &slotButtons, &colourButtons })
        for (auto& b : *group)
            b.reset();

    for (auto* group : { &faderButtons, &faderRowButtons, &knobButtons, &knobRowButtons })
        for (auto& b : *group)
            b.reset();

    for (auto& b : gridButtons)   b.reset();
    for (auto& b : pedalButtons)  b.reset();
    for (auto& l : faderLabels)   l.reset();
    for (auto& l : knobLabels)    l.reset();
    for (auto& l : pedalLabels)   l.reset();

    faderModeChooser.reset();
    dawCaption.reset();
    currentSlotButton = nullptr;
}

juce::Array<MappableButton*> MixerSection::getControlButtons() const
{
    juce::Array<MappableButton*> result;

    for (auto* c : getChildren())
        if (auto* b = dynamic_cast<MappableButton*> (c))
            if (b->getRole() == MappableButton::controlRole)
                result.add (b);

    return result;
}

void MixerSection::loadSlotColoursFromStore()
{
    auto store = Host::getInstance()->getStore();
    const auto modelNumber = productIndexOf (currentProductId) + 1;

    for (int s = 0; s < numSlots; ++s)
    {
        const auto slot = store.getSlot (s + 1, modelNumber > 0 ? modelNumber : -1);

        for (int c = 0; c < 3; ++c)
            slotColourTable[s][c] = StoredNumber::read (slot, colourFlag (c), defaultSlotColour (s, c)) != 0 ? 1 : 0;
    }
}

//==============================================================================
void MixerSection::refresh()
{
    if (currentSlotButton != nullptr)
    {
        const auto i = currentSlotButton->getControlId() - 1;

        if (juce::isPositiveAndBelow (i, numSlots))
        {
            const auto d = slotDawIds[i];

            if (d >= 1 && (currentSlotButton->getFunctionCode() != d || dawChooserPressed))
            {
                currentSlotButton->getFunctionCodeValue() = d;
                currentSlotButton->setButtonText (getDawDisplayName (d).removeCharacters ("\n"));
                dawChooserPressed = false;
            }
        }
    }

    for (auto* b : getControlButtons())
    {
        updateControlButton (*b);
        b->refreshText();
    }
}

//==============================================================================
void MixerSection::buttonClicked (juce::Button* button)
{
    if (auto* b = dynamic_cast<MappableButton*> (button))
    {
        if (b->getRole() == MappableButton::slotRole)
            slotClicked (*b);
        else if (b->getRole() == MappableButton::colourRole)
            colourClicked (*b);
    }
}

void MixerSection::slotClicked (MappableButton& b)
{
    if (currentSlotButton != nullptr)
        currentSlotButton->setToggleState (false, juce::dontSendNotification);

    b.setToggleState (true, juce::dontSendNotification);

    currentSlotButton = &b;
    selectSlot (Host::getInstance()->getStore(), b.getControlId() - 1);

    rebuildMainCompFromMixer();
    refreshMainComp();
}

void MixerSection::colourClicked (MappableButton& b)
{
    const auto bit = toggleSlotColour (Host::getInstance()->getStore(), b.getControlId() - 1);

    if (bit >= 0)
        b.setToggleState (bit != 0, juce::dontSendNotification);
}

void MixerSection::comboBoxChanged (juce::ComboBox* box)
{
    if (box != faderModeChooser.get())
        return;

    const auto m = faderModeChooser->getSelectedItemIndex() % 2;
    faderButtons[7]->setControlId (143 + m);
    faderRowButtons[7]->setControlId (134 + m);

    refreshMainComp();
}

//==============================================================================
void MixerSection::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        showMainContextMenu();
}

void MixerSection::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (panelColour));

    const auto background = EditorAssets::load (EditorAssets::panelBackground);

    if (background.isValid())
        g.drawImage (background, getLocalBounds().toFloat(), juce::RectanglePlacement::stretchToFit);

    g.setColour (juce::Colour (0xff232323));
    g.fillRect (522, 315, 57, 194);
}

void MixerSection::resized()
{
    // 1. the slot row, centred
    const auto left = (getWidth() - 384) / 2;
    dawCaption->setBounds ((int) (left - 42.4), 2, 36, 26);

    for (int i = 0; i < numSlots; ++i)
    {
        slotButtons[(size_t) i]->setBounds (left + 136 * i, 2, 112, 24);
        colourButtons[(size_t) i]->setBounds (left + 136 * i + 115, 7, 13, 13);
    }

    // 2. knob strips
    for (int k = 0; k < 8; ++k)
    {
        const auto x = knobStripX (k);
        knobLabels[(size_t) k]->setBounds ((int) (x - 6), 32, 52, 25);
        knobButtons[(size_t) k]->setBounds ((int) x, 57, 40, 40);
        knobRowButtons[(size_t) k]->setBounds ((int) (x - 6), 99, 52, 25);
    }

    // 3. the grid band under the knob band
    auto area = getLocalBounds();
    area.removeFromTop (96);
    area.removeFromTop (25);
    const auto gridTop = area.getY();
    area.removeFromTop (196);

    for (int j = 0; j < 32; ++j)
    {
        const auto c = j % 8, r = j / 8;
        gridButtons[(size_t) j]->setBounds ((int) (15 + 65.2 * c) - 6, gridTop + 9 + 35 * r, 52, 32);
    }

    // 4. fader strips
    const auto faderTop = area.removeFromLeft (64).reduced (12).getY() - 3;

    for (int p = 0; p < 8; ++p)
    {
        const auto x = faderStripX (p);
        faderLabels[(size_t) p]->setBounds ((int) (x - 6), faderTop - 25, 52, 25);
        faderButtons[(size_t) p]->setBounds ((int) x, faderTop, 40, 80);
        faderRowButtons[(size_t) p]->setBounds ((int) (x - 6), faderTop + 82, 52, 25);
    }

    // 5. pedals
    for (int r = 0; r < 2; ++r)
    {
        const auto x = pedalX (r);
        pedalLabels[(size_t) r]->setBounds ((int) (x - 3 - 54), 518, 54, 28);
        pedalButtons[(size_t) r]->setBounds ((int) x, 518, 54, 28);
    }

    // 6. the chooser under the eighth fader strip
    faderModeChooser->setBounds (faderRowButtons[7]->getX(), pedalButtons[0]->getY(), 72, 28);
}

} // namespace NsZ9m
