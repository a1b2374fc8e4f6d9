#pragma once

#include "editor/FuncLayer.h"
#include "editor/ModeComboBox.h"

namespace NsZ9m
{

/**
    The "FUNCTION" tab: the current slot's DAW chooser ("1) Bitwig" to
    "18) luna") above the scrolling function grid of that DAW.

    Choosing a DAW gives it to the current slot of every model and makes the
    editor page rebuild (which refills the grid) and refresh. The page owns
    its chooser, captions, tab holder, viewport and grid; the editor page owns
    the page. Message thread only.
*/
class FuncPage : public juce::Component,
                 public juce::ComboBox::Listener
{
public:
    FuncPage();
    ~FuncPage() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** The DAW chooser's change: the current slot runs the chosen DAW. */
    void comboBoxChanged (juce::ComboBox*) override;

    /** Fills the grid with the functions of the current slot's DAW
        (slotDawIds); an empty grid for a slot without a DAW. */
    void fillFunctionButtons();

    /** Enables or disables the grid's function button of this text. */
    void setFunctionButtonEnabled (const juce::String& text, bool enabled);

    /** The chooser's item text of DAW d: "3) Pro tools". */
    static juce::String dawItemText (int dawId);

    //==============================================================================
    ModeComboBox& getDawChooser() noexcept          { return dawChooser; }
    FuncLayer& getFuncLayer() noexcept              { return *funcLayer; }
    juce::Viewport& getViewport() noexcept          { return *pageViewport; }
    juce::TabbedComponent& getPageTabs() noexcept   { return pageTabs; }
    juce::Label& getDawCaption() noexcept           { return dawCaption; }
    juce::Label& getFunctionCaption() noexcept      { return functionCaption; }

private:
    ModeComboBox dawChooser;
    juce::TabbedComponent pageTabs { juce::TabbedButtonBar::TabsAtTop };
    std::unique_ptr<juce::Viewport> pageViewport;
    std::unique_ptr<FuncLayer> funcLayer;
    juce::Label dawCaption;
    juce::Label functionCaption;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FuncPage)
};

} // namespace NsZ9m
