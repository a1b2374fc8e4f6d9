// Writes the settings files that the tests start the program and the Host
// with: the default store cut to its first model (the Z9-M alone, as a
// mapping file of that model leaves it), as the settings file's "state".
//
//   z9_one_model_settings <file> <file to rewrite>
//
// The first file holds the store exactly as the program writes it, so a run
// that changes nothing has nothing to save. The second holds the same store
// with a line break after each tag, which the program reads but never writes,
// so the first save rewrites it.
//
// Built and run once per build: building the whole default store of eight
// models, to cut it, takes a sanitized test process most of a second.

#include "core/files/SettingsStore.h"
#include "core/files/TreeXmlWriter.h"
#include "core/model/MappingStore.h"
#include <iostream>
#include <string>

namespace
{
    bool writeSettings (const juce::File& file, const juce::String& stateText)
    {
        juce::StringPairArray properties;
        properties.set ("state", stateText);
        const auto bytes = NsZ9m::SettingsStore::makeFileBytes (properties);
        return file.getParentDirectory().createDirectory() && file.replaceWithData (bytes.getData(), bytes.getSize());
    }
}

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: z9_one_model_settings <file> <file to rewrite>\n";
        return 2;
    }

    juce::String text;
    {
        auto store = NsZ9m::MappingStore().getTree();

        while (store.getNumChildren() > 1)
            store.removeChild (store.getNumChildren() - 1, nullptr);

        text = NsZ9m::TreeXmlWriter::toSingleLineText (store);
    }

    // '>' stands for itself only at the end of a tag: attribute values escape it.
    const auto utf8 = text.toStdString();
    std::string broken;
    broken.reserve (utf8.size() + utf8.size() / 16);

    for (auto c : utf8)
    {
        broken += c;

        if (c == '>')
            broken += '\n';
    }

    const auto rewrite = juce::String::fromUTF8 (broken.data(), (int) broken.size());

    if (! writeSettings (juce::File (juce::String (argv[1])), text)
         || ! writeSettings (juce::File (juce::String (argv[2])), rewrite))
    {
        std::cerr << "z9_one_model_settings: cannot write " << argv[1] << " or " << argv[2] << "\n";
        return 1;
    }

    return 0;
}
