#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** The node types and property names of the mapping store, spelled exactly as
    they are stored in the tree and in the mapping and settings files.

    They are plain namespace-scope constants; code that runs during static
    initialisation of another file must not rely on them.
*/
namespace Ids
{
    // node types
    inline const juce::Identifier store    { "store" };
    inline const juce::Identifier model    { "model" };
    inline const juce::Identifier slot     { "slot" };
    inline const juce::Identifier mode     { "mode" };
    inline const juce::Identifier ctl      { "ctl" };

    // properties
    inline const juce::Identifier ver      { "ver" };
    inline const juce::Identifier current  { "current" };
    inline const juce::Identifier id       { "id" };
    inline const juce::Identifier pid      { "pid" };
    inline const juce::Identifier daw1     { "daw1" };
    inline const juce::Identifier daw2     { "daw2" };
    inline const juce::Identifier daw3     { "daw3" };
    inline const juce::Identifier protocol { "protocol" };
    inline const juce::Identifier kind     { "kind" };
    inline const juce::Identifier valueType{ "valueType" };
    inline const juce::Identifier value    { "value" };
    inline const juce::Identifier name     { "name" };
    inline const juce::Identifier lockBy   { "lockBy" };
    inline const juce::Identifier type     { "type" };
    inline const juce::Identifier chan     { "chan" };
    inline const juce::Identifier msgValue { "msgValue" };
    inline const juce::Identifier rotate   { "rotate" };
    inline const juce::Identifier val1     { "val1" };
    inline const juce::Identifier val2     { "val2" };
    inline const juce::Identifier key      { "key" };
    inline const juce::Identifier key2     { "key2" };
    inline const juce::Identifier key3     { "key3" };
    inline const juce::Identifier keyName  { "keyName" };
    inline const juce::Identifier keyName2 { "keyName2" };
    inline const juce::Identifier keyName3 { "keyName3" };
    inline const juce::Identifier ctrl     { "ctrl" };
    inline const juce::Identifier shift    { "shift" };
    inline const juce::Identifier alt      { "alt" };
    inline const juce::Identifier cmd      { "cmd" };
    inline const juce::Identifier ctrl2    { "ctrl2" };
    inline const juce::Identifier shift2   { "shift2" };
    inline const juce::Identifier alt2     { "alt2" };
    inline const juce::Identifier cmd2     { "cmd2" };
    inline const juce::Identifier ctrl3    { "ctrl3" };
    inline const juce::Identifier shift3   { "shift3" };
    inline const juce::Identifier alt3     { "alt3" };
    inline const juce::Identifier cmd3     { "cmd3" };
    inline const juce::Identifier diyNameQ { "diyNameQ" };
}

/** The version text of the store layout that this program writes and accepts
    from the settings file. */
inline constexpr const char* storeVersion = "0.32";

} // namespace NsZ9m
