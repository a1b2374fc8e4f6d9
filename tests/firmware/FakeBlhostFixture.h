#pragma once

#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/BlhostTool.h"
#include <cstdlib>

namespace z9test
{

/**
    The stand-in bootloader tool (tests/support/tools/FakeBlhost.cpp) as the
    upgrader's tool: a folder of the test's own holds the unit's state, its
    flash, the faults to show and the log of every run (the folder reaches
    the tool through Z9_FAKE_BLHOST_DIR, which the tool processes inherit).
    The unit starts in its ROM bootloader, so the tool answers.
*/
class FakeBlhostFixture : public FirmwareFixture
{
protected:
    void SetUp() override
    {
        FirmwareFixture::SetUp();
        setenv ("Z9_FAKE_BLHOST_DIR", toolFolder.get().getFullPathName().toRawUTF8(), 1);
        vorlix::upgraderState().toolPath = Z9_FAKE_BLHOST;
        setUnitState ("bootloader");
    }

    void TearDown() override
    {
        unsetenv ("Z9_FAKE_BLHOST_DIR");
        FirmwareFixture::TearDown();
    }

    juce::File unitStateFile() const            { return toolFolder / "unit"; }
    void setUnitState (const juce::String& s)   { unitStateFile().replaceWithText (s); }

    /** Lines "<command> <fault> [once]". */
    void setFaults (const juce::String& lines)  { (toolFolder / "faults").replaceWithText (lines); }

    /** The tool's runs: each the arguments after "-u", joined by " ". */
    juce::StringArray toolRuns() const
    {
        juce::StringArray runs;

        for (auto& line : juce::StringArray::fromLines ((toolFolder / "log").loadFileAsString()))
            if (line.isNotEmpty())
                runs.add (line.fromFirstOccurrenceOf ("-u | ", false, false).replace (" | ", " "));

        return runs;
    }

    /** The verbs of the tool's runs: "get-property", "flash-erase-region" ... */
    juce::StringArray toolVerbs() const
    {
        juce::StringArray verbs;

        for (auto& run : toolRuns())
            verbs.add (run.fromFirstOccurrenceOf ("-- ", false, false).upToFirstOccurrenceOf (" ", false, false));

        return verbs;
    }

    juce::MemoryBlock flash() const
    {
        juce::MemoryBlock block;
        (toolFolder / "flash").loadFileAsData (block);
        return block;
    }

    /** Whether the unit would boot the image in its flash: the first 4096
        bytes are not all erased (0xFF); flash the tool never wrote is erased. */
    bool flashIsBootable() const
    {
        const auto f = flash();

        for (size_t i = 0; i < juce::jmin ((size_t) 4096, f.getSize()); ++i)
            if ((juce::uint8) f[i] != 0xff)
                return true;

        return false;
    }

    /** The process ids of the children the tool left behind (option
        "child"). */
    juce::Array<int> toolChildren() const
    {
        juce::Array<int> pids;

        for (auto& line : juce::StringArray::fromLines ((toolFolder / "children").loadFileAsString()))
            if (line.trim().isNotEmpty())
                pids.add (line.trim().getIntValue());

        return pids;
    }

    /** A firmware image of that size with bytes that differ from erased flash. */
    juce::File makeImage (const juce::String& name, int size)
    {
        juce::MemoryBlock bytes ((size_t) size);
        juce::Random random (size);

        for (int i = 0; i < size; ++i)
            bytes[(size_t) i] = (char) (random.nextInt (255));

        auto file = imageFolder / name;

        if (size == 0)
        {
            file.deleteFile();
            file.create();
        }
        else
        {
            file.replaceWithData (bytes.getData(), bytes.getSize());
        }

        return file;
    }

    TempFolder toolFolder, imageFolder;
};

} // namespace z9test
