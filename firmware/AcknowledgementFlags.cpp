#include "firmware/AcknowledgementFlags.h"

namespace vorlix
{

void AcknowledgementFlags::clear() noexcept
{
    for (auto* flag : { &refusal, &connect, &erase, &block, &reset, &upgradeMode })
        flag->store (false);
}

void AcknowledgementFlags::record (const juce::uint8* data, int size) noexcept
{
    if (data == nullptr || size < 3)
        return;

    const auto status = data[0], note = data[1], value = data[2];

    if (status == 0x9f)
    {
        // A velocity of 127 is the bootloader's refusal, whatever the note.
        if (value == 0x7f)
        {
            refusal.store (true);
            return;
        }

        switch (note)
        {
            case 0x7f: connect.store (true); break;
            case 0x00: erase.store (true);   break;
            case 0x01: block.store (true);   break;
            case 0x02: reset.store (true);   break;
            default:   break;
        }
    }
    else if (status == 0xec && note == 0x2d)
    {
        upgradeMode.store (value == 1);
    }
}

} // namespace vorlix
