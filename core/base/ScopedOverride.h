#pragma once

#include <utility>

namespace NsZ9m
{

/**
    Puts a value in place of another for as long as it lives, and the previous
    value back when it goes: the one shape of every seam through which tests
    (and the application, at start-up) put something of their own in place of
    the program's default (the settings location, the port system, the
    dialogs, the editor's assets, the upgrader's dialog runner, the shell's
    application file).

    The slot must outlive this object. Overrides of one slot nest: destroy
    them in reverse order of creation, or the wrong value is put back. Not
    thread-safe: use it on the thread that reads the slot (the message thread
    for every seam of the program).
*/
template <typename T>
class ScopedOverride
{
public:
    ScopedOverride (T& slotToOverride, T value)
        : slot (slotToOverride), previous (std::exchange (slotToOverride, std::move (value)))
    {
    }

    ~ScopedOverride()
    {
        slot = std::move (previous);
    }

    ScopedOverride (const ScopedOverride&) = delete;
    ScopedOverride& operator= (const ScopedOverride&) = delete;

private:
    T& slot;
    T previous;
};

} // namespace NsZ9m
