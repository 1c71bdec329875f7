// What a Linux host sees of the built bundle: the folder layout, the one
// exported entry point and an information dictionary that parses.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

namespace
{
namespace fs = std::filesystem;

fs::path bundlePath()
{
    const char* bundle = std::getenv("VELMORA_BUNDLE");
    return bundle ? fs::path(bundle) : fs::path();
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe))
        output += chunk.data();
    pclose(pipe);
    return output;
}

TEST(BundleLayout, ExecutableExportsOnlyTheEntryPointsAndTheViewClasses)
{
    const fs::path executable = bundlePath() / "Contents/x86_64-linux/Velmora.so";
    ASSERT_TRUE(fs::exists(executable)) << executable;

    std::set<std::string> exportedFunctions;
    std::istringstream lines(commandOutput("nm -D --defined-only '" + executable.string() + "'"));
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        // Members of the Cocoa view classes are theirs to export.
        if ((type == "T" || type == "W" || type == "i") && name.find("comQuarnTandem_") == std::string::npos)
            exportedFunctions.insert(name);
    }
    EXPECT_EQ(exportedFunctions, (std::set<std::string>{"TandemEntry", "TandemViewEntry", "VSTPluginMain"}))
        << "hosts must see the entry points and nothing of the implementation";
}

TEST(BundleLayout, InformationDictionaryCarriesIdentityAndConfiguration)
{
    const fs::path infoPlist = bundlePath() / "Contents/Info.plist";
    ASSERT_TRUE(fs::exists(infoPlist)) << infoPlist;

    // Python's own property-list reader is the independent judge of the XML.
    const std::string script =
        "import plistlib,sys\n"
        "d=plistlib.load(open(sys.argv[1],'rb'))\n"
        "c=d['TDConfig']; a=d['AudioComponents'][0]\n"
        "print(d['CFBundleExecutable'], d['CFBundleIdentifier'], d['CFBundleShortVersionString'])\n"
        "print(all(isinstance(c[k],bool) for k in "
        "('AutoConvertPresets','PresetIsFXB','UpdateNameOnLoad','CanDoMonoIO')))\n"
        "print(a['type'], a['name'], a['factoryFunction'])\n";
    const std::string output =
        commandOutput("python3 -c \"" + script + "\" '" + infoPlist.string() + "' 2>&1");
    EXPECT_NE(output.find("Velmora com.quarnrecords.velmora "), std::string::npos) << output;
    EXPECT_NE(output.find("True\n"), std::string::npos) << "four boolean TDConfig keys\n" << output;
    EXPECT_NE(output.find("aufx Quarn Records: Velmora TandemEntry"), std::string::npos) << output;
}
}  // namespace
