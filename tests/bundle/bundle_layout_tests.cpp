// What a Linux host sees of the built bundle: the folder layout, the one
// exported entry point, an information dictionary that parses, and the
// resource files the Audio Unit would otherwise write on its first open.

#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "support/file_contents.h"
#include "support/temporary_folder.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
namespace fs = std::filesystem;

const fs::path kBundle = testsupport::velmoraBundlePath();

// Every file under a folder with its bytes.
std::map<fs::path, std::string> filesUnder(const fs::path& folder)
{
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[fs::relative(entry.path(), folder)] = entry.is_regular_file() ? testsupport::fileContents(entry.path())
                                                                            : "(folder)";
    return files;
}

// The paths added, removed or changed from `before` to `after`.
std::string changedPaths(const std::map<fs::path, std::string>& before, const std::map<fs::path, std::string>& after)
{
    std::string changed;
    for (const auto& [path, bytes] : after)
        if (const auto old = before.find(path); old == before.end() || old->second != bytes)
            changed += " " + path.string();
    for (const auto& [path, bytes] : before)
        if (!after.contains(path))
            changed += " -" + path.string();
    return changed;
}

void setWritable(const fs::path& folder, bool writable)
{
    const auto change = writable ? fs::perm_options::add : fs::perm_options::remove;
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, change);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        fs::permissions(entry.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        change);
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

// What a module defines for the dynamic linker: symbol type letter and name.
std::vector<std::pair<std::string, std::string>> definedSymbols(const fs::path& module)
{
    std::vector<std::pair<std::string, std::string>> symbols;
    std::istringstream lines(commandOutput("nm -D --defined-only '" + module.string() + "'"));
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        symbols.emplace_back(type, name);
    }
    return symbols;
}

TEST(BundleLayout, ExecutableExportsOnlyTheEntryPointsAndTheViewClasses)
{
    const fs::path executable = kBundle / "Contents/x86_64-linux/Velmora.so";
    ASSERT_TRUE(fs::exists(executable)) << executable;

    std::set<std::string> exportedFunctions;
    for (const auto& [type, name] : definedSymbols(executable))
        // Members of the Cocoa view classes are theirs to export.
        if ((type == "T" || type == "W" || type == "i") && name.find("comQuarnTandem_") == std::string::npos)
            exportedFunctions.insert(name);
    EXPECT_EQ(exportedFunctions, (std::set<std::string>{"TandemEntry", "TandemViewEntry", "VSTPluginMain"}))
        << "hosts must see the entry points and nothing of the implementation";

    // The VST3 module: its three functions, and no symbol of any other kind.
    std::set<std::string> vst3Exports;
    for (const auto& [type, name] :
         definedSymbols(kBundle.parent_path() / "Velmora.vst3/Contents/x86_64-linux/Velmora.so"))
        vst3Exports.insert(type + " " + name);
    EXPECT_EQ(vst3Exports, (std::set<std::string>{"T GetPluginFactory", "T ModuleEntry", "T ModuleExit"}));
}

// VST hosts scan their folders for *.so files and take each for a plug-in:
// the support library beside the plug-ins must not end in .so. The LV2 bundle
// holds it alike and keeps to the binaries its Turtle names.
TEST(BundleLayout, AScanForSharedObjectsFindsOnlyThePlugIns)
{
    const auto sharedObjects = [](const fs::path& bundle) {
        std::set<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(bundle))
            if (entry.path().extension() == ".so")
                found.insert(fs::relative(entry.path(), bundle).string());
        return found;
    };
    EXPECT_EQ(sharedObjects(kBundle), std::set<std::string>{"Contents/x86_64-linux/Velmora.so"});
    EXPECT_EQ(sharedObjects(kBundle.parent_path() / "velmora.lv2"),
              (std::set<std::string>{"Contents/x86_64-linux/velmora.so", "Contents/x86_64-linux/velmora_ui.so"}));
    EXPECT_EQ(sharedObjects(kBundle.parent_path() / "Velmora.vst3"),
              std::set<std::string>{"Contents/x86_64-linux/Velmora.so"});
}

TEST(BundleLayout, InformationDictionaryCarriesIdentityAndConfiguration)
{
    const fs::path infoPlist = kBundle / "Contents/Info.plist";
    ASSERT_TRUE(fs::exists(infoPlist)) << infoPlist;

    // Python's own property-list reader is the independent judge of the XML.
    const std::string script =
        "import plistlib,sys\n"
        "d=plistlib.load(open(sys.argv[1],'rb'))\n"
        "c=d['TDConfig']; a=d['AudioComponents'][0]\n"
        "print(d['CFBundleExecutable'], d['CFBundleIdentifier'], d['CFBundleShortVersionString'])\n"
        "print(all(isinstance(c[k],bool) for k in "
        "('AutoConvertPresets','PresetIsFXB','UpdateNameOnLoad','CanDoMonoIO')))\n"
        "print(a['type'], a['name'], a['factoryFunction'])\n"
        // Hosts compare the component's version, packed as 0xMMMMmmpp, with
        // the bundle's; both come from the one release number.
        "v=[int(n) for n in d['CFBundleShortVersionString'].split('.')]\n"
        "print('component version', a['version']==(v[0]<<16|v[1]<<8|v[2]), d['CFBundleVersion']==d['"
        "CFBundleShortVersionString'])\n";
    const std::string output = commandOutput("python3 -c \"" + script + "\" '" + infoPlist.string() + "' 2>&1");
    EXPECT_NE(output.find("Velmora com.quarnrecords.velmora "), std::string::npos) << output;
    EXPECT_NE(output.find("True\n"), std::string::npos) << "four boolean TDConfig keys\n" << output;
    EXPECT_NE(output.find("aufx Quarn Records: Velmora TandemEntry"), std::string::npos) << output;
    EXPECT_NE(output.find("component version True True"), std::string::npos) << output;
}
TEST(BundleLayout, ParameterMappingIsWrittenAtBuildTimeAndAReadOnlyCopyOpensWithoutWriting)
{
    const fs::path mapping = kBundle / "Contents/Resources/TDParameters.txt";
    ASSERT_TRUE(fs::is_regular_file(mapping)) << "the build did not open the component once: " << mapping;
    EXPECT_EQ(testsupport::fileContents(mapping), "vst param #\tname\tmin\tmax\tdisplay\tunit\tdefault\r"
                                                  "0\ton/off\t0\t1\t=\t-\t1\r"
                                                  "1\tSize\t0\t100\t=\t%\t50\r"
                                                  "2\tDry/Wet\t0\t100\t=\t-\t50\r");

    // A real copy: links would lead the component back to the built bundle.
    // Write bits do not stop root, so the copy is also compared afterwards.
    const testsupport::TemporaryFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const fs::path copy = folder.path() / "Velmora.vst";
    fs::copy(kBundle, copy, fs::copy_options::recursive);
    setWritable(copy, false);
    const std::map<fs::path, std::string> before = filesUnder(copy);

    auhost::registerComponentBundle(copy.string());
    const std::vector<auhost::ComponentEntry> found = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
    ASSERT_EQ(found.size(), 1u);
    try
    {
        auhost::AudioUnitInstance unit(found.front().component);
        EXPECT_EQ(unit.parameterList().size(), 3u);
    }
    catch (const auhost::AUHostError& failure)
    {
        ADD_FAILURE() << "the read-only copy does not open: " << failure.what();
    }
    EXPECT_EQ(changedPaths(before, filesUnder(copy)), "") << "opening the component wrote into its bundle";

    setWritable(copy, true);
}
}  // namespace
