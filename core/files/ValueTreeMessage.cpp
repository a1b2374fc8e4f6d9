#include "core/files/ValueTreeMessage.h"
#include <cmath>
#include <cstring>
#include <set>
#include <string_view>

namespace NsZ9m
{

namespace
{
    /*  Walks a block in the framework's value-tree stream format without
        building anything, and says whether it is exactly what the framework's
        writer makes of some tree: every count and length fits in what is left
        of the block and matches what follows, every text is valid UTF-8 that
        ends where its length says, no tree has one property twice, every
        number is finite, the nesting stays bounded, and nothing follows the
        tree. So a block that passes is read by the framework's reader (which
        trusts its counts: a huge child count reserves memory for that many
        children) within the block, loses nothing, and gives the same tree
        when written and read again.
    */
    class ValueTreeDataChecker
    {
    public:
        ValueTreeDataChecker (const void* data, size_t size)
            : bytes (static_cast<const juce::uint8*> (data)), end (size) {}

        bool check()
        {
            return tree (0) && pos == end;
        }

    private:
        const juce::uint8* bytes;
        size_t pos = 0, end;

        size_t left() const noexcept   { return end - pos; }

        bool byte (juce::uint8& b)
        {
            if (left() < 1)
                return false;

            b = bytes[pos++];
            return true;
        }

        bool skip (size_t n)
        {
            if (left() < n)
                return false;

            pos += n;
            return true;
        }

        /** Strict UTF-8 (no overlong forms, no surrogates, nothing above
            U+10FFFF) with no zero byte in it. */
        static bool isStrictUtf8 (const juce::uint8* text, size_t length)
        {
            for (size_t i = 0; i < length;)
            {
                const auto lead = text[i++];

                if (lead == 0)
                    return false;

                if (lead < 0x80)
                    continue;

                int extra = 0;
                juce::uint32 code = 0, lowest = 0;

                if      ((lead & 0xe0) == 0xc0) { extra = 1; code = lead & 0x1fu; lowest = 0x80; }
                else if ((lead & 0xf0) == 0xe0) { extra = 2; code = lead & 0x0fu; lowest = 0x800; }
                else if ((lead & 0xf8) == 0xf0) { extra = 3; code = lead & 0x07u; lowest = 0x10000; }
                else return false;

                if (length - i < (size_t) extra)
                    return false;

                for (int k = 0; k < extra; ++k)
                {
                    const auto next = text[i++];

                    if ((next & 0xc0) != 0x80)
                        return false;

                    code = (code << 6) | (next & 0x3fu);
                }

                if (code < lowest || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
                    return false;
            }

            return true;
        }

        /** A zero-terminated UTF-8 text, as the stream's names are written;
            notEmpty refuses "". Gives where the text starts and its length
            without the zero. */
        bool string (bool notEmpty, size_t& start, size_t& length)
        {
            start = pos;

            while (pos < end)
            {
                if (bytes[pos++] == 0)
                {
                    length = pos - 1 - start;
                    return (! notEmpty || length > 0) && isStrictUtf8 (bytes + start, length);
                }
            }

            return false;
        }

        /** A compressed int that must be a count of 0 up to what is left. */
        bool count (int& n)
        {
            juce::uint8 sizeByte = 0;

            if (! byte (sizeByte))
                return false;

            const int numBytes = sizeByte & 0x7f;

            if (numBytes > 4 || (sizeByte & 0x80) != 0 || left() < (size_t) numBytes)
                return false;

            juce::uint32 value = 0;

            for (int i = 0; i < numBytes; ++i)
                value |= (juce::uint32) bytes[pos++] << (8 * i);

            if (value > (juce::uint32) left() || value > (juce::uint32) std::numeric_limits<int>::max())
                return false;

            n = (int) value;
            return true;
        }

        bool var (int depth)
        {
            int numBytes = 0;

            if (depth > maxValueTreeDepth || ! count (numBytes))
                return false;

            if (numBytes == 0)
                return true;                // void

            const auto contentEnd = pos + (size_t) numBytes;
            juce::uint8 marker = 0;

            if (! byte (marker))
                return false;

            switch (marker)
            {
                case 1:                     // int
                    return numBytes == 5 && skip (4);

                case 2: case 3: case 9:     // bool true, bool false, undefined
                    return numBytes == 1;

                case 6:                     // int64
                    return numBytes == 9 && skip (8);

                case 4:                     // double: a finite one only
                {
                    if (numBytes != 9 || left() < 8)
                        return false;

                    juce::uint64 bits = 0;

                    for (int i = 0; i < 8; ++i)
                        bits |= (juce::uint64) bytes[pos++] << (8 * i);

                    double value = 0;
                    std::memcpy (&value, &bits, sizeof (value));
                    return std::isfinite (value);
                }

                case 5:                     // string: UTF-8 and its terminating zero
                {
                    const auto length = (size_t) numBytes - 1;

                    if (length < 1 || left() < length || bytes[pos + length - 1] != 0
                         || ! isStrictUtf8 (bytes + pos, length - 1))
                        return false;

                    pos += length;
                    return true;
                }

                case 8:                     // binary
                    return skip ((size_t) numBytes - 1);

                case 7:                     // array: its elements, exactly filling its length
                {
                    int numElements = 0;

                    if (! count (numElements))
                        return false;

                    for (int i = 0; i < numElements; ++i)
                        if (! var (depth + 1))
                            return false;

                    return pos == contentEnd;
                }

                default:                    // no marker the framework writes
                    return false;
            }
        }

        bool tree (int depth)
        {
            size_t start = 0, length = 0;

            if (depth > maxValueTreeDepth || ! string (true, start, length))
                return false;

            int numProps = 0;

            if (! count (numProps))
                return false;

            std::set<std::string_view> names;

            for (int i = 0; i < numProps; ++i)
            {
                if (! string (true, start, length)
                     || ! names.emplace (reinterpret_cast<const char*> (bytes + start), length).second
                     || ! var (depth + 1))
                    return false;
            }

            int numChildren = 0;

            if (! count (numChildren))
                return false;

            for (int i = 0; i < numChildren; ++i)
                if (! tree (depth + 1))
                    return false;

            return true;
        }
    };
}

//==============================================================================
juce::MemoryBlock valueTreeToMemoryBlock (const juce::ValueTree& tree)
{
    juce::MemoryOutputStream out (256);
    tree.writeToStream (out);
    return out.getMemoryBlock();
}

juce::ValueTree valueTreeFromMemoryBlock (const juce::MemoryBlock& block)
{
    if (block.getSize() == 0 || block.getSize() > maxValueTreeMessageSize)
        return {};

    if (! ValueTreeDataChecker (block.getData(), block.getSize()).check())
        return {};

    return juce::ValueTree::readFromData (block.getData(), block.getSize());
}

} // namespace NsZ9m
