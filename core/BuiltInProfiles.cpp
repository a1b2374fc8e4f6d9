#include "core/MappingStore.h"

namespace NsZ9m
{

// The factory profiles of the 18 DAWs are not in this build yet: a new store
// holds the default tree only, every control "nil" until it is assigned.
void MappingStore::applyBuiltInDefaults()
{
}

void MappingStore::applyModeDefaults (juce::ValueTree, int, int)
{
}

} // namespace NsZ9m
