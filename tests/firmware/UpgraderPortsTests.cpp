#include "tests/firmware/FirmwareTestSupport.h"
#include "firmware/UpgraderPorts.h"

using namespace vorlix;
using z9test::midiBootloaderProduct;

class UpgraderPorts : public z9test::FirmwareFixture
{
protected:
    void addOutputs (std::initializer_list<const char*> names)
    {
        for (auto* name : names)
            ports.addOutput (name);
    }
};

TEST_F (UpgraderPorts, TheSystemsOwnPortsAreNeverListed)
{
    addOutputs ({ "Microsoft GS Wavetable Synth", "MICROSOFT Midi Mapper", "Z9-M MIDI" });
    auto& state = upgraderState();

    for (bool toolFamily : { false, true })
        for (bool service : { false, true })
            for (bool automatic : { false, true })
            {
                state.toolFamily = toolFamily;
                state.service = service;
                state.automaticStepping = automatic;

                for (bool normal : { false, true })
                    for (bool plain : { false, true })
                        for (auto& name : listPortNames (true, normal, plain))
                            EXPECT_FALSE (name.containsIgnoreCase ("Microsoft")) << name;

                for (bool strict : { false, true })
                    EXPECT_FALSE (listSelectablePortNames (true, strict).joinIntoString ("|").containsIgnoreCase ("microsoft"));
            }
}

TEST_F (UpgraderPorts, TheToolFamilyFlagChoosesBetweenGenericAndOneWordNames)
{
    addOutputs ({ "MIDIOUT2 (Z9-X1)", "Z9X1", "Z9-X1 MIDI", "Vorlix firmware upgrade (Pad16)" });
    auto& state = upgraderState();

    state.toolFamily = true;
    EXPECT_EQ (listPortNames (true, true, false), juce::StringArray ({ "MIDIOUT2 (Z9-X1)", "Z9-X1 MIDI" }));

    state.toolFamily = false;
    EXPECT_EQ (listPortNames (true, true, false), juce::StringArray ({ "Z9X1", "Z9-X1 MIDI" }));

    // The plain filter keeps all of them; upgrade ports only without normal mode.
    EXPECT_EQ (listPortNames (true, true, true).size(), 4);
    EXPECT_EQ (listPortNames (true, false, false), juce::StringArray ({ "Vorlix firmware upgrade (Pad16)" }));
}

TEST_F (UpgraderPorts, ListsDropDuplicatesAndEmptyNamesAndKeepTheSystemsOrder)
{
    addOutputs ({ "B Port", "A Port", "", "B Port", "b port" });
    EXPECT_EQ (listPortNames (true, true, true), juce::StringArray ({ "B Port", "A Port", "b port" }));

    ports.addInput ("In Port");
    EXPECT_EQ (listPortNames (false, true, true), juce::StringArray ({ "In Port" }));
}

TEST_F (UpgraderPorts, GenericMakerPortsCountAsUpgradePortsOnlyInServiceModeWithoutAutomaticStepping)
{
    auto& state = upgraderState();
    EXPECT_TRUE (isUpgradePort ("VORLIX FIRMWARE UPGRADE"));
    EXPECT_FALSE (isUpgradePort (" VORLIX Pad Midi 1 "));

    state.service = true;
    EXPECT_TRUE (isUpgradePort (" VORLIX Pad Midi 1 "));

    state.automaticStepping = true;
    EXPECT_FALSE (isUpgradePort (" VORLIX Pad Midi 1 "));
}

TEST_F (UpgraderPorts, ThePortFilter)
{
    struct Case { const char* name; bool normal, plain, generic, listed; };

    const Case cases[] =
    {
        { "Vorlix firmware upgrade 1",  false, false, false, true },
        { "Z9-M MIDI",                  false, true,  true,  false },
        { "Z9-M MIDI",                  true,  true,  false, true },
        { "Microsoft Z9",               true,  true,  false, false },
        { "Vorlix firmware upgrade 1",  true,  true,  false, true },    // the plain filter keeps it
        { "Vorlix firmware upgrade 1",  true,  false, false, false },
        { "MIDIOUT4 (Z9-X1)",           true,  false, true,  true },
        { "MIDIOUT4 (Z9-X1)",           true,  false, false, false },
        { "midiout4 (Z9-X1)",           true,  false, false, false },   // the generic test ignores case
        { "midiout4 (Z9-X1)",           true,  false, true,  true },
        { "MidiIn3 (Z9-X1)",            true,  false, false, false },
        { "MIDIIN3 (Z9-X1)",            true,  false, true,  true },
        { "Z9-M MIDI",                  true,  false, true,  true },    // two words: always
        { "Z9M",                        true,  false, true,  false },
        { "Z9M",                        true,  false, false, true },
        { "Z9M ",                       true,  false, true,  false },   // a trailing blank is no second word
    };

    for (auto& c : cases)
        EXPECT_EQ (isListedPortName (c.name, c.normal, c.plain, c.generic), c.listed)
            << c.name << " normal " << c.normal << " plain " << c.plain << " generic " << c.generic;
}

