#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    Reads the XML of a mapping store (a mapping file, or the store text of the
    settings file) straight into a juce::ValueTree, refusing anything that is
    not plainly a well-formed document within fixed bounds.

    For every document it accepts it gives the same tree that
    juce::ValueTree::fromXml gives for juce::XmlDocument's parse: one node per
    element with the element's name as type, one property per attribute in
    document order, every value kept as text (an attribute named "base64:x"
    whose value decodes becomes the binary property "x"); text, CDATA and
    comments are left out.

    It refuses, and leaves the caller's tree untouched:
    - a document that is not well-formed XML 1.0, which includes any cut-off
      document;
    - bytes that are not valid UTF-8 (the document is always read as UTF-8, and
      a declaration that names any other encoding is refused);
    - a document type declaration (and so every entity declaration), and any
      processing instruction but the leading XML declaration;
    - elements nested deeper, more elements, or more attributes on one element,
      than the limits allow;
    - more bytes than the size limit; a file's size is checked before any of it
      is read, and reading stops at the limit should the file grow meanwhile;
    - an attribute that would give a property without a name, or a second
      property of the same name.

    The parser (libexpat) works without recursion, so no input can exhaust the
    stack, and it loads nothing from outside the document. The time a read
    takes grows linearly with the document's size.

    A reader is a small value holding its limits; any thread may use its own.
*/
class StrictXmlReader
{
public:
    /** A reader with the default limits, which leave a wide margin around
        the largest store that this program writes. */
    StrictXmlReader() = default;

    /** The default limits. A store is five levels deep (store, model, slot,
        mode, ctl) and has 109,329 nodes; its mapping file of the default
        store is about 24 MB, and a control has at most about 30 properties. */
    static constexpr juce::int64 defaultMaxBytes = (juce::int64) 128 * 1024 * 1024;
    static constexpr int defaultMaxDepth = 8;
    static constexpr int defaultMaxElements = 1 << 20;
    static constexpr int defaultMaxAttributesPerElement = 64;

    [[nodiscard]] StrictXmlReader withMaxBytes (juce::int64 maxBytes) const;
    [[nodiscard]] StrictXmlReader withMaxDepth (int maxDepth) const;
    [[nodiscard]] StrictXmlReader withMaxElements (int maxElements) const;
    [[nodiscard]] StrictXmlReader withMaxAttributesPerElement (int maxAttributes) const;

    /** Up to this many threads read a large document, each thread at least
        minBytesEach of it (the root's children are read in parallel, each as
        a document of its own, and joined in order). The result, refusals
        included, is the same as when one thread reads it all. By default as
        many threads as the machine has cores, up to 8, from 1 MB each. */
    [[nodiscard]] StrictXmlReader withThreads (int maxThreads, size_t minBytesEach) const;

    juce::int64 getMaxBytes() const noexcept    { return maxBytes; }

    //==============================================================================
    /** Reads a whole document held in memory (UTF-8 bytes, with or without a
        byte order mark). On success sets `result` to the document's tree;
        otherwise leaves it as it was and says why in the failure. */
    juce::Result read (const void* data, size_t numBytes, juce::ValueTree& result) const;

    /** Reads a whole document from a file. Only a regular file is read (a
        FIFO, device or socket fails at once), and its size is checked before
        anything is read; a file that cannot be opened or read fails. */
    juce::Result readFile (const juce::File& file, juce::ValueTree& result) const;

    //==============================================================================
    /** True when the bytes are valid UTF-8: no stray or missing continuation
        bytes, no overlong forms, no surrogates, nothing above U+10FFFF. */
    static bool isValidUtf8 (const void* data, size_t numBytes) noexcept;

private:
    static int getDefaultThreads();

    juce::int64 maxBytes = defaultMaxBytes;
    int maxDepth = defaultMaxDepth;
    int maxElements = defaultMaxElements;
    int maxAttributesPerElement = defaultMaxAttributesPerElement;
    int maxThreads = getDefaultThreads();
    size_t minBytesPerThread = 1024 * 1024;
};

} // namespace NsZ9m
