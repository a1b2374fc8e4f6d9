#pragma once

// The JUCE modules of every windowed layer (editor, firmware upgrader, shell):
// the core's modules and the GUI ones, compiled once in z9_gui.
#include "core/base/JuceIncludes.h"
#include <juce_graphics/juce_graphics.h>
#include <juce_gui_basics/juce_gui_basics.h>
