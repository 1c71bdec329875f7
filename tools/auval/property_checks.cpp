// Every property of the table asked in every scope, at the elements that
// exist and one beyond: its info, a size query, a get with room, with too
// little room and a set of what was read (or of nothing, for the write-only
// connections); then the properties no unit of this kind serves.

#include "auval/auval_checks.h"
#include "auval/property_rules.h"
#include "auval/property_value.h"
#include "auval/unit_status.h"

#include "auhost/audio_unit_instance.h"

namespace auval
{
namespace
{
constexpr AudioUnitScope kGroupScope = 3;  // a scope beyond the three every unit has
constexpr AudioUnitScope kScopes[] = {kAudioUnitScope_Global, kAudioUnitScope_Input, kAudioUnitScope_Output,
                                      kGroupScope};
constexpr AudioUnitElement kAnyElement = 7;
constexpr AudioUnitElement kNoParameter = 0x7FFFFFFF;

struct UnitFacts
{
    UInt32 inputs;
    UInt32 outputs;
    std::vector<AudioUnitParameterID> parameters;
};

std::string scopeName(AudioUnitScope scope)
{
    switch (scope)
    {
    case kAudioUnitScope_Global: return "global";
    case kAudioUnitScope_Input: return "input";
    case kAudioUnitScope_Output: return "output";
    default: return "scope " + std::to_string(scope);
    }
}

bool accepts(Scopes scopes, AudioUnitScope scope)
{
    switch (scopes)
    {
    case Scopes::Global: return scope == kAudioUnitScope_Global;
    case Scopes::Input: return scope == kAudioUnitScope_Input;
    case Scopes::Buses: return scope != kGroupScope;
    case Scopes::InputOutput: return scope == kAudioUnitScope_Input || scope == kAudioUnitScope_Output;
    case Scopes::Any: return true;
    }
    return false;
}

UInt32 busCount(AudioUnitScope scope, const UnitFacts& facts)
{
    return scope == kAudioUnitScope_Input ? facts.inputs : facts.outputs;
}

std::vector<AudioUnitElement> elementsToCheck(const PropertyRule& rule, AudioUnitScope scope, const UnitFacts& facts)
{
    switch (rule.elements)
    {
    case Elements::Any: return {0, kAnyElement};
    case Elements::Parameters: return facts.parameters;
    case Elements::Buses: break;
    }
    std::vector<AudioUnitElement> buses(busCount(scope, facts));
    for (UInt32 bus = 0; bus < buses.size(); ++bus)
        buses[bus] = bus;
    return buses;
}

AudioUnitElement missingElement(const PropertyRule& rule, AudioUnitScope scope, const UnitFacts& facts)
{
    return rule.elements == Elements::Parameters ? kNoParameter : busCount(scope, facts);
}

bool sizeFits(const PropertyRule& rule, AudioUnitScope scope, const UnitFacts& facts, UInt32 size)
{
    if (rule.size == kSizePerConfiguration)
        return size > 0 && size % sizeof(AUChannelInfo) == 0;
    if (rule.size == kSizePerParameter)
        return size == (scope == kAudioUnitScope_Global ? facts.parameters.size() * sizeof(AudioUnitParameterID) : 0);
    return size == rule.size;
}

// Gets: a size query answers the minimum, a get with room the size, and one
// with less room than the minimum is refused. The preset properties also
// serve the preset number alone, the host callbacks any part of the record.
void checkGet(AudioUnit unit, const PropertyRule& rule, AudioUnitScope scope, AudioUnitElement element, UInt32 size,
              PropertyValue& value, const std::string& at)
{
    const bool variable = rule.size == kSizePerParameter || rule.size == kSizePerConfiguration;
    const UInt32 minimum = variable ? size : rule.minimumSize;
    UInt32 ioSize = 12345;
    expectStatus(value.get(unit, scope, element, ioSize, true), noErr, "size query of " + at);
    expect(ioSize == minimum, "size query of " + at + " answered " + std::to_string(ioSize) + " bytes, expected " +
                                  std::to_string(minimum));
    ioSize = size;
    expectStatus(value.get(unit, scope, element, ioSize), noErr, "get of " + at);
    expect(ioSize == size, "get of " + at + " answered " + std::to_string(ioSize) + " bytes");

    PropertyValue partial(rule.id, element, size);
    const UInt32 part = minimum > 0 ? minimum : size / 2;
    if (minimum < size)
    {
        ioSize = part;
        expectStatus(partial.get(unit, scope, element, ioSize), noErr,
                     "get of " + at + " in " + std::to_string(part) + " bytes");
        expect(ioSize == part,
               "get of " + at + " in " + std::to_string(part) + " bytes answered " + std::to_string(ioSize));
    }
    if (minimum > 0)
    {
        ioSize = minimum / 2;
        expectStatus(partial.get(unit, scope, element, ioSize), kAudioUnitErr_InvalidPropertyValue,
                     "get of " + at + " in " + std::to_string(minimum / 2) + " bytes");
    }
}

// Sets: refused for a read-only property, refused below the minimum, and a
// set of what was just read (or of no connection) accepted.
void checkSet(AudioUnit unit, const PropertyRule& rule, AudioUnitScope scope, AudioUnitElement element, UInt32 size,
              PropertyValue& value, const std::string& at)
{
    if (rule.access == Access::ReadOnly)
    {
        expectStatus(value.set(unit, scope, element, size), kAudioUnitErr_InvalidProperty, "set of read-only " + at);
        return;
    }
    if (rule.minimumSize > 0)
        expectStatus(value.set(unit, scope, element, rule.minimumSize - 1), kAudioUnitErr_InvalidPropertyValue,
                     "set of " + at + " in " + std::to_string(rule.minimumSize - 1) + " bytes");
    if (rule.id == kAudioUnitProperty_MakeConnection)
    {
        auto* connection = static_cast<AudioUnitConnection*>(value.data());
        *connection = {nullptr, 0, element + 1};
        expectStatus(value.set(unit, scope, element, size), kAudioUnitErr_InvalidPropertyValue,
                     "set of " + at + " naming another input");
        connection->destInputNumber = element;
    }
    expectStatus(value.set(unit, scope, element, size), noErr,
                 rule.access == Access::WriteOnly ? "set of " + at + " to none" : "set of " + at + " to what it read");
}

void checkMissing(AudioUnit unit, const PropertyRule& rule, AudioUnitScope scope, AudioUnitElement element,
                  const std::string& at)
{
    const UInt32 size = rule.size == kSizePerConfiguration ? sizeof(AUChannelInfo) : rule.size;
    PropertyValue value(rule.id, element, size);
    UInt32 ioSize = size;
    expectStatus(value.get(unit, scope, element, ioSize), rule.missingStatus, "get of missing " + at);
    expectStatus(value.set(unit, scope, element, size), rule.missingStatus, "set of missing " + at);
}

std::string accessText(Access access)
{
    switch (access)
    {
    case Access::ReadWrite: return "read/write";
    case Access::ReadOnly: return "read only";
    case Access::WriteOnly: return "write only";
    }
    return {};
}

std::string checkRule(AudioUnit unit, const PropertyRule& rule, const UnitFacts& facts)
{
    int served = 0, missing = 0;
    UInt32 firstSize = 0;  // what the first element served answers, shown in the row
    for (const AudioUnitScope scope : kScopes)
    {
        const std::string in = std::string(rule.name) + " in " + scopeName(scope);
        if (!accepts(rule.scopes, scope))
        {
            expectStatus(propertyInfo(unit, rule.id, scope, 0).status, kAudioUnitErr_InvalidScope, "info of " + in);
            continue;
        }
        if (rule.elements != Elements::Any)
        {
            const AudioUnitElement beyond = missingElement(rule, scope, facts);
            expectStatus(propertyInfo(unit, rule.id, scope, beyond).status, kAudioUnitErr_InvalidElement,
                         "info of " + in + " " + std::to_string(beyond));
        }
        for (const AudioUnitElement element : elementsToCheck(rule, scope, facts))
        {
            const std::string at = in + " " + std::to_string(element);
            const PropertyInfo info = propertyInfo(unit, rule.id, scope, element);
            if (rule.optional && info.status == rule.missingStatus)
            {
                checkMissing(unit, rule, scope, element, at);
                ++missing;
                continue;
            }
            expectStatus(info.status, noErr, "info of " + at);
            expect(sizeFits(rule, scope, facts, info.size),
                   "info of " + at + " gave " + std::to_string(info.size) + " bytes");
            expect(info.writable == (rule.access != Access::ReadOnly),
                   "info of " + at + (info.writable ? " says writable" : " says read-only"));
            PropertyValue value(rule.id, element, info.size);
            if (rule.access != Access::WriteOnly)
                checkGet(unit, rule, scope, element, info.size, value, at);
            else
            {
                UInt32 ioSize = info.size;
                expectStatus(value.get(unit, scope, element, ioSize), kAudioUnitErr_InvalidProperty,
                             "get of write-only " + at);
            }
            checkSet(unit, rule, scope, element, info.size, value, at);
            if (served++ == 0)
                firstSize = info.size;
        }
    }
    if (served == 0)
        return missing > 0 ? "not available (" + statusText(rule.missingStatus) + ")" : "no element to ask";
    std::string detail = std::to_string(firstSize) + " B, " + accessText(rule.access);
    if (missing > 0)
        detail += ", missing at " + std::to_string(missing) + " of " + std::to_string(served + missing) + " elements";
    return detail;
}

std::string checkRefused(AudioUnit unit, const std::vector<AudioUnitPropertyID>& ids)
{
    for (const AudioUnitPropertyID id : ids)
    {
        const std::string at = "property " + std::to_string(id);
        expectStatus(propertyInfo(unit, id, kAudioUnitScope_Global, 0).status, kAudioUnitErr_InvalidProperty,
                     "info of " + at);
        PropertyValue value(id, 0, 64);
        UInt32 ioSize = 64;
        expectStatus(value.get(unit, kAudioUnitScope_Global, 0, ioSize), kAudioUnitErr_InvalidProperty, "get of " + at);
        expectStatus(value.set(unit, kAudioUnitScope_Global, 0, 64), kAudioUnitErr_InvalidProperty, "set of " + at);
    }
    return std::to_string(ids.size()) + " refused";
}

// An input that pulls from another unit takes that unit's format: its
// sample rate and format are then read only, and writable again once the
// connection is gone.
std::string checkConnectedFormat(Component component, auhost::AudioUnitInstance& unit, const UnitFacts& facts)
{
    if (facts.inputs == 0)
        return "no input bus";
    auhost::AudioUnitInstance source(component);
    auto writable = [&](AudioUnitPropertyID id) {
        const PropertyInfo info = propertyInfo(unit.unit(), id, kAudioUnitScope_Input, 0);
        expectStatus(info.status, noErr, "info of input 0's format");
        return info.writable;
    };
    unit.connectInput(0, source, 0);
    const bool connectedWritable = writable(kAudioUnitProperty_SampleRate) || writable(kAudioUnitProperty_StreamFormat);
    unit.setProperty(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, AudioUnitConnection{nullptr, 0, 0});
    expect(!connectedWritable, "a connected input's sample rate or format is writable");
    expect(writable(kAudioUnitProperty_SampleRate) && writable(kAudioUnitProperty_StreamFormat),
           "input 0's format stays read-only after the connection is gone");
    return "read-only while connected";
}
}  // namespace

void checkProperties(CheckTable& table, Component component)
{
    auhost::AudioUnitInstance unit(component);
    UnitFacts facts{};
    table.check("properties", "element counts and parameter list", [&] {
        facts = {unit.elementCount(kAudioUnitScope_Input), unit.elementCount(kAudioUnitScope_Output),
                 unit.parameterList()};
        return std::to_string(facts.inputs) + " in, " + std::to_string(facts.outputs) + " out, " +
               std::to_string(facts.parameters.size()) + " parameters";
    });
    for (const PropertyRule& rule : propertyRules())
        table.check("properties", rule.name + (" (" + std::to_string(rule.id) + ")"),
                    [&] { return checkRule(unit.unit(), rule, facts); });
    table.check("properties", "connected input's format", [&] { return checkConnectedFormat(component, unit, facts); });

    table.check("properties", "unsupported properties",
                [&] { return checkRefused(unit.unit(), unsupportedProperties()); });
    table.check("properties", "unknown property IDs", [&] { return checkRefused(unit.unit(), unknownPropertyIDs()); });
}
}  // namespace auval
