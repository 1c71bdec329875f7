// XML property lists: what Python's plistlib reads of them, and bad input.
#include "platform_test_support.h"
#include "support/python_output.h"

#include <gtest/gtest.h>

namespace
{

CFDataRef dataOf(const std::string& bytes)
{
    return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()), static_cast<CFIndex>(bytes.size()));
}

// Prints the plist at PATH as sorted JSON, data as hex.
const char* kPlistlibAsJson = R"(import json, plistlib, sys
print(json.dumps(plistlib.load(open(sys.argv[1], 'rb')), sort_keys=True, ensure_ascii=False, default=bytes.hex))
)";

TEST(PropertyListXml, WhatTheLayerWritesPlistlibAndTheLayerReadBackUnchanged)
{
    CFDataRef source = dataOf(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>manufacturer</key><integer>-5</integer><key>big</key><integer>1099511627776</integer>
  <key>mix</key><real>0.25</real><key>flag</key><false/><key>vstdata</key><data>AENjbv8=</data>
  <key>name</key><string>Gr&#xF6;&#xDF;e &lt;&amp;&gt; &#x20AC;</string>
  <key>list</key><array><string>two</string><dict/></array>
</dict></plist>)");
    CFPropertyListRef preset = CFPropertyListCreateWithData(nullptr, source, 0, nullptr, nullptr);
    ASSERT_NE(preset, nullptr);
    CFDataRef xml = CFPropertyListCreateXMLData(nullptr, preset);
    ASSERT_NE(xml, nullptr);
    platformtest::TemporaryFolder folder;
    const std::filesystem::path written = folder.path() / "layer.plist";
    platformtest::writeFile(written, std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(xml)),
                                                 static_cast<size_t>(CFDataGetLength(xml))));
    EXPECT_EQ(testsupport::pythonOutput(kPlistlibAsJson, written),
              R"({"big": 1099511627776, "flag": false, "list": ["two", {}], "manufacturer": -5, "mix": 0.25, )"
              "\"name\": \"Gr\xC3\xB6\xC3\x9F"
              "e <&> \xE2\x82\xAC\", \"vstdata\": \"0043636eff\"}\n");

    CFPropertyListFormat format = 0;
    CFPropertyListRef readBack = CFPropertyListCreateWithData(nullptr, xml, 0, &format, nullptr);
    EXPECT_EQ(format, kCFPropertyListXMLFormat_v1_0);
    EXPECT_TRUE(CFEqual(readBack, preset));
    for (CFTypeRef object : {CFTypeRef(source), CFTypeRef(preset), CFTypeRef(xml), CFTypeRef(readBack)})
        CFRelease(object);
}

// Error code of reading the bytes as a property list; 0 when they read.
CFIndex readErrorCode(const std::string& bytes)
{
    CFDataRef data = dataOf(bytes);
    CFErrorRef error = nullptr;
    CFPropertyListRef list = CFPropertyListCreateWithData(nullptr, data, 0, nullptr, &error);
    const CFIndex code = list ? 0 : error ? CFErrorGetCode(error) : -1;
    for (CFTypeRef object : {CFTypeRef(list), CFTypeRef(error), CFTypeRef(data)})
        if (object)
            CFRelease(object);
    return code;
}

TEST(PropertyListXml, BrokenInputAndHostileNestingGiveErrorsNotCrashes)
{
    const std::string truncated = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>name</key><str";
    std::string deep = "<plist version=\"1.0\">";
    for (int level = 0; level < 1000000; ++level)
        deep += "<array>";
    for (const std::string& bytes : {std::string("this is not a property list"), std::string(), truncated,
                                     std::string("bplist00\xD1\x01\x02", 11), deep + "</plist>"})
        EXPECT_EQ(readErrorCode(bytes), kCFPropertyListReadCorruptError) << "input: " << bytes.substr(0, 80);
    CFStringRef errorString = nullptr;
    CFDataRef truncatedData = dataOf(truncated);
    EXPECT_EQ(CFPropertyListCreateFromXMLData(nullptr, truncatedData, kCFPropertyListImmutable, &errorString), nullptr);
    EXPECT_NE(errorString, nullptr) << "the older call reports through an error string";
    for (CFTypeRef object : {CFTypeRef(errorString), CFTypeRef(truncatedData)})
        if (object)
            CFRelease(object);
}

}  // namespace
