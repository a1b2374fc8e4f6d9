#include "core/model/MappingStore.h"
#include "core/files/TreeXmlWriter.h"
#include "tests/support/CoreFixture.h"

using namespace NsZ9m;

namespace
{
    juce::String frameworksText (const juce::ValueTree& tree)
    {
        return tree.createXml()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    }

    class TreeXmlWriterTest : public z9test::CoreFixture {};
}

TEST_F (TreeXmlWriterTest, WritesExactlyTheFrameworksTextOfAStore)
{
    // The default store's first model: every kind of node, property and value
    // a saved store holds (the whole store's writes are in the benchmarks).
    auto tree = MappingStore().getTree();

    while (tree.getNumChildren() > 1)
        tree.removeChild (1, nullptr);

    EXPECT_EQ (TreeXmlWriter::toSingleLineText (tree), frameworksText (tree));
}

TEST_F (TreeXmlWriterTest, WritesExactlyTheFrameworksTextOfOddValues)
{
    juce::ValueTree tree ("store");
    tree.setProperty ("text", juce::String::fromUTF8 ("Caf\xc3\xa9 <&>\"'\t\r\n^`\x01 \xf0\x9f\x8e\xb9 ~{}|\\"), nullptr)
        .setProperty ("int", -2147483647 - 1, nullptr)
        .setProperty ("int64", (juce::int64) 1 << 40, nullptr)
        .setProperty ("double", 0.1, nullptr)
        .setProperty ("bool", true, nullptr)
        .setProperty ("empty", juce::String(), nullptr)
        .setProperty ("blob", juce::MemoryBlock ("\x01\x02\x03\xff", 4), nullptr)
        .setProperty ("base64:blob", "a text that clashes with the blob's attribute", nullptr);

    juce::ValueTree child ("m");
    child.setProperty ("x", 1, nullptr);
    tree.appendChild (child, nullptr);
    tree.appendChild (juce::ValueTree ("empty"), nullptr);
    child.appendChild (juce::ValueTree ("deeper"), nullptr);

    EXPECT_EQ (TreeXmlWriter::toSingleLineText (tree), frameworksText (tree));
    EXPECT_EQ (TreeXmlWriter::toSingleLineText (juce::ValueTree ("alone")), "<alone/>");
    EXPECT_EQ (TreeXmlWriter::toSingleLineText ({}), juce::String());
}
