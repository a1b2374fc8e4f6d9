#include "core/files/TreeXmlWriter.h"
#include <string>

namespace NsZ9m
{

namespace
{
    // The characters that the framework's XML writer leaves as they are.
    struct LegalCharacters
    {
        LegalCharacters()
        {
            for (int c = 0; c < 128; ++c)
                legal[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                             || std::strchr (" .,;:-()_+=?!$#@[]/|*%~{}'\\", c) != nullptr;

            legal[0] = false;   // strchr finds the terminator
        }

        bool legal[128];
    };

    void appendNumber (std::string& out, juce::uint32 n)
    {
        char digits[12];
        int i = 0;

        do { digits[i++] = (char) ('0' + n % 10); n /= 10; } while (n != 0);

        while (i > 0)
            out += digits[--i];
    }

    // As the framework's writer escapes an attribute value, reading the text
    // as it does: one character at a time, decoded from UTF-8.
    void appendEscaped (std::string& out, const juce::String& text)
    {
        static const LegalCharacters table;

        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = (juce::uint32) p.getAndAdvance();

            if (c < 128 && table.legal[c])
            {
                out += (char) c;
                continue;
            }

            switch (c)
            {
                case '&':  out += "&amp;";  break;
                case '"':  out += "&quot;"; break;
                case '>':  out += "&gt;";   break;
                case '<':  out += "&lt;";   break;
                default:   out += "&#"; appendNumber (out, c); out += ';'; break;
            }
        }
    }

    void appendRaw (std::string& out, const juce::String& text)
    {
        out.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
    }

    void appendElement (std::string& out, const juce::ValueTree& node)
    {
        out += '<';
        appendRaw (out, node.getType().toString());

        // Attribute names are unique but for a binary property "x" beside a
        // text property "base64:x": the framework then keeps the first
        // attribute's place with the last one's value.
        juce::StringArray names;
        juce::Array<juce::String> values;
        bool hasBinary = false;
        const auto numProperties = node.getNumProperties();

        for (int i = 0; i < numProperties; ++i)
            hasBinary = hasBinary || node[node.getPropertyName (i)].isBinaryData();

        for (int i = 0; i < numProperties; ++i)
        {
            const auto name = node.getPropertyName (i);
            const auto& value = node[name];

            if (! hasBinary)
            {
                out += ' ';
                appendRaw (out, name.toString());
                out += "=\"";
                appendEscaped (out, value.toString());
                out += '"';
                continue;
            }

            auto* block = value.getBinaryData();
            auto attributeName = block != nullptr ? "base64:" + name.toString() : name.toString();
            auto text = block != nullptr ? block->toBase64Encoding() : value.toString();
            auto index = names.indexOf (attributeName);

            if (index >= 0)
            {
                values.set (index, text);
            }
            else
            {
                names.add (attributeName);
                values.add (text);
            }
        }

        for (int i = 0; i < names.size(); ++i)
        {
            out += ' ';
            appendRaw (out, names[i]);
            out += "=\"";
            appendEscaped (out, values[i]);
            out += '"';
        }

        const auto numChildren = node.getNumChildren();

        if (numChildren == 0)
        {
            out += "/>";
            return;
        }

        out += '>';

        for (int i = 0; i < numChildren; ++i)
            appendElement (out, node.getChild (i));

        out += "</";
        appendRaw (out, node.getType().toString());
        out += '>';
    }
}

juce::String TreeXmlWriter::toSingleLineText (const juce::ValueTree& tree)
{
    if (! tree.isValid())
        return {};

    std::string out;
    out.reserve (1 << 16);
    appendElement (out, tree);
    return juce::String::fromUTF8 (out.data(), (int) out.size());
}

} // namespace NsZ9m
