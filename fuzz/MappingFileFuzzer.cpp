// The mapping-file load with whatever a file may hold, then everything that
// the loaded store feeds: the device images of every model and slot and every
// message of a send. Also checks that reading a document on several threads
// gives exactly what one thread gives.
#include "fuzz/FuzzSupport.h"
#include "core/files/StrictXmlReader.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static z9fuzz::FuzzProcess process;
    using namespace NsZ9m;

    auto file = process.folder.getChildFile ("in.ostrik");
    file.replaceWithData (data, size);

    if (Host::getInstance()->loadMappingFile (file).wasOk())
        z9fuzz::compileAndBuildEverything();

    juce::ValueTree one, several;
    auto r1 = StrictXmlReader().withThreads (1, 1).read (data, size, one);
    auto r2 = StrictXmlReader().withThreads (4, 1).read (data, size, several);

    if (r1.wasOk() != r2.wasOk() || (r1.wasOk() && ! z9fuzz::sameTree (one, several)))
        __builtin_trap();

    return 0;
}
