#pragma once

#include "core/base/TypedInt.h"

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

/** The same test as isValidDawId, under the name the editor's callers use. */
inline bool isDawIdInRange (int dawId) noexcept   { return isValidDawId (dawId); }

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
class DawId : public TypedInt<DawId>
{
public:
    using TypedInt::TypedInt;   // default: 0, no DAW

    bool isValid() const noexcept                    { return isValidDawId (value); }
    bool isInRange() const noexcept                  { return isDawIdInRange (value); }
    bool isNotHui() const noexcept                   { return isNotHuiDaw (value); }
    int protocol() const noexcept                    { return dawProtocol (value); }
    juce::String getIdString() const                 { return getDawIdString (value); }
    juce::String getDisplayName() const              { return getDawDisplayName (value); }
};

} // namespace NsZ9m
