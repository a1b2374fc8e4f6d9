#include "core/files/SettingsLocation.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <unistd.h>

using z9test::TempFolder;

namespace
{
    juce::File systemTemporaryFolder()   { return juce::File::getSpecialLocation (juce::File::tempDirectory); }
}

TEST (TempFolder, TheProcessWorksInAScratchFolderOfItsOwn)
{
    // TestMain made it under a unique name and pointed the temporary folder at it
    const auto scratch = systemTemporaryFolder();
    EXPECT_TRUE (scratch.isDirectory());
    EXPECT_TRUE (scratch.getFileName().startsWith ("z9test-" + juce::String ((int) ::getpid()) + "-"))
        << scratch.getFullPathName();

    EXPECT_TRUE (NsZ9m::SettingsLocation::getCommonFile().isAChildOf (scratch));
    EXPECT_TRUE (NsZ9m::SettingsLocation::getUserFile().isAChildOf (scratch));
}

TEST (TempFolder, EachIsNewAndEmptyAndGoesWithItsContent)
{
    juce::File first, second;

    {
        TempFolder a, b;
        first = a.get();
        second = b.get();

        EXPECT_NE (first, second);
        EXPECT_TRUE (first.isAChildOf (systemTemporaryFolder()));
        EXPECT_TRUE (first.isDirectory());
        EXPECT_EQ (first.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);

        ASSERT_TRUE ((a / "sub").createDirectory());
        ASSERT_TRUE ((a / "sub").getChildFile ("file.txt").replaceWithText ("x"));
    }

    EXPECT_FALSE (first.exists());
    EXPECT_FALSE (second.exists());
}

TEST (TempFolder, FoldersMadeAtTheSameTimeNeverShareOne)
{
    TempFolder parent;
    constexpr int numThreads = 8, perThread = 40;
    std::vector<juce::File> made[numThreads];
    std::vector<std::thread> threads;

    for (int t = 0; t < numThreads; ++t)
        threads.emplace_back ([&parent, &list = made[t]]
        {
            for (int i = 0; i < perThread; ++i)
                list.push_back (TempFolder::createUniqueFolder (parent.get(), "same"));
        });

    for (auto& t : threads)
        t.join();

    std::set<juce::String> names;

    for (auto& list : made)
        for (auto& f : list)
        {
            EXPECT_TRUE (f.isDirectory());
            names.insert (f.getFileName());
        }

    EXPECT_EQ (names.size(), (size_t) (numThreads * perThread));
    EXPECT_EQ (parent.get().getNumberOfChildFiles (juce::File::findDirectories), numThreads * perThread);
}
