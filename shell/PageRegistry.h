#pragma once

#include "shell/ShellIncludes.h"
#include <functional>
#include <vector>

/*  The page registry: the categories and pages that the side panel's page
    list offers. At start-up the program registers one page, the mapping
    editor, in the category "Controllers", and only when it finds its
    "resources" folder.

    The registry lives until the process ends and is only appended to.
    Message thread only.
*/

/** One page of the list. */
struct PageEntry
{
    /** The resources folder's child at the registered path; need not exist.
        Its file name is the page's caption in the list. */
    juce::File pageFile;

    /** Makes a new page, owned by the caller. */
    std::function<juce::Component*()> factory;

    /** Handed to the page holder's page-shown callback when the page is shown. */
    bool isHeavyweight = false;
};

/** A named group of pages; names compare case-sensitively. */
struct PageCategory
{
    juce::String name;
    std::vector<PageEntry> pages;
};

/** The registry, in registration order. */
std::vector<PageCategory>& getPageCategories();

/** The first category of that name; a new empty one is appended when none has it. */
PageCategory& findOrAddPageCategory (const juce::String& name);

/** The page at index of the named category, or null when there is no such
    category or index. Adds nothing. */
const PageEntry* findRegisteredPage (const juce::String& category, int index);

/** Registers a page under the resources folder seen from the program's file
    (getApplicationFile); registers nothing when there is no resources folder. */
void registerPage (std::function<juce::Component*()> factory, const juce::String& relativePath,
                   const juce::String& category, bool isHeavyweight);

/** Registers the editor page "Controllers/Z9M" in "Controllers". */
void registerEditorPage();

/** Registers every page of the program; run once, first at start-up. */
void registerAllPages();
