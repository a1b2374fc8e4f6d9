#include "core/model/NameLists.h"

namespace NsZ9m
{

const juce::StringArray& transportNames()
{
    static const juce::StringArray list { "Play", "Stop", "Record", "Rewind", "Fast Forward", "Loop" };
    return list;
}

const juce::StringArray& rotationTypeNames()
{
    static const juce::StringArray list { "Incremental", "Numerical" };
    return list;
}

bool containsNonAscii (const juce::String& text)
{
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        if (p.getAndAdvance() > 126)
            return true;

    return false;
}

} // namespace NsZ9m
