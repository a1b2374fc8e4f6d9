#include "core/link/DeviceImage.h"
#include "core/model/AssignmentTexts.h"
#include "core/model/BuiltInProfiles.h"
#include "core/base/Checksums.h"
#include "core/base/ListHelpers.h"
#include "core/model/MidiMessageKind.h"
#include "core/model/ValueTypeKind.h"
#include "core/base/StoredNumber.h"

namespace NsZ9m
{

juce::String unassignedDeviceLabel()
{
    return makeDeviceLabel (juce::String::repeatedString (" ", fittedTextLength));
}

void makeWireRecord (const juce::uint8* r, juce::uint8* w) noexcept
{
    w[0] = r[0];
    w[1] = (juce::uint8) (r[1] >> 4);
    w[2] = (juce::uint8) (r[1] & 0x0F);

    for (int i = 2; i < controlRecordSize; ++i)
        w[i + 1] = r[i];
}

namespace
{
    // Everything in a record but byte 0's kind nibble and byte 1 (which the
    // wire form splits) travels as a 7-bit data byte: values from a loaded
    // file are masked so that they cannot reach into a status byte.
    inline juce::uint8 data7 (int v) noexcept      { return (juce::uint8) (v & 0x7F); }

    int intProperty (const juce::ValueTree& node, const juce::Identifier& id)
    {
        return StoredNumber::read (node, id);
    }

    // Each modifier is a flag, read as the hotkey's caption reads it.
    int modifierNibble (const juce::ValueTree& node, const juce::Identifier& ctrl, const juce::Identifier& shift,
                        const juce::Identifier& alt, const juce::Identifier& cmd)
    {
        return (StoredNumber::readFlag (node, ctrl) ? 1 : 0) | (StoredNumber::readFlag (node, shift) ? 2 : 0)
             | (StoredNumber::readFlag (node, alt) ? 4 : 0)  | (StoredNumber::readFlag (node, cmd) ? 8 : 0);
    }

    // Channel 1 to 16 as the low nibble 0 to 15; any other number from a
    // file wraps into the nibble the same way, without signed overflow.
    int channelNibble (int chan) noexcept
    {
        return (int) (((juce::uint32) chan - 1u) & 0x0Fu);
    }

    void writeHuiBytes (juce::uint8* r, const juce::ValueTree& src, ControlKind kind, int value)
    {
        if (value < 0)
            return;

        if (kind == ControlKind::Button)
        {
            int zone = -1, port = -1;

            if (value == huiCustomFunction)
            {
                // the user's own zone and port
                auto v1 = intProperty (src, Ids::val1), v2 = intProperty (src, Ids::val2);

                if (isInRange (v1, 0, 127) && isInRange (v2, 0, 127))
                    zone = v1, port = v2;
            }
            else if (value < huiFunctionTableSize)
            {
                zone = huiAddressTable()[value].zone;
                port = huiAddressTable()[value].port;
            }

            if (zone == -1 || port == -1)
                return;

            r[2] = 0x0F;
            r[3] = data7 (zone);
            r[4] = 0x2F;
            r[5] = data7 (port);
        }
        else if (kind == ControlKind::Fader)
        {
            r[2] = data7 (value);
            r[3] = 0;
            r[4] = data7 (0x20 | value);
            r[5] = 0;
        }
        else if (kind == ControlKind::Knob)
        {
            r[2] = data7 (0x40 | value);
            r[3] = 0x40;
            r[4] = 0;
            r[5] = 0;
        }
    }

