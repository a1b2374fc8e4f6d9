#include "editor/MainComp.h"
#include "editor/EditorAssets.h"
#include "editor/EditorState.h"
#include "editor/MappableButton.h"
#include "core/model/BuiltInProfiles.h"
#include "core/base/StoredNumber.h"
#include "core/model/ControlNumbers.h"
#include "core/sync/ControllerPorts.h"
#include "core/sync/FirmwareHandOff.h"
#include "core/model/DawId.h"
#include "core/sync/CompiledSlots.h"
#include "core/model/MappingStore.h"
#include "core/sync/Host.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "core/sync/StoreEdits.h"
#include "core/model/Products.h"
#include "core/model/NameLists.h"
#include "core/model/MidiMessageKind.h"
#include "core/model/ValueTypeKind.h"
#include "gui/Dialogs.h"

namespace NsZ9m
{

namespace
{
    constexpr int tabBarDepth = 27;
    constexpr int modelPictureHeight = 40;

    const juce::String generalSettingsTab  ("GENERAL SETTINGS");
    const juce::String buttonFunctionsTab  ("BUTTON FUNCTIONS");
    const juce::String functionTab         ("FUNCTION");
    const juce::String hotkeyTab           ("HOTKEY");
    const juce::String midiTab             ("MIDI");

    Host& host()
    {
        if (theHost == nullptr)
            theHost = Host::getInstance();

        return *theHost;
    }

    /** The picture scaled to the height, keeping its proportions; a null or
        empty picture stays null (there is nothing to scale). */
    juce::Image scaledToHeight (const juce::Image& image, int height)
    {
        if (! image.isValid() || image.getHeight() <= 0)
            return {};

        const auto width = (int) ((double) image.getWidth() * height / (double) image.getHeight());

        if (width <= 0)
            return {};

        return image.rescaled (width, height, juce::Graphics::mediumResamplingQuality);
    }
}

//==============================================================================
MainComp::MainComp (int productId)
{
    // 1. members are built; the tooltips show at once
    tooltipWindow.setMillisecondsBeforeTipAppears (0);

    // The keyboard commands reach the page while it or a child has the focus.
    setWantsKeyboardFocus (true);

    // 2. this page takes over the editor
    host();
    theMainComp = this;

    if (! isSupportedProduct (currentProductId))
        currentProductId = productId;

    resetEditorState();

    // A page that is shown keeps the surface in step; an earlier page's end
    // or a firmware hand-off may have cleared the link.
    midiInputEnabled = true;

    // 3. logos
    logoImage = EditorAssets::load (EditorAssets::logoName);
    productImage = EditorAssets::load (EditorAssets::modelMPicture);

    addAndMakeVisible (vorlixLogo);
    vorlixLogo.setImage (logoImage);
    vorlixLogo.setTooltip ("About..");

    addAndMakeVisible (prodLogo);
    prodLogo.setImage (productImage);

    // 4. the model chooser: its asynchronous change makes the first full refresh
    addAndMakeVisible (modelCombo);
    modelCombo.addListener (this);
    modelCombo.addItemList (modelNames(), 1);
    modelCombo.setSelectedItemIndex (productIndexOf (currentProductId), juce::sendNotificationAsync);

    // 5. tabs
    addAndMakeVisible (innerTabs);
    addAndMakeVisible (outerTabs);

    // 6. outer tabs
    outerTabs.setTabBarDepth (tabBarDepth);
    outerTabs.setOutline (1);
    outerTabs.setIndent (2);
    outerTabs.setColour (juce::TabbedComponent::outlineColourId, juce::Colour (pageColour));
    outerTabs.setColour (juce::TabbedComponent::backgroundColourId, juce::Colour (pageBackground));
    outerTabs.addTab (generalSettingsTab, juce::Colour (generalTabColour), &mixerSection, false, 0);
    outerTabs.addTab (buttonFunctionsTab, juce::Colour (buttonsTabColour), &funcSection, false);
    outerTabs.setCurrentTabIndex (0, true);

    // 7. inner tabs
    innerTabs.setTabBarDepth (tabBarDepth);
    innerTabs.setOutline (1);
    innerTabs.setIndent (1);
    innerTabs.setColour (juce::TabbedComponent::outlineColourId, juce::Colour (pageColour));

    funcPage = std::make_unique<FuncPage>();
    const juce::Colour tabColour (DistinctTabComp::normalTabColour);
    innerTabs.addTab (functionTab, tabColour, funcPage.get(), false, 0);
    innerTabs.addTab (hotkeyTab, tabColour, &hotkeyPage, false);
    innerTabs.addTab (midiTab, tabColour, &midiPage, false);

    for (auto* page : std::initializer_list<juce::Component*> { funcPage.get(), &hotkeyPage, &midiPage })
        page->setColour (juce::TextButton::buttonColourId, juce::Colour (pageColour));

    // 8. command buttons
    for (auto* b : { &firmwareButton, &lockButton, &saveFileButton, &loadFileButton })
    {
        addAndMakeVisible (b);
        b->setColour (juce::TextButton::buttonColourId, juce::Colour (pageColour));
        b->addListener (this);
    }

    lockButton.setVisible (false);

    // 9. the control buttons of the sections select controls through this page
    for (auto* b : mixerSection.getControlButtons())
        b->addListener (this);

    for (int id = 1; id <= numNameButtons; ++id)
        funcSection.getButtonSection().getButton (id).addListener (this);
}

//==============================================================================
MainComp::~MainComp()
{
    if (auto* h = Host::getInstanceWithoutCreating())
        h->saveSettings();

    // A newer page has taken over the surface link already: leave it running.
    if (theMainComp == this)
    {
        midiInputEnabled = false;

        if (Host::getInstanceWithoutCreating() != nullptr)
            openControllerPorts (currentProductId, false);

        // A hand-off still waiting for a send has no page to start from.
        cancelDeferredFirmwareHandOff();
        theMainComp = nullptr;
    }

    if (currentButton != nullptr && isParentOf (currentButton))
        currentButton = nullptr;
}

std::unique_ptr<MainComp> createMainComp()
{
    return std::make_unique<MainComp> (productZ9M);
}

juce::Component* editorPageFactory()
{
    return new MainComp (productZ9M);
}

//==============================================================================
void MainComp::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (pageBackground));
}

