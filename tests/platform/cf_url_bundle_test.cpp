// Bundles over folders and plain ".so" files. The bundle a component finds
// from its executable's path is every component test's.
#include "platform_test_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace
{

using platformtest::fileURL;
using platformtest::text;
namespace fs = std::filesystem;

// The URL's path, released with it; "<null>" for none.
std::string pathOf(CFURLRef url)
{
    if (!url)
        return "<null>";
    CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    const std::string result = text(path);
    CFRelease(path);
    CFRelease(url);
    return result;
}

// A bundle folder laid out as the plug-in's, with the probe module as its
// executable.
class BundleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(executablePath.parent_path());
        fs::copy_file(PROBE_MODULE_PATH, executablePath);
        platformtest::writeFile(bundlePath / "Contents/Info.plist",
                                R"(<plist version="1.0"><dict><key>CFBundleExecutable</key><string>Probe</string>)"
                                "</dict></plist>");
        for (const char* name : {"bmp00128.png", "TDParameters.txt"})
            platformtest::writeFile(bundlePath / "Contents/Resources" / name, "x");
    }

    void TearDown() override { CFRelease(bundleURL); }

    std::string resource(CFBundleRef bundle, CFStringRef name, CFStringRef type)
    {
        return fs::path(pathOf(CFBundleCopyResourceURL(bundle, name, type, nullptr))).filename().string();
    }

    platformtest::TemporaryFolder folder;
    const fs::path bundlePath = folder.path() / "Probe.vst";
    const fs::path executablePath = bundlePath / "Contents/x86_64-linux/Probe.so";
    CFURLRef bundleURL = fileURL(bundlePath, true);
};

TEST_F(BundleTest, ResourceNamesCannotLeaveTheResourcesFolder)
{
    CFBundleRef bundle = CFBundleCreate(nullptr, bundleURL);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(resource(bundle, CFSTR("TDParameters.txt"), nullptr), "TDParameters.txt");
    EXPECT_EQ(resource(bundle, CFSTR("../Info"), CFSTR("plist")), "<null>");
    CFRelease(bundle);
}

TEST_F(BundleTest, SameFolderGivesTheSameBundleRetainedAndItsExecutableReallyUnloads)
{
    CFBundleRef first = CFBundleCreate(nullptr, bundleURL);
    CFURLRef throughSlash = fileURL(bundlePath.string() + "/", true);
    CFBundleRef second = CFBundleCreate(nullptr, throughSlash);
    CFRelease(throughSlash);
    EXPECT_EQ(first, second);
    EXPECT_EQ(CFGetRetainCount(first), 2) << "a host's unload-when-last-reference rule relies on this count";
    EXPECT_FALSE(CFBundleIsExecutableLoaded(first));
    auto entry = reinterpret_cast<int (*)()>(CFBundleGetFunctionPointerForName(first, CFSTR("ProbeEntry")));
    ASSERT_NE(entry, nullptr) << "the lookup loads the executable first";
    EXPECT_EQ(entry(), 42);
    CFRelease(second);
    CFRelease(first);

    CFBundleRef fresh = CFBundleCreate(nullptr, bundleURL);
    EXPECT_EQ(CFGetRetainCount(fresh), 1) << "a freed bundle is not handed out again";
    EXPECT_TRUE(CFBundleIsExecutableLoaded(fresh)) << "loading outlives the bundle object";
    CFBundleUnloadExecutable(fresh);
    EXPECT_FALSE(CFBundleIsExecutableLoaded(fresh));
    const std::string loadedPath = fs::canonical(executablePath).string();
    EXPECT_EQ(dlopen(loadedPath.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "unloading closes the module";
    CFRelease(fresh);

    CFURLRef moduleURL = fileURL(executablePath, false);
    CFBundleRef plain = CFBundleCreate(nullptr, moduleURL);
    CFRelease(moduleURL);
    ASSERT_NE(plain, nullptr) << "a plain .so is a bundle without resources";
    EXPECT_EQ(CFBundleCopyResourceURL(plain, CFSTR("bmp00128"), CFSTR("png"), nullptr), nullptr);
    EXPECT_NE(CFBundleGetFunctionPointerForName(plain, CFSTR("ProbeEntry")), nullptr);
    CFBundleUnloadExecutable(plain);
    CFRelease(plain);
}

TEST_F(BundleTest, MissingPiecesFailWithoutCrashing)
{
    CFURLRef nowhere = fileURL(folder.path() / "Missing.vst", true);
    EXPECT_EQ(CFBundleCreate(nullptr, nowhere), nullptr);
    CFURLRef textFile = fileURL(bundlePath / "Contents/Resources/TDParameters.txt", false);
    EXPECT_EQ(CFBundleCreate(nullptr, textFile), nullptr) << "a regular file must be a .so";
    CFRelease(textFile);
    CFRelease(nowhere);

    fs::remove(executablePath);
    fs::remove(bundlePath / "Contents/Info.plist");
    CFBundleRef empty = CFBundleCreate(nullptr, bundleURL);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(CFDictionaryGetCount(CFBundleGetInfoDictionary(empty)), 0) << "no Info.plist: empty dictionary";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(CFBundleLoadExecutable(empty));
    EXPECT_EQ(CFBundleGetFunctionPointerForName(empty, CFSTR("ProbeEntry")), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "") << "the reason is reported";
    CFRelease(empty);
}

}  // namespace
