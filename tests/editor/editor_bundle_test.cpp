// The editor of the built bundle as a Linux host loads it: its size from the
// bundle's images, several editors in one process, and a bundle whose images
// are missing.

#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <filesystem>

#include "editor/plugin_bundle.h"
#include "support/velmora_bundle.h"

namespace
{
namespace fs = std::filesystem;

ERect editorRect(vsthost::LoadedEffect& host)
{
    ERect* rect = nullptr;
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    return rect ? *rect : ERect{-1, -1, -1, -1};
}

TEST(EditorBundle, RectBeforeOpenIsTheBackgroundImageSize)
{
    auto host = testsupport::openVelmora();
    ASSERT_NE(host, nullptr);
    const fs::path background = fs::path(testsupport::velmoraBundlePath()) / "Contents/Resources/bmp00128.png";
    cairo_surface_t* image = cairo_image_surface_create_from_png(background.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS) << background;
    const ERect rect = editorRect(*host);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, cairo_image_surface_get_width(image));
    EXPECT_EQ(rect.bottom, cairo_image_surface_get_height(image));
    cairo_surface_destroy(image);
    EXPECT_EQ(host->effect()->flags, effFlagsHasEditor | effFlagsCanReplacing);
}

TEST(EditorBundle, OverlappingEditorsKeepTheSharedBundleUntilTheLastCloses)
{
    // Each effect builds an editor; closing them out of order once released a
    // bundle that a later editor still loaded its images from.
    auto first = testsupport::openVelmora();
    auto second = testsupport::openVelmora();
    ASSERT_TRUE(first && second);
    const ERect expected = editorRect(*first);
    first->close();
    auto third = testsupport::openVelmora();
    ASSERT_NE(third, nullptr);
    second->close();
    auto fourth = testsupport::openVelmora();
    ASSERT_NE(fourth, nullptr);
    for (vsthost::LoadedEffect* host : {third.get(), fourth.get()})
    {
        const ERect rect = editorRect(*host);
        EXPECT_EQ(rect.right, expected.right) << "images still load after earlier editors went";
        EXPECT_EQ(rect.bottom, expected.bottom);
        EXPECT_EQ(host->dispatch(effEditOpen), 1);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }
}

TEST(EditorBundle, PanelWithoutImagesOpensAndClosesAtZeroSize)
{
    const fs::path source(testsupport::velmoraBundlePath());
    ASSERT_TRUE(fs::exists(source / "Contents")) << source;
    const fs::path copy = fs::temp_directory_path() / ("velmora-noimages-" + std::to_string(getpid())) / "Velmora.vst";
    fs::create_directories(copy / "Contents");
    fs::copy(source / "Contents/x86_64-linux", copy / "Contents/x86_64-linux", fs::copy_options::recursive);
    if (fs::exists(source / "Contents/Info.plist"))
        fs::copy_file(source / "Contents/Info.plist", copy / "Contents/Info.plist");

    std::string error;
    auto host = vsthost::LoadedEffect::load(copy.string(), error);
    ASSERT_NE(host, nullptr) << error;
    host->openAndResume();
    const ERect rect = editorRect(*host);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        EXPECT_EQ(host->dispatch(effEditOpen), 1);
        host->setParameter(1, 0.7f);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }
    host->close();
    fs::remove_all(copy.parent_path());
}

TEST(EditorBundle, BundleIsThreeFoldersAboveTheExecutable)
{
    EXPECT_EQ(bundlePathFromExecutable("/A/B.vst/Contents/MacOS/B"), "/A/B.vst");
    EXPECT_EQ(bundlePathFromExecutable("/A/B.vst/Contents/x86_64-linux/B.so"), "/A/B.vst");
    EXPECT_EQ(bundlePathFromExecutable("Contents/B"), std::nullopt) << "a missing slash finds no bundle";
}
}  // namespace