juce::String MainComp::getWindowTitle (const juce::String& cpuTag)
{
    return juce::String ("Z9-M/X Ostrik V") + "1.04" + " - " + cpuTag;
}

void MainComp::resized()
{
    if (auto* window = getTopLevelComponent(); window != this)
    {
        window->setSize (windowWidth, windowHeight);
        window->setName (getWindowTitle (getCpuModelTag()));
    }

    auto area = getLocalBounds().reduced (8);

    auto top = area.removeFromTop (42);
    const auto logoPiece = top.removeFromLeft (juce::jmax (0, (windowWidth - 200 - productImage.getWidth()) / 2 + 8));
    vorlixLogo.setBounds (logoPiece.getX(), logoPiece.getY(), juce::jmin (100, logoPiece.getWidth()), 28);

    prodLogo.setBounds (top.getX(), top.getY(), productImage.getWidth(), productImage.getHeight());

    modelCombo.setBounds (640, 14, 170, 28);

    auto bottom = area.removeFromBottom (tabBarDepth + 2 * 2);
    outerTabs.setBounds (area.removeFromLeft (juce::jmax (0, area.getHeight() - tabBarDepth)).reduced (2));
    innerTabs.setBounds (area.reduced (2));

    firmwareButton.setBounds (bottom.removeFromLeft (162).reduced (4));
    loadFileButton.setBounds (bottom.removeFromRight (108).reduced (4));
    saveFileButton.setBounds (bottom.removeFromRight (108).reduced (4));
    lockButton.setBounds (bottom.removeFromRight (108).reduced (4));
}

//==============================================================================
void MainComp::comboBoxChanged (juce::ComboBox* box)
{
    if (box != &modelCombo)
        return;

    const auto index = modelCombo.getSelectedItemIndex();

    if (! juce::isPositiveAndBelow (index, productList().size()))
        return;

    currentProductId = productList()[index];

    showModelPicture();
    applyModel (currentProductId);
    rebuildFromStore();
    refreshAll();
    complete = true;
}

void MainComp::showModelPicture()
{
    if (currentProductId == productZ9M)
        prodLogo.setImage (scaledToHeight (productImage, modelPictureHeight));
    else
        prodLogo.setImage (EditorAssets::load (EditorAssets::modelXPicture));
}

