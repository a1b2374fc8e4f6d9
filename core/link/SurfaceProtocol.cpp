#include "core/link/SurfaceProtocol.h"
#include "core/base/Checksums.h"
#include "core/link/DeviceImage.h"
#include "core/sync/Host.h"
#include "core/base/PlatformHelpers.h"
#include "core/sync/ProcessState.h"

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

    // The DAW byte of a chunk: the slot's DAW in the store's current model, at least 1.
    int chunkDawId (int slotNumber)
    {
        auto daw = Host::getInstance()->getStore().getSlotDaw (slotNumber).get();
        return juce::jmax (1, daw);
    }
}

juce::MidiMessage makeFingerprintMessage (int productId, juce::uint8 command)
{
    juce::uint8 m[fingerprintMessageSize];
    writeHeader (m, modelCodeOf (productId), command);

    auto productIndex = productIndexOf (productId);

    for (int s = 0; s < numSlots; ++s)
    {
        auto f = productIndex >= 0 ? maskSevenBitTriplet (slotFingerprints[productIndex][s]) : 0;
        m[6 + 3 * s] = (juce::uint8) ((f >> 16) & 0x7F);
        m[7 + 3 * s] = (juce::uint8) ((f >> 8) & 0x7F);
        m[8 + 3 * s] = (juce::uint8) (f & 0x7F);
    }

    m[15] = 0xF7;
    return fromBytes (m, fingerprintMessageSize);
}

juce::MidiMessage makeSlotImageChunk (int productId, int slotNumber, int chunkNumber)
{
    // slot numbers are 1 to 3, chunk numbers 1 to 9
    jassert (isValidSlotNumber (slotNumber) && chunkNumber >= 1 && chunkNumber <= numImageChunks);

    juce::uint8 m[imageChunkMessageSize];
    writeHeader (m, modelCodeOf (productId), slotImageChunkCommand);

    auto slotIndex = slotNumber - 1;
    m[6] = (juce::uint8) ((((slotIndex << 5) & 0x70) | chunkDawId (slotNumber)) & 0x7F);
    m[7] = (juce::uint8) (chunkNumber & 0x7F);
    m[8] = 28;

    const int bytesPerChunk = 224;
    auto productIndex = productIndexOf (productId);
    auto offset = (chunkNumber - 1) * bytesPerChunk;

    if (productIndex >= 0 && isValidSlotNumber (slotNumber) && offset >= 0 && offset + bytesPerChunk <= wireImageSize)
        std::memcpy (m + 9, wireImages[productIndex][slotIndex] + offset, (size_t) bytesPerChunk);
    else
        std::memset (m + 9, 0, (size_t) bytesPerChunk);

    m[233] = 0xF7;
    return fromBytes (m, imageChunkMessageSize);
}

juce::MidiMessage makeLabelChunk (int slotNumber, int chunkNumber)
{
    jassert (isValidSlotNumber (slotNumber) && chunkNumber >= 1 && chunkNumber <= numLabelChunks);

    juce::uint8 m[labelChunkMessageSize];
    writeHeader (m, productZ9M, labelChunkCommand);

    auto slotIndex = slotNumber - 1;
    m[6] = (juce::uint8) ((((slotIndex << 5) & 0x60) | chunkDawId (slotNumber)) & 0x7F);
    m[7] = (juce::uint8) (chunkNumber & 0x7F);
    m[8] = 10;

    // Exactly 17 data bytes per label, whatever the list holds.
    auto* out = m + 9;
    auto& labels = slotLabels[juce::jlimit (0, numSlots - 1, slotIndex)];

    for (int i = 0; i < 10; ++i)
    {
        auto label = labels[(chunkNumber - 1) * 10 + i];

        for (int k = 0; k < labelSize; ++k)
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

juce::MidiMessage makeSlotSelectMessage (int value)   { return makeShortMessage (0xEC, 0x22, value); }
juce::MidiMessage makeSlotStateMessage (int value)    { return makeShortMessage (0xEC, 0x23, value); }
juce::MidiMessage makeGreetingMessage()               { return makeShortMessage (0xEC, 0x2A, isMacOS() ? 1 : 0); }
juce::MidiMessage makeFillerMessage()                 { return makeShortMessage (0xEF, 0x7F, 0x7F); }

int packetCount (const juce::MidiMessage& message)
{
    return (int) std::ceil ((float) message.getRawDataSize() / 3.0f);
}

void paceStep (int& counter, int every, int pauseMs)
{
    if (windowsVersionIndex < 7)
        return;

    if (++counter == every)
    {
        waitWhileDispatching (pauseMs);
        counter = 0;
    }
}

void pacePacket (int& counter)           { paceStep (counter, 2, 1); }

void pacePackets (int& counter, int n)
{
    for (int i = 0; i < n; ++i)
        pacePacket (counter);
}

void decodeSurfaceReply (const juce::MidiMessage& message)
{
    if (message.getRawDataSize() < 3)
        return;

    auto* raw = message.getRawData();
    auto b0 = raw[0], b1 = raw[1], b2 = raw[2];
    auto& r = deviceReplyState;
    auto flag = [b2] { return (juce::uint8) (b2 == 1 ? 1 : 0); };

    if (b0 == 0x9A)
    {
        switch (b1)
        {
            case queryFingerprintsCommand:    r.queryReply = (juce::uint8) (b2 & 7); break;
            case confirmFingerprintsCommand:  r.confirmAck = flag(); break;
            case slotImageChunkCommand:       r.imageChunkAck = flag(); break;
            case labelChunkCommand:           r.labelChunkAck = flag(); break;
            case 0x2C: case 0x2E:             break;
            default:                          r.replyStatus = flag(); break;
        }
    }
    else if (b0 == 0xEC)
    {
        if (b1 == 0x22)
        {
            auto n = ((b2 & 0x60) >> 5) + 1;

            // there are three slots: a report of a fourth is dropped
            if (! isValidSlotNumber (n))
                return;

            r.selectedSlotNumber = n;
            r.slotSelectPending = true;
        }
        else if (b1 == 0x23)
        {
            auto n = ((b2 >> 5) % 3) + 1;
            r.slotHasDaw[n - 1] = (b2 & 0x1F) != 0;
            r.reportedSlotNumber = n;
            r.slotStatePending = true;
        }
        else if (b1 == 0x2F)
        {
            r.replyStatus = flag();
        }
    }
}

bool waitForReply (const std::atomic<juce::uint8>& awaited)
{
    auto arrived = [&awaited]
    {
        return awaited.load() != DeviceReplyState::none
            || deviceReplyState.replyStatus.load() != DeviceReplyState::none;
    };

    for (int poll = 0; poll < 30; ++poll)
    {
        if (arrived())
            return true;

        waitWhileDispatching (1);
    }

    return arrived();
}

} // namespace NsZ9m
