#pragma once

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/** Reads a firmware image whole: only a regular file (no folder, device,
    pipe or link to one), of at most maxBytes. On failure the result says why
    and bytes is empty. Message thread. */
juce::Result readFirmwareFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& bytes);

} // namespace vorlix
