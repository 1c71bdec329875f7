// File URLs, bundles over folders and plain ".so" files, and the image list.
#include "platform_test_support.h"

#include <mach-o/dyld.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace
{

using platformtest::fileURL;
using platformtest::text;
namespace fs = std::filesystem;

std::string pathOf(CFURLRef url)
{
    if (!url)
        return "<null>";
    CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    std::string result = text(path);
    if (path)
        CFRelease(path);
    return result;
}

TEST(CFURLPaths, CuttingTheExecutablePathThreeTimesReachesTheBundleAndTheRootHasNoParent)
{
    CFURLRef url = fileURL("/A/B.vst/Contents/x86_64-linux/B.so", false);
    for (int cut = 0; cut < 3; ++cut)
    {
        CFURLRef parent = CFURLCreateCopyDeletingLastPathComponent(nullptr, url);
        CFRelease(url);
        url = parent;
        ASSERT_NE(url, nullptr);
    }
    EXPECT_EQ(pathOf(url), "/A/B.vst");
    EXPECT_TRUE(CFURLHasDirectoryPath(url));

    CFURLRef appended = CFURLCreateCopyAppendingPathComponent(nullptr, url, CFSTR("Contents"), true);
    UInt8 small[8];
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(appended, true, small, sizeof small)) << "path needs 18 bytes";
    UInt8 enough[18];
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(appended, true, enough, sizeof enough));
    EXPECT_STREQ(reinterpret_cast<char*>(enough), "/A/B.vst/Contents");
    CFRelease(appended);
    CFRelease(url);

    CFURLRef root = fileURL("/", true);
    EXPECT_EQ(CFURLCreateCopyDeletingLastPathComponent(nullptr, root), nullptr)
        << "cutting above the root fails instead of inventing a path";
    CFRelease(root);
}

// A bundle folder laid out as the plug-in's, with the probe module as its
// executable.
class BundleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bundlePath = folder.path() / "Probe.vst";
        executablePath = bundlePath / "Contents/x86_64-linux/Probe.so";
        fs::create_directories(executablePath.parent_path());
        fs::copy_file(PROBE_MODULE_PATH, executablePath);
        platformtest::writeFile(bundlePath / "Contents/Info.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>CFBundleExecutable</key><string>Probe</string>
  <key>CFBundleIdentifier</key><string>com.example.probe</string>
  <key>TDConfig</key><dict><key>PresetIsFXB</key><false/></dict>
</dict></plist>)");
        const fs::path resources = bundlePath / "Contents/Resources";
        for (const char* name : {"bmp00128.png", "bmp00130.jpg", "TDParameters.txt", "sub/inner.png"})
            platformtest::writeFile(resources / name, "x");
        fs::create_directories(resources / "Other.vst");
        bundleURL = fileURL(bundlePath, true);
    }

    void TearDown() override { CFRelease(bundleURL); }

    std::string resource(CFBundleRef bundle, CFStringRef name, CFStringRef type, CFStringRef subDirectory = nullptr)
    {
        CFURLRef url = CFBundleCopyResourceURL(bundle, name, type, subDirectory);
        const std::string result = url ? fs::path(pathOf(url)).filename().string() : "<none>";
        if (url)
            CFRelease(url);
        return result;
    }

    platformtest::TemporaryFolder folder;
    fs::path bundlePath;
    fs::path executablePath;
    CFURLRef bundleURL = nullptr;
};

TEST_F(BundleTest, InfoPlistAndResourcesAreFoundButNamesCannotLeaveTheFolder)
{
    CFBundleRef bundle = CFBundleCreate(nullptr, bundleURL);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(text(CFBundleGetIdentifier(bundle)), "com.example.probe");
    CFTypeRef config = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("TDConfig"));
    ASSERT_EQ(CFGetTypeID(config), CFDictionaryGetTypeID());
    EXPECT_EQ(CFDictionaryGetValue(static_cast<CFDictionaryRef>(config), CFSTR("PresetIsFXB")), kCFBooleanFalse);

    EXPECT_EQ(resource(bundle, CFSTR("bmp00128"), CFSTR(".png")), "bmp00128.png") << "a type may carry its dot";
    EXPECT_EQ(resource(bundle, CFSTR("TDParameters.txt"), nullptr), "TDParameters.txt");
    EXPECT_EQ(resource(bundle, CFSTR("inner"), CFSTR("png"), CFSTR("sub")), "inner.png");
    EXPECT_EQ(resource(bundle, CFSTR("bmp00130"), CFSTR("png")), "<none>") << "only the jpg exists";
    EXPECT_EQ(resource(bundle, CFSTR("bmp00130"), CFSTR("jpg")), "bmp00130.jpg");
    EXPECT_EQ(resource(bundle, CFSTR("../Info"), CFSTR("plist")), "<none>") << "names cannot leave the folder";
    CFURLRef folderResource = CFBundleCopyResourceURL(bundle, CFSTR("Other"), CFSTR("vst"), nullptr);
    EXPECT_TRUE(CFURLHasDirectoryPath(folderResource)) << "a bundle resource is a folder";
    CFRelease(folderResource);
    CFRelease(bundle);
}