bool MainComp::applyModel (int productId)
{
    auto& bar = outerTabs.getTabbedButtonBar();

    // The bar alone loses and regains "BUTTON FUNCTIONS": the tab component
    // keeps the section at index 1 throughout.
    if (productId == productZ9M)
    {
        if (bar.getNumTabs() <= 1)
            bar.addTab (buttonFunctionsTab, juce::Colour (buttonsTabColour), 1);
    }
    else
    {
        const auto remembered = bar.getCurrentTabIndex();
        bar.removeTab (1);
        outerTabs.setCurrentTabIndex (remembered == 1 ? 0 : remembered, true);
    }

    const auto modelNumber = productIndexOf (currentProductId) + 1;
    modelCombo.setSelectedId (modelNumber, juce::dontSendNotification);
    host().getTree().setProperty (Ids::current, modelNumber, nullptr);

    return true;
}

void MainComp::rebuildFromStore()
{
    auto& h = host();
    auto store = h.getStore();

    // 1. every model runs each slot's DAW (a loaded mapping file may hold
    // fewer models than the program knows)
    for (int s = 0; s < numSlots; ++s)
        for (int m = 1; m <= numProducts; ++m)
            if (auto slot = store.getSlot (s + 1, m); slot.isValid())
                slot.setProperty (Ids::current, slotDawIds[s], nullptr);

    // ... and shows it on the slot buttons
    for (int s = 0; s < numSlots; ++s)
    {
        auto& b = mixerSection.getSlotButton (s);
        const auto name = getDawDisplayName (slotDawIds[s]);
        b.setDisplayText (name.isNotEmpty() ? name : juce::String (s + 1));
        b.setToggleState (false, juce::dontSendNotification);
    }

    // 2. every model edits the same slot
    for (int m = 1; m <= numProducts; ++m)
        h.setCurrentSlot (currentSlotIndex, m);

    // 3. the current slot button and its colours
    if (isSlotIndexForLeds (currentSlotIndex))
    {
        auto& current = mixerSection.getSlotButton (currentSlotIndex % numSlots);
        mixerSection.setCurrentSlotButton (&current);
        current.setToggleState (true, juce::dontSendNotification);

        // Slot index 3 has no colour row: its colour buttons stay as they are.
        if (currentSlotIndex < numSlots)
            for (int c = 0; c < 3; ++c)
                mixerSection.getColourButton (c).setToggleState (slotColourTable[currentSlotIndex][c] != 0,
                                                                  juce::dontSendNotification);
    }

    // 4. the eighth fader strip can be the master fader on the Z9-M, but not with HUI
    const auto daw = store.getSlotDaw (currentSlotIndex + 1).get();
    auto& faderMode = mixerSection.getFaderModeChooser();

    if (isNotHuiDaw (daw) && currentProductId == productZ9M)
    {
        faderMode.setVisible (true);
    }
    else
    {
        faderMode.setVisible (false);
        faderMode.setSelectedId (1, juce::sendNotificationAsync);
    }

    // 5. the DAW chooser
    auto& chooser = funcPage->getDawChooser();

    if (isValidDawId (daw))
        chooser.setSelectedItemIndex (daw - 1, juce::dontSendNotification);
    else
        chooser.setSelectedId (0, juce::dontSendNotification);

    // 6. the MIDI page's captions follow the DAW's mode
    const auto hui = ! isNotHuiDaw (daw);
    midiPage.getKindCaption().setText (hui ? "Function" : "Message Type", juce::dontSendNotification);
    midiPage.getChannelCaption().setText (hui ? "Value 1" : "Channel", juce::dontSendNotification);
    midiPage.getValueCaption().setText (hui ? "Value 2" : "Message Value", juce::dontSendNotification);

    // 7. the function grid of the slot's DAW, without the functions in use
    funcPage->fillFunctionButtons();
    h.collectFunctionNames();
    funcPage->getFuncLayer().disableUsedFunctions();
}

void MainComp::refreshAll()
{
    mixerSection.refresh();
    funcSection.refresh();
    funcPage->getFuncLayer().refresh();
    hotkeyPage.refresh();
    midiPage.refresh();

    if (currentButton != nullptr)
        lockButton.setVisible (isLabelledButton (currentButton->getControlId()));
}

void MainComp::showContextMenu()
{
    juce::PopupMenu menu;
    menu.addItem (resetToDefaultsItem, "Reset to defaults");
    menu.addItem (removeThisDawItem, "Remove this DAW");
    menu.addItem (clearCurrentButtonItem, "Clear current button");

    performContextMenuItem (Dialogs::showPopupMenu (menu));
}