    // control: the row's own control; source: the control whose assignment
    // it takes (itself, or the one it is locked to) and srcNode its node.
    void writeRecord (juce::uint8* r, int slotIndex, int control, int source, int daw, const juce::ValueTree& src)
    {
        auto slotBits = (juce::uint8) ((slotIndex << 4) & 0x70);
        const ControlKind kind (getControlKind (source));
        auto storedType = ValueTypeKind::fromStoredText (src.getProperty (Ids::valueType, "nil").toString());

        // anything else ("nil" of a control nobody assigned) keeps the built-in record
        if (! storedType.has_value())
            return;

        auto vt = storedType->get();
        auto value = intProperty (src, Ids::value);

        if (vt == ValueTypeKind::Func && daw != huiDawId)
        {
            r[0] = slotBits | 9;
            r[1] = 0x90;
            r[2] = data7 (value);
            r[3] = 0x7F;
            r[4] = 0;
            r[5] = 0;
        }
        else if (vt == ValueTypeKind::Func || vt == ValueTypeKind::Hui)
        {
            r[0] = slotBits | 0x0B;
            r[1] = 0xB0;
            writeHuiBytes (r, src, kind, value);
        }
        else if (vt == ValueTypeKind::Midi)
        {
            auto t = MidiMessageKind (src.getProperty (Ids::type).toString()).getStatusNibble();
            auto chan = intProperty (src, Ids::chan);
            auto isKnobLike = ControlKind (src.getProperty (Ids::kind).toString()) == ControlKind::Knob
                               || isControl124 (control);

            r[0] = (juce::uint8) (slotBits | t);
            r[1] = (juce::uint8) ((t << 4) | channelNibble (chan));
            r[2] = data7 (intProperty (src, Ids::msgValue));
            r[3] = isKnobLike ? 0x40 : 0x7F;
            r[4] = 0;
            r[5] = 0;
            r[6] = intProperty (src, Ids::rotate) == 2 ? 0x10 : 0;
        }
        else if (vt == ValueTypeKind::Hotkey)
        {
            r[0] = (juce::uint8) (0x40 | modifierNibble (src, Ids::ctrl, Ids::shift, Ids::alt, Ids::cmd));
            r[1] = data7 (intProperty (src, Ids::key));
            r[2] = (juce::uint8) modifierNibble (src, Ids::ctrl2, Ids::shift2, Ids::alt2, Ids::cmd2);
            r[3] = data7 (intProperty (src, Ids::key2));
            r[4] = (juce::uint8) modifierNibble (src, Ids::ctrl3, Ids::shift3, Ids::alt3, Ids::cmd3);
            r[5] = data7 (intProperty (src, Ids::key3));
        }
        else if (vt == ValueTypeKind::Mouse)
        {
            r[0] = 0x50;
            r[1] = 0;
            r[2] = 0;
            r[3] = (juce::uint8) mouseActionCode (src.getProperty (Ids::keyName).toString());
            r[4] = 0;
            r[5] = 0;
        }
        else if (vt == ValueTypeKind::Null)
        {
            r[0] = slotBits;

            for (int i = 1; i < 6; ++i)
                r[i] = 0;
        }
    }

}

void compileSlotImage (const MappingStore& store, int productIndex, int slotIndex,
                       const int (&slotColours)[3], ControlRecordBytes* image,
                       juce::uint8* wire, juce::StringArray* labels)
{
    auto slotNumber = slotIndex + 1;
    auto daw = store.getSlotDawAt (slotNumber, productIndex).get();

    if (isValidDawId (daw))
    {
        std::memcpy (image, builtInImage (daw), sizeof (ControlRecordBytes) * numControls);

        for (int k = 0; k < numControls; ++k)
        {
            auto& r = image[k];

            if ((r[0] & 0x70) <= 0x30)
                r[0] = (juce::uint8) (((slotIndex << 4) & 0x70) | (r[0] & 0x0F));
        }

        for (int c = 1; c <= numControls; ++c)
        {
            auto row = controlRowOf (c);

            if (row < 0)
                continue;

            auto lockBy = intProperty (store.getControl (c, slotNumber, productIndex), Ids::lockBy);
            auto src = lockBy != 0 ? lockBy : c;
            auto srcNode = store.getControl (src, slotNumber, productIndex);
            auto* r = image[row];

            writeRecord (r, slotIndex, c, src, daw, srcNode);

            if (row >= 92 && row <= 97)
                r[6] = (juce::uint8) ((slotColours[0] & 1)
                                       | (slotColours[1] & 1) << 1
                                       | (slotColours[2] & 1) << 2);

            if (labels != nullptr && isLabelledButton (src))
                labels->set (row, makeDeviceLabel (formatDeviceLabelText (srcNode)));
        }
    }

    for (int k = 0; k < numControls; ++k)
        makeWireRecord (image[k], wire + k * wireRecordSize);
}

int slotFingerprintOf (const juce::uint8* wire, const juce::StringArray* labels, int dawId)
{
    return intsChecksum ({ bytesChecksum (wire, (size_t) wireImageSize),
                           labels != nullptr ? labelsChecksum (*labels) : 0,
                           dawId });
}

} // namespace NsZ9m
