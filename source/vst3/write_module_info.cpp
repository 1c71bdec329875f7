// Writes moduleinfo.json, which hosts may read in place of loading the
// module while they scan, from the factory's own answers, so that the two
// cannot disagree.
//
//   velmora-vst3-moduleinfo FILE

#include "common/replacing_file.h"
#include "effect/velmora_identity.h"
#include "effect/velmora_version.h"
#include "vst3/plugin_factory.h"

#include <cstdio>
#include <sstream>
#include <string>

namespace
{
std::string hexOf(const char (&id)[16])
{
    std::string hex;
    char digits[3];
    for (char byte : id)
    {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(byte));
        hex += digits;
    }
    return hex;
}

// The names and texts written here are plain ASCII without quotes.
std::string quoted(const char* text) { return std::string("\"") + text + "\""; }

std::string subCategoryList(const std::string& joined)
{
    std::string list;
    std::istringstream pieces(joined);
    for (std::string piece; std::getline(pieces, piece, '|');)
        list += (list.empty() ? "" : ", ") + quoted(piece.c_str());
    return "[" + list + "]";
}

std::string moduleInfo(vst3::IPluginFactory2& factory)
{
    vst3::PFactoryInfo info{};
    factory.getFactoryInfo(&info);
    std::ostringstream json;
    json << "{\n  \"Name\": " << quoted(velmora::kEffectName) << ",\n  \"Version\": " << quoted(velmora::kVersionString)
         << ",\n  \"Factory Info\": {\n    \"Vendor\": " << quoted(info.vendor)
         << ",\n    \"URL\": " << quoted(info.url) << ",\n    \"E-Mail\": " << quoted(info.email)
         << ",\n    \"Flags\": {\n      \"Unicode\": "
         << ((info.flags & vst3::PFactoryInfo::kUnicode) != 0 ? "true" : "false")
         << ",\n      \"Classes Discardable\": false,\n      \"Component Non Discardable\": false\n    }\n  },\n"
         << "  \"Compatibility\": [],\n  \"Classes\": [";
    for (vst3::int32 index = 0; index < factory.countClasses(); ++index)
    {
        vst3::PClassInfo2 entry{};
        factory.getClassInfo2(index, &entry);
        json << (index == 0 ? "\n" : ",\n") << "    {\n      \"CID\": " << quoted(hexOf(entry.cid).c_str())
             << ",\n      \"Category\": " << quoted(entry.category) << ",\n      \"Name\": " << quoted(entry.name)
             << ",\n      \"Vendor\": " << quoted(entry.vendor) << ",\n      \"Version\": " << quoted(entry.version)
             << ",\n      \"SDKVersion\": " << quoted(entry.sdkVersion)
             << ",\n      \"Sub Categories\": " << subCategoryList(entry.subCategories)
             << ",\n      \"Class Flags\": " << entry.classFlags << ",\n      \"Cardinality\": " << entry.cardinality
             << ",\n      \"Snapshots\": []\n    }";
    }
    json << "\n  ]\n}\n";
    return json.str();
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: velmora-vst3-moduleinfo FILE\n");
        return 2;
    }
    vst3::IPluginFactory3* factory = velmora::vst3face::PluginFactory::acquire();
    if (!factory)
        return 1;
    const std::string json = moduleInfo(*factory);
    factory->release();
    std::string error;
    if (tools::writeWholeFile(argv[1], json.data(), json.size(), error))
        return 0;
    std::fprintf(stderr, "velmora-vst3-moduleinfo: %s\n", error.c_str());
    return 1;
}
