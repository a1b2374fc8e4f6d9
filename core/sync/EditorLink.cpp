#include "core/sync/EditorLink.h"
#include "core/sync/ProcessState.h"

namespace NsZ9m
{

void EditorLink::slotChosenOnSurface (int)
{
    rebuildMainComp();
    refreshMainComp();
}

void refreshMainComp()
{
    if (auto* page = theMainComp)
        page->refreshAll();
}

void rebuildMainComp()
{
    if (auto* page = theMainComp)
        page->rebuildFromStore();
}

} // namespace NsZ9m
