#include "platform/cf_number.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

using velmora::cf::cast;
using velmora::cf::Number;

namespace
{

// The fixed-size type a C type is stored as; 0 for an unknown type.
CFNumberType storageType(CFNumberType type)
{
    switch (type)
    {
    case kCFNumberSInt8Type:
    case kCFNumberCharType: return kCFNumberSInt8Type;
    case kCFNumberSInt16Type:
    case kCFNumberShortType: return kCFNumberSInt16Type;
    case kCFNumberSInt32Type:
    case kCFNumberIntType: return kCFNumberSInt32Type;
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType: return kCFNumberSInt64Type;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: return kCFNumberFloat32Type;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType: return kCFNumberFloat64Type;
    default: return 0;
    }
}

template <typename T>
T readAs(const void* valuePtr)
{
    T value;
    std::memcpy(&value, valuePtr, sizeof value);
    return value;
}

template <typename T>
void writeAs(void* valuePtr, T value)
{
    std::memcpy(valuePtr, &value, sizeof value);
}

// Integer target: clamps and truncates, answering whether that was exact.
template <typename T>
bool storeInteger(const Number& number, void* valuePtr)
{
    constexpr auto kMin = std::numeric_limits<T>::min();
    constexpr auto kMax = std::numeric_limits<T>::max();
    if (!number.isFloat())
    {
        const SInt64 value = number.integerValue;
        const SInt64 clamped = value < SInt64(kMin) ? SInt64(kMin) : (value > SInt64(kMax) ? SInt64(kMax) : value);
        writeAs<T>(valuePtr, static_cast<T>(clamped));
        return clamped == value;
    }
    const double value = number.realValue;
    if (std::isnan(value))
    {
        writeAs<T>(valuePtr, 0);
        return false;
    }
    // Compare against 2^63 rather than kMax, which a double cannot hold.
    const double upper = std::ldexp(1.0, std::numeric_limits<T>::digits);
    T result;
    if (value >= upper)
        result = kMax;
    else if (value < double(kMin))
        result = kMin;
    else
        result = static_cast<T>(value);
    writeAs<T>(valuePtr, result);
    return double(result) == value;
}

template <typename T>
bool storeReal(const Number& number, void* valuePtr)
{
    if (!number.isFloat())
    {
        const T result = static_cast<T>(number.integerValue);
        writeAs<T>(valuePtr, result);
        return result < std::ldexp(T(1), 63) && static_cast<SInt64>(result) == number.integerValue;
    }
    const double value = number.realValue;
    if (std::isfinite(value) && std::fabs(value) > double(std::numeric_limits<T>::max()))
    {
        writeAs<T>(valuePtr, value > 0 ? std::numeric_limits<T>::infinity() : -std::numeric_limits<T>::infinity());
        return false;
    }
    writeAs<T>(valuePtr, static_cast<T>(value));
    return true;
}

}  // namespace

bool __CFNumber::equals(const Object& other) const
{
    const auto& number = static_cast<const __CFNumber&>(other);
    if (!isFloat() && !number.isFloat())
        return integerValue == number.integerValue;
    const auto asLongDouble = [](const __CFNumber& n) {
        return n.isFloat() ? static_cast<long double>(n.realValue) : static_cast<long double>(n.integerValue);
    };
    return asLongDouble(*this) == asLongDouble(number);
}

CFHashCode __CFNumber::hash() const
{
    // Equal values hash alike whatever their type: integral doubles hash as integers.
    if (!isFloat())
        return static_cast<CFHashCode>(integerValue);
    const double value = realValue;
    if (value == std::trunc(value) && std::fabs(value) < std::ldexp(1.0, 63))
        return static_cast<CFHashCode>(static_cast<SInt64>(value));
    CFHashCode bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string __CFNumber::describe() const
{
    char text[64];
    std::to_chars_result result;
    if (type == kCFNumberFloat32Type)
        result = std::to_chars(text, text + sizeof text, static_cast<float>(realValue));
    else if (type == kCFNumberFloat64Type)
        result = std::to_chars(text, text + sizeof text, realValue);
    else
        result = std::to_chars(text, text + sizeof text, integerValue);
    return std::string(text, result.ptr);
}

namespace velmora::cf
{
CFNumberRef makeInteger(SInt64 value) { return new Number(kCFNumberSInt64Type, value, 0.0); }
CFNumberRef makeReal(double value) { return new Number(kCFNumberFloat64Type, 0, value); }
}  // namespace velmora::cf

extern "C" {

const CFBooleanRef kCFBooleanTrue = new __CFBoolean(true);
const CFBooleanRef kCFBooleanFalse = new __CFBoolean(false);

CFTypeID CFBooleanGetTypeID(void) { return static_cast<CFTypeID>(__CFBoolean::kTypeID); }

Boolean CFBooleanGetValue(CFBooleanRef boolean)
{
    const auto* object = cast<__CFBoolean>(boolean);
    return object && object->value;
}

CFTypeID CFNumberGetTypeID(void) { return static_cast<CFTypeID>(Number::kTypeID); }

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr)
{
    const CFNumberType type = storageType(theType);
    if (!valuePtr || type == 0)
        return nullptr;
    const auto isType = [&](CFNumberType cType) { return theType == cType; };
    switch (type)
    {
    case kCFNumberSInt8Type: return new Number(type, readAs<SInt8>(valuePtr), 0.0);
    case kCFNumberSInt16Type: return new Number(type, readAs<SInt16>(valuePtr), 0.0);
    case kCFNumberSInt32Type: return new Number(type, readAs<SInt32>(valuePtr), 0.0);
    case kCFNumberSInt64Type:
        return new Number(type, isType(kCFNumberLongType) ? SInt64(readAs<long>(valuePtr)) : readAs<SInt64>(valuePtr),
                          0.0);
    case kCFNumberFloat32Type: return new Number(type, 0, readAs<Float32>(valuePtr));
    default: return new Number(type, 0, readAs<Float64>(valuePtr));
    }
}

CFNumberType CFNumberGetType(CFNumberRef number)
{
    const auto* object = cast<Number>(number);
    return object ? object->type : 0;
}

Boolean CFNumberIsFloatType(CFNumberRef number)
{
    const auto* object = cast<Number>(number);
    return object && object->isFloat();
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr)
{
    const auto* object = cast<Number>(number);
    if (!object || !valuePtr)
        return false;
    switch (storageType(theType))
    {
    case kCFNumberSInt8Type: return storeInteger<SInt8>(*object, valuePtr);
    case kCFNumberSInt16Type: return storeInteger<SInt16>(*object, valuePtr);
    case kCFNumberSInt32Type: return storeInteger<SInt32>(*object, valuePtr);
    case kCFNumberSInt64Type: return storeInteger<SInt64>(*object, valuePtr);
    case kCFNumberFloat32Type: return storeReal<Float32>(*object, valuePtr);
    case kCFNumberFloat64Type: return storeReal<Float64>(*object, valuePtr);
    default: return false;
    }
}

}  // extern "C"
