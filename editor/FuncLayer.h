#pragma once

#include "editor/MappableButton.h"
#include "editor/OstrikLookAndFeel.h"
#include <array>
#include <memory>

namespace NsZ9m
{

/**
    The function grid of the "FUNCTION" page: up to 128 function buttons in
    three columns, one for each function of the current slot's DAW, in the
    order of the DAW's function table. A click gives the selected control
    (currentButton) that function; a function already in use is greyed out.

    The grid owns its buttons and the look and feel they draw with. The
    function page fills it (fill) on every rebuild of the editor page; the
    editor page refreshes it on every refresh. Message thread only.
*/
class FuncLayer : public juce::Component,
                  public juce::Button::Listener
{
public:
    FuncLayer();

    /** Releases the buttons before the look and feel they draw with. */
    ~FuncLayer() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** A function button's click: the selected control gets its function. */
    void buttonClicked (juce::Button*) override;

    /** Every button hidden and enabled; then, for a valid DAW, button n shows
        the n-th non-empty function of its table (for the HUI DAW without
        "(blank)" and "(custom)") with its table index as function code. The
        buttons after the last one filled lose their text and code, so no
        function of an earlier DAW can show up again. */
    void fill (int dawId);

    /** Switches the selected function button off, then switches on the button
        of the selected control's function when it holds one. */
    void refresh();

    /** Greys out every filled button whose function is in functionNameList
        (the transport functions and the functions in use), enabling the
        others. Does nothing while the list is empty. */
    void disableUsedFunctions();

    /** Enables or disables the first button whose text equals the text,
        ignoring case. */
    void setFunctionButtonEnabled (const juce::String& text, bool enabled);

    //==============================================================================
    static constexpr int functionButtonCount = 128;

    MappableButton& getFunctionButton (int index)           { return *functionButtons[(size_t) index]; }
    MappableButton* getSelectedFunctionButton() const noexcept  { return selectedFunctionButton; }

    /** The button showing a function of this text (ignoring case), or null. */
    MappableButton* findFunctionButton (const juce::String& text);

    /** The number of buttons that the last fill showed. */
    int getNumFilled() const noexcept                       { return numFilled; }

    /** The bounds of function button i. */
    static juce::Rectangle<int> functionButtonBounds (int index);

private:
    MappableButton* selectedFunctionButton = nullptr;
    std::array<std::unique_ptr<MappableButton>, functionButtonCount> functionButtons;
    OstrikLookAndFeel functionLook;
    int numFilled = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FuncLayer)
};

} // namespace NsZ9m
