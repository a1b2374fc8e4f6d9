#pragma once

#include "core/base/JuceIncludes.h"

namespace vorlix
{

/** Reads a firmware image whole through NsZ9m::RegularFile: only a regular
    file (no folder, device or pipe), of at most maxBytes. On failure the
    result says why and bytes is empty. Any thread. */
juce::Result readFirmwareFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& bytes);

} // namespace vorlix
