// XML property lists: interchange with Python's plistlib and bad input.
#include "platform_test_support.h"

#include <gtest/gtest.h>

namespace {

using platformtest::runPython;
using platformtest::text;
namespace fs = std::filesystem;

CFDataRef dataOf(const std::string& bytes) {
  return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                      static_cast<CFIndex>(bytes.size()));
}

std::string bytesOf(CFDataRef data) {
  return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                     static_cast<size_t>(CFDataGetLength(data)));
}

CFMutableDictionaryRef makeDictionary() {
  return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                   &kCFTypeDictionaryValueCallBacks);
}

// Prints the plist at PATHS[0] as sorted JSON (data as hex) and writes it
// again with plistlib to PATHS[1].
const char* kPlistlibRoundTrip = R"(
import json, plistlib
def plain(value):
    if isinstance(value, bytes): return value.hex()
    if isinstance(value, dict): return {key: plain(item) for key, item in value.items()}
    if isinstance(value, list): return [plain(item) for item in value]
    return value
with open(PATHS[0], 'rb') as file:
    value = plistlib.load(file)
print(json.dumps(plain(value), sort_keys=True, ensure_ascii=False))
with open(PATHS[1], 'wb') as file:
    plistlib.dump(value, file)
)";

TEST(PropertyListXml, LayerAndPlistlibReadEachOthersOutput) {
  CFMutableDictionaryRef preset = makeDictionary();
  SInt32 negative = -5;
  SInt64 big = SInt64(1) << 40;
  Float64 real = 0.25;
  const UInt8 bytes[] = {0x00, 0x43, 0x63, 0x6E, 0xFF};
  CFNumberRef negativeNumber = CFNumberCreate(nullptr, kCFNumberSInt32Type, &negative);
  CFNumberRef bigNumber = CFNumberCreate(nullptr, kCFNumberSInt64Type, &big);
  CFNumberRef realNumber = CFNumberCreate(nullptr, kCFNumberFloat64Type, &real);
  CFDataRef data = CFDataCreate(nullptr, bytes, sizeof bytes);
  CFStringRef name =
      CFStringCreateWithCString(nullptr, "Gr\xC3\xB6\xC3\x9F" "e <&> \xE2\x82\xAC", kCFStringEncodingUTF8);
  const void* listValues[] = {CFSTR("two"), makeDictionary()};
  CFArrayRef list = CFArrayCreate(nullptr, listValues, 2, &kCFTypeArrayCallBacks);
  CFRelease(listValues[1]);
  CFDictionarySetValue(preset, CFSTR("manufacturer"), negativeNumber);
  CFDictionarySetValue(preset, CFSTR("big"), bigNumber);
  CFDictionarySetValue(preset, CFSTR("mix"), realNumber);
  CFDictionarySetValue(preset, CFSTR("name"), name);
  CFDictionarySetValue(preset, CFSTR("vstdata"), data);
  CFDictionarySetValue(preset, CFSTR("flag"), kCFBooleanFalse);
  CFDictionarySetValue(preset, CFSTR("list"), list);

  CFErrorRef error = nullptr;
  CFDataRef xml = CFPropertyListCreateData(nullptr, preset, kCFPropertyListXMLFormat_v1_0, 0, &error);
  ASSERT_NE(xml, nullptr);
  EXPECT_EQ(error, nullptr);
  platformtest::TemporaryFolder folder;
  const fs::path written = folder.path() / "layer.plist";
  const fs::path rewritten = folder.path() / "plistlib.plist";
  platformtest::writeFile(written, bytesOf(xml));
  EXPECT_EQ(runPython("PATHS = ['" + written.string() + "', '" + rewritten.string() + "']\n" +
                      kPlistlibRoundTrip),
            "{\"big\": 1099511627776, \"flag\": false, \"list\": [\"two\", {}], \"manufacturer\": -5, "
            "\"mix\": 0.25, \"name\": \"Gr\xC3\xB6\xC3\x9F" "e <&> \xE2\x82\xAC\", \"vstdata\": \"0043636eff\"}\n");

  CFPropertyListFormat format = 0;
  CFPropertyListRef readBack = CFPropertyListCreateWithData(nullptr, xml, 0, &format, nullptr);
  EXPECT_EQ(format, kCFPropertyListXMLFormat_v1_0);
  EXPECT_TRUE(CFEqual(readBack, preset)) << "what the layer writes it reads back unchanged";
  CFDataRef fromPlistlib = dataOf(platformtest::readFile(rewritten));
  CFPropertyListRef readFromPlistlib = CFPropertyListCreateWithData(nullptr, fromPlistlib, 0, nullptr, nullptr);
  ASSERT_NE(readFromPlistlib, nullptr);
  EXPECT_TRUE(CFEqual(readFromPlistlib, preset)) << "what plistlib writes the layer reads unchanged";

  for (CFTypeRef object :
       {CFTypeRef(preset), CFTypeRef(negativeNumber), CFTypeRef(bigNumber), CFTypeRef(realNumber),
        CFTypeRef(data), CFTypeRef(name), CFTypeRef(list), CFTypeRef(xml), CFTypeRef(readBack),
        CFTypeRef(fromPlistlib), CFTypeRef(readFromPlistlib)})
    CFRelease(object);
}

