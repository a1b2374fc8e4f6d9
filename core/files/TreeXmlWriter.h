#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    Writes a juce::ValueTree as XML text without building juce::XmlElements
    first: the settings file's copy of the store is a single line of tens of
    megabytes, and going through the element tree took most of a save.

    The text is exactly, byte for byte, what
        tree.createXml()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())
    gives: the same attribute order and escapes, binary properties as
    "base64:" attributes in the framework's encoding. Any thread, on a tree it
    owns.
*/
class TreeXmlWriter
{
public:
    /** The tree as one line of XML without a header; empty for an invalid tree. */
    static juce::String toSingleLineText (const juce::ValueTree& tree);
};

} // namespace NsZ9m
