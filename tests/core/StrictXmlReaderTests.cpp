#include "core/model/MappingStore.h"
#include "core/files/StrictXmlReader.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/TempFolder.h"

using namespace NsZ9m;

namespace
{
    juce::Result readText (const juce::String& text, juce::ValueTree& tree, StrictXmlReader reader = {})
    {
        return reader.read (text.toRawUTF8(), text.getNumBytesAsUTF8(), tree);
    }

    juce::Result readBytes (const juce::MemoryBlock& bytes, juce::ValueTree& tree, StrictXmlReader reader = {})
    {
        return reader.read (bytes.getData(), bytes.getSize(), tree);
    }

    /** Same types, the same properties in the same order with values of the
        same kind and text, the same children in the same order. Stricter than
        isEquivalentTo, which ignores the order and kind of properties. */
    ::testing::AssertionResult sameTree (const juce::ValueTree& a, const juce::ValueTree& b, juce::String path = {})
    {
        path << "/" << a.getType().toString();

        if (a.getType() != b.getType() || a.getNumProperties() != b.getNumProperties()
             || a.getNumChildren() != b.getNumChildren())
            return ::testing::AssertionFailure() << "node " << path << " differs in type or size";

        for (int i = 0; i < a.getNumProperties(); ++i)
        {
            auto name = a.getPropertyName (i);
            const auto& va = a[name];
            const auto& vb = b[b.getPropertyName (i)];

            if (name != b.getPropertyName (i) || va.isString() != vb.isString() || va.isBinaryData() != vb.isBinaryData()
                 || va.toString() != vb.toString())
                return ::testing::AssertionFailure() << "property " << i << " of " << path << " differs";
        }

        for (int i = 0; i < a.getNumChildren(); ++i)
            if (auto r = sameTree (a.getChild (i), b.getChild (i), path + "[" + juce::String (i) + "]"); ! r)
                return r;

        return ::testing::AssertionSuccess();
    }

    // The framework's tree has no text nodes: its reader drops them (and
    // asserts on each one it meets), so they go before it reads.
    void removeTextElements (juce::XmlElement& e)
    {
        e.deleteAllTextElements();

        for (auto* child : e.getChildIterator())
            removeTextElements (*child);
    }

    juce::ValueTree juceReading (const juce::String& text)
    {
        auto xml = juce::parseXML (text);

        if (xml == nullptr)
            return {};

        removeTextElements (*xml);
        return juce::ValueTree::fromXml (*xml);
    }

    juce::String mappingFileText (const juce::ValueTree& tree)
    {
        juce::XmlElement::TextFormat format;
        format.customEncoding = "UTF-8";
        format.lineWrapLength = 60;
        return tree.createXml()->toString (format);
    }

    juce::String stateText (const juce::ValueTree& tree)
    {
        return tree.createXml()->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    }

    const juce::ValueTree& defaultStore()
    {
        static const juce::ValueTree tree = [] { resetProcessWideState(); return MappingStore().getTree(); }();
        return tree;
    }

    class StrictXmlReaderTest : public z9test::CoreFixture {};
}

TEST_F (StrictXmlReaderTest, RealSavedFilesGiveTheFrameworksTreeOnEveryThreadCount)
{
    // A saved store of one model with one slot: the same layout, wrapping and
    // escapes as the whole store, split across the threads as the whole one
    // is (the whole store's reads are in the benchmarks).
    juce::ValueTree store (Ids::store);
    store.copyPropertiesFrom (defaultStore(), nullptr);
    store.appendChild (defaultStore().getChild (0).createCopy(), nullptr);

    while (store.getChild (0).getNumChildren() > 1)
        store.getChild (0).removeChild (1, nullptr);

    MappingStore (store).getControl (5, 1, 1).setProperty (Ids::name, juce::String::fromUTF8 ("Caf\xc3\xa9 <&>\"\t\n'"), nullptr);
    MappingStore (store).getControl (6, 1, 1).setProperty (Ids::name, juce::String::fromUTF8 ("\xf0\x9f\x8e\xb9"), nullptr);

    for (auto& text : { mappingFileText (store), stateText (store) })
    {
        const auto expected = juceReading (text);
        ASSERT_TRUE (expected.isValid());

        for (int threads : { 1, 3, 8 })
        {
            SCOPED_TRACE (threads);
            juce::ValueTree tree;
            ASSERT_TRUE (readText (text, tree, StrictXmlReader().withThreads (threads, 1)).wasOk());
            EXPECT_TRUE (sameTree (tree, expected));
        }
    }
}

