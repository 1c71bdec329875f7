// Reference counting, containers and numbers.
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

CFStringRef makeString(const char* text) {
  return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
}

CFNumberRef makeSInt32(SInt32 value) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value); }

TEST(CoreFoundationObjects, ContainersHoldAndReleaseTheirElements) {
  CFStringRef element = makeString("element");
  ASSERT_EQ(CFGetRetainCount(element), 1);

  const void* values[] = {element};
  CFArrayRef array = CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks);
  EXPECT_EQ(CFGetRetainCount(element), 2) << "the array retains its element";

  CFMutableDictionaryRef dictionary =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFDictionarySetValue(dictionary, element, element);
  EXPECT_EQ(CFGetRetainCount(element), 4) << "key and value are both retained";

  CFRelease(array);
  EXPECT_EQ(CFGetRetainCount(element), 3) << "freeing the array releases the element";
  CFRelease(dictionary);
  EXPECT_EQ(CFGetRetainCount(element), 1) << "freeing the dictionary releases key and value";
  CFRelease(element);
}

TEST(CoreFoundationObjects, ConstantsSurviveUnbalancedReleases) {
  CFStringRef constant = CFSTR("constant text");
  const CFIndex count = CFGetRetainCount(constant);
  CFRelease(constant);
  CFRelease(constant);
  EXPECT_EQ(CFGetRetainCount(constant), count);
  EXPECT_EQ(CFSTR("constant text"), constant) << "equal literals share one object";
  EXPECT_EQ(CFGetRetainCount(kCFBooleanTrue), CFGetRetainCount(CFRetain(kCFBooleanTrue)));
  CFRelease(nullptr);  // ignored instead of crashing
}

TEST(CoreFoundationObjects, ReplacedDictionaryValueIsReleased) {
  CFMutableDictionaryRef dictionary =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFNumberRef first = makeSInt32(1);
  CFNumberRef second = makeSInt32(2);
  CFDictionarySetValue(dictionary, CFSTR("key"), first);
  CFDictionarySetValue(dictionary, CFSTR("key"), second);
  EXPECT_EQ(CFGetRetainCount(first), 1) << "the replaced value goes back to its owner";
  EXPECT_EQ(CFGetRetainCount(second), 2);
  EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
  CFRelease(dictionary);
  CFRelease(first);
  CFRelease(second);
}

TEST(CoreFoundationObjects, DictionaryMatchesKeysByValueNotAddress) {
  CFStringRef key = makeString("PresetIsFXB");
  const void* keys[] = {key};
  const void* values[] = {kCFBooleanTrue};
  CFDictionaryRef dictionary = CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                                                  &kCFTypeDictionaryValueCallBacks);
  const void* found = nullptr;
  EXPECT_TRUE(CFDictionaryGetValueIfPresent(dictionary, CFSTR("PresetIsFXB"), &found));
  EXPECT_EQ(found, kCFBooleanTrue);
  EXPECT_FALSE(CFDictionaryContainsKey(dictionary, CFSTR("presetisfxb")));

  double realOne = 1.0;
  CFNumberRef integerOne = makeSInt32(1);
  CFNumberRef doubleOne = CFNumberCreate(nullptr, kCFNumberDoubleType, &realOne);
  EXPECT_TRUE(CFEqual(integerOne, doubleOne)) << "1 and 1.0 are equal numbers";
  EXPECT_EQ(CFHash(integerOne), CFHash(doubleOne)) << "equal numbers must hash alike";

  CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(dictionary), CFSTR("other"), kCFBooleanFalse);
  EXPECT_EQ(CFDictionaryGetCount(dictionary), 1) << "an immutable dictionary ignores SetValue";
  CFRelease(dictionary);
  CFRelease(key);
  CFRelease(integerOne);
  CFRelease(doubleOne);
}

