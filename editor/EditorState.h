#pragma once

#include "gui/JuceGuiIncludes.h"
#include <array>

namespace NsZ9m
{

class MappableButton;
class MappableDragButton;

/*  The editor-wide selection and drag state: plain variables of the message
    thread, shared by the editor page, its sections and the name buttons. Each
    new editor page resets them (resetEditorState). A button that goes away
    takes itself out of them, so they never point to a destroyed button.
*/

/** Number of name buttons (controls 1 to 80: five banks of 16). */
inline constexpr int numNameButtons = 80;

/** The selected control's button (switched on), or null. */
extern MappableButton* currentButton;

/** The name buttons of the button section by control id - 1; null where no
    button section has filled them in. */
extern std::array<MappableButton*, numNameButtons> nameButtons;

/** The name button of the last drag start, or null. */
extern MappableDragButton* draggedButton;

/** A drag movement happened since the last mouse-down. */
extern bool isDragging;

/** A drop waits for the target's mouse-enter. */
extern bool dropArmed;

/** The dragged button's position in its parent at mouse-down. */
extern juce::Point<int> dragStartPosition;

/** The mouse's screen position at the last mouse-up. */
extern juce::Point<int> dropPosition;

/** The values a new editor page starts with: no selection, no drag, a drop
    armed; nameButtons and dragStartPosition are left as they are. */
void resetEditorState();

/** Switches the current button off without notification, if there is one. */
void untoggleCurrentButton();

/** Switches the button on without notification and makes it current. */
void selectCurrentButton (MappableButton& button);

} // namespace NsZ9m
