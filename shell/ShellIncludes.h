#pragma once

// The JUCE modules of the application shell: those of every windowed layer,
// plus the extra GUI module for the system tray (compiled in z9_shell).
#include "gui/JuceGuiIncludes.h"
#include <juce_gui_extra/juce_gui_extra.h>
