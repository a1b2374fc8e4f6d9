#pragma once

#include "core/model/ControlKind.h"

namespace NsZ9m
{

inline constexpr int numControls = 252;     ///< controls 1 to 252, rows 0 to 251
inline constexpr int numLabelledButtons = 80;
inline constexpr int numSlots = 3;

/** Bytes of one control record, in the built-in images and the device image. */
inline constexpr int controlRecordSize = 7;

bool isValidControlNumber (int control) noexcept;   ///< 1 to 252
bool isKnobControl (int control) noexcept;          ///< 116-123, 197-204, 213-220, 229-236, 245-252
bool isFaderControl (int control) noexcept;         ///< 136-144
bool isButtonControl (int control) noexcept;        ///< neither knob nor fader
bool isLabelledButton (int control) noexcept;       ///< 1 to 80: carry lockBy and a device label
bool isControl116To123 (int control) noexcept;
bool isControl189To196 (int control) noexcept;
bool isControl124 (int control) noexcept;

/** ControlKind::Knob, ::Fader or ::Button (as an int). */
int getControlKind (int control) noexcept;

/** The control's row in the 252-row device image and the built-in tables,
    or -1 when the control has no row. */
int controlRowOf (int control) noexcept;

bool isValidSlotNumber (int slotNumber) noexcept;   ///< 1 to 3
bool isSlotIndexForLeds (int slotIndex) noexcept;   ///< 0 to 3

inline constexpr int toOneBased (int n) noexcept    { return n + 1; }
inline constexpr int toZeroBased (int n) noexcept   { return n - 1; }
inline constexpr int isOdd (int n) noexcept         { return n & 1; }

} // namespace NsZ9m
