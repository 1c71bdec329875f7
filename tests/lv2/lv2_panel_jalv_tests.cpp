// The panel in the LV2 hosts Debian ships, jalv.gtk3 and jalv.qt5 (1.6.6,
// which offer no ui:scaleFactor), run in the private X server against a JACK
// server of their own on the dummy backend, under what scales their toolkit.
// Traced in those hosts: suil hands ui:resize to GTK 3 and Qt 5 in their own
// units, the toolkit makes the plug-in area that many units, in pixels
// times its scale, and suil then resizes the panel's window to the area in
// units again. The panel must fill the area, drawn at the scale.
#include "child_process.h"
#include "lv2_ui_host.h"
#include "support/temporary_folder.h"
#include "support/xsettings_bytes.h"
#include "x11_server_test.h"

#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace
{
using namespace velmora;
using lv2test::ChildProcess;

constexpr int kPanelWidth = 180;  // panel units
constexpr int kPanelHeight = 160;
// jalv.qt5 shows its UI in a window that QWidget::adjustSize makes at least
// 200 units wide (its layout expands), so its area is wider than the panel
// at every scale, as at 1 before; the panel fills it, black beyond its art.
constexpr int kQtAreaWidth = 200;
constexpr auto kHostDeadline = std::chrono::seconds(60);

struct Desktop
{
    const char* name;
    const char* program;
    const char* windowClass;  // res_name of jalv's windows
    std::vector<std::string> variables;
    bool gnomeSettings;  // Gdk/WindowScalingFactor 2 in the XSETTINGS, no variable
    double scale;        // pixels per panel unit the panel is drawn at
    int areaWidth;       // in the host's units
};

void PrintTo(const Desktop& desktop, std::ostream* out) { *out << desktop.name; }

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

class PanelInJalv : public editortest::X11ServerTest, public ::testing::WithParamInterface<Desktop>
{
protected:
    static void SetUpTestSuite()
    {
        server = std::make_unique<editortest::XvfbDisplay>("1600x1200x24");
        folder = std::make_unique<testsupport::TemporaryFolder>();
        std::error_code linked;
        std::filesystem::create_directories(folder->path() / "lv2", linked);
        std::filesystem::create_directory_symlink(VELMORA_LV2_BUNDLE, folder->path() / "lv2/velmora.lv2", linked);
        jackServer = "velmora-tests-" + std::to_string(getpid());
        jack = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/jackd", "--no-realtime", "-n",
                                                                       jackServer, "-d", "dummy", "-r", "48000", "-p",
                                                                       "1024"},
                                              environment({}), folder->path() / "jackd.log");
    }
    static void TearDownTestSuite()
    {
        jack.reset();
        folder.reset();
        server.reset();
    }

    void setUpWithServer() override
    {
        ChildProcess wait({"/usr/bin/jack_wait", "-w", "-t", "60", "-s", jackServer}, environment({}),
                          folder->path() / "jack_wait.log");
        while (wait.running())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(wait.exitStatus(), 0) << "the JACK server did not start:\n" << logOf("jackd.log");
    }
    void tearDownWithServer() override { jalv.reset(); }
    void idle() override
    {
        if (reference)
            reference->idle();
    }

    // The variables of this program less those that scale a toolkit or point
    // a host elsewhere, with the test's own server, plug-ins and `extra`.
    static std::vector<std::string> environment(const std::vector<std::string>& extra)
    {
        static const std::string kReplaced = " DISPLAY GDK_SCALE GDK_DPI_SCALE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS "
                                             "QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING VELMORA_UI_SCALE "
                                             "LV2_PATH JACK_DEFAULT_SERVER ";
        std::vector<std::string> variables;
        for (char** variable = environ; *variable; ++variable)
            if (kReplaced.find(" " + std::string(*variable, std::strcspn(*variable, "=")) + " ") == std::string::npos)
                variables.emplace_back(*variable);
        variables.insert(variables.end(),
                         {"DISPLAY=" + server->name(), "JACK_DEFAULT_SERVER=" + jackServer, "JACK_NO_START_SERVER=1",
                          "NO_AT_BRIDGE=1", "LV2_PATH=" + (folder->path() / "lv2").string(),
                          "XDG_RUNTIME_DIR=" + folder->path().string()});
        variables.insert(variables.end(), extra.begin(), extra.end());
        return variables;
    }
    static std::string logOf(const char* name)
    {
        std::ifstream file(folder->path() / name);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    // What GNOME's settings daemon publishes at a scale of `factor`.
    void publishGnomeScale(std::int32_t factor)
    {
        const Window owner = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        testsupport::XSettingsBytes settings;
        settings.integer("Gdk/WindowScalingFactor", factor);
        const Atom property = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
        XChangeProperty(display, owner, property, property, 8, PropModeReplace, settings.data().data(),
                        static_cast<int>(settings.data().size()));
        XSetSelectionOwner(display, XInternAtom(display, "_XSETTINGS_S0", False), owner, CurrentTime);
        XSync(display, False);
    }

    Image grab(Window window, int width, int height)
    {
        Image image{width, height, {}};
        XImage* pixels = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                   AllPlanes, ZPixmap);
        if (!pixels)
            return {};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(pixels, x, y) & 0xffffff));
        XDestroyImage(pixels);
        return image;
    }

    // The panel as our own host shows it at `panelScale`, sized in pixels,
    // with Size at its default and then at `size`.
    std::pair<Image, Image> referencePanel(double panelScale, float size)
    {
        testsupport::ScopedVariable drawnAt("VELMORA_UI_SCALE", std::to_string(panelScale));
        const int width = static_cast<int>(kPanelWidth * panelScale);
        const int height = static_cast<int>(kPanelHeight * panelScale);
        const Window window = hostWindow(width, height);
        reference = std::make_unique<lv2test::Lv2UiHost>();
        reference->load();
        reference->open(window);
        pump(20);  // past the panel's 50 ms redraw timer
        std::pair<Image, Image> images;
        images.first = grab(window, width, height);
        reference->hostSets(kSize, size);
        pump(20);
        images.second = grab(window, width, height);
        reference.reset();
        XDestroyWindow(display, window);
        return images;
    }

    // The window's WM_CLASS name, empty for one that no toolkit made.
    std::string className(Window window) const
    {
        XClassHint hint{};
        if (!XGetClassHint(display, window, &hint))
            return "";
        const std::string name = hint.res_name;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return name;
    }

    // The panel's window in jalv's, and the plug-in area it was given: the one
    // window there that no toolkit made, none inside it.
    std::pair<Window, Window> findPanel(const char* windowClass)
    {
        std::function<Window(Window)> unnamedLeaf = [&](Window window) -> Window {
            const std::vector<Window> children = childWindows(window);
            for (const Window child : children)
                if (const Window found = unnamedLeaf(child))
                    return found;
            XWindowAttributes attributes{};
            const bool shown = XGetWindowAttributes(display, window, &attributes) &&
                               attributes.c_class == InputOutput && attributes.map_state == IsViewable &&
                               attributes.width > 1;
            return children.empty() && className(window).empty() && shown ? window : 0;
        };
        for (const Window topLevel : childWindows(DefaultRootWindow(display)))
            if (const Window panel = className(topLevel) == windowClass ? unnamedLeaf(topLevel) : 0)
            {
                Window root = 0, area = 0, *children = nullptr;
                unsigned int count = 0;
                XQueryTree(display, panel, &root, &area, &children, &count);
                if (children)
                    XFree(children);
                return {panel, area};
            }
        return {0, 0};
    }

    std::pair<int, int> windowSize(Window window)
    {
        XWindowAttributes attributes{};
        if (!window || !XGetWindowAttributes(display, window, &attributes))
            return {0, 0};
        return {attributes.width, attributes.height};
    }

    // Polls `condition` until it holds or the hosts' deadline passes.
    bool waitFor(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + kHostDeadline;
        while (!condition())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    static inline std::unique_ptr<testsupport::TemporaryFolder> folder;
    static inline std::unique_ptr<ChildProcess> jack;
    static inline std::string jackServer;
    std::unique_ptr<lv2test::Lv2UiHost> reference;
    std::unique_ptr<ChildProcess> jalv;
};

