#include "shell/PageRegistry.h"
#include "shell/Assets.h"
#include "shell/EditorPageFactory.h"

std::vector<PageCategory>& getPageCategories()
{
    static std::vector<PageCategory> categories;
    return categories;
}

PageCategory& findOrAddPageCategory (const juce::String& name)
{
    auto& categories = getPageCategories();

    for (auto& category : categories)
        if (category.name == name)
            return category;

    categories.push_back ({ name, {} });
    return categories.back();
}

const PageEntry* findRegisteredPage (const juce::String& category, int index)
{
    for (auto& c : getPageCategories())
    {
        if (c.name == category)
        {
            if (index < 0 || index >= (int) c.pages.size())
                return nullptr;

            return &c.pages[(size_t) index];
        }
    }

    return nullptr;
}

void registerPage (std::function<juce::Component*()> factory, const juce::String& relativePath,
                   const juce::String& category, bool isHeavyweight)
{
    auto folder = findResourcesFolderFrom (getApplicationFile());

    if (folder == juce::File())
        return;

    findOrAddPageCategory (category).pages.push_back ({ folder.getChildFile (relativePath),
                                                        std::move (factory),
                                                        isHeavyweight });
}

void registerEditorPage()
{
    registerPage (createEditorPage, "Controllers/Z9M", "Controllers", false);
}

void registerAllPages()
{
    registerEditorPage();
}
