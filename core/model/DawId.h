#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

inline constexpr int numDaws = 18;
inline constexpr int huiDawId = 3;

/** Stored id string of DAW d ("bitwig" ... "luna"); empty outside 1 to 18. */
juce::String getDawIdString (int dawId);

/** Display name of DAW d ("Bitwig" ... "luna"); empty outside 1 to 18. */
juce::String getDawDisplayName (int dawId);

/** True for 1 to 18. */
bool isValidDawId (int dawId) noexcept;

/** The same test as isValidDawId. */
bool isDawIdInRange (int dawId) noexcept;

/** True unless the DAW is the one driven through HUI (id 3). */
bool isNotHuiDaw (int dawId) noexcept;

/** True for the DAW driven through HUI (id 3). */
bool isHuiDaw (int dawId) noexcept;

/** 1 for the HUI DAW (id 3), else 0. */
int dawProtocol (int dawId) noexcept;

//==============================================================================
/** A DAW of the fixed DAW list, by its id 1 to 18; 0 means no DAW.
    Constructing from an int does not check it.
*/
class DawId
{
public:
    constexpr DawId() noexcept = default;
    constexpr explicit DawId (int v) noexcept : value (v) {}

    constexpr int get() const noexcept               { return value; }
    bool isValid() const noexcept                    { return isValidDawId (value); }
    bool isInRange() const noexcept                  { return isDawIdInRange (value); }
    bool isNotHui() const noexcept                   { return isNotHuiDaw (value); }
    int protocol() const noexcept                    { return dawProtocol (value); }
    juce::String getIdString() const                 { return getDawIdString (value); }
    juce::String getDisplayName() const              { return getDawDisplayName (value); }

    constexpr bool operator== (DawId other) const noexcept { return value == other.value; }
    constexpr bool operator!= (DawId other) const noexcept { return value != other.value; }
    constexpr bool operator== (int other) const noexcept   { return value == other; }
    constexpr bool operator!= (int other) const noexcept   { return value != other; }

private:
    int value = 0;
};

} // namespace NsZ9m
