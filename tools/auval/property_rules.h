#pragma once
// What a unit must answer for each property a host relies on: the scopes it
// is asked in, the elements that exist there, whether it reads or writes,
// and its size. Properties marked optional may be missing, but then info,
// get and set all refuse them with the same status.

#include <AudioUnit/AudioUnit.h>

#include <vector>

namespace auval
{
enum class Scopes
{
    Global,
    Input,
    Buses,        // Global, Input or Output; Global stands for the output buses
    InputOutput,  // Input or Output
    Any,
};

enum class Elements
{
    Any,
    Buses,       // the buses of the scope
    Parameters,  // parameter IDs
};

enum class Access
{
    ReadWrite,
    ReadOnly,
    WriteOnly,
};

// A size that follows the unit: 4 bytes per listed parameter in Global
// scope (none elsewhere), or 4 bytes per channel configuration.
inline constexpr UInt32 kSizePerParameter = 0xFFFFFFFF;
inline constexpr UInt32 kSizePerConfiguration = 0xFFFFFFFE;

struct PropertyRule
{
    AudioUnitPropertyID id;
    const char* name;
    Scopes scopes;
    Elements elements;
    Access access;
    UInt32 size;
    UInt32 minimumSize;      // what a get or set needs at least
    bool optional;           // may be refused with missingStatus
    OSStatus missingStatus;  // kAudioUnitErr_InvalidProperty; per element for value strings and bus names
};

const std::vector<PropertyRule>& propertyRules();
// Refused in every scope with kAudioUnitErr_InvalidProperty.
const std::vector<AudioUnitPropertyID>& unsupportedProperties();
const std::vector<AudioUnitPropertyID>& unknownPropertyIDs();
}  // namespace auval
