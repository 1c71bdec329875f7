#pragma once
// One property value as a host holds it: zeroed, aligned storage, with the
// inputs a get reads filled in (the parameter of the string conversions), and
// the objects a get hands over released when the value goes away.

#include <AudioUnit/AudioUnit.h>

#include <cstdint>
#include <vector>

namespace auval
{
struct PropertyInfo
{
    OSStatus status;
    UInt32 size;
    bool writable;
};

PropertyInfo propertyInfo(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element);

class PropertyValue
{
public:
    PropertyValue(AudioUnitPropertyID id, AudioUnitElement element, UInt32 capacity);
    ~PropertyValue();
    PropertyValue(const PropertyValue&) = delete;
    PropertyValue& operator=(const PropertyValue&) = delete;

    // AudioUnitGetProperty with `ioSize` bytes of room; a null-data query when asked.
    OSStatus get(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element, UInt32& ioSize, bool sizeOnly = false);
    OSStatus set(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element, UInt32 size) const;
    void* data() { return words.data(); }

private:
    void release();

    AudioUnitPropertyID id;
    std::vector<std::uint64_t> words;
    UInt32 handedSize = 0;  // bytes of the last successful get, whose objects we own
};
}  // namespace auval
