#include "core/Host.h"
#include "core/ProcessState.h"
#include "core/StrictXmlReader.h"
#include <benchmark/benchmark.h>

using namespace NsZ9m;

namespace
{
    /** The mapping file of the default store (about 24 MB), written once per
        run into a folder of its own. */
    const juce::File& defaultStoreMappingFile()
    {
        struct Holder
        {
            Holder()
            {
                resetProcessWideState();
                folder.createDirectory();

                juce::XmlElement::TextFormat format;
                format.customEncoding = "UTF-8";
                format.lineWrapLength = 60;
                MappingStore().getTree().createXml()->writeTo (file, format);
            }

            ~Holder()   { folder.deleteRecursively(); }

            juce::File folder { juce::File::createTempFile ("z9filebench") };
            juce::File file { folder.getChildFile ("default.ostrik") };
        };

        static Holder holder;
        return holder.file;
    }
}

// The two ways of reading the same mapping file into a tree, side by side:
// the framework's parser followed by its tree conversion, and the strict reader.
static void BM_ReadMappingFileWithJuce (benchmark::State& state)
{
    const auto& file = defaultStoreMappingFile();

    for (auto _ : state)
    {
        auto xml = juce::XmlDocument::parse (file);
        auto tree = juce::ValueTree::fromXml (*xml);
        benchmark::DoNotOptimize (tree.getNumChildren());
    }

    state.SetBytesProcessed (state.iterations() * file.getSize());
}
BENCHMARK (BM_ReadMappingFileWithJuce)->Unit (benchmark::kMillisecond)->MinTime (3.0);

static void BM_ReadMappingFileStrictly (benchmark::State& state)
{
    const auto& file = defaultStoreMappingFile();

    for (auto _ : state)
    {
        juce::ValueTree tree;
        auto result = StrictXmlReader().readFile (file, tree);
        benchmark::DoNotOptimize (result.wasOk());
        benchmark::DoNotOptimize (tree.getNumChildren());
    }

    state.SetBytesProcessed (state.iterations() * file.getSize());
}
BENCHMARK (BM_ReadMappingFileStrictly)->Unit (benchmark::kMillisecond)->MinTime (3.0);