TEST_F (StrictXmlReaderTest, WellFormedOddities)
{
    const std::string blob = juce::MemoryBlock ("\x01\x02\x03", 3).toBase64Encoding().toStdString();   // "3.<base64>"
    const std::string bom = "\xEF\xBB\xBF";

    const std::string cases[] = {
        "<store/>",
        bom + "<?xml version=\"1.0\" encoding=\"utf-8\"?><store a=\"1\"/>",
        "<?xml version=\"1.0\"?>\n<!-- before -->\n<store><!-- inside --><model id='1' x=\"&gt;&lt;&amp;&#65;&#x42;\"/>"
            "<![CDATA[<model id=\"2\"/>]]>text<model id=\"3\"><slot/></model></store>\n<!-- after -->\n",
        "<store z=\"1\" a=\"2\" m=\"3\"><b a='&apos;&quot;'/><a/><b/></store>",
        "<store base64:blob=\"" + blob + "\" base64:notBase64=\"#\" base64:alsoNot=\"3.###\"/>",
        "<store><m x=\"a > b\"/><m/></store>",
    };

    for (auto& text : cases)
    {
        SCOPED_TRACE (text);
        // the framework skips a byte order mark only when it reads a file
        auto withoutBom = text.compare (0, bom.size(), bom) == 0 ? text.substr (bom.size()) : text;
        const auto expected = juceReading (juce::String::fromUTF8 (withoutBom.data(), (int) withoutBom.size()));
        ASSERT_TRUE (expected.isValid());

        for (int threads : { 1, 4 })
        {
            juce::ValueTree tree;
            auto result = StrictXmlReader().withThreads (threads, 1).read (text.data(), text.size(), tree);
            ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
            EXPECT_TRUE (sameTree (tree, expected));
        }
    }

    juce::ValueTree tree;
    ASSERT_TRUE (readText ("<store base64:blob=\"" + juce::String (blob) + "\"/>", tree).wasOk());
    ASSERT_NE (tree["blob"].getBinaryData(), nullptr);
    EXPECT_EQ (tree["blob"].getBinaryData()->getSize(), 3u);
}

