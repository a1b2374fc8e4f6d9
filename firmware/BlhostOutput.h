#pragma once

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/*  What the bootloader tool prints, as the upgrader reads it. The bytes come
    from another program and are hostile until read: they become text that
    is always well-formed and in which no marker can hide, and only then is
    the tool's verdict looked for. Pure functions; any thread.
*/

/** The tool's output as text: a zero byte reads as a blank, and output that
    is not strictly valid UTF-8 (an overlong form or a surrogate included) is
    read byte by byte, every byte from 0x80 up as "?".
    Every ASCII byte stands for itself, so a marker in the bytes is in the
    text too. */
juce::String blhostOutputToText (const void* data, size_t size);

/** The tool's verdict in its output: -1 without "status = ", 1 with
    "status = " and "Success.", 0 with "status = " only. */
int readBlhostStatus (const juce::String& output);

} // namespace vorlix