TEST(PropertyListXml, BrokenInputAndForeignObjectsGiveErrorsNotCrashes) {
  CFErrorRef error = nullptr;
  CFDataRef garbage = dataOf("this is not a property list");
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, garbage, 0, nullptr, &error), nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
  CFStringRef description = CFErrorCopyDescription(error);
  EXPECT_FALSE(text(description).empty()) << "the error says why";
  CFRelease(description);
  CFRelease(error);

  CFStringRef errorString = nullptr;
  CFDataRef truncated = dataOf("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>name</key><str");
  EXPECT_EQ(CFPropertyListCreateFromXMLData(nullptr, truncated, kCFPropertyListImmutable, &errorString),
            nullptr);
  EXPECT_NE(errorString, nullptr) << "the older call reports through an error string";
  if (errorString) CFRelease(errorString);
  CFDataRef empty = CFDataCreate(nullptr, nullptr, 0);
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, empty, 0, nullptr, nullptr), nullptr);

  CFMutableDictionaryRef withURL = makeDictionary();
  CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, CFSTR("/tmp"), kCFURLPOSIXPathStyle, true);
  CFDictionarySetValue(withURL, CFSTR("folder"), url);
  EXPECT_EQ(CFPropertyListCreateData(nullptr, withURL, kCFPropertyListXMLFormat_v1_0, 0, &error), nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListWriteInvalidError);
  CFRelease(error);

  CFMutableDictionaryRef numberKey = makeDictionary();
  SInt32 one = 1;
  CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &one);
  CFDictionarySetValue(numberKey, number, number);
  EXPECT_EQ(CFPropertyListCreateXMLData(nullptr, numberKey), nullptr) << "keys must be strings";
  for (CFTypeRef object : {CFTypeRef(garbage), CFTypeRef(truncated), CFTypeRef(empty), CFTypeRef(withURL),
                           CFTypeRef(url), CFTypeRef(numberKey), CFTypeRef(number)})
    CFRelease(object);
}

TEST(PropertyListXml, HostileNestingIsRefusedInsteadOfExhaustingTheStack) {
  std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int level = 0; level < 1000000; ++level) deep += "<array>";
  for (int level = 0; level < 1000000; ++level) deep += "</array>";
  deep += "</plist>";
  CFDataRef xml = dataOf(deep);
  CFErrorRef error = nullptr;
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, xml, 0, nullptr, &error), nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
  CFRelease(error);

  // Built in code: each array holds the next, far deeper than any preset.
  CFArrayRef chain = CFArrayCreate(nullptr, nullptr, 0, &kCFTypeArrayCallBacks);
  for (int level = 0; level < 10000; ++level) {
    const void* inner[] = {chain};
    CFArrayRef outer = CFArrayCreate(nullptr, inner, 1, &kCFTypeArrayCallBacks);
    CFRelease(chain);
    chain = outer;
  }
  EXPECT_EQ(CFPropertyListCreateXMLData(nullptr, chain), nullptr);
  CFRelease(chain);
  CFRelease(xml);
}

TEST(PropertyListXml, MutableContainersOptionAllowsChanges) {
  CFDataRef xml = dataOf(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><integer>1</integer></dict></plist>");
  for (const CFOptionFlags option : {kCFPropertyListImmutable, kCFPropertyListMutableContainers}) {
    auto dictionary =
        (CFMutableDictionaryRef)CFPropertyListCreateWithData(nullptr, xml, option, nullptr, nullptr);
    CFDictionarySetValue(dictionary, CFSTR("b"), kCFBooleanTrue);
    EXPECT_EQ(CFDictionaryGetCount(dictionary), option == kCFPropertyListImmutable ? 1 : 2)
        << "option " << option;
    CFRelease(dictionary);
  }
  CFRelease(xml);
}

}  // namespace
