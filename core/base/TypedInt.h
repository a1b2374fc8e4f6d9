#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/**
    An int with a type of its own: the shape that the mapping's kinds and ids
    share (ControlKind, ValueTypeKind, MidiMessageKind, DawId).

    Derive as `class Kind : public TypedInt<Kind>` and bring the constructors
    in with `using TypedInt::TypedInt;`. Built from an int it takes the value
    as it is, unchecked; it compares with its own type and with a plain int
    (or an enum of the derived class). Any thread.
*/
template <typename Derived>
class TypedInt
{
public:
    constexpr TypedInt() noexcept = default;
    constexpr explicit TypedInt (int v) noexcept : value (v) {}

    constexpr int get() const noexcept                          { return value; }

    constexpr bool operator== (const Derived& o) const noexcept  { return value == o.get(); }
    constexpr bool operator!= (const Derived& o) const noexcept  { return value != o.get(); }
    constexpr bool operator== (int o) const noexcept             { return value == o; }
    constexpr bool operator!= (int o) const noexcept             { return value != o; }

protected:
    int value = 0;
};

} // namespace NsZ9m
