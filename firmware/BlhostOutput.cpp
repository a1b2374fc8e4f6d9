#include "firmware/BlhostOutput.h"
#include "core/files/StrictXmlReader.h"
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

    // The framework's own check lets overlong forms through, and an overlong
    // zero would end the text early, hiding every marker behind it: only
    // strictly valid UTF-8 is decoded as such.
    if (NsZ9m::StrictXmlReader::isValidUtf8 (copy.data(), copy.size()))
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