TEST(CoreFoundationObjects, ArrayWithoutCallbacksKeepsPlainPointers) {
  // Records that are not CF objects: retaining or releasing them would crash.
  struct Record {
    int number;
  } records[2] = {{1}, {2}};
  const void* values[] = {&records[0], &records[1]};
  CFArrayRef array = CFArrayCreate(nullptr, values, 2, nullptr);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &records[1]);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 2), nullptr) << "an index past the end gives null";
  EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);
  CFRelease(array);
}

TEST(CoreFoundationObjects, MutableDataGrowsAndKeepsItsBytes) {
  CFMutableDataRef data = CFDataCreateMutable(nullptr, 2);
  const UInt8 first[] = {1, 2, 3};
  const UInt8 second[] = {4};
  CFDataAppendBytes(data, first, 3);
  CFDataAppendBytes(data, second, 1);
  ASSERT_EQ(CFDataGetLength(data), 4) << "capacity is a hint, not a limit";
  EXPECT_EQ(CFDataGetBytePtr(data)[3], 4);
  CFDataRef fixed = CFDataCreate(nullptr, first, 3);
  CFDataAppendBytes(const_cast<CFMutableDataRef>(fixed), second, 1);
  EXPECT_EQ(CFDataGetLength(fixed), 3) << "immutable data ignores appends";
  EXPECT_EQ(CFDataCreate(nullptr, nullptr, 5), nullptr) << "no bytes for a non-zero length";
  CFRelease(data);
  CFRelease(fixed);
}

TEST(CFNumberConversion, LossyConversionsAnswerFalseAndClamp) {
  SInt64 large = 300;
  CFNumberRef integer = CFNumberCreate(nullptr, kCFNumberSInt64Type, &large);
  SInt8 small = 0;
  EXPECT_FALSE(CFNumberGetValue(integer, kCFNumberSInt8Type, &small));
  EXPECT_EQ(small, 127) << "300 clamps to the SInt8 maximum";
  Float64 asReal = 0;
  EXPECT_TRUE(CFNumberGetValue(integer, kCFNumberFloat64Type, &asReal));
  EXPECT_EQ(asReal, 300.0);

  double fraction = 2.5;
  CFNumberRef real = CFNumberCreate(nullptr, kCFNumberFloat64Type, &fraction);
  SInt32 truncated = 0;
  EXPECT_FALSE(CFNumberGetValue(real, kCFNumberSInt32Type, &truncated)) << "the fraction is lost";
  EXPECT_EQ(truncated, 2);

  double huge = 1e300;
  CFNumberRef outOfRange = CFNumberCreate(nullptr, kCFNumberDoubleType, &huge);
  EXPECT_FALSE(CFNumberGetValue(outOfRange, kCFNumberSInt32Type, &truncated));
  EXPECT_EQ(truncated, INT32_MAX) << "no undefined float-to-int conversion";

  double notANumber = std::nan("");
  CFNumberRef nan = CFNumberCreate(nullptr, kCFNumberDoubleType, &notANumber);
  EXPECT_FALSE(CFNumberGetValue(nan, kCFNumberSInt32Type, &truncated));
  EXPECT_EQ(truncated, 0);

  double tenth = 0.1;
  CFNumberRef inexact = CFNumberCreate(nullptr, kCFNumberDoubleType, &tenth);
  Float32 single = 0;
  EXPECT_TRUE(CFNumberGetValue(inexact, kCFNumberFloat32Type, &single)) << "rounding to float is not a loss";
  EXPECT_FLOAT_EQ(single, 0.1f);

  int plain = 5;
  CFNumberRef fromInt = CFNumberCreate(nullptr, kCFNumberIntType, &plain);
  EXPECT_EQ(CFNumberGetType(fromInt), kCFNumberSInt32Type) << "C int is stored as SInt32";
  for (CFNumberRef number : {integer, real, outOfRange, nan, inexact, fromInt}) CFRelease(number);
}

}  // namespace
