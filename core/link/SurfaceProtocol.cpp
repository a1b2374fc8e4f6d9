#include "core/link/SurfaceProtocol.h"
#include "core/base/Checksums.h"
#include "core/base/PlatformHelpers.h"

namespace NsZ9m
{

int sysexHeaderSize() noexcept   { return 9; }

int modelCodeOf (int productId) noexcept
{
    return isXFamilyProduct (productId) ? productZ9X : productZ9M;
}

namespace
{
    const juce::uint8 sysexTemplate[] = { 0xF0, 0x1D, 0x03, 0x10, 0x07, 0x00, 0x00, 0x7F, 0xF7 };

    void writeHeader (juce::uint8* buffer, int modelCode, juce::uint8 command)
    {
        std::memcpy (buffer, sysexTemplate, sizeof (sysexTemplate));
        buffer[3] = (juce::uint8) ((modelCode / 128) & 0x7F);
        buffer[4] = (juce::uint8) (modelCode % 128);
        buffer[5] = command;
    }

    juce::MidiMessage fromBytes (const juce::uint8* bytes, int size)
    {
        return juce::MidiMessage (bytes, size, 0.0);
    }

    // The DAW byte of a chunk: at least 1.
    int chunkDawId (int dawId)   { return juce::jmax (1, dawId); }
}

juce::MidiMessage buildFingerprintMessage (int productId, juce::uint8 command, const int* fingerprints)
{
    juce::uint8 m[fingerprintMessageSize];
    writeHeader (m, modelCodeOf (productId), command);

    for (int s = 0; s < numSlots; ++s)
    {
        auto f = fingerprints != nullptr ? maskSevenBitTriplet (fingerprints[s]) : 0;
        m[6 + 3 * s] = (juce::uint8) ((f >> 16) & 0x7F);
        m[7 + 3 * s] = (juce::uint8) ((f >> 8) & 0x7F);
        m[8 + 3 * s] = (juce::uint8) (f & 0x7F);
    }

    m[15] = 0xF7;
    return fromBytes (m, fingerprintMessageSize);
}

juce::MidiMessage buildSlotImageChunk (int productId, int slotNumber, int chunkNumber,
                                       int dawId, const juce::uint8* wire)
{
    // slot numbers are 1 to 3, chunk numbers 1 to 9
    jassert (isValidSlotNumber (slotNumber) && chunkNumber >= 1 && chunkNumber <= numImageChunks);

    juce::uint8 m[imageChunkMessageSize];
    writeHeader (m, modelCodeOf (productId), slotImageChunkCommand);

    auto slotIndex = slotNumber - 1;
    m[6] = (juce::uint8) ((((slotIndex << 5) & 0x70) | chunkDawId (dawId)) & 0x7F);
    m[7] = (juce::uint8) (chunkNumber & 0x7F);
    m[8] = 28;

    const int bytesPerChunk = 224;
    auto offset = (chunkNumber - 1) * bytesPerChunk;

    if (wire != nullptr && offset >= 0 && offset + bytesPerChunk <= wireImageSize)
        std::memcpy (m + 9, wire + offset, (size_t) bytesPerChunk);
    else
        std::memset (m + 9, 0, (size_t) bytesPerChunk);

    m[233] = 0xF7;
    return fromBytes (m, imageChunkMessageSize);
}

juce::MidiMessage buildLabelChunk (int slotNumber, int chunkNumber, int dawId, const juce::StringArray& labels)
{
    jassert (isValidSlotNumber (slotNumber) && chunkNumber >= 1 && chunkNumber <= numLabelChunks);

    juce::uint8 m[labelChunkMessageSize];
    writeHeader (m, productZ9M, labelChunkCommand);

    auto slotIndex = slotNumber - 1;
    m[6] = (juce::uint8) ((((slotIndex << 5) & 0x60) | chunkDawId (dawId)) & 0x7F);
    m[7] = (juce::uint8) (chunkNumber & 0x7F);
    m[8] = 10;

    // Exactly 17 data bytes per label, whatever the list holds.
    auto* out = m + 9;

    for (int i = 0; i < 10; ++i)
    {
        auto label = labels[(chunkNumber - 1) * 10 + i];

        for (int k = 0; k < deviceLabelLength; ++k)
        {
            auto c = k < label.length() ? label[k] : (juce::juce_wchar) ' ';
            *out++ = (juce::uint8) (c > 0x7F ? '?' : c);
        }
    }

    m[179] = 0xF7;
    return fromBytes (m, labelChunkMessageSize);
}

juce::MidiMessage makeShortMessage (int status, int d1, int d2)
{
    return juce::MidiMessage (status, d1 & 0x7F, d2 & 0x7F, 0.0);
}

int slotSelectValue (int slotIndex, int dawId) noexcept       { return ((slotIndex << 5) | dawId) & 0x7F; }
int slotStateValue (int slotIndex, bool hasDaw) noexcept      { return (slotIndex << 5) | (hasDaw ? 1 : 0); }
int greetingValue() noexcept                                  { return isMacOS() ? 1 : 0; }

juce::MidiMessage makeSlotSelectMessage (int value)   { return makeShortMessage (0xEC, slotSelectCommand, value); }
juce::MidiMessage makeSlotStateMessage (int value)    { return makeShortMessage (0xEC, slotStateCommand, value); }
juce::MidiMessage makeGreetingMessage()               { return makeShortMessage (0xEC, greetingCommand, greetingValue()); }
juce::MidiMessage makeFillerMessage()                 { return makeShortMessage (0xEF, 0x7F, 0x7F); }

int packetCount (const juce::MidiMessage& message)
{
    return (int) std::ceil ((float) message.getRawDataSize() / 3.0f);
}

} // namespace NsZ9m
