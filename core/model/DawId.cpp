#include "core/model/DawId.h"

namespace NsZ9m
{

static const juce::StringArray& dawIdStrings()
{
    static const juce::StringArray list { "bitwig", "cubase", "pro-tools", "logic", "live", "reaper",
                                          "reason", "studio-one", "fl-studio", "cakewalk",
                                          "digital-performer", "samplitude", "harrison", "nuendo",
                                          "audition", "tracktion", "ability", "luna" };
    return list;
}

static const juce::StringArray& dawDisplayNames()
{
    static const juce::StringArray list { "Bitwig", "Cubase", "Pro tools", "Logic Pro", "Ableton Live",
                                          "Reaper", "Reason", "Studio one", "FL Studio", "Cakewalk",
                                          "Digital Performer", "Samplitude", "Harrison", "Nuendo",
                                          "Adobe audition", "Tracktion", "Ability", "luna" };
    return list;
}

// An id outside the list (from a file, say) names nothing.
juce::String getDawIdString (int dawId)      { return isValidDawId (dawId) ? dawIdStrings()[dawId - 1] : juce::String(); }
juce::String getDawDisplayName (int dawId)   { return isValidDawId (dawId) ? dawDisplayNames()[dawId - 1] : juce::String(); }

bool isValidDawId (int dawId) noexcept       { return dawId >= 1 && dawId <= numDaws; }
bool isNotHuiDaw (int dawId) noexcept        { return dawId != huiDawId; }
bool isHuiDaw (int dawId) noexcept           { return ! isNotHuiDaw (dawId); }
int dawProtocol (int dawId) noexcept         { return dawId == huiDawId ? 1 : 0; }

} // namespace NsZ9m
