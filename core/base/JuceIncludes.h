#pragma once

// The JUCE modules the mapping core is built on. The core never includes a
// GUI module: the editor brings those itself.
#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>
#include <juce_data_structures/juce_data_structures.h>
#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>
