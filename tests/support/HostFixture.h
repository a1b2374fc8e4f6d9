#pragma once

#include "core/sync/Host.h"
#include "core/model/Products.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>

namespace z9test
{

/** A fixture with a settings folder of its own and a Host created over it on
    demand (host()); the Host is deleted and the process-wide state reset at
    the end of each case. */
class HostFixture : public CoreFixture
{
protected:
    void TearDown() override
    {
        destroyHost();
        modelsSetAside.clear();
        CoreFixture::TearDown();
    }

    NsZ9m::Host& host()
    {
        if (NsZ9m::Host::getInstanceWithoutCreating() == nullptr)
            NsZ9m::theHost = NsZ9m::Host::getInstance();

        return *NsZ9m::Host::getInstance();
    }

    /** Cuts the Host's store to its first `count` models (1: the Z9-M alone),
        as a mapping file of those models leaves it, so that a case works on
        the smallest store that shows its fault: the whole default store is
        eight times as large, and every save, compile and page build walks it.
        The models cut are kept aside; a later call with a larger count puts
        them back in their places. Message thread. */
    void keepFirstModels (int count)
    {
        auto tree = host().getTree();

        // A Host that started from the one-model settings file has nothing
        // aside. Every model of a default store is its first one with its own
        // id and product id (BuiltInDecoderTest checks it), so the models
        // after the first are made as copies of it: call this before the case
        // changes the first model in a way the others must not share.
        const auto first = tree.getChild (0);

        for (int m = tree.getNumChildren() + (int) modelsSetAside.size();
             m < juce::jmin (count, NsZ9m::numProducts) && first.isValid(); ++m)
        {
            auto model = first.createCopy();
            model.setProperty (NsZ9m::Ids::id, m + 1, nullptr);
            model.setProperty (NsZ9m::Ids::pid, NsZ9m::productList()[m], nullptr);
            modelsSetAside.push_back (model);
        }

        while (tree.getNumChildren() > juce::jmax (0, count))
        {
            const auto last = tree.getNumChildren() - 1;
            modelsSetAside.insert (modelsSetAside.begin(), tree.getChild (last));
            tree.removeChild (last, nullptr);
        }

        while (tree.getNumChildren() < count && ! modelsSetAside.empty())
        {
            tree.appendChild (modelsSetAside.front(), nullptr);
            modelsSetAside.erase (modelsSetAside.begin());
        }
    }

    /** Puts the settings file whose store holds the Z9-M alone (written once
        per build, exactly as the program writes it) where the Host reads it,
        so that the Host, when it is created, loads one model instead of
        building the whole default store of eight and releasing seven.
        Call it before the first host(). */
    void startFromOneModelSettings()
    {
        jassert (NsZ9m::Host::getInstanceWithoutCreating() == nullptr);   // the Host has read its settings already: call this first

        const auto file = commonSettingsFile();
        const auto copied = file.getParentDirectory().createDirectory()
                             && juce::File (Z9_ONE_MODEL_SETTINGS).copyFileTo (file);
        EXPECT_TRUE (copied) << "the one-model settings file of this build is missing: " << Z9_ONE_MODEL_SETTINGS;
    }

    void destroyHost()
    {
        NsZ9m::Host::deleteInstance();
        NsZ9m::theHost = nullptr;
    }

    /** As a new run of the program would find it: no Host, clean state, the
        same settings folder. */
    void restartProgram()
    {
        destroyHost();
        NsZ9m::resetProcessWideState();
    }

    juce::File commonSettingsFile() const   { return NsZ9m::SettingsLocation::getCommonFile(); }
    juce::File userSettingsFile() const     { return NsZ9m::SettingsLocation::getUserFile(); }

    TempFolder folder;
    NsZ9m::SettingsLocation::ScopedRedirect redirect { folder.get() };
    std::vector<juce::ValueTree> modelsSetAside;
};

} // namespace z9test
