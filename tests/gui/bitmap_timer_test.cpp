// Loading numbered images from a bundle, and the run-loop timer.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "gui/bitmap.h"
#include "gui/timer.h"

namespace
{
namespace fs = std::filesystem;

// A bundle folder in a temporary directory whose resources the test writes.
class BundleTest : public ::testing::Test
{
protected:
    BundleTest()
    {
        root = fs::temp_directory_path() / ("velmora-bitmap-" + std::to_string(getpid()));
        resources = root / "Test.vst" / "Contents" / "Resources";
        fs::create_directories(resources);
        const std::string bundlePath = (root / "Test.vst").string();
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
        fs::remove_all(root);
    }

    void writePng(const std::string& name, int width, int height)
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_surface_write_to_png(surface, (resources / name).c_str());
        cairo_surface_destroy(surface);
    }
    void writeText(const std::string& name, const char* text) { std::ofstream(resources / name) << text; }

    fs::path root;
    fs::path resources;
};

TEST_F(BundleTest, NumberedImageIsFoundUnderItsPaddedNameInTypeOrder)
{
    ASSERT_NE(gui::gBundleRef, nullptr);
    writePng("bmp00128.png", 30, 20);
    gui::Bitmap png(128);
    EXPECT_EQ(png.getWidth(), 30.0);
    EXPECT_EQ(png.getHeight(), 20.0);

    // Only a .jpg (PNG bytes under that name: the decoder reads the content).
    writePng("bmp00130.jpg", 7, 9);
    gui::Bitmap jpg(130);
    EXPECT_EQ(jpg.getWidth(), 7.0) << "found after the png and bmp lookups failed";
}

TEST_F(BundleTest, UnreadableOrMissingImagesLeaveAnEmptyBitmap)
{
    writePng("bmp00131.pict", 5, 5);
    writeText("bmp00129.png", "not an image");
    for (int number : {127, 129, 131})
    {
        gui::Bitmap bitmap(number);
        EXPECT_FALSE(bitmap.isLoaded()) << "image " << number;
        EXPECT_EQ(bitmap.getWidth(), 0.0) << "image " << number;
        EXPECT_EQ(bitmap.getHeight(), 0.0) << "image " << number;
    }
    CFRelease(gui::gBundleRef);
    gui::gBundleRef = nullptr;
    writePng("bmp00132.png", 5, 5);
    EXPECT_FALSE(gui::Bitmap(132).isLoaded()) << "no bundle, no image";
}

class CountingListener : public gui::RefObject
{
public:
    int notify(gui::RefObject* sender, gui::Message message) override
    {
        if (message != gui::kMsgTimer)
            return 0;
        lastSender = sender;
        ++count;
        return 1;
    }
    int count = 0;
    gui::RefObject* lastSender = nullptr;
};

void runLoopFor(double seconds)
{
    const CFAbsoluteTime end = CFAbsoluteTimeGetCurrent() + seconds;
    while (CFAbsoluteTimeGetCurrent() < end)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
}

TEST(Timer, FiresOnTheRunLoopUntilStoppedAndRestartsWithNewPeriod)
{
    CountingListener listener;
    auto* timer = new gui::Timer(&listener, 10);
    runLoopFor(0.05);
    EXPECT_EQ(listener.count, 0) << "a timer that was never started never fires";

    ASSERT_TRUE(timer->start());
    for (int turn = 0; turn < 500 && listener.count == 0; ++turn)
        runLoopFor(0.01);
    EXPECT_GT(listener.count, 0);
    EXPECT_EQ(listener.lastSender, timer);

    timer->setFireTime(20);
    EXPECT_TRUE(timer->isRunning()) << "a running timer keeps running with the new period";
    EXPECT_EQ(timer->getFireTime(), 20);

    timer->release();  // stops it
    const int firedBefore = listener.count;
    runLoopFor(0.05);
    EXPECT_EQ(listener.count, firedBefore) << "a released timer does not fire";
}
}  // namespace
