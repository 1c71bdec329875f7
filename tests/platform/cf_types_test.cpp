// Reference counting, containers and numbers.
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace
{

CFNumberRef makeSInt32(SInt32 value) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value); }

TEST(CoreFoundationObjects, ContainersReleaseWhatTheyHeldAndConstantsSurviveUnbalancedReleases)
{
    CFStringRef element = CFStringCreateWithCString(nullptr, "element", kCFStringEncodingUTF8);
    const void* values[] = {element};
    CFArrayRef array = CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks);
    CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                                  &kCFTypeDictionaryValueCallBacks);
    CFDictionarySetValue(dictionary, element, element);
    EXPECT_EQ(CFGetRetainCount(element), 4) << "the array element, key and value are all retained";
    CFRelease(array);
    CFRelease(dictionary);
    EXPECT_EQ(CFGetRetainCount(element), 1) << "freeing the containers releases what they held";

    dictionary = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                           &kCFTypeDictionaryValueCallBacks);
    CFNumberRef first = makeSInt32(1);
    CFDictionarySetValue(dictionary, CFSTR("key"), first);
    CFDictionarySetValue(dictionary, CFSTR("key"), element);
    EXPECT_EQ(CFGetRetainCount(first), 1) << "the replaced value goes back to its owner";
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
    CFRelease(dictionary);
    CFRelease(first);
    CFRelease(element);

    CFStringRef constant = CFSTR("constant text");
    const CFIndex count = CFGetRetainCount(constant);
    CFRelease(constant);
    CFRelease(constant);
    EXPECT_EQ(CFGetRetainCount(constant), count) << "a constant string is never freed";
    CFRelease(nullptr);  // ignored instead of crashing
}

TEST(CoreFoundationObjects, DictionaryMatchesKeysByValue)
{
    const void* keys[] = {CFSTR("PresetIsFXB")};
    const void* values[] = {kCFBooleanTrue};
    CFDictionaryRef dictionary = CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                                                    &kCFTypeDictionaryValueCallBacks);
    CFStringRef key = CFStringCreateWithCString(nullptr, "PresetIsFXB", kCFStringEncodingUTF8);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), kCFBooleanTrue) << "a copy of the key finds the value";
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary, CFSTR("presetisfxb")));
    CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(dictionary), CFSTR("other"), kCFBooleanFalse);
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 1) << "an immutable dictionary ignores SetValue";
    CFRelease(dictionary);
    CFRelease(key);
}

TEST(CoreFoundationObjects, PlainPointersOutOfRangeIndexesAndDataGrowthAreSafe)
{
    int records[2] = {1, 2};  // not CF objects: retaining them would crash
    const void* values[] = {&records[0], &records[1]};
    CFArrayRef array = CFArrayCreate(nullptr, values, 2, nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &records[1]);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 2), nullptr) << "an index past the end gives null";
    EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);
    CFRelease(array);

    CFMutableDataRef data = CFDataCreateMutable(nullptr, 2);
    const UInt8 bytes[] = {1, 2, 3, 4};
    CFDataAppendBytes(data, bytes, 3);
    CFDataAppendBytes(data, bytes + 3, 1);
    ASSERT_EQ(CFDataGetLength(data), 4) << "capacity is a hint, not a limit";
    EXPECT_EQ(CFDataGetBytePtr(data)[3], 4);
    EXPECT_EQ(CFDataCreate(nullptr, nullptr, 5), nullptr) << "no bytes for a non-zero length";
    CFRelease(data);
}

TEST(CFNumberConversion, LossyConversionsAnswerFalseAndClamp)
{
    const auto toSInt32 = [](double value, SInt32& result) {
        CFNumberRef number = CFNumberCreate(nullptr, kCFNumberDoubleType, &value);
        const bool exact = CFNumberGetValue(number, kCFNumberSInt32Type, &result);
        CFRelease(number);
        return exact;
    };
    SInt32 result = 0;
    EXPECT_FALSE(toSInt32(2.5, result)) << "the fraction is lost";
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(toSInt32(1e300, result));
    EXPECT_EQ(result, INT32_MAX) << "no undefined float-to-int conversion";
    EXPECT_FALSE(toSInt32(std::nan(""), result));
    EXPECT_EQ(result, 0);

    SInt64 large = 300;
    CFNumberRef integer = CFNumberCreate(nullptr, kCFNumberSInt64Type, &large);
    SInt8 small = 0;
    EXPECT_FALSE(CFNumberGetValue(integer, kCFNumberSInt8Type, &small));
    EXPECT_EQ(small, 127) << "300 clamps to the SInt8 maximum";
    CFRelease(integer);
}

}  // namespace
