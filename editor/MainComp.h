#pragma once

#include "editor/EditorPage.h"
#include "editor/ButtonSection.h"
#include "editor/DistinctTabComp.h"
#include "editor/FuncPage.h"
#include "editor/FuncSection.h"
#include "editor/HotkeyPage.h"
#include "editor/MidiPage.h"
#include "editor/MixerSection.h"
#include "editor/MyTabComp.h"
#include "editor/ProdLogo.h"
#include "editor/VorlixLogo.h"
#include <memory>

namespace NsZ9m
{

class MappableButton;

/**
    The editing page: the model chooser, the outer tabs with the surface's
    control layout and the name buttons, the inner tabs with the assignment
    pages, the logos and the four command buttons (FIRMWARE UPGRADE, LOCK,
    SAVE FILE, LOAD FILE).

    It reads and writes the mapping store only through the Host. While it
    exists theMainComp names it, and the core's forwarders reach it through
    that. The page owns every section, page, tab component, logo and button;
    the tab components only show the sections and pages.

    A new page is complete once the model chooser's asynchronous change has
    run (picture, applyModel, rebuildFromStore, refreshAll): the constructor
    itself neither rebuilds nor refreshes.

    Whoever creates a page owns it (createMainComp, editorPageFactory).
    Message thread only.
*/
class MainComp : public juce::Component,
                 public EditorPage,
                 public juce::Button::Listener,
                 public juce::ComboBox::Listener
{
public:
    /** The product id is used only when currentProductId does not already
        hold a supported product. */
    explicit MainComp (int productId);

    /** Saves the settings. When this is the page that theMainComp names (no
        newer page has taken over), it also stops the surface link: clears
        midiInputEnabled, closes the surface's ports and clears theMainComp. */
    ~MainComp() override;

    //==============================================================================
    void paint (juce::Graphics&) override;

    /** Lays the page out, and sizes and titles the top-level window. */
    void resized() override;

    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    /** The keyboard commands: I the processor box; Ctrl+1 and Ctrl+2 the
        outer tabs; Ctrl+Q quits (EditorHooks::quit); M with Shift, or with
        two or three modifiers, the SysEx console. The modifiers are compared
        as a whole: Ctrl+Shift+I is not I. Returns false whatever the key, so
        every key also reaches the page's parents. */
    bool keyPressed (const juce::KeyPress&) override;

    //==============================================================================
    void refreshAll() override;
    void rebuildFromStore() override;
    void showContextMenu() override;
    void showButtonAssignment (MappableButton& button, juce::ComboBox& chooser) override;
    void setFunctionButtonEnabled (const juce::String& text, bool enabled) override;

    /** Tab set, model chooser and the store's model selection for a model.
        Returns true. */
    bool applyModel (int productId);

    /** LOCK or UNLOCK for one of controls 1 to 80, hidden for any other. */
    void updateLockButton (int controlId, int lockValue);

    /** The inner tabs for a control: FUNCTION, HOTKEY, MIDI for controls 1 to
        80, FUNCTION and MIDI for the others. False, with nothing changed, for
        an id outside 1 to 252. */
    bool updateEditorTabs (int controlId);

    /** True once the model chooser's first change has run: the page shows
        the store. */
    bool isComplete() const noexcept    { return complete; }

    /** FIRMWARE UPGRADE: hands the surface's ports over to the firmware
        upgrader (EditorHooks::launchFirmwareUpgrader) for as long as its
        dialog is open, and takes them back afterwards. While a send runs the
        hand-off waits for it to end; a second command while a hand-off is
        under way (waiting or running) does nothing. See
        handOffToFirmwareUpgrader. */
    void startFirmwareUpgrade();

    /** The box of the I key: "CPU model: " and the processor tag. */
    void showProcessorBox();

    /** The SysEx console: asks for one MIDI message in hexadecimal and sends
        it at once to the surface's output (the best-placed port of
        currentProductId, or the maker's generic port). Without such an
        output it does nothing; a text that gives no message says why
        (parseConsoleText) and sends nothing. */
    void runSysexConsole();

    /** The console's dialog result for OK; Cancel, Escape and a close request
        give 0. */
    static constexpr int consoleOkResult = 1;

    //==============================================================================
    /** "Z9-M/X Ostrik V1.04 - " followed by the processor tag. */
    static juce::String getWindowTitle (const juce::String& cpuTag);

    static constexpr int windowWidth = 850;
    static constexpr int windowHeight = 720;

    static constexpr juce::uint32 pageBackground  = 0xffd3d3d3;   ///< lightgrey
    static constexpr juce::uint32 pageColour      = Colours::pageColour;
    static constexpr juce::uint32 generalTabColour = 0xff87ceeb;  ///< skyblue
    static constexpr juce::uint32 buttonsTabColour = 0xffffa500;  ///< orange

    //==============================================================================
    /** The page's parts, for the page's own tests and the sections that
        work with it. */
    juce::ComboBox& getModelCombo() noexcept            { return modelCombo; }
    MyTabComp& getOuterTabs() noexcept                  { return outerTabs; }
    DistinctTabComp& getInnerTabs() noexcept            { return innerTabs; }
    VorlixLogo& getVorlixLogo() noexcept                { return vorlixLogo; }
    ProdLogo& getProdLogo() noexcept                    { return prodLogo; }
    juce::TextButton& getFirmwareButton() noexcept      { return firmwareButton; }
    juce::TextButton& getLockButton() noexcept          { return lockButton; }
    juce::TextButton& getSaveFileButton() noexcept      { return saveFileButton; }
    juce::TextButton& getLoadFileButton() noexcept      { return loadFileButton; }
    juce::TooltipWindow& getTooltipWindow() noexcept    { return tooltipWindow; }
    MixerSection& getMixerSection() noexcept            { return mixerSection; }
    ButtonSection& getButtonSection() noexcept          { return funcSection.getButtonSection(); }
    FuncSection& getFuncSection() noexcept              { return funcSection; }
    FuncPage& getFuncPage() noexcept                    { return *funcPage; }
    HotkeyPage& getHotkeyPage() noexcept                { return hotkeyPage; }
    MidiPage& getMidiPage() noexcept                    { return midiPage; }

    /** The context menu's items. */
    enum ContextMenuItem { resetToDefaultsItem = 1, removeThisDawItem = 2, clearCurrentButtonItem = 3 };

    /** Carries out one of the context menu's items; any other id does nothing. */
    void performContextMenuItem (int itemId);

private:
    void selectionClicked (MappableButton&);
    void lockClicked();
    void saveFileClicked();
    void loadFileClicked();
    void showModelPicture();
    void resetToDefaults();
    void removeThisDaw();
    void clearCurrentButton();

    //==============================================================================
    juce::ComboBox modelCombo;
    MyTabComp outerTabs { juce::TabbedButtonBar::TabsAtTop };

    MixerSection mixerSection;
    FuncSection funcSection;

    DistinctTabComp innerTabs { juce::TabbedButtonBar::TabsAtTop };

    // The assignment pages of the inner tabs ("FUNCTION", "HOTKEY", "MIDI").
    std::unique_ptr<FuncPage> funcPage;
    HotkeyPage hotkeyPage;
    MidiPage midiPage;

    juce::TooltipWindow tooltipWindow { nullptr, 700 };

    juce::Image logoImage;
    juce::Image productImage;

    VorlixLogo vorlixLogo;
    ProdLogo prodLogo;

    juce::TextButton firmwareButton { "FIRMWARE UPGRADE" };
    juce::TextButton lockButton { "LOCK" };
    juce::TextButton saveFileButton { "SAVE FILE" };
    juce::TextButton loadFileButton { "LOAD FILE" };

    bool complete = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComp)
};

//==============================================================================
/** A new editor page for the Z9-M, owned by the caller (the window content at
    start-up). */
std::unique_ptr<MainComp> createMainComp();

/** The page registry's factory for "Controllers/Z9M": a new editor page for
    the Z9-M that the caller owns and deletes. */
juce::Component* editorPageFactory();

} // namespace NsZ9m
