// Reference counting, dictionaries and numbers.
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace
{

TEST(CoreFoundationObjects, ContainersReleaseWhatTheyHeldAndKeysMatchByValue)
{
    CFStringRef element = CFStringCreateWithCString(nullptr, "PresetIsFXB", kCFStringEncodingUTF8);
    const void* values[] = {element};
    CFArrayRef array = CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks);
    CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                                  &kCFTypeDictionaryValueCallBacks);
    CFDictionarySetValue(dictionary, element, element);
    EXPECT_EQ(CFGetRetainCount(element), 4) << "the array element, key and value are all retained";
    EXPECT_EQ(CFDictionaryGetValue(dictionary, CFSTR("PresetIsFXB")), element) << "an equal key finds the value";
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary, CFSTR("presetisfxb")));
    CFDictionarySetValue(dictionary, CFSTR("PresetIsFXB"), kCFBooleanTrue);
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
    EXPECT_EQ(CFGetRetainCount(element), 3) << "the replaced value goes back to its owner";
    CFRelease(array);
    CFRelease(dictionary);
    EXPECT_EQ(CFGetRetainCount(element), 1) << "freeing the containers releases what they held";
    CFRelease(element);

    CFStringRef constant = CFSTR("constant text");
    const CFIndex count = CFGetRetainCount(constant);
    CFRelease(constant);
    CFRelease(constant);
    EXPECT_EQ(CFGetRetainCount(constant), count) << "a constant string is never freed";
    CFRelease(nullptr);  // ignored instead of crashing
}

TEST(CFNumberConversion, LossyConversionsAnswerFalseAndClamp)
{
    const auto toSInt32 = [](double value, SInt32 expected) {
        CFNumberRef number = CFNumberCreate(nullptr, kCFNumberDoubleType, &value);
        SInt32 result = -1;
        EXPECT_FALSE(CFNumberGetValue(number, kCFNumberSInt32Type, &result)) << value;
        EXPECT_EQ(result, expected) << value;
        CFRelease(number);
    };
    toSInt32(2.5, 2);
    toSInt32(1e300, INT32_MAX);  // no undefined float-to-int conversion
    toSInt32(std::nan(""), 0);

    SInt64 large = 300;
    CFNumberRef integer = CFNumberCreate(nullptr, kCFNumberSInt64Type, &large);
    SInt8 small = 0;
    EXPECT_FALSE(CFNumberGetValue(integer, kCFNumberSInt8Type, &small));
    EXPECT_EQ(small, 127);
    CFRelease(integer);
}

}  // namespace