TEST_F (StrictXmlReaderTest, RefusesWhatIsNotPlainlyAWellFormedDocument)
{
    juce::MemoryBlock invalidUtf8 ("<0>\xff", 4);
    // made at once: 30000 appends would copy the growing block each time
    const auto deepText = juce::String::repeatedString ("<a>", 30000);
    const juce::MemoryBlock deep (deepText.toRawUTF8(), deepText.getNumBytesAsUTF8());

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "empty", {} },
        { "text only", juce::MemoryBlock ("hello", 5) },
        { "processing instruction in content", juce::MemoryBlock ("<store><?x?>y</store>", 21) },
        { "processing instruction before the root", juce::MemoryBlock ("<?x y?><store/>", 15) },
        { "external DTD", juce::MemoryBlock ("<!DOCTYPE store SYSTEM \"x\"><store/>", 35) },
        { "parameter entity", juce::MemoryBlock ("<!DOCTYPE s [<!ENTITY % p SYSTEM \"/etc/passwd\"> %p;]><store/>", 61) },
        { "internal entity", juce::MemoryBlock ("<!DOCTYPE s [<!ENTITY e \"x\">]><store a=\"&e;\"/>", 46) },
        { "undeclared entity", juce::MemoryBlock ("<store a=\"&e;\"/>", 16) },
        { "invalid UTF-8 (4 bytes)", invalidUtf8 },
        { "overlong UTF-8", juce::MemoryBlock ("<s a=\"\xc0\xaf\"/>", 11) },
        { "UTF-16 surrogate in UTF-8", juce::MemoryBlock ("<s a=\"\xed\xa0\x80\"/>", 12) },
        // a character cut in two by a child: its halves would join if the
        // text around the children were checked as one piece
        { "UTF-8 sequence broken by a child", juce::MemoryBlock ("<s>\xc3<a/><b/>\xa9</s>", 17) },
        { "UTF-8 sequence broken by children", juce::MemoryBlock ("<s><a/>\xe2<b/>\x82<c/>\xac</s>", 22) },
        { "deep nesting, 30000 levels", deep },
        { "another encoding declared", juce::MemoryBlock ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><s/>", 47) },
        { "unclosed root", juce::MemoryBlock ("<store current=\"1\"><model>", 26) },
        { "two roots", juce::MemoryBlock ("<a/><b/>", 8) },
        { "duplicate attribute", juce::MemoryBlock ("<s a=\"1\" a=\"2\"/>", 16) },
        { "base64 attribute clashing with a plain one", juce::MemoryBlock ("<s a=\"1\" base64:a=\"3.AQID\"/>", 28) },
        { "base64 attribute without a name", juce::MemoryBlock ("<s base64:=\"3.AQID\"/>", 21) },
        { "base64 attribute of a huge size", juce::MemoryBlock ("<s base64:a=\"4000000000.AQID\"/>", 31) },
        { "base64 attribute of a negative size", juce::MemoryBlock ("<s base64:a=\"-2147483648.AQID\"/>", 32) },
        { "control character reference", juce::MemoryBlock ("<s a=\"&#1;\"/>", 13) },
        { "mismatched end tag", juce::MemoryBlock ("<s><m></s></m>", 14) },
    };

    for (auto& [what, bytes] : cases)
    {
        SCOPED_TRACE (what);

        for (int threads : { 1, 4 })
        {
            juce::ValueTree tree ("untouched");
            auto result = readBytes (bytes, tree, StrictXmlReader().withThreads (threads, 1));
            EXPECT_TRUE (result.failed());
            EXPECT_TRUE (result.getErrorMessage().isNotEmpty());
            EXPECT_TRUE (tree.hasType ("untouched"));
        }
    }
}

TEST_F (StrictXmlReaderTest, EveryCutOfAFileIsRefused)
{
    // a store of one model with a few controls, cut at every byte
    juce::ValueTree small (Ids::store);
    small.setProperty (Ids::current, 1, nullptr).setProperty (Ids::ver, "0.32", nullptr);
    small.appendChild (defaultStore().getChild (0).getChild (0).getChild (0).createCopy(), nullptr);
    while (small.getChild (0).getNumChildren() > 6)
        small.getChild (0).removeChild (6, nullptr);

    const auto text = mappingFileText (small);
    const auto* bytes = text.toRawUTF8();
    const auto size = text.getNumBytesAsUTF8();
    ASSERT_GT (size, 1000u);

    // every cut before the root's end tag is complete (after it, only the
    // final line end remains)
    const auto complete = (size_t) text.lastIndexOf ("</store>") + 8;
    int accepted = 0;

    for (size_t cut = 0; cut < complete; ++cut)
    {
        juce::ValueTree tree;
        if (StrictXmlReader().withThreads (1, 1).read (bytes, cut, tree).wasOk())
            ++accepted;
        if (StrictXmlReader().withThreads (4, 1).read (bytes, cut, tree).wasOk())
            ++accepted;
    }

    EXPECT_EQ (accepted, 0);
}

