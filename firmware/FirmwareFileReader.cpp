#include "firmware/FirmwareFileReader.h"
#include "core/base/RegularFile.h"

namespace vorlix
{

juce::Result readFirmwareFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& bytes)
{
    bytes.reset();

    if (file == juce::File())
        return juce::Result::fail ("no file");

    const auto status = NsZ9m::RegularFile::read (file, maxBytes, bytes);

    if (status != NsZ9m::RegularFile::Status::ok)
    {
        bytes.reset();
        return juce::Result::fail (NsZ9m::RegularFile::describe (status));
    }

    return juce::Result::ok();
}

} // namespace vorlix