void MainComp::performContextMenuItem (int itemId)
{
    switch (itemId)
    {
        case resetToDefaultsItem:       resetToDefaults(); break;
        case removeThisDawItem:         removeThisDaw(); break;
        case clearCurrentButtonItem:    clearCurrentButton(); break;
        default: break;
    }
}

void MainComp::resetToDefaults()
{
    auto store = host().getStore();
    resetStoreToDefaults (store);
    rebuildFromStore();
    refreshAll();
}

void MainComp::removeThisDaw()
{
    if (removeCurrentSlotDaw (host().getStore()) < 0)
        return;

    rebuildFromStore();
    refreshAll();
}

void MainComp::clearCurrentButton()
{
    if (currentButton == nullptr)
        return;

    const auto text = currentButton->getAssignmentText();

    if (! clearAssignment (host().getStore(), currentButton->getControlId()))
        return;

    setFunctionButtonEnabled (text, true);
    rebuildFromStore();
    refreshAll();
}

namespace
{
    void selectIndexOrNone (juce::ComboBox& box, int index)
    {
        if (juce::isPositiveAndBelow (index, box.getNumItems()))
            box.setSelectedItemIndex (index, juce::dontSendNotification);
        else
            box.setSelectedId (0, juce::dontSendNotification);
    }

    void fillValueNames (juce::ComboBox& box, int kindIndex)
    {
        for (int j = 0; j < 128; ++j)
            box.addItem (juce::String (j) + ") " + midiValueName (kindIndex, j), j + 1);
    }

    /** Shows the value list at the stored value; a pitch bend has none to choose. */
    void selectMidiValue (juce::ComboBox& box, int kindIndex, int value)
    {
        const auto pitch = kindIndex == MidiMessageKind::Pitch;
        selectIndexOrNone (box, pitch ? 0 : value);
        box.setEnabled (! pitch);
    }
}