// Pixels of `grabbed` in the reference's place that differ from it.
int differences(const Image& grabbed, const Image& reference)
{
    if (grabbed.width < reference.width || grabbed.height < reference.height || reference.pixels.empty())
        return reference.width * reference.height;
    int count = 0;
    for (int y = 0; y < reference.height; ++y)
        for (int x = 0; x < reference.width; ++x)
            count += grabbed.at(x, y) != reference.at(x, y);
    return count;
}

// Pixels right of column `left` that are not black.
int litBeyond(const Image& grabbed, int left)
{
    int count = 0;
    for (int y = 0; y < grabbed.height; ++y)
        for (int x = left; x < grabbed.width; ++x)
            count += grabbed.at(x, y) != 0;
    return count;
}

TEST_P(PanelInJalv, FillsTheAreaAtTheScaleAndDragsInPanelUnits)
{
    const Desktop& desktop = GetParam();
    constexpr float kDraggedSize = 0.7f;  // the default 0.5, dragged 40 units at 1/200 per unit
    const auto [panel, dragged] = referencePanel(desktop.scale, kDraggedSize);
    ASSERT_FALSE(panel.pixels.empty());
    ASSERT_GT(differences(dragged, panel), 0) << "the reference's knob did not move";

    if (desktop.gnomeSettings)
        publishGnomeScale(2);
    jalv = std::make_unique<ChildProcess>(std::vector<std::string>{desktop.program, std::string(lv2::kPluginUri)},
                                          environment(desktop.variables), folder->path() / "jalv.log");

    const std::pair<int, int> area{static_cast<int>(std::lround(desktop.areaWidth * desktop.scale)),
                                   static_cast<int>(std::lround(kPanelHeight * desktop.scale))};
    std::pair<Window, Window> windows;
    const bool settled = waitFor([&] {
        windows = findPanel(desktop.windowClass);
        return windowSize(windows.second) == area && windowSize(windows.first) == area;
    });
    ASSERT_TRUE(settled) << desktop.program << " showed no plug-in area of " << area.first << " x " << area.second
                         << " filled by the panel's window; area " << windowSize(windows.second).first << " x "
                         << windowSize(windows.second).second << ", panel's window " << windowSize(windows.first).first
                         << " x " << windowSize(windows.first).second << "\n"
                         << logOf("jalv.log");

    Image shown;
    waitFor([&] {
        shown = grab(windows.first, area.first, area.second);
        return differences(shown, panel) == 0 && litBeyond(shown, panel.width) == 0;
    });
    EXPECT_EQ(differences(shown, panel), 0) << "pixels unlike the panel drawn at " << desktop.scale;
    EXPECT_EQ(litBeyond(shown, panel.width), 0) << "the area beyond the panel is not black";

    scale = desktop.scale;
    Window child = 0;
    XTranslateCoordinates(display, windows.first, DefaultRootWindow(display), 0, 0, &panelOrigin.first,
                          &panelOrigin.second, &child);
    drag(126, 46, 166);  // 40 panel units right from the middle of the Size knob at (110, 30)
    waitFor([&] { return differences(shown = grab(windows.first, area.first, area.second), dragged) == 0; });
    EXPECT_EQ(differences(shown, dragged), 0) << "the knob does not show Size at 0.7";
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, PanelInJalv,
    ::testing::Values(
        Desktop{"Gtk", "/usr/bin/jalv.gtk3", "jalv.gtk3", {}, false, 1.0, kPanelWidth},
        Desktop{"GtkGdkScale2", "/usr/bin/jalv.gtk3", "jalv.gtk3", {"GDK_SCALE=2"}, false, 2.0, kPanelWidth},
        Desktop{"GtkGnomeScale2", "/usr/bin/jalv.gtk3", "jalv.gtk3", {}, true, 2.0, kPanelWidth},
        Desktop{"Qt", "/usr/bin/jalv.qt5", "jalv.qt5", {}, false, 1.0, kQtAreaWidth},
        Desktop{"QtScaleFactor2", "/usr/bin/jalv.qt5", "jalv.qt5", {"QT_SCALE_FACTOR=2"}, false, 2.0, kQtAreaWidth},
        Desktop{
            "QtScaleFactor1_5", "/usr/bin/jalv.qt5", "jalv.qt5", {"QT_SCALE_FACTOR=1.5"}, false, 1.5, kQtAreaWidth}),
    [](const ::testing::TestParamInfo<Desktop>& info) { return std::string(info.param.name); });
}  // namespace
