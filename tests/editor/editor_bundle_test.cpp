// The editor of the built bundle as a Linux host loads it: several editors in
// one process, and a bundle whose images are missing.

#include <gtest/gtest.h>

#include <cairo.h>

#include <filesystem>

#include "support/temporary_folder.h"
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

TEST(EditorBundle, OverlappingEditorsKeepTheSharedBundleUntilTheLastCloses)
{
    // Each effect builds an editor; closing them out of order once released a
    // bundle that a later editor still loaded its images from.
    auto first = testsupport::openVelmora();
    auto second = testsupport::openVelmora();
    ASSERT_TRUE(first && second);
    const fs::path background = fs::path(testsupport::velmoraBundlePath()) / "Contents/Resources/bmp00128.png";
    cairo_surface_t* image = cairo_image_surface_create_from_png(background.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS) << background;
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    cairo_surface_destroy(image);

    first->close();
    auto third = testsupport::openVelmora();
    second->close();
    auto fourth = testsupport::openVelmora();
    ASSERT_TRUE(third && fourth);
    for (vsthost::LoadedEffect* host : {third.get(), fourth.get()})
    {
        const ERect rect = editorRect(*host);
        EXPECT_EQ(rect.top + rect.left, 0);
        EXPECT_EQ(rect.right, width) << "the background image's size, after earlier editors went";
        EXPECT_EQ(rect.bottom, height);
        EXPECT_EQ(host->dispatch(effEditOpen), 1);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }
}

TEST(EditorBundle, PanelWithoutImagesOpensAndClosesAtZeroSize)
{
    const fs::path source(testsupport::velmoraBundlePath());
    const testsupport::TemporaryFolder folder;
    const fs::path copy = folder.path() / "Velmora.vst";
    fs::create_directories(copy / "Contents");
    fs::copy(source / "Contents/x86_64-linux", copy / "Contents/x86_64-linux", fs::copy_options::recursive);
    fs::copy_file(source / "Contents/Info.plist", copy / "Contents/Info.plist");

    std::string error;
    auto host = vsthost::LoadedEffect::load(copy.string(), error);
    ASSERT_NE(host, nullptr) << error;
    host->openAndResume();
    const ERect rect = editorRect(*host);
    EXPECT_EQ(rect.right + rect.bottom, 0) << "no background image, no size";
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        EXPECT_EQ(host->dispatch(effEditOpen), 1);
        host->setParameter(1, 0.7f);
        host->dispatch(effEditIdle);
        host->dispatch(effEditClose);
    }
    host->close();
}
}  // namespace