TEST_F (UpgraderPorts, UpgradeModePortsAreShownAsTheManagerAndResolvedBack)
{
    addOutputs ({ "Z9-M MIDI", "Vorlix Firmware Upgrade (Pad16)" });

    EXPECT_EQ (listPortDisplayNames (true, true, true),
               juce::StringArray ({ "Z9-M MIDI", "Vorlix firmware upgrade manager" }));
    EXPECT_EQ (portDisplayName ("Z9-M MIDI"), "Z9-M MIDI");

    EXPECT_EQ (resolvePortDisplayName ("Vorlix firmware upgrade manager"), "Vorlix Firmware Upgrade (Pad16)");
    EXPECT_EQ (resolvePortDisplayName ("Z9-M MIDI"), "Z9-M MIDI");
    EXPECT_EQ (resolvePortDisplayName ("Anything else"), "Anything else");
    EXPECT_EQ (resolvePortDisplayName ("VORLIX FIRMWARE UPGRADE MANAGER"), juce::String());   // compared with case

    ports.removeOutput ("Vorlix Firmware Upgrade (Pad16)");
    EXPECT_EQ (resolvePortDisplayName ("Vorlix firmware upgrade manager"), juce::String());
}

TEST_F (UpgraderPorts, SelectablePortsNeverIncludeGenericNames)
{
    ports.addInput ("MIDIIN2 (Z9-X1)");
    ports.addInput ("Z9X1");
    ports.addInput ("Vorlix firmware upgrade (Pad16)");
    upgraderState().toolFamily = true;

    EXPECT_EQ (listSelectablePortNames (false, true), juce::StringArray ({ "Z9X1" }));
    EXPECT_EQ (listSelectablePortNames (false, false).size(), 3);
}

TEST_F (UpgraderPorts, CountingTheTargetsPorts)
{
    addOutputs ({ "MIDIOUT2 (Z9-X1)", "MIDIOUT4 (Z9-X1)", "Z9-X1 MIDI", "Z9-X1 Ctrl", "Z9-M MIDI" });

    EXPECT_EQ (countTargetPorts (2056), 2);   // generic names do not count
    EXPECT_EQ (countTargetPorts (2055), 1);
    EXPECT_EQ (countTargetPorts (2069), 0);
}

TEST_F (UpgraderPorts, GenericNamesInAnyCase)
{
    // The lists and the target's port number read generic names ignoring
    // case; the count of the target's ports reads them with case.
    struct Case { const char* name; bool generic; bool counted; int port; };

    const Case cases[] =
    {
        { "MIDIOUT4 (Z9-X1)",  true,  false, 4 },
        { "midiout4 (Z9-X1)",  true,  true,  4 },
        { "MidiOut3 (Z9-X1)",  true,  true,  3 },
        { "midiin2 (Z9-X1)",   true,  true,  2 },
        { "MIDIin4 (z9-x1)",   true,  true,  4 },
        { "midioutx (Z9-X1)",  true,  true, -1 },
        { "Z9-X1",             false, true,  1 },
    };

    auto& state = upgraderState();

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ports.addOutput (c.name);
        ports.addInput (c.name);

        for (bool toolFamily : { false, true })
        {
            state.toolFamily = toolFamily;
            EXPECT_EQ (listPortNames (true, true, false).contains (c.name), c.generic == toolFamily);
        }

        EXPECT_EQ (listSelectablePortNames (false, true).contains (c.name), ! c.generic);
        EXPECT_EQ (countTargetPorts (2056), c.counted ? 1 : 0);

        const juce::StringArray names { "MIDIOUT2 (Z9-X1)", c.name };
        EXPECT_EQ (findTargetPortName (names, 2056, false), c.port > 2 ? juce::String (c.name) : "MIDIOUT2 (Z9-X1)");

        ports.removeOutput (c.name);
        ports.removeInput (c.name);
    }
}

