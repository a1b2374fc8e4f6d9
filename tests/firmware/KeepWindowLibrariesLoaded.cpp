#include <dlfcn.h>
#include <initializer_list>

// The framework loads the X libraries when the first window appears and
// unloads them at shutdown. Whatever those libraries still held then (their
// caches, the display's buffers) is no longer reachable from a loaded module,
// and the leak checker of the sanitizer run reports all of it as leaked, from
// an "<unknown module>". Loading them once more, never to be unloaded, keeps
// them mapped to the end, so the leak check sees what they hold as reachable
// and still finds any leak of the program's own.
namespace
{
    struct KeepWindowLibrariesLoaded
    {
        KeepWindowLibrariesLoaded()
        {
            for (auto* name : { "libX11.so.6", "libXext.so.6", "libXcursor.so.1",
                                "libXinerama.so.1", "libXrender.so.1", "libXrandr.so.2" })
                dlopen (name, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);   // a missing one is the framework's matter
        }
    };

    const KeepWindowLibrariesLoaded keepWindowLibrariesLoaded;
}
