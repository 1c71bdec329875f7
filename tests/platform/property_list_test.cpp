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

// Prints a plist file as sorted JSON, with data as hex.
const char* kPlistToJson = R"(
import json, plistlib, sys
def plain(value):
    if isinstance(value, bytes): return value.hex()
    if isinstance(value, dict): return {key: plain(item) for key, item in value.items()}
    if isinstance(value, list): return [plain(item) for item in value]
    return value
with open(sys.argv[1] if len(sys.argv) > 1 else PATH, 'rb') as file:
    print(json.dumps(plain(plistlib.load(file)), sort_keys=True, ensure_ascii=False))
)";

TEST(PropertyListXml, LayerOutputReadsBackInPlistlibAndInTheLayer) {
  CFMutableDictionaryRef preset = makeDictionary();
  SInt32 version = 1;
  SInt32 negative = -5;
  Float64 real = 0.25;
  const UInt8 bytes[] = {0x00, 0x43, 0x63, 0x6E, 0xFF};
  CFNumberRef versionNumber = CFNumberCreate(nullptr, kCFNumberSInt32Type, &version);
  CFNumberRef negativeNumber = CFNumberCreate(nullptr, kCFNumberSInt32Type, &negative);
  CFNumberRef realNumber = CFNumberCreate(nullptr, kCFNumberFloat64Type, &real);
  CFDataRef data = CFDataCreate(nullptr, bytes, sizeof bytes);
  CFStringRef name = CFStringCreateWithCString(nullptr,
                                               "Gr\xC3\xB6\xC3\x9F"
                                               "e <&> \xE2\x82\xAC",
                                               kCFStringEncodingUTF8);
  const void* listValues[] = {versionNumber, CFSTR("two")};
  CFArrayRef list = CFArrayCreate(nullptr, listValues, 2, &kCFTypeArrayCallBacks);
  CFDictionarySetValue(preset, CFSTR("version"), versionNumber);
  CFDictionarySetValue(preset, CFSTR("manufacturer"), negativeNumber);
  CFDictionarySetValue(preset, CFSTR("mix"), realNumber);
  CFDictionarySetValue(preset, CFSTR("name"), name);
  CFDictionarySetValue(preset, CFSTR("vstdata"), data);
  CFDictionarySetValue(preset, CFSTR("flag"), kCFBooleanTrue);
  CFDictionarySetValue(preset, CFSTR("list"), list);

  CFErrorRef error = nullptr;
  CFDataRef xml = CFPropertyListCreateData(nullptr, preset, kCFPropertyListXMLFormat_v1_0, 0, &error);
  ASSERT_NE(xml, nullptr);
  EXPECT_EQ(error, nullptr);
  platformtest::TemporaryFolder folder;
  const fs::path file = folder.path() / "written.plist";
  platformtest::writeFile(file, bytesOf(xml));
  EXPECT_EQ(runPython(std::string("PATH = '") + file.string() + "'\n" + kPlistToJson),
            "{\"flag\": true, \"list\": [1, \"two\"], \"manufacturer\": -5, \"mix\": 0.25, "
            "\"name\": \"Gr\xC3\xB6\xC3\x9F"
            "e <&> \xE2\x82\xAC\", \"version\": 1, \"vstdata\": \"0043636eff\"}\n");

  CFPropertyListFormat format = 0;
  CFPropertyListRef readBack =
      CFPropertyListCreateWithData(nullptr, xml, kCFPropertyListImmutable, &format, &error);
  EXPECT_EQ(format, kCFPropertyListXMLFormat_v1_0);
  EXPECT_TRUE(CFEqual(readBack, preset)) << "what the layer writes it reads back unchanged";

  for (CFTypeRef object :
       {CFTypeRef(preset), CFTypeRef(versionNumber), CFTypeRef(negativeNumber), CFTypeRef(realNumber),
        CFTypeRef(data), CFTypeRef(name), CFTypeRef(list), CFTypeRef(xml), readBack})
    CFRelease(object);
}

TEST(PropertyListXml, PlistlibOutputReadsInTheLayer) {
  platformtest::TemporaryFolder folder;
  const fs::path file = folder.path() / "python.plist";
  ASSERT_NE(
      runPython("import plistlib\n"
                "with open('" +
                file.string() +
                "', 'wb') as f:\n"
                "    plistlib.dump({'name': 'Sch\\u00f6n', 'big': 2**40, 'negative': -7, 'real': 1e-3,\n"
                "                   'on': False, 'vstdata': bytes([1, 2, 255]),\n"
                "                   'TDConfig': {'CanDoMonoIO': True}, 'empty': []}, f)\n"),
      "<failed>");
  CFDataRef xml = dataOf(platformtest::readFile(file));
  CFErrorRef error = nullptr;
  CFPropertyListRef list =
      CFPropertyListCreateWithData(nullptr, xml, kCFPropertyListImmutable, nullptr, &error);
  ASSERT_EQ(CFGetTypeID(list), CFDictionaryGetTypeID());
  const auto dictionary = static_cast<CFDictionaryRef>(list);
  const auto value = [&](const char* key) {
    CFStringRef keyString = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    const void* found = CFDictionaryGetValue(dictionary, keyString);
    CFRelease(keyString);
    return found;
  };
  EXPECT_EQ(text(static_cast<CFStringRef>(value("name"))), "Sch\xC3\xB6n");
  SInt64 big = 0;
  SInt32 negative = 0;
  Float64 real = 0;
  EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(value("big")), kCFNumberSInt64Type, &big));
  EXPECT_EQ(big, SInt64(1) << 40);
  EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(value("negative")), kCFNumberSInt32Type, &negative));
  EXPECT_EQ(negative, -7);
  EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(value("real")), kCFNumberFloat64Type, &real));
  EXPECT_DOUBLE_EQ(real, 1e-3);
  EXPECT_EQ(value("on"), kCFBooleanFalse);
  const auto data = static_cast<CFDataRef>(value("vstdata"));
  EXPECT_EQ(bytesOf(data), std::string("\x01\x02\xFF", 3));
  const auto config = static_cast<CFDictionaryRef>(value("TDConfig"));
  EXPECT_EQ(CFDictionaryGetValue(config, CFSTR("CanDoMonoIO")), kCFBooleanTrue);
  EXPECT_EQ(CFArrayGetCount(static_cast<CFArrayRef>(value("empty"))), 0);
  CFRelease(list);
  CFRelease(xml);
}

TEST(PropertyListXml, BrokenInputAndForeignObjectsGiveErrorsNotCrashes) {
  CFErrorRef error = nullptr;
  CFDataRef garbage = dataOf("this is not a property list");
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, garbage, 0, nullptr, &error), nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
  CFStringRef description = CFErrorCopyDescription(error);
  EXPECT_FALSE(text(description).empty());
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