TEST_F (UpgraderPorts, OneUnitCountsOnceHoweverManyPortsItShows)
{
    struct Case { std::initializer_list<const char*> outputs; const char* port; int units; };

    const Case cases[] =
    {
        { { "Z9-X1", "MIDIOUT2 (Z9-X1)", "MIDIOUT3 (Z9-X1)", "MIDIOUT4 (Z9-X1)" },         "Z9-X1",               1 },
        { { "Z9-X1", "MIDIOUT2 (Z9-X1)", "MIDIOUT3 (Z9-X1)", "MIDIOUT4 (Z9-X1)" },         "MIDIOUT4 (Z9-X1)",    1 },
        { { "Z9-X1" },                                                                      "Z9-X1",               1 },
        { { "MIDIOUT2 (Z9-X1)", "MIDIOUT4 (Z9-X1)", "Z9-X2", "MIDIOUT2 (Z9-X2)" },         "MIDIOUT4 (Z9-X1)",    1 },
        { { "Z9-X1", "MIDIOUT4 (Z9-X1)", "2- Z9-X1", "MIDIOUT4 (2- Z9-X1)" },              "Z9-X1",               2 },
        { { "Z9-X1", "MIDIOUT4 (Z9-X1)", "2- Z9-X1", "MIDIOUT4 (2- Z9-X1)" },              "MIDIOUT4 (2- Z9-X1)", 2 },
        { { "Z9-X1", "MIDIOUT4 (Z9-X1)", "2- Z9-X1", "MIDIOUT4 (2- Z9-X1)" },              "2- Z9-X1",            2 },
        { { "MIDIOUT4 (Z9-X1)", "MIDIOUT4 (2- Z9-X1)", "MIDIOUT4 (3- Z9-X1)" },            "MIDIOUT4 (Z9-X1)",    3 },
        { { "VORLIX Pad16", "2- VORLIX Pad16" },                                            "VORLIX Pad16",        2 },
        { { "Z9-X1", "Z9-X1 MIDI", "MIDIOUT4 (Z9-X12)" },                                   "Z9-X1",               1 },   // other names that contain it
        { { "Z9-X1", "z9-x1" },                                                             "Z9-X1",               1 },   // names compared with case
        { { "Z9-X1", "2-Z9-X1", "2 Z9-X1" },                                                "Z9-X1",               1 },   // not the system's numbering
        { { "Z9-X1" },                                                                      "Z9-X2",               0 },
    };

    for (auto& c : cases)
    {
        for (auto& name : ports.getOutputNames())
            ports.removeOutput (name);

        juce::StringArray outputs;

        for (auto* name : c.outputs)
        {
            ports.addOutput (name);
            outputs.add (name);
        }

        EXPECT_EQ (countUnitsNamedLike (c.port), c.units) << c.port << " among " << outputs.joinIntoString (", ");
    }
}

TEST_F (UpgraderPorts, TheTargetPortIsTheOneWithTheHighestPortNumber)
{
    const juce::StringArray names { "MIDIOUT2 (Z9-X1)", "MIDIOUT4 (Z9-X1)", "MIDIOUTx (Z9-X1)", "Z9-M MIDI" };
    EXPECT_EQ (findTargetPortName (names, 2056, false), "MIDIOUT4 (Z9-X1)");
    EXPECT_EQ (findTargetPortName (names, 2055, false), "Z9-M MIDI");
    EXPECT_EQ (findTargetPortName ({ "MIDIOUT2 (Z9-X1)", "MIDIOUT2 (Z9-X1) B" }, 2056, false), "MIDIOUT2 (Z9-X1)");
    EXPECT_EQ (findTargetPortName ({ "MIDIOUTx (Z9-X1)" }, 2056, false), juce::String());   // a malformed number never wins

    const juce::StringArray generic { "VORLIX A Midi", "Other", "vorlix B MIDI 2" };
    EXPECT_EQ (findTargetPortName (generic, 2056, true), "vorlix B MIDI 2");
    EXPECT_EQ (findTargetPortName (generic, 2056, false), juce::String());
}

TEST_F (UpgraderPorts, CountsAndFinders)
{
    addOutputs ({ "Microsoft Vorlix firmware upgrade", "Z9-M MIDI", "Vorlix firmware upgrade 1", "Vorlix firmware upgrade 2",
                  "vorlix firmware upgrade 3", "VORLIX Pad16" });

    EXPECT_EQ (countPortsContaining ("Vorlix firmware upgrade", true), 3);   // the raw list, with case
    EXPECT_EQ (countPortsContaining ("Vorlix firmware upgrade", false), 0);
    EXPECT_EQ (indexOfPortContaining ("Vorlix firmware upgrade", true), 1);  // within the listed names
    EXPECT_EQ (indexOfPortContaining ("nothing", true), -1);

    const juce::StringArray names { "Other", "VORLIX Pad16 B", "VORLIX Pad16" };
    EXPECT_EQ (firstPortNameOfProduct (midiBootloaderProduct, names), "VORLIX Pad16 B");
    EXPECT_EQ (firstPortNameOfProduct (2055, names), juce::String());

    EXPECT_EQ (countUpgradeAndProductPorts (2055, 16), 3 * 16 + 1);
    EXPECT_EQ (countUpgradeAndProductPorts (midiBootloaderProduct, 16), 3 * 16 + 1);
    EXPECT_EQ (countUpgradeAndProductPorts (2069, 1), 3);
}

TEST_F (UpgraderPorts, EveryCallReadsThePortsAfresh)
{
    EXPECT_EQ (countTargetPorts (2055), 0);
    ports.addOutput ("Z9-M MIDI");
    EXPECT_EQ (countTargetPorts (2055), 1);
    ports.removeOutput ("Z9-M MIDI");
    EXPECT_EQ (countTargetPorts (2055), 0);
}
