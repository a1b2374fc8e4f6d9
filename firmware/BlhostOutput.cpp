#include "firmware/BlhostOutput.h"
#include <string>

namespace vorlix
{

juce::String blhostOutputToText (const void* data, size_t size)
{
    if (data == nullptr || size == 0)
        return {};

    std::string copy (static_cast<const char*> (data), size);

    for (auto& c : copy)
        if (c == 0)
            c = ' ';

    if (juce::CharPointer_UTF8::isValidString (copy.data(), (int) copy.size()))
        return juce::String::fromUTF8 (copy.data(), (int) copy.size());

    for (auto& c : copy)
        if ((unsigned char) c >= 0x80)
            c = '?';

    return juce::String (copy.data(), copy.size());
}

int readBlhostStatus (const juce::String& output)
{
    if (! output.contains ("status = "))
        return -1;

    return output.contains ("Success.") ? 1 : 0;
}

} // namespace vorlix
