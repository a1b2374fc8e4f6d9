// The settings load at start with whatever the settings file may hold, then
// the device images and messages of the store it restored.
#include "fuzz/FuzzSupport.h"
#include "core/files/SettingsLocation.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static z9fuzz::FuzzProcess process;
    using namespace NsZ9m;

    auto file = SettingsLocation::getCommonFile();
    file.getParentDirectory().createDirectory();
    file.replaceWithData (data, size);

    auto* host = Host::getInstance();
    host->data->settings.closeFiles();
    host->data->loadState();
    z9fuzz::compileAndBuildEverything();
    return 0;
}