void MainComp::showButtonAssignment (MappableButton& button, juce::ComboBox& chooser)
{
    // 1. the control and its kind
    const auto id = button.getControlId();

    if (! isValidControlNumber (id))
        return;

    const auto fader = isFaderControl (id), knob = isKnobControl (id), isButton = isButtonControl (id);

    // 2. the DAW's mode
    auto store = host().getStore();
    const auto hui = ! isNotHuiDaw (store.getCurrentDaw().get());

    // 3. the node whose assignment the control shows: a linked column shows its source
    const auto shown = getEditedControl (store, id);
    const auto node = store.getControlOfCurrentSlot (shown);
    const auto name = node.getProperty (Ids::name).toString();
    const auto valueType = node.getProperty (Ids::valueType).toString();
    const auto kindIndex = midiKindIndexOfStatus (MidiMessageKind (node.getProperty (Ids::type).toString()).getStatusNibble());
    const auto value = StoredNumber::read (node, Ids::value);
    const auto val1 = StoredNumber::read (node, Ids::val1, -1);
    const auto val2 = StoredNumber::read (node, Ids::val2, -1);

    // 4. the rotation row exists only for a knob on a non-HUI DAW
    midiPage.resized();

    auto& kindBox = midiPage.getKindBox();
    auto& channelBox = midiPage.getChannelBox();
    auto& valueBox = midiPage.getValueBox();
    auto& rotationBox = midiPage.getRotationBox();

    auto showZoneAndPort = [this] (bool visible)
    {
        for (auto* c : std::initializer_list<juce::Component*> { &midiPage.getChannelBox(), &midiPage.getChannelCaption(),
                                                                 &midiPage.getValueBox(), &midiPage.getValueCaption() })
            c->setVisible (visible);
    };

    auto showRotation = [this] (bool visible)
    {
        midiPage.getRotationBox().setVisible (visible);
        midiPage.getRotationCaption().setVisible (visible);
    };

    // 5. the chooser's list and selection
    if (&chooser == &kindBox)
    {
        kindBox.clear (juce::dontSendNotification);

        if (! hui)
        {
            valueBox.clear (juce::dontSendNotification);
            showZoneAndPort (true);

            for (int i = 0; i < 5; ++i)
                kindBox.addItem (getMidiKindDisplayName (i), i + 1);

            selectIndexOrNone (kindBox, kindIndex);
            fillValueNames (valueBox, kindIndex);
            selectMidiValue (valueBox, kindIndex, value);
        }
        else
        {
            const auto& labels = fader ? huiFaderLabels() : knob ? huiKnobLabels() : huiButtonLabels();

            for (int k = 0; k < labels.size(); ++k)
                kindBox.addItem (juce::String (k) + ") " + labels[k], k + 1);

            // A function's own address; a pair of the user's own (or a value
            // beyond the table) is shown as stored.
            int zone = val1, port = val2;

            if (juce::isPositiveAndBelow (value, huiCustomFunction))
            {
                zone = huiAddressTable()[value].zone;
                port = huiAddressTable()[value].port;
            }

            selectIndexOrNone (kindBox, valueType == "hotkey" ? -1 : value);
            selectIndexOrNone (channelBox, zone);
            selectIndexOrNone (valueBox, huiPortIndexOf (port));
            showZoneAndPort (isButton);
            showRotation (false);
        }
    }
    else if (&chooser == &channelBox)
    {
        channelBox.clear (juce::dontSendNotification);

        if (! hui)
        {
            for (int c = 1; c <= 16; ++c)
                channelBox.addItem (juce::String (c), c);

            const auto chan = StoredNumber::read (node, Ids::chan);
            channelBox.setSelectedId (chan >= 1 && chan <= 16 ? chan : 0, juce::dontSendNotification);
            showZoneAndPort (true);
        }
        else
        {
            for (int z = 0; z < huiZoneCount; ++z)
                channelBox.addItem (juce::String::formatted ("0x%02X", z), z + 1);

            selectIndexOrNone (channelBox, val1);
            showZoneAndPort (isButton);
            showRotation (false);
        }
    }
    else if (&chooser == &valueBox)
    {
        valueBox.clear (juce::dontSendNotification);

        if (! hui)
        {
            fillValueNames (valueBox, kindIndex);
            selectMidiValue (valueBox, kindIndex, StoredNumber::read (node, Ids::msgValue));
            showZoneAndPort (true);
        }
        else
        {
            const auto& ports = huiPortList();

            for (int p = 0; p < ports.size(); ++p)
                valueBox.addItem (juce::String::formatted ("0x%02X", ports[p]), p + 1);

            valueBox.setEnabled (true);
            selectIndexOrNone (valueBox, huiPortIndexOf (val2));
            showZoneAndPort (isButton);
            showRotation (false);
        }
    }
    else if (&chooser == &rotationBox)
    {
        rotationBox.clear (juce::dontSendNotification);

        if (! hui)
        {
            const auto& names = rotationTypeNames();

            for (int r = 0; r < names.size(); ++r)
                rotationBox.addItem (juce::String (r + 1) + ") " + names[r], r + 1);

            const auto rotate = StoredNumber::read (node, Ids::rotate);
            rotationBox.setSelectedId (rotate >= 1 && rotate <= names.size() ? rotate : 0,
                                       juce::dontSendNotification);
            showRotation (knob);
            showZoneAndPort (true);
        }
        else
        {
            showZoneAndPort (isButton);
            showRotation (false);
        }
    }

    // 6. the name row exists only for the labelled buttons
    const auto named = isLabelledButton (shown);
    midiPage.getNameCaption().setVisible (named);
    midiPage.getNameField().setVisible (named);
    midiPage.getNameField().setText (name, juce::dontSendNotification);
}

void MainComp::setFunctionButtonEnabled (const juce::String& text, bool enabled)
{
    funcPage->setFunctionButtonEnabled (text, enabled);
}

//==============================================================================
void MainComp::updateLockButton (int controlId, int lockValue)
{
    if (! isLabelledButton (controlId))
    {
        lockButton.setVisible (false);
        return;
    }

    lockButton.setButtonText (lockValue > 0 ? "UNLOCK" : "LOCK");
    lockButton.setVisible (true);
}

bool MainComp::updateEditorTabs (int controlId)
{
    if (! isValidControlNumber (controlId))
        return false;

    auto& bar = innerTabs.getTabbedButtonBar();
    const juce::Colour tabColour (DistinctTabComp::normalTabColour);

    // Tabs go through the tab component, so that its list of pages stays
    // matched to the bar.
    if (isLabelledButton (controlId))
    {
        if (bar.getNumTabs() <= 2)
        {
            innerTabs.removeTab (1);
            innerTabs.addTab (hotkeyTab, tabColour, &hotkeyPage, false, 1);
            innerTabs.addTab (midiTab, tabColour, &midiPage, false, 2);
        }
    }
    else if (bar.getNumTabs() >= 3)
    {
        innerTabs.removeTab (2);
        innerTabs.removeTab (1);
        innerTabs.addTab (midiTab, tabColour, &midiPage, false, 1);
    }

    return true;
}