TEST_F(BundleTest, SameFolderGivesTheSameBundleRetained)
{
    CFBundleRef first = CFBundleCreate(nullptr, bundleURL);
    CFURLRef throughSlash = fileURL(bundlePath.string() + "/", true);
    CFBundleRef second = CFBundleCreate(nullptr, throughSlash);
    EXPECT_EQ(first, second);
    EXPECT_EQ(CFGetRetainCount(first), 2) << "a host's unload-when-last-reference rule relies on this count";
    CFRelease(second);
    CFRelease(first);
    CFRelease(throughSlash);
    CFBundleRef fresh = CFBundleCreate(nullptr, bundleURL);
    EXPECT_EQ(CFGetRetainCount(fresh), 1) << "a freed bundle is not handed out again";
    CFRelease(fresh);
}

TEST_F(BundleTest, ExecutableLoadsOnLookupAndReallyUnloads)
{
    CFBundleRef bundle = CFBundleCreate(nullptr, bundleURL);
    const std::string loadedPath = fs::canonical(executablePath).string();
    EXPECT_FALSE(CFBundleIsExecutableLoaded(bundle));
    auto entry = reinterpret_cast<int (*)()>(CFBundleGetFunctionPointerForName(bundle, CFSTR("ProbeEntry")));
    ASSERT_NE(entry, nullptr) << "the lookup loads the executable first";
    EXPECT_EQ(entry(), 42);
    EXPECT_TRUE(CFBundleIsExecutableLoaded(bundle));

    CFRelease(bundle);
    bundle = CFBundleCreate(nullptr, bundleURL);
    EXPECT_TRUE(CFBundleIsExecutableLoaded(bundle)) << "loading outlives the bundle object";
    CFBundleUnloadExecutable(bundle);
    EXPECT_FALSE(CFBundleIsExecutableLoaded(bundle));
    EXPECT_EQ(dlopen(loadedPath.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "unloading closes the module";
    CFRelease(bundle);
}

TEST_F(BundleTest, PlainSharedObjectIsABundleWithoutResources)
{
    CFURLRef moduleURL = fileURL(executablePath, false);
    CFBundleRef bundle = CFBundleCreate(nullptr, moduleURL);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("bmp00128"), CFSTR("png"), nullptr), nullptr);
    EXPECT_NE(CFBundleGetFunctionPointerForName(bundle, CFSTR("ProbeEntry")), nullptr);
    CFBundleUnloadExecutable(bundle);
    CFRelease(bundle);
    CFRelease(moduleURL);
}

TEST_F(BundleTest, MissingPiecesFailWithoutCrashing)
{
    CFURLRef nowhere = fileURL(folder.path() / "Missing.vst", true);
    EXPECT_EQ(CFBundleCreate(nullptr, nowhere), nullptr);
    CFURLRef textFile = fileURL(bundlePath / "Contents/Resources/TDParameters.txt", false);
    EXPECT_EQ(CFBundleCreate(nullptr, textFile), nullptr) << "a regular file must be a .so";

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
    CFRelease(textFile);
    CFRelease(nowhere);
}

TEST(ProgramImages, MainBundleIsTheProgramsFolderAndTheProgramIsTheFirstImage)
{
    const fs::path program = fs::canonical("/proc/self/exe");
    CFURLRef url = CFBundleCopyBundleURL(CFBundleGetMainBundle());
    EXPECT_EQ(pathOf(url), program.parent_path().string());
    CFRelease(url);
    ASSERT_GT(_dyld_image_count(), 1u);
    EXPECT_EQ(std::string(_dyld_get_image_name(0)), program.string());

    Dl_info platform;
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&CFRetain), &platform), 0);
    bool listed = false;
    for (uint32_t index = 0; index < _dyld_image_count(); ++index)
    {
        ASSERT_EQ(_dyld_get_image_name(index)[0], '/') << "image " << index;
        listed = listed || _dyld_get_image_header(index) == platform.dli_fbase;
    }
    EXPECT_TRUE(listed) << "the image holding CFRetain is in the list, its header where dladdr says";
    EXPECT_EQ(_dyld_get_image_name(_dyld_image_count()), nullptr);
}

}  // namespace
