#include <dlfcn.h>

// JUCE loads the X libraries itself and unloads them when it shuts down. Once
// an alert window has opened the display, libX11 keeps memory that only its
// own globals point to; after the unload the leak checker of the sanitizer
// run can no longer see those globals and reports that memory as leaked. The
// editor's tests build alert windows (the about box), so they keep libX11
// loaded for the whole process, so that memory stays reachable to the end.
namespace
{
    [[maybe_unused]] void* const keptX11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_NODELETE);
}
