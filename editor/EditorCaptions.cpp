#include "editor/EditorCaptions.h"

namespace NsZ9m
{

const juce::String& hotkeyCaption()   { static const juce::String s ("Hotkey:"); return s; }
const juce::String& dawCaption()      { static const juce::String s ("DAW");     return s; }

} // namespace NsZ9m
