// What the tools share: their command line, where a tool finds Velmora.vst or
// Velmora.vst3 when no --bundle is given (on folders made for the test: a
// build tree, the format's path variable, its folder in $HOME and the
// system's folders), and the component's trace on an abort.
#include "common/bundle_search.h"
#include "common/command_line.h"
#include "common/component_trace.h"
#include "tools/tool_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace
{
using namespace tooltest;

class BundleSearchTest : public ToolTest
{
protected:
    fs::path bundleIn(const fs::path& parent, const std::string& name = "Velmora.vst")
    {
        fs::create_directories(parent / name / "Contents");
        return parent / name;
    }

    std::string found(const tools::BundleSearch& search)
    {
        std::string error;
        const std::string bundle = tools::findBundle(search, error);
        return bundle.empty() ? "error: " + error : bundle;
    }
};

TEST_F(BundleSearchTest, BuildTreeThenVstPathThenHomeThenSystemFolders)
{
    tools::BundleSearch search;
    search.tool = folder / "build/tools/render/velmora-render";
    search.searchPath = (folder / "none").string() + "::" + (folder / "scanned").string();
    search.home = folder / "home";
    search.systemFolders = {folder / "local", folder / "system"};
    // A file of the bundle's name is no bundle.
    fs::create_directories(folder / "none");
    std::ofstream(folder / "none/Velmora.vst") << "not a folder";

    const std::vector<fs::path> places = {bundleIn(folder / "system"), bundleIn(folder / "local"),
                                          bundleIn(folder / "home/.vst"), bundleIn(folder / "scanned"),
                                          bundleIn(folder / "build")};
    // Each place wins while every later one in the order is gone.
    for (auto place = places.rbegin(); place != places.rend(); ++place)
    {
        EXPECT_EQ(found(search), place->string());
        fs::remove_all(*place);
    }
    const std::string error = found(search);
    EXPECT_TRUE(error.starts_with("error: no Velmora.vst bundle in " + (folder / "build/tools/render").string()))
        << error;
    EXPECT_NE(error.find((folder / "system").string() + "; install Velmora or use --bundle PATH"), std::string::npos)
        << error;
}

TEST_F(BundleSearchTest, Vst3BundleIsSoughtInItsOwnFolders)
{
    tools::BundleSearch search = tools::processBundleSearch(tools::BundleFormat::vst3);
    EXPECT_EQ(search.systemFolders, (std::vector<fs::path>{"/usr/local/lib/vst3", "/usr/lib/vst3"}));
    search.tool = folder / "build/tools/render/velmora-render";
    search.searchPath.clear();
    search.home = folder / "home";
    search.systemFolders = {};
    bundleIn(folder / "home/.vst", "Velmora.vst3");  // not where VST3 bundles live
    EXPECT_TRUE(found(search).starts_with("error: no Velmora.vst3 bundle in ")) << found(search);
    bundleIn(folder / "home/.vst3", "Velmora.vst3");
    EXPECT_EQ(found(search), (folder / "home/.vst3/Velmora.vst3").string());
}

// A broken invariant stops the process: its report and the trace held back
// before it must reach the terminal.
TEST(ComponentTraceTest, AnAbortShowsTheTraceHeldBack)
{
    EXPECT_DEATH(
        {
            const tools::ComponentTrace trace(false);
            std::fprintf(stderr, "[Velmora](0x1) opening\nPrecondition failed in open\n");
            std::abort();
        },
        "opening\nPrecondition failed in open");
}

TEST(CommandLineTest, OptionsStandAnywhereAndOnlyWhatTheToolKnowsIsTaken)
{
    std::vector<std::string> values;
    int flags = 0;
    tools::CommandLine line;
    line.option({"-o", "--output"}, [&](const std::string& value) { values.push_back(value); });
    line.flag({"--float"}, [&] { ++flags; });
    const auto parse = [&line](std::vector<const char*> arguments) {
        arguments.insert(arguments.begin(), "tool");
        return line.parse(static_cast<int>(arguments.size()), arguments.data());
    };

    EXPECT_EQ(parse({"a", "--output", "x", "-", "--output=--y", "--float", "-o", "", "--", "--float", "-o"}),
              (std::vector<std::string>{"a", "-", "--float", "-o"}));
    EXPECT_EQ(values, (std::vector<std::string>{"x", "--y", ""}));
    EXPECT_EQ(flags, 1);
    EXPECT_FALSE(line.trace || line.help || line.version);
    parse({"--trace", "-h", "--version"});
    EXPECT_TRUE(line.trace && line.help && line.version);

    const std::pair<std::vector<const char*>, std::string> failures[] = {
        {{"--float=1"}, "unknown option '--float=1' (see --help)"},
        {{"-o=x"}, "unknown option '-o=x' (see --help)"},
        {{"--outputs", "x"}, "unknown option '--outputs' (see --help)"},
        {{"a", "--output"}, "missing value for --output"},
    };
    for (const auto& [arguments, message] : failures)
    {
        try
        {
            parse(arguments);
            ADD_FAILURE() << message;
        }
        catch (const tools::UsageError& failure)
        {
            EXPECT_EQ(failure.what(), message);
        }
    }
}
}  // namespace
