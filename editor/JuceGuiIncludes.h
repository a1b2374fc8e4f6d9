#pragma once

// The JUCE modules of the editor: the core's modules and the GUI ones.
#include "core/base/JuceIncludes.h"
#include <juce_graphics/juce_graphics.h>
#include <juce_gui_basics/juce_gui_basics.h>
