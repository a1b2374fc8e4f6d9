#include "editor/FuncLayer.h"
#include "editor/EditorColours.h"
#include "editor/EditorState.h"
#include "core/model/BuiltInProfiles.h"
#include "core/model/DawId.h"
#include "core/sync/EditorLink.h"
#include "core/sync/Host.h"
#include "core/sync/StoreEdits.h"

namespace NsZ9m
{

FuncLayer::FuncLayer()
{
    functionLook.setCornerSize (2.0f);

    for (auto& b : functionButtons)
    {
        b = std::make_unique<MappableButton> (juce::String());
        addChildComponent (*b);
        b->setColour (juce::TextButton::buttonColourId, juce::Colour (Colours::pageColour));
        b->setColour (juce::TextButton::buttonOnColourId, juce::Colour (Colours::pageColour));
        b->setLookAndFeel (&functionLook);
        b->setRole (MappableButton::functionRole);
        b->setComponentID ("GOTCHA");
        b->addListener (this);
    }
}

FuncLayer::~FuncLayer()
{
    selectedFunctionButton = nullptr;

    for (auto& b : functionButtons)
        b.reset();
}

void FuncLayer::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (Colours::panelColour));
}

juce::Rectangle<int> FuncLayer::functionButtonBounds (int i)
{
    // three columns 69 apart (neighbours overlap by a pixel), rows 30 apart
    return { 69 * (i % 3) + 2, 30 * (i / 3) + 3, 70, (int) (28 * 0.99) };
}

void FuncLayer::resized()
{
    for (int i = 0; i < functionButtonCount; ++i)
        functionButtons[(size_t) i]->setBounds (functionButtonBounds (i));
}

//==============================================================================
void FuncLayer::fill (int dawId)
{
    for (auto& b : functionButtons)
    {
        b->setVisible (false);
        b->setEnabled (true);
    }

    int n = 0;

    if (isValidDawId (dawId))
    {
        // The HUI DAW never offers its "(blank)" entry 0 nor its "(custom)" entry.
        const auto first = isNotHuiDaw (dawId) ? 0 : 1;
        const auto last = isNotHuiDaw (dawId) ? 127 : huiCustomFunction - 1;
        const auto& table = functionLabelTable (dawId);

        for (int v = first; v <= last && n < functionButtonCount; ++v)
        {
            const auto text = table[v].trim();

            if (text.isEmpty())
                continue;

            auto& b = *functionButtons[(size_t) n++];
            b.getFunctionCodeValue() = v;
            b.setButtonText (text);
            b.setVisible (true);
        }
    }

    numFilled = n;

    // What an earlier DAW left in the buttons after the last one goes.
    for (int i = n; i < functionButtonCount; ++i)
    {
        auto& b = *functionButtons[(size_t) i];
        b.getFunctionCodeValue() = 0;
        b.setButtonText ({});
        b.setToggleState (false, juce::dontSendNotification);
    }
}

void FuncLayer::disableUsedFunctions()
{
    if (functionNameList.isEmpty())
        return;

    const auto count = juce::jmin (functionNameList.size(), numControls);

    for (auto& b : functionButtons)
    {
        const auto text = b->getButtonText().trim();

        if (text.isEmpty())
            continue;

        b->setEnabled (true);

        for (int i = 0; i < count; ++i)
        {
            if (text.equalsIgnoreCase (functionNameList.getReference (i).trim()))
            {
                b->setEnabled (false);
                break;
            }
        }
    }
}

void FuncLayer::setFunctionButtonEnabled (const juce::String& text, bool enabled)
{
    if (auto* b = findFunctionButton (text))
        b->setEnabled (enabled);
}

MappableButton* FuncLayer::findFunctionButton (const juce::String& text)
{
    for (auto& b : functionButtons)
        if (b->getButtonText().equalsIgnoreCase (text))
            return b.get();

    return nullptr;
}

void FuncLayer::refresh()
{
    if (selectedFunctionButton != nullptr)
        selectedFunctionButton->setToggleState (false, juce::dontSendNotification);

    if (currentButton == nullptr)
        return;

    const auto text = currentButton->getAssignmentText();
    const auto node = Host::getInstance()->getStore().getControlOfCurrentSlot (currentButton->getControlId());

    if (node.getProperty (Ids::valueType).toString() != "func" || text.isEmpty())
        return;

    const int value = node.getProperty (Ids::value);

    for (auto& b : functionButtons)
    {
        if (b->getFunctionCode() == value && b->getButtonText().isNotEmpty())
        {
            b->setToggleState (true, juce::dontSendNotification);
            selectedFunctionButton = b.get();
        }
    }
}

//==============================================================================
void FuncLayer::buttonClicked (juce::Button* button)
{
    auto* clicked = dynamic_cast<MappableButton*> (button);

    if (clicked == nullptr || clicked->getRole() != MappableButton::functionRole || currentButton == nullptr)
        return;

    auto store = Host::getInstance()->getStore();
    const auto id = currentButton->getControlId();
    const auto lockBy = getLockBy (store, id);

    if (! assignFunction (store, id, clicked->getFunctionCode()))
        return;

    // The function the control had is free again; the new one is in use.
    if (selectedFunctionButton != nullptr && selectedFunctionButton->getToggleState())
    {
        selectedFunctionButton->setToggleState (false, juce::dontSendNotification);
        selectedFunctionButton->setEnabled (true);
    }

    selectedFunctionButton = clicked;
    clicked->setToggleState (true, juce::dontSendNotification);
    clicked->setEnabled (false);

    // The other members of a linked column show the new function too.
    if (lockBy > 0)
    {
        for (int j = 0; j < 5; ++j)
        {
            const auto m = ((id - 1) % 16) + 16 * j + 1;

            if (m != lockBy)
                if (auto* b = nameButtons[(size_t) (m - 1)])
                    b->refreshText();
        }
    }

    refreshMainComp();

    if (currentButton != nullptr)
        currentButton->refreshText();
}

} // namespace NsZ9m
