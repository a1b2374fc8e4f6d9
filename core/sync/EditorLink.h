#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    What the mapping core asks of the editor page: to rebuild or repaint itself
    from the store, and to follow a slot that a surface reports as chosen.

    The core does not depend on the editor: the editor page derives from this
    class, registers itself in theMainComp while it exists, and the core
    reaches it only through refreshMainComp, rebuildMainComp and
    selectSlotFromDevice, which do nothing while no page is registered.
    Message thread only.
*/
class EditorLink
{
public:
    virtual ~EditorLink() = default;

    /** Repaints every section from the store. */
    virtual void refreshAll() = 0;

    /** Rebuilds the page's controls from the store. */
    virtual void rebuildFromStore() = 0;

    /** A surface reported that slot number n (1 to 3) is now chosen;
        currentSlotIndex already names it. Rebuilds, then refreshes. */
    virtual void slotChosenOnSurface (int slotNumber);
};

/** The editor forwarders the core calls: each reaches the page that
    theMainComp names and does nothing while there is none. Message thread. */
void refreshMainComp();
void rebuildMainComp();

} // namespace NsZ9m
