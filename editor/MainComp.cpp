#include "editor/MainComp.h"
#include "editor/EditorAssets.h"
#include "editor/EditorState.h"
#include "editor/MappableButton.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/ControlNumbers.h"
#include "core/sync/ControllerPorts.h"
#include "core/model/DawId.h"
#include "core/sync/CompiledSlots.h"
#include "core/model/MappingStore.h"
#include "core/sync/Host.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"
#include "core/sync/StoreEdits.h"
#include "core/model/Products.h"
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

    funcPage = std::make_unique<juce::Component>();
    const juce::Colour tabColour (DistinctTabComp::normalTabColour);
    innerTabs.addTab (functionTab, tabColour, funcPage.get(), false, 0);
    innerTabs.addTab (hotkeyTab, tabColour, &hotkeyPage, false);
    innerTabs.addTab (midiTab, tabColour, &midiPage, false);

    for (auto* page : { funcPage.get(), &hotkeyPage, &midiPage })
        page->setColour (juce::TextButton::buttonColourId, juce::Colour (pageColour));

    // 8. command buttons
    for (auto* b : { &firmwareButton, &lockButton, &saveFileButton, &loadFileButton })
    {
        addAndMakeVisible (b);
        b->setColour (juce::TextButton::buttonColourId, juce::Colour (pageColour));
        b->addListener (this);
    }

    lockButton.setVisible (false);

    // The firmware hand-off arrives with the firmware upgrader; until then the
    // button is shown but cannot be pressed.
    firmwareButton.setEnabled (false);

    // 9. the control buttons of the sections select controls through this page
    for (auto* b : mixerSection.getControlButtons())
        b->addListener (this);

    for (int id = 1; id <= numNameButtons; ++id)
        funcSection.buttonSection.getButton (id).addListener (this);
}

//==============================================================================
MainComp::NameButtonsHolder::NameButtonsHolder()
{
    buttonSection.setComponentID ("GO");
    viewport.setComponentID ("VIEW");
    viewport.setViewedComponent (&buttonSection, false);
    viewport.setScrollBarsShown (true, false);
    addAndMakeVisible (viewport);
}

void MainComp::NameButtonsHolder::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (MixerSection::panelColour));
}

void MainComp::NameButtonsHolder::resized()
{
    viewport.setBounds (getLocalBounds());

    // three rows of banks: 3 x 168 + 4 x 5
    const auto height = 3 * ButtonSection::blockHeight + 4 * (int) (ButtonSection::gap * 1.3);
    buttonSection.setSize (viewport.getMaximumVisibleWidth(), height);
}

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

    // 1. every model runs each slot's DAW
    for (int s = 0; s < numSlots; ++s)
        for (int m = 1; m <= numProducts; ++m)
            store.getSlot (s + 1, m).setProperty (Ids::current, slotDawIds[s], nullptr);

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

    // 5. and 6.: the DAW chooser and the MIDI page's captions follow with
    // those pages.

    // 7. the function names in use
    h.collectFunctionNames();
}

void MainComp::refreshAll()
{
    mixerSection.refresh();
    funcSection.buttonSection.refreshButtons();

    // The function grid's, the hotkey page's and the MIDI page's refreshes
    // follow here once those pages exist.

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

void MainComp::showButtonAssignment (MappableButton&, juce::ComboBox&)
{
    // Shown by the assignment pages, which are not part of the page yet.
}

void MainComp::setFunctionButtonEnabled (const juce::String&, bool)
{
    // The function grid that these texts enable and disable is not part of
    // the page yet.
}

void MainComp::startFirmwareUpgrade()
{
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
    const int lockBy = ctl.getProperty (Ids::lockBy, 0);

    if (! isDawIdInRange (store.getCurrentDaw().get()))
        return;

    // The function grid's buttons, the MIDI and hotkey pages' display of the
    // assignment and the grid's scroll position follow once those pages exist.

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
