#pragma once
// Reading a selector's arguments out of ComponentParameters: argument i of
// type T starts the slot after the instance's.

#include <CoreServices/Components.h>

#include <cstring>
#include <type_traits>

template <typename T>
T componentArgument(const ComponentParameters* params, int index)
{
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= sizeof(long));
    T value;
    std::memcpy(&value, &params->params[index + 1], sizeof value);
    return value;
}

// A selector's arguments, in the order the C call declares them, as a record
// whose fields have those types in that order.
template <typename Record, typename... Fields>
Record componentArguments(const ComponentParameters* params)
{
    int index = 0;
    // A braced list is evaluated left to right.
    return Record{componentArgument<Fields>(params, index++)...};
}
