#include "core/files/StrictXmlReader.h"
#include "core/base/RegularFile.h"
#include <expat.h>
#include <string_view>
#include <thread>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace NsZ9m
{

StrictXmlReader StrictXmlReader::withMaxBytes (juce::int64 n) const
{
    // A limit below one byte would refuse every document.
    jassert (n > 0);
    auto r = *this;
    r.maxBytes = n;
    return r;
}

StrictXmlReader StrictXmlReader::withMaxDepth (int n) const
{
    // Depth 1 is the root element alone; less would refuse every document.
    jassert (n > 0);
    auto r = *this;
    r.maxDepth = n;
    return r;
}

StrictXmlReader StrictXmlReader::withMaxElements (int n) const
{
    // Every document has at least its root element.
    jassert (n > 0);
    auto r = *this;
    r.maxElements = n;
    return r;
}

StrictXmlReader StrictXmlReader::withMaxAttributesPerElement (int n) const
{
    jassert (n >= 0);
    auto r = *this;
    r.maxAttributesPerElement = n;
    return r;
}

StrictXmlReader StrictXmlReader::withThreads (int n, size_t minBytesEach) const
{
    // At least one thread reads: pass 1 to read on the calling thread alone.
    jassert (n > 0);
    auto r = *this;
    r.maxThreads = juce::jmax (1, n);
    r.minBytesPerThread = minBytesEach;
    return r;
}

int StrictXmlReader::getDefaultThreads()
{
    return (int) juce::jlimit (1u, 8u, std::thread::hardware_concurrency());
}

namespace
{
    /*  A name or value from the parser: its bytes up to the terminating nul,
        with a hash of them taken in the same pass. */
    struct Text
    {
        explicit Text (const char* s) noexcept : data (s)
        {
            auto* p = s;

            for (; *p != 0; ++p)
                hash = (hash ^ (juce::uint8) *p) * 16777619u;

            size = (size_t) (p - s);
        }

        const char* data;
        size_t size = 0;
        juce::uint32 hash = 2166136261u;
    };

    /*  A small open-addressed table from texts to values. It keeps its own
        copy of each text: the text of a pooled identifier lies beside its
        reference count, which every reading thread changes all the time, and
        comparing against it would wait on the other threads' writes. */
    template <typename Value>
    class TextTable
    {
    public:
        struct Slot
        {
            std::string key;
            bool used = false;
            juce::uint32 hash = 0;
            Value value;
        };

        explicit TextTable (size_t initialSlots) : slots (initialSlots) {}

        /** The slot holding this text, or the empty one where it belongs. */
        Slot& find (const Text& t) noexcept
        {
            const auto mask = slots.size() - 1;

            for (auto i = (size_t) t.hash & mask;; i = (i + 1) & mask)
            {
                auto& s = slots[i];

                if (! s.used
                     || (s.hash == t.hash && s.key.size() == t.size && std::memcmp (s.key.data(), t.data, t.size) == 0))
                    return s;
            }
        }

        /** Fills the empty slot that find() gave for this text. */
        const Value& add (Slot& s, const Text& t, Value v)
        {
            s.key.assign (t.data, t.size);
            s.used = true;
            s.hash = t.hash;
            s.value = std::move (v);

            if (++numUsed * 2 <= slots.size())
                return s.value;

            // grow, keeping at least half the slots free
            std::vector<Slot> old (slots.size() * 2);
            std::swap (old, slots);
            const Value* moved = nullptr;
            const auto mask = slots.size() - 1;

            for (auto& o : old)
            {
                if (! o.used)
                    continue;

                auto i = (size_t) o.hash & mask;

                while (slots[i].used)
                    i = (i + 1) & mask;

                const auto wasAdded = (&o == &s);
                slots[i] = std::move (o);

                if (wasAdded)
                    moved = &slots[i].value;
            }

            return *moved;
        }

        size_t size() const noexcept   { return numUsed; }

    private:
        std::vector<Slot> slots;
        size_t numUsed = 0;
    };

    /*  Node types and property names repeat throughout a store, and so do most
        values ("0", "nil", "knob"...): each is made once per reading thread
        and then shared, which spares the global identifier pool's lock and an
        allocation for nearly every attribute. The number of shared values is
        bounded, so a document of only distinct values costs no more than one
        without sharing.
    */
    struct SharedTexts
    {
        const juce::Identifier& identifier (const Text& name)
        {
            auto& slot = identifiers.find (name);

            if (slot.used)
                return slot.value;

            return identifiers.add (slot, name, juce::Identifier (juce::String::fromUTF8 (name.data, (int) name.size)));
        }

        const juce::var* value (const Text& text)
        {
            if (text.size > maxSharedLength)
                return nullptr;

            auto& slot = values.find (text);

            if (slot.used)
                return &slot.value;

            if (values.size() >= maxShared)
                return nullptr;

            return &values.add (slot, text, juce::String::fromUTF8 (text.data, (int) text.size));
        }

        static constexpr size_t maxSharedLength = 32;
        static constexpr size_t maxShared = 4096;

        TextTable<juce::Identifier> identifiers { 64 };
        TextTable<juce::var> values { 256 };
    };

    struct Limits
    {
        int maxDepth, maxElements, maxAttributes;
    };

    /*  One run of the parser over one complete document, building its tree. */
    class Parse
    {
    public:
        Parse (Limits l, SharedTexts& t)
            : limits (l), texts (t), parser (XML_ParserCreate ("UTF-8"))
        {
            if (parser == nullptr)
                return;

            XML_SetUserData (parser, this);
            XML_SetElementHandler (parser, startElement, endElement);
            XML_SetXmlDeclHandler (parser, xmlDeclaration);
            XML_SetProcessingInstructionHandler (parser, processingInstruction);
            XML_SetStartDoctypeDeclHandler (parser, doctypeDeclaration);
            XML_SetEntityDeclHandler (parser, entityDeclaration);
            XML_SetParamEntityParsing (parser, XML_PARAM_ENTITY_PARSING_NEVER);
            open.reserve ((size_t) juce::jmax (0, limits.maxDepth));
        }

        ~Parse()
        {
            if (parser != nullptr)
                XML_ParserFree (parser);
        }

        /** Parses the whole document in one call: the parser then never scans
            a long token twice, however the bytes would have been split. */
        juce::Result run (const char* data, size_t numBytes)
        {
            if (parser == nullptr)
                return juce::Result::fail ("The XML parser could not be created");

            if (numBytes > (size_t) std::numeric_limits<int>::max())
                return juce::Result::fail ("The document is too large");

            const auto status = XML_Parse (parser, data, (int) numBytes, XML_TRUE);

            if (refusal.isNotEmpty())
                return juce::Result::fail (refusal);

            if (status != XML_STATUS_OK)
                return juce::Result::fail (juce::String (XML_ErrorString (XML_GetErrorCode (parser)))
                                           + " at line " + juce::String ((juce::int64) XML_GetCurrentLineNumber (parser))
                                           + ", column " + juce::String ((juce::int64) XML_GetCurrentColumnNumber (parser)));

            // A complete parse has closed every element that it opened.
            jassert (open.empty() && root.isValid());

            if (! root.isValid())
                return juce::Result::fail ("The document has no element");

            return juce::Result::ok();
        }

        juce::ValueTree root;
        int numElements = 0;

    private:
        static Parse& of (void* userData)   { return *static_cast<Parse*> (userData); }

        void refuse (const juce::String& why)
        {
            if (refusal.isEmpty())
                refusal = why + " (line " + juce::String ((juce::int64) XML_GetCurrentLineNumber (parser)) + ")";

            XML_StopParser (parser, XML_FALSE);
        }

        static bool isPlausibleBinarySize (std::string_view count, size_t numChars) noexcept
        {
            if (count.empty() || count.size() > 9)
                return false;

            size_t n = 0;

            for (auto c : count)
            {
                if (c < '0' || c > '9')
                    return false;

                n = n * 10 + (size_t) (c - '0');
            }

            return n <= numChars * 6 / 8 + 1;
        }

        void addProperty (juce::ValueTree& node, const char* name, const char* value)
        {
            static constexpr std::string_view binaryPrefix ("base64:");
            const auto before = node.getNumProperties();

            if (name[0] == 'b' && std::strncmp (name, binaryPrefix.data(), binaryPrefix.size()) == 0)
            {
                // The framework's form is "<byte count>.<base64>", and its
                // decoder takes the count on trust: check it first.
                const std::string_view valueText (value);
                const auto dot = valueText.find ('.');

                if (dot != std::string_view::npos && ! isPlausibleBinarySize (valueText.substr (0, dot), valueText.size() - dot - 1))
                    return refuse ("A binary attribute has an impossible size");

                juce::MemoryBlock block;

                if (dot != std::string_view::npos && block.fromBase64Encoding (juce::String::fromUTF8 (value)))
                {
                    auto plainName = juce::String::fromUTF8 (name + binaryPrefix.size());

                    if (plainName.isEmpty())
                        return refuse ("A binary attribute has no name");

                    node.setProperty (plainName, block, nullptr);

                    if (node.getNumProperties() == before)
                        refuse ("Two attributes give the property " + plainName.quoted());

                    return;
                }
            }

            const auto& id = texts.identifier (Text (name));
            const Text valueText (value);

            if (auto* shared = texts.value (valueText))
                node.setProperty (id, *shared, nullptr);
            else
                node.setProperty (id, juce::String::fromUTF8 (value, (int) valueText.size), nullptr);

            if (node.getNumProperties() == before)
                refuse ("Two attributes give the property " + juce::String::fromUTF8 (name).quoted());
        }

        static void XMLCALL startElement (void* userData, const XML_Char* name, const XML_Char** attributes)
        {
            auto& p = of (userData);

            if ((int) p.open.size() >= p.limits.maxDepth)
                return p.refuse ("Elements are nested too deeply");

            if (++p.numElements > p.limits.maxElements)
                return p.refuse ("The document has too many elements");

            int numAttributes = 0;

            for (auto** a = attributes; *a != nullptr; a += 2)
                ++numAttributes;

            if (numAttributes > p.limits.maxAttributes)
                return p.refuse ("An element has more than " + juce::String (p.limits.maxAttributes) + " attributes");

            // The properties go in before the node joins its parent, so that
            // no change travels up the tree while it is built.
            juce::ValueTree node (p.texts.identifier (Text (name)));

            for (auto** a = attributes; *a != nullptr && p.refusal.isEmpty(); a += 2)
                p.addProperty (node, a[0], a[1]);

            if (p.open.empty())
                p.root = node;
            else
                p.open.back().appendChild (node, nullptr);

            p.open.push_back (std::move (node));
        }

        static void XMLCALL endElement (void* userData, const XML_Char*)
        {
            auto& p = of (userData);

            if (! p.open.empty())
                p.open.pop_back();
        }

        static void XMLCALL xmlDeclaration (void* userData, const XML_Char*, const XML_Char* encoding, int)
        {
            if (encoding != nullptr && ! juce::String (encoding).equalsIgnoreCase ("UTF-8"))
                of (userData).refuse ("The document is declared in an encoding other than UTF-8");
        }

        static void XMLCALL processingInstruction (void* userData, const XML_Char*, const XML_Char*)
        {
            of (userData).refuse ("The document holds a processing instruction");
        }

        static void XMLCALL doctypeDeclaration (void* userData, const XML_Char*, const XML_Char*, const XML_Char*, int)
        {
            of (userData).refuse ("The document has a document type declaration");
        }

        static void XMLCALL entityDeclaration (void* userData, const XML_Char*, int, const XML_Char*, int,
                                               const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
        {
            of (userData).refuse ("The document declares an entity");
        }

        Limits limits;
        SharedTexts& texts;
        XML_Parser parser;
        std::vector<juce::ValueTree> open;
        juce::String refusal;

        JUCE_DECLARE_NON_COPYABLE (Parse)
    };

    //==============================================================================
    /*  Where the root element's children lie, so that they can be read on
        several threads.

        This is not a parser: it only follows the markup far enough to find
        where each child of the root starts and ends, and gives up (the
        document is then read in one piece) on anything but the plain shape of
        a store: an optional byte order mark and XML declaration, whitespace
        and comments, the root element, and inside it elements, text, comments
        and CDATA. Every byte still goes through the parser: each child as a
        document of its own, and everything around them (prolog, root tags,
        the text between the children) as one more. Comments, CDATA sections
        and quoted attribute values, where '<' or '>' may stand for themselves,
        are skipped exactly where the parser ends them, so a child is never
        found where the parser would not see one.
    */
    struct ChildElements
    {
        struct Range { size_t begin, end; };

        std::vector<Range> children;

        bool find (const char* d, size_t n, int maxDepth)
        {
            data = d;
            size = n;
            pos = 0;

            if (startsWith ("\xEF\xBB\xBF"))
                pos = 3;

            if (startsWith ("<?xml") && pos + 5 < size && isSpace (data[pos + 5]))
                if (! skipPast ("?>"))
                    return false;

            // the prolog: whitespace and comments up to the root's start tag
            for (;;)
            {
                while (pos < size && isSpace (data[pos]))
                    ++pos;

                if (startsWith ("<!--"))
                {
                    if (! skipPast ("-->"))
                        return false;
                }
                else if (pos < size && data[pos] == '<' && ! startsWith ("<!") && ! startsWith ("<?") && ! startsWith ("</"))
                {
                    break;
                }
                else
                {
                    return false;
                }
            }

            bool rootIsEmpty = false;

            if (! skipTag (rootIsEmpty) || rootIsEmpty)
                return false;

            // the root's content, one child element at a time
            for (;;)
            {
                auto kind = skipToMarkup();

                if (kind == Markup::endTag)
                    return ! children.empty();

                if (kind != Markup::startTag)
                    return false;

                const auto begin = pos;
                int depth = 0;

                do
                {
                    if (kind == Markup::startTag)
                    {
                        bool isEmpty = false;

                        if (! skipTag (isEmpty))
                            return false;

                        if (! isEmpty && ++depth >= maxDepth)
                            return false;
                    }
                    else if (kind == Markup::endTag)
                    {
                        if (! skipPast (">"))
                            return false;

                        --depth;
                    }
                    else
                    {
                        return false;
                    }

                    if (depth > 0)
                        kind = skipToMarkup();
                }
                while (depth > 0);

                children.push_back ({ begin, pos });
            }
        }

    private:
        enum class Markup { startTag, endTag, other };

        static bool isSpace (char c) noexcept   { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

        static bool isTagMarkup (juce::uint8 c) noexcept
        {
            static constexpr auto table = []
            {
                std::array<bool, 256> t {};
                t['"'] = t['\''] = t['<'] = t['>'] = true;
                return t;
            }();

            return table[c];
        }

        bool startsWith (std::string_view s) const noexcept
        {
            return size - pos >= s.size() && std::string_view (data + pos, s.size()) == s;
        }

        bool skipPast (std::string_view s) noexcept
        {
            auto found = std::string_view (data, size).find (s, pos);

            if (found == std::string_view::npos)
                return false;

            pos = found + s.size();
            return true;
        }

        // From inside content to the next tag, skipping text, comments and
        // CDATA sections; `other` for anything else or the end of the data.
        Markup skipToMarkup() noexcept
        {
            for (;;)
            {
                auto* next = static_cast<const char*> (std::memchr (data + pos, '<', size - pos));

                if (next == nullptr)
                    return Markup::other;

                pos = (size_t) (next - data);
                const auto after = pos + 1 < size ? data[pos + 1] : 0;

                // most tags are start or end tags: tell them by one byte
                if (after == '/')
                    return Markup::endTag;

                if (after != '!' && after != '?')
                    return Markup::startTag;

                if (startsWith ("<!--"))
                {
                    if (! skipPast ("-->"))
                        return Markup::other;
                }
                else if (startsWith ("<![CDATA["))
                {
                    if (! skipPast ("]]>"))
                        return Markup::other;
                }
                else
                {
                    return Markup::other;
                }
            }
        }

        // From a start tag's '<' to just past its '>'.
        bool skipTag (bool& isEmpty) noexcept
        {
            for (auto i = pos + 1; i < size; ++i)
            {
                // names, '=' and whitespace: step over them a byte at a time
                while (! isTagMarkup ((juce::uint8) data[i]))
                    if (++i == size)
                        return false;

                const auto c = data[i];

                if (c == '"' || c == '\'')
                {
                    auto* close = static_cast<const char*> (std::memchr (data + i + 1, c, size - i - 1));

                    if (close == nullptr)
                        return false;

                    i = (size_t) (close - data);
                }
                else if (c == '>')
                {
                    isEmpty = data[i - 1] == '/';
                    pos = i + 1;
                    return true;
                }
                else if (c == '<')
                {
                    return false;
                }
            }

            return false;
        }

        const char* data = nullptr;
        size_t size = 0, pos = 0;
    };

    /*  Reads the children that ChildElements found on up to numThreads
        threads, each child as a document of its own, and the rest of the
        document as one more on this thread. False when any part fails or
        the parts do not add up to the document; the caller then reads the
        document in one piece, which gives the refusal its message.

        Each part's bytes are checked to be valid UTF-8 where they lie in the
        document, before any joining: the cuts fall beside '<' and '>', so
        the parts are valid exactly when the whole is.
    */
    bool readInParts (const char* text, size_t numBytes, const std::vector<ChildElements::Range>& ranges,
                      int numThreads, Limits limits, juce::ValueTree& result)
    {
        const auto numChildren = ranges.size();

        // everything around the children, as one document
        juce::MemoryBlock outline;
        {
            juce::MemoryOutputStream out (outline, false);
            size_t from = 0;

            for (auto& r : ranges)
            {
                if (! StrictXmlReader::isValidUtf8 (text + from, r.begin - from))
                    return false;

                out.write (text + from, r.begin - from);
                from = r.end;
            }

            if (! StrictXmlReader::isValidUtf8 (text + from, numBytes - from))
                return false;

            out.write (text + from, numBytes - from);
        }

        // the children in runs of about equal size, one run per thread
        std::vector<size_t> runStarts { 0 };
        const auto bytesPerRun = (ranges.back().end - ranges.front().begin) / (size_t) numThreads;

        for (size_t i = 1; i < numChildren && (int) runStarts.size() < numThreads; ++i)
            if (ranges[i].begin - ranges[runStarts.back()].begin >= bytesPerRun)
                runStarts.push_back (i);

        runStarts.push_back (numChildren);

        const auto numRuns = runStarts.size() - 1;
        const Limits childLimits { limits.maxDepth - 1, limits.maxElements, limits.maxAttributes };
        std::vector<juce::ValueTree> children (numChildren);
        std::vector<int> elementCounts (numRuns, 0);
        std::vector<char> runOk (numRuns, 0);

        auto readRun = [&] (size_t run)
        {
            SharedTexts texts;

            for (auto i = runStarts[run]; i < runStarts[run + 1]; ++i)
            {
                const auto* begin = text + ranges[i].begin;
                const auto size = ranges[i].end - ranges[i].begin;
                Parse parse (childLimits, texts);

                if (! StrictXmlReader::isValidUtf8 (begin, size) || parse.run (begin, size).failed())
                    return;

                children[i] = parse.root;
                elementCounts[run] += parse.numElements;

                if (elementCounts[run] > limits.maxElements)
                    return;
            }

            runOk[run] = 1;
        };

        std::vector<std::thread> threads;

        for (size_t run = 1; run < numRuns; ++run)
            threads.emplace_back (readRun, run);

        readRun (0);

        SharedTexts texts;
        Parse outer (limits, texts);
        const auto outlineOk = outer.run (static_cast<const char*> (outline.getData()), outline.getSize()).wasOk();

        for (auto& t : threads)
            t.join();

        auto total = (juce::int64) outer.numElements;

        for (size_t run = 0; run < numRuns; ++run)
        {
            if (! runOk[run])
                return false;

            total += elementCounts[run];
        }

        if (! outlineOk || total > limits.maxElements || outer.root.getNumChildren() != 0)
            return false;

        for (auto& child : children)
            outer.root.appendChild (child, nullptr);

        result = outer.root;
        return true;
    }
}

//==============================================================================
juce::Result StrictXmlReader::read (const void* data, size_t numBytes, juce::ValueTree& result) const
{
    if ((juce::int64) numBytes > maxBytes)
        return juce::Result::fail ("The document is larger than " + juce::String (maxBytes) + " bytes");

    auto* text = static_cast<const char*> (data);
    const auto numThreads = juce::jmin ((size_t) maxThreads, numBytes / juce::jmax ((size_t) 1, minBytesPerThread));

    if (numThreads > 1)
    {
        ChildElements split;

        if (split.find (text, numBytes, maxDepth) && split.children.size() > 1)
            if (readInParts (text, numBytes, split.children, (int) numThreads, { maxDepth, maxElements, maxAttributesPerElement }, result))
                return juce::Result::ok();

        // Any refusal is given by the reading in one piece, with its message.
    }

    // The parser refuses invalid UTF-8 too; checking first gives the clearer
    // message, and costs little beside the parse.
    if (! isValidUtf8 (data, numBytes))
        return juce::Result::fail ("The document is not valid UTF-8");

    SharedTexts texts;
    Parse parse ({ maxDepth, maxElements, maxAttributesPerElement }, texts);
    auto outcome = parse.run (text, numBytes);

    if (outcome.wasOk())
        result = parse.root;

    return outcome;
}

juce::Result StrictXmlReader::readFile (const juce::File& file, juce::ValueTree& result) const
{
    juce::MemoryBlock bytes;

    switch (const auto status = RegularFile::read (file, maxBytes, bytes))
    {
        case RegularFile::Status::ok:
            return read (bytes.getData(), bytes.getSize(), result);

        case RegularFile::Status::missing:
            return juce::Result::fail ("No such file: " + file.getFullPathName());

        case RegularFile::Status::tooLarge:
            return juce::Result::fail ("The file is larger than " + juce::String (maxBytes) + " bytes");

        case RegularFile::Status::notRegularFile:
        case RegularFile::Status::cannotOpen:
        case RegularFile::Status::cannotRead:
            return juce::Result::fail ("The file cannot be read: " + RegularFile::describe (status));
    }

    return juce::Result::fail ("The file cannot be read");
}

//==============================================================================
bool StrictXmlReader::isValidUtf8 (const void* data, size_t numBytes) noexcept
{
    auto* s = static_cast<const juce::uint8*> (data);
    auto* end = s + numBytes;

    while (s < end)
    {
        // plain ASCII, eight bytes at a time where it can
        while (end - s >= 8)
        {
            juce::uint64 chunk;
            std::memcpy (&chunk, s, 8);

            if ((chunk & 0x8080808080808080ull) != 0)
                break;

            s += 8;
        }

        if (s == end)
            break;

        const auto c = *s;

        if (c < 0x80)
        {
            ++s;
            continue;
        }

        int extra;
        juce::uint32 lowest, cp;

        if ((c & 0xE0) == 0xC0)       { extra = 1; lowest = 0x80;    cp = c & 0x1Fu; }
        else if ((c & 0xF0) == 0xE0)  { extra = 2; lowest = 0x800;   cp = c & 0x0Fu; }
        else if ((c & 0xF8) == 0xF0)  { extra = 3; lowest = 0x10000; cp = c & 0x07u; }
        else                          return false;

        if (end - s <= extra)
            return false;

        for (int i = 1; i <= extra; ++i)
        {
            if ((s[i] & 0xC0) != 0x80)
                return false;

            cp = (cp << 6) | (s[i] & 0x3Fu);
        }

        if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;

        s += extra + 1;
    }

    return true;
}

} // namespace NsZ9m
