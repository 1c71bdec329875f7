// Loading numbered images from a bundle, and the run-loop timer.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "gui/bitmap.h"
#include "gui/timer.h"
#include "support/temporary_folder.h"

namespace
{
namespace fs = std::filesystem;

// A bundle folder in a temporary directory whose resources the test writes.
class BundleTest : public ::testing::Test
{
protected:
    BundleTest()
    {
        fs::create_directories(resources);
        const std::string bundlePath = (folder.path() / "Test.vst").string();
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(
            nullptr, reinterpret_cast<const UInt8*>(bundlePath.c_str()), static_cast<CFIndex>(bundlePath.size()), true);
        gui::gBundleRef = CFBundleCreate(nullptr, url);
        CFRelease(url);
    }
    ~BundleTest() override
    {
        if (gui::gBundleRef)
            CFRelease(gui::gBundleRef);
        gui::gBundleRef = nullptr;
    }

    void writePng(const std::string& name, int width, int height)
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_surface_write_to_png(surface, (resources / name).c_str());
        cairo_surface_destroy(surface);
    }

    const testsupport::TemporaryFolder folder;
    const fs::path resources = folder.path() / "Test.vst/Contents/Resources";
};

TEST_F(BundleTest, NumberedImagesLoadByPaddedNameAndBadOnesLeaveAnEmptyBitmap)
{
    ASSERT_NE(gui::gBundleRef, nullptr);
    writePng("bmp00128.png", 30, 20);
    writePng("bmp00130.jpg", 7, 9);  // PNG bytes: the decoder reads the content, not the name
    writePng("bmp00131.pict", 5, 5);
    std::ofstream(resources / "bmp00129.png") << "not an image";
    EXPECT_EQ(gui::Bitmap(128).getWidth(), 30.0);
    EXPECT_EQ(gui::Bitmap(128).getHeight(), 20.0);
    EXPECT_EQ(gui::Bitmap(130).getWidth(), 7.0) << "found after the png and bmp lookups failed";
    // At a scale, sizes stay in panel units.
    writePng("bmp00128@1.5x.png", 45, 30);
    EXPECT_EQ(gui::Bitmap(128, 1.5).getWidth(), 30.0) << "45 pixels drawn for 1.5";
    EXPECT_EQ(gui::Bitmap(128, 1.5).getHeight(), 20.0);
    EXPECT_EQ(gui::Bitmap(128, 2.0).getWidth(), 30.0) << "no image for 2: the plain one, stretched";
    EXPECT_EQ(gui::Bitmap(130, 2.0).getWidth(), 7.0);
    for (int number : {127, 129, 131})
    {
        gui::Bitmap bitmap(number);
        EXPECT_FALSE(bitmap.isLoaded()) << "image " << number;
        EXPECT_EQ(bitmap.getWidth() + bitmap.getHeight(), 0.0) << "image " << number;
    }
    CFRelease(gui::gBundleRef);
    gui::gBundleRef = nullptr;
    EXPECT_FALSE(gui::Bitmap(128).isLoaded()) << "no bundle, no image";
}

gui::Bitmap* gBitmapClosedAtExit = nullptr;

// A host may close an effect from its own static teardown, after the first
// bitmap made the image cache; the bitmaps then go after the cache would.
TEST_F(BundleTest, BitmapReleasedDuringExitAfterTheImageCacheFindsItIntact)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, in which no image is cached yet
    EXPECT_EXIT(
        {
            writePng("bmp00128.png", 30, 20);
            std::atexit([] { delete gBitmapClosedAtExit; });
            gBitmapClosedAtExit = new gui::Bitmap(128);
            fs::remove_all(folder.path());  // std::exit skips the fixture that would
            std::exit(gBitmapClosedAtExit->isLoaded() ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

class CountingListener : public gui::RefObject
{
public:
    int notify(gui::RefObject*, gui::Message message) override
    {
        count += message == gui::kMsgTimer;
        return 1;
    }
    int count = 0;
};

void runLoopFor(double seconds)
{
    const CFAbsoluteTime end = CFAbsoluteTimeGetCurrent() + seconds;
    while (CFAbsoluteTimeGetCurrent() < end)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
}

TEST(Timer, FiresOnTheRunLoopAndNeverAfterRelease)
{
    CountingListener listener;
    auto* timer = new gui::Timer(&listener, 10);
    ASSERT_TRUE(timer->start());
    for (int turn = 0; turn < 500 && listener.count == 0; ++turn)
        runLoopFor(0.01);
    EXPECT_GT(listener.count, 0) << "a started timer fires within five seconds";

    timer->release();  // stops it
    const int firedBefore = listener.count;
    runLoopFor(0.05);
    EXPECT_EQ(listener.count, firedBefore) << "a released timer does not fire";
}
}  // namespace
