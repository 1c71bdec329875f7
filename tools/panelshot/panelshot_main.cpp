// velmora-panelshot: writes a PNG of the effect's panel at given values.

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/command_line.h"
#include "common/png_file.h"
#include "gui/desktop_scale.h"
#include "panelshot/panel_render.h"

namespace
{
constexpr char kUsage[] = "usage: velmora-panelshot [--bundle DIR] [--size V] [--drywet V] [--onoff 0|1]\n"
                          "                         [--splash] [--scale 1|1.5|2] --output FILE.png\n"
                          "  V in 0..1; --bundle defaults to $VELMORA_BUNDLE; --scale draws the panel as the\n"
                          "  editor does on a desktop scaled by that much (default 1)\n";

// One of the scales the panel's art is drawn at.
double scaleOption(const std::string& text)
{
    const std::optional<double> scale = tools::finiteNumber(text);
    if (!scale || std::find(gui::kArtScales.begin(), gui::kArtScales.end(), *scale) == gui::kArtScales.end())
        throw tools::UsageError("invalid value '" + text + "' for --scale: expected 1, 1.5 or 2");
    return *scale;
}

void writePanel(const std::string& bundle, const panelshot::PanelValues& values, const std::string& output)
{
    std::string error;
    cairo_surface_t* image = panelshot::renderPanel(bundle, values, error);
    if (!image)
        throw std::runtime_error(error);
    const bool written = tools::writePngFile(image, output, error);
    cairo_surface_destroy(image);
    if (!written)
        throw std::runtime_error(error);
}
}  // namespace

int main(int argc, char** argv)
{
    panelshot::PanelValues values;
    const char* environmentBundle = std::getenv("VELMORA_BUNDLE");
    std::string bundle = environmentBundle ? environmentBundle : "";
    std::string output;
    tools::CommandLine line;
    line.option({"--bundle"}, [&bundle](const std::string& value) { bundle = value; });
    line.option({"--output"}, [&output](const std::string& value) { output = value; });
    for (const auto& unitOption :
         {std::pair{"--size", &panelshot::PanelValues::size}, std::pair{"--drywet", &panelshot::PanelValues::dryWet},
          std::pair{"--onoff", &panelshot::PanelValues::onOff}})
        line.option({unitOption.first}, [&values, unitOption](const std::string& value) {
            values.*unitOption.second = static_cast<float>(tools::numberOption(unitOption.first, value, 0.0, 1.0));
        });
    line.option({"--scale"}, [&values](const std::string& value) { values.scale = scaleOption(value); });
    line.flag({"--splash"}, [&values] { values.splashShown = true; });
    return tools::runTool("velmora-panelshot", kUsage, line, argc, argv, [&](const std::vector<std::string>& operands) {
        if (!operands.empty() || output.empty() || bundle.empty())
            throw tools::UsageError("");
        writePanel(bundle, values, output);
        return 0;
    });
}