TEST_F (StrictXmlReaderTest, LimitsAreKeptAtTheirEdges)
{
    auto nested = [] (int depth)
    {
        juce::String s;
        for (int i = 0; i < depth; ++i) s << "<a>";
        for (int i = 0; i < depth; ++i) s << "</a>";
        return s;
    };

    auto withAttributes = [] (int n)
    {
        juce::String s ("<a");
        for (int i = 0; i < n; ++i) s << " x" << i << "=\"0\"";
        return s + "/>";
    };

    auto withElements = [] (int n)
    {
        juce::String s ("<a>");
        for (int i = 1; i < n; ++i) s << "<b/>";
        return s + "</a>";
    };

    juce::ValueTree tree;
    const StrictXmlReader reader;

    EXPECT_TRUE (readText (nested (StrictXmlReader::defaultMaxDepth), tree, reader).wasOk());
    EXPECT_TRUE (readText (nested (StrictXmlReader::defaultMaxDepth + 1), tree, reader).failed());
    EXPECT_TRUE (readText (withAttributes (StrictXmlReader::defaultMaxAttributesPerElement), tree, reader).wasOk());
    EXPECT_TRUE (readText (withAttributes (StrictXmlReader::defaultMaxAttributesPerElement + 1), tree, reader).failed());

    for (int threads : { 1, 4 })
    {
        auto limited = StrictXmlReader().withMaxElements (100).withThreads (threads, 1);
        EXPECT_TRUE (readText (withElements (100), tree, limited).wasOk());
        EXPECT_TRUE (readText (withElements (101), tree, limited).failed());
    }

    auto text = withElements (50);
    auto small = StrictXmlReader().withMaxBytes ((juce::int64) text.getNumBytesAsUTF8());
    EXPECT_TRUE (readText (text, tree, small).wasOk());
    EXPECT_TRUE (readText (text + " ", tree, small).failed());
}

TEST_F (StrictXmlReaderTest, AFileIsRefusedBySizeBeforeItIsRead)
{
    z9test::TempFolder folder;
    auto file = folder / "big.ostrik";
    file.replaceWithText ("<store>" + juce::String::repeatedString ("<m/>", 1000) + "</store>");

    juce::ValueTree tree;
    EXPECT_TRUE (StrictXmlReader().readFile (file, tree).wasOk());
    EXPECT_EQ (tree.getNumChildren(), 1000);

    juce::ValueTree untouched ("untouched");
    auto result = StrictXmlReader().withMaxBytes (file.getSize() - 1).readFile (file, untouched);
    EXPECT_TRUE (result.getErrorMessage().contains ("larger than"));
    EXPECT_TRUE (untouched.hasType ("untouched"));
    EXPECT_TRUE (StrictXmlReader().readFile (folder / "missing.ostrik", tree).failed());
    EXPECT_TRUE (StrictXmlReader().readFile (folder.get(), tree).failed());
}

TEST_F (StrictXmlReaderTest, Utf8Check)
{
    const std::pair<const char*, bool> cases[] = {
        { "", true }, { "plain ASCII text, more than eight bytes", true },
        { "\xc3\xa9", true }, { "\xe2\x82\xac", true }, { "\xf0\x9f\x8e\xb9", true }, { "\xf4\x8f\xbf\xbf", true },
        { "\xc3", false }, { "\xe2\x82", false }, { "\x80", false }, { "\xc0\x80", false }, { "\xe0\x80\x80", false },
        { "\xed\xbf\xbf", false }, { "\xf4\x90\x80\x80", false }, { "\xf8\x88\x80\x80\x80", false }, { "\xff", false },
        { "abcdefgh\xc3\xa9", true }, { "abcdefgh\xc3", false },
    };

    for (auto& [text, valid] : cases)
        EXPECT_EQ (StrictXmlReader::isValidUtf8 (text, std::strlen (text)), valid) << juce::String (text).quoted();
}
