#pragma once

#include "core/sync/Host.h"
#include "core/files/SettingsLocation.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/TempFolder.h"

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
        CoreFixture::TearDown();
    }

    NsZ9m::Host& host()
    {
        if (NsZ9m::Host::getInstanceWithoutCreating() == nullptr)
            NsZ9m::theHost = NsZ9m::Host::getInstance();

        return *NsZ9m::Host::getInstance();
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
};

} // namespace z9test
