#include "core/sync/Host.h"
#include "core/sync/ProcessState.h"
#include "core/files/SettingsLocation.h"
#include "core/files/StrictXmlReader.h"
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

//==============================================================================
// The settings file, the framework's way, beside BM_StartWithSettings and
// BM_SaveSettings (the program's way, in HostBench.cpp) on the same store.
namespace
{
    struct SettingsFolder
    {
        SettingsFolder()   { folder.createDirectory(); resetProcessWideState(); }
        ~SettingsFolder()  { folder.deleteRecursively(); }

        juce::File folder { juce::File::createTempFile ("z9settingsbench") };
        juce::File file { folder.getChildFile ("Z9M.conf") };
    };
}

// A start: the default store, then the stored copy read over it with
// juce::PropertiesFile, juce::XmlDocument and juce::ValueTree::fromXml.
static void BM_StartWithSettingsTheFrameworksWay (benchmark::State& state)
{
    SettingsFolder s;
    {
        juce::PropertiesFile props (s.file, SettingsLocation::getOptions());
        props.setValue ("state", MappingStore().getTree().createXml().get());
        props.save();
    }

    for (auto _ : state)
    {
        juce::ValueTree tree = MappingStore().getTree();
        juce::PropertiesFile props (s.file, SettingsLocation::getOptions());

        if (auto xml = props.getXmlValue ("state"))
            tree = juce::ValueTree::fromXml (*xml);

        benchmark::DoNotOptimize (tree.getNumChildren());
    }
}
BENCHMARK (BM_StartWithSettingsTheFrameworksWay)->Unit (benchmark::kMillisecond)->MinTime (2.0);

// A save: juce::ValueTree::createXml into a juce::PropertiesFile, written at
// the framework's compression level (without the read-back check that the
// program's save adds).
static void BM_SaveSettingsTheFrameworksWay (benchmark::State& state)
{
    SettingsFolder s;
    auto tree = MappingStore().getTree();
    juce::PropertiesFile props (s.file, SettingsLocation::getOptions());
    int i = 0;

    for (auto _ : state)
    {
        MappingStore (tree).getControl (1, 1, 1).setProperty (Ids::name, "Edit " + juce::String (++i), nullptr);
        props.setValue ("state", tree.createXml().get());
        benchmark::DoNotOptimize (props.save());
    }
}
BENCHMARK (BM_SaveSettingsTheFrameworksWay)->Unit (benchmark::kMillisecond)->MinTime (2.0);
