#include "core/files/ValueTreeMessage.h"

namespace NsZ9m
{

namespace
{
    /*  Walks a block in the framework's value-tree stream format without
        building anything, and says whether every string ends inside the
        block, every count and length fits in what is left of it, and the
        nesting stays bounded. Only a block that passes is handed to the
        framework's reader, which trusts its counts (a huge child count
        reserves memory for that many children).
    */
    class ValueTreeDataChecker
    {
    public:
        ValueTreeDataChecker (const void* data, size_t size)
            : bytes (static_cast<const juce::uint8*> (data)), end (size) {}

        bool check()
        {
            return tree (0);
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

        /** A zero-terminated string; notEmpty refuses "". */
        bool string (bool notEmpty)
        {
            const auto start = pos;

            while (pos < end)
                if (bytes[pos++] == 0)
                    return ! notEmpty || pos - start > 1;

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
                return true;

            juce::uint8 marker = 0;

            if (! byte (marker))
                return false;

            switch (marker)
            {
                case 1: case 2: case 3:     // int, bool true, bool false: fixed sizes
                case 4: case 6:             // double, int64
                {
                    const size_t fixed = marker == 1 ? 4 : (marker == 4 || marker == 6 ? 8 : 0);
                    return (size_t) numBytes == fixed + 1 && skip (fixed);
                }

                case 5: case 8:             // string, binary
                    return skip ((size_t) numBytes - 1);

                case 7:                     // array: its elements follow
                {
                    int numElements = 0;

                    if (! count (numElements))
                        return false;

                    for (int i = 0; i < numElements; ++i)
                        if (! var (depth + 1))
                            return false;

                    return true;
                }

                default:                    // undefined or unknown: the framework skips it
                    return skip ((size_t) numBytes - 1);
            }
        }

        bool tree (int depth)
        {
            if (depth > maxValueTreeDepth || ! string (true))
                return false;

            int numProps = 0;

            if (! count (numProps))
                return false;

            for (int i = 0; i < numProps; ++i)
                if (! string (true) || ! var (depth + 1))
                    return false;

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
