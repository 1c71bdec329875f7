// The host identities the component tells apart, each set for real: a host
// program copied into an application bundle whose Info.plist names the host
// (the component reads it from the main bundle when it opens).

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
namespace fs = std::filesystem;

struct HostIdentity
{
    const char* identifier;
    const char* version;
    const char* product;  // the name the effect hears
    const char* streams;  // the rest of the probe's line
};

std::string runAsHost(const fs::path& folder, const HostIdentity& host)
{
    const fs::path contents = folder / "Host.app/Contents";
    fs::create_directories(contents / "x86_64-linux");
    fs::copy_file(COMPONENT_HOST_PROBE, contents / "x86_64-linux/host", fs::copy_options::overwrite_existing);
    std::ofstream(contents / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n"
        << "<key>CFBundleIdentifier</key><string>" << host.identifier << "</string>\n"
        << "<key>CFBundleShortVersionString</key><string>" << host.version << "</string>\n"
        << "</dict></plist>\n";
    FILE* pipe = popen(("'" + (contents / "x86_64-linux/host").string() + "'").c_str(), "r");
    std::string output;
    char buffer[256];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, count);
    const int status = pclose(pipe);
    return status == 0 ? output : output + "<exit status " + std::to_string(status) + ">";
}

TEST(ComponentHostIdentity, OnlyLogic8AndOldGarageBandPutAStereoStreamOnAMonoEffectAndItFeedsBothChannels)
{
    // The effect halves its one input; stereo input reaches it as its mono.
    constexpr const char* kMonoOnly = "input=-10868 output=-10868 out=0.125 0.125\n";
    constexpr const char* kStereo = "input=0 output=0 out=0.25,0.25 0.25,0.25\n";
    const HostIdentity hosts[] = {
        {"org.example.host", "9.1", "Tandem", kMonoOnly},
        {"com.apple.logic.pro", "7.2.3", "logic", kMonoOnly},
        {"com.apple.garageband", "4.1.2", "logic", kStereo},
        {"com.apple.logic.express", "8.0.2", "logic", kStereo},
    };
    const testsupport::TemporaryFolder folder;
    ASSERT_FALSE(folder.path().empty());
    for (const HostIdentity& host : hosts)
        EXPECT_EQ(runAsHost(folder.path(), host), std::string("product=") + host.product + " " + host.streams)
            << host.identifier << " " << host.version;
}
}  // namespace