//==============================================================================
void MainComp::buttonClicked (juce::Button* button)
{
    if (auto* mappable = dynamic_cast<MappableButton*> (button))
    {
        if (mappable->getRole() == MappableButton::controlRole)
            selectionClicked (*mappable);

        return;
    }

    if (button == &lockButton)
        lockClicked();
    else if (button == &saveFileButton)
        saveFileClicked();
    else if (button == &loadFileButton)
        loadFileClicked();
    else if (button == &firmwareButton)
        startFirmwareUpgrade();
}

void MainComp::selectionClicked (MappableButton& button)
{
    untoggleCurrentButton();
    selectCurrentButton (button);

    const auto id = button.getControlId();

    if (! isValidControlNumber (id))
        return;

    updateEditorTabs (id);

    auto store = host().getStore();
    const auto ctl = store.getControlOfCurrentSlot (id);
    const auto lockBy = StoredNumber::read (ctl, Ids::lockBy);
    const ValueTypeKind kind (ctl.getProperty (Ids::valueType).toString());
    const auto value = StoredNumber::read (ctl, Ids::value);

    if (! isDawIdInRange (store.getCurrentDaw().get()))
        return;

    // Buttons take any function; knobs and faders show none until the next
    // rebuild.
    auto& grid = funcPage->getFuncLayer();

    for (int i = 0; i < FuncLayer::functionButtonCount; ++i)
    {
        auto& f = grid.getFunctionButton (i);
        f.setVisible (isButtonControl (id) && f.getButtonText().isNotEmpty());
    }

    for (auto* chooser : { &midiPage.getKindBox(), &midiPage.getChannelBox(),
                           &midiPage.getValueBox(), &midiPage.getRotationBox() })
        showButtonAssignment (button, *chooser);

    if (kind == ValueTypeKind (ValueTypeKind::Hotkey))
        hotkeyPage.showButton (&button);
    else
        hotkeyPage.clearTexts();

    if (kind == ValueTypeKind (ValueTypeKind::Func) && value > 0)
        funcPage->getViewport().setViewPositionProportionately (0.0, value / 128.0);

    refreshAll();
    updateLockButton (id, lockBy);
}

void MainComp::lockClicked()
{
    if (currentButton == nullptr)
        return;

    const auto id = currentButton->getControlId();
    auto store = host().getStore();

    // Only the name buttons form columns, and the HUI DAW's own keys stay out.
    if (! isLabelledButton (id) || isHuiReservedControl (store, id))
        return;

    const auto members = getLockableColumnMembers (store, id);
    const auto wasLinked = getLockBy (store, id) > 0;

    // What each member shows before it joins the column becomes free.
    juce::StringArray freed;

    if (! wasLinked)
        for (auto member : members)
            if (auto* b = nameButtons[(size_t) (member - 1)])
                freed.add (b->getAssignmentText());

    const auto change = toggleColumnLock (store, id);

    if (! change.done)
        return;

    updateLockButton (id, change.newLock);

    for (auto& text : freed)
        setFunctionButtonEnabled (text, true);

    refreshAll();

    // After the unlock each control shows its own assignment again: in use.
    if (change.wasLinked)
    {
        const auto column = (id - 1) % 16;

        for (int k = 0; k < 5; ++k)
            if (auto* b = nameButtons[(size_t) (column + 16 * k)])
                setFunctionButtonEnabled (b->getAssignmentText(), false);
    }
}

void MainComp::saveFileClicked()
{
    const auto file = Dialogs::chooseFileToSave ("Save Mapping", {}, "*.ostrik", false);

    if (file == juce::File())
        return;

    const auto result = host().saveMappingFile (file);

    Dialogs::showMessage (Dialogs::Icon::none, {},
                          result.wasOk() ? saveFileButton.getButtonText() + " successfully!"
                                         : "Error: " + result.getErrorMessage());
}

void MainComp::loadFileClicked()
{
    const auto file = Dialogs::chooseFileToOpen ("Load Mapping", {}, "*.ostrik");

    if (file == juce::File())
        return;

    const auto result = host().loadMappingFile (file);

    // A refused file leaves the store as it was; say why instead of nothing.
    if (result.failed())
        Dialogs::showMessage (Dialogs::Icon::none, {}, "Error: " + result.getErrorMessage());
    else
        MixerSection::loadSlotColoursFromStore();

    rebuildFromStore();
    refreshAll();
}

} // namespace NsZ9m
