#include "render/stereo_picture.h"

#include "common/png_file.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace render
{
namespace
{
struct Colour
{
    double red, green, blue;
};
constexpr Colour kInk = {0.13, 0.13, 0.15};
constexpr Colour kGrid = {0.86, 0.86, 0.88};
constexpr Colour kInputColour = {0.15, 0.40, 0.75};
constexpr Colour kOutputColour = {0.88, 0.40, 0.05};

constexpr double kMargin = 40.0;
constexpr double kScopeSize = 520.0;
constexpr double kScopeTop = 90.0;
constexpr double kPlotLeft = 100.0;
constexpr double kPlotRight = kPictureWidth - kMargin;
constexpr double kPlotHeight = 190.0;
constexpr double kCorrelationTop = kScopeTop + kScopeSize + 70.0;
constexpr double kSideToMidTop = kCorrelationTop + kPlotHeight + 80.0;
constexpr double kCaptionTop = kSideToMidTop + kPlotHeight + 70.0;
constexpr double kCaptionLineHeight = 19.0;
// Side-to-mid values below this (a mono signal gives minus infinity) are
// drawn on the plot's floor.
constexpr double kSideToMidFloorDb = -60.0;

struct Release
{
    void operator()(cairo_t* context) const { cairo_destroy(context); }
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

void setColour(cairo_t* cr, const Colour& colour, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, colour.red, colour.green, colour.blue, alpha);
}

enum class Align
{
    left,
    centre,
    right
};

void text(cairo_t* cr, double x, double y, const std::string& content, double size, Align align = Align::left,
          bool bold = false)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, content.c_str(), &extents);
    const double shift = align == Align::left     ? 0.0
                         : align == Align::centre ? extents.x_advance / 2
                                                  : extents.x_advance;
    cairo_move_to(cr, x - shift, y);
    cairo_show_text(cr, content.c_str());
}

std::string format(const char* pattern, double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

// Both scopes share one scale, rounded up to a tenth, so they compare.
double scopeScale(const StereoImageRecorder& image)
{
    double largest = 0.0;
    for (const StereoTrace* trace : {&image.input(), &image.output()})
        for (const ScopePoint& point : trace->scope)
            largest = std::max(
                {largest, std::fabs(static_cast<double>(point.x)), std::fabs(static_cast<double>(point.y))});
    return std::max(0.1, std::ceil(largest * 10.0) / 10.0);
}

void drawScope(cairo_t* cr, double left, const StereoTrace& trace, double scale, const Colour& colour,
               const std::string& label)
{
    const double half = kScopeSize / 2.0, centreX = left + half, centreY = kScopeTop + half;
    setColour(cr, kInk);
    text(cr, centreX, kScopeTop - 14.0, label, 18.0, Align::centre, true);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, kGrid);
    for (const double fraction : {-0.5, 0.5})
    {
        line(cr, centreX + fraction * half, kScopeTop, centreX + fraction * half, kScopeTop + kScopeSize);
        line(cr, left, centreY + fraction * half, left + kScopeSize, centreY + fraction * half);
    }
    line(cr, left, kScopeTop, left + kScopeSize, kScopeTop + kScopeSize);
    line(cr, left + kScopeSize, kScopeTop, left, kScopeTop + kScopeSize);
    setColour(cr, kInk, 0.55);
    line(cr, centreX, kScopeTop, centreX, kScopeTop + kScopeSize);
    line(cr, left, centreY, left + kScopeSize, centreY);
    setColour(cr, kInk);
    cairo_rectangle(cr, left, kScopeTop, kScopeSize, kScopeSize);
    cairo_stroke(cr);

    setColour(cr, colour, 0.4);
    for (const ScopePoint& point : trace.scope)
    {
        const double x = centreX + point.x / scale * half, y = centreY - point.y / scale * half;
        if (x >= left && x <= left + kScopeSize && y >= kScopeTop && y <= kScopeTop + kScopeSize)
            cairo_rectangle(cr, x - 1.0, y - 1.0, 2.0, 2.0);
    }
    cairo_fill(cr);

    setColour(cr, kInk);
    text(cr, left + 8.0, kScopeTop + 20.0, "L", 15.0, Align::left, true);
    text(cr, left + kScopeSize - 8.0, kScopeTop + 20.0, "R", 15.0, Align::right, true);
    text(cr, centreX + 6.0, kScopeTop + 20.0, "mid (mono)", 13.0);
    text(cr, left + kScopeSize - 8.0, centreY - 6.0, "side", 13.0, Align::right);
    text(cr, left + 8.0, kScopeTop + kScopeSize - 10.0, "edges at " + format("%.1f", scale) + " (1 = full scale)",
         12.0);
}

struct Plot
{
    double top;
    double low, high;  // value range
    double seconds;    // of the whole time axis
};

double plotX(const Plot& plot, double seconds)
{
    return kPlotLeft + (plot.seconds > 0 ? seconds / plot.seconds : 0.0) * (kPlotRight - kPlotLeft);
}

double plotY(const Plot& plot, double value)
{
    return plot.top + kPlotHeight * (plot.high - value) / (plot.high - plot.low);
}

// A step of 1, 2 or 5 times a power of ten giving about `count` divisions.
double niceStep(double span, int count)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power)
            return factor * power;
    return 10.0 * power;
}

void drawAxes(cairo_t* cr, const Plot& plot, const std::string& title, const std::string& unit, double valueStep)
{
    cairo_set_line_width(cr, 1.0);
    setColour(cr, kInk);
    text(cr, kPlotLeft, plot.top - 14.0, title, 17.0, Align::left, true);
    for (double value = std::ceil(plot.low / valueStep) * valueStep; value <= plot.high + 1e-9; value += valueStep)
    {
        setColour(cr, kGrid);
        line(cr, kPlotLeft, plotY(plot, value), kPlotRight, plotY(plot, value));
        setColour(cr, kInk);
        text(cr, kPlotLeft - 8.0, plotY(plot, value) + 5.0,
             std::fabs(value) < 1e-9 ? "0" : format(valueStep < 1.0 ? "%+.1f" : "%+.0f", value), 13.0, Align::right);
    }
    const double timeStep = niceStep(std::max(plot.seconds, 0.01), 10);
    for (double seconds = 0.0; seconds <= plot.seconds + 1e-9; seconds += timeStep)
    {
        setColour(cr, kGrid);
        line(cr, plotX(plot, seconds), plot.top, plotX(plot, seconds), plot.top + kPlotHeight);
        setColour(cr, kInk);
        text(cr, plotX(plot, seconds), plot.top + kPlotHeight + 18.0, format(timeStep < 1.0 ? "%.1f" : "%.0f", seconds),
             13.0, Align::centre);
    }
    text(cr, kPlotRight, plot.top + kPlotHeight + 36.0, "time (s)", 13.0, Align::right);
    cairo_save(cr);
    cairo_translate(cr, kPlotLeft - 62.0, plot.top + kPlotHeight / 2.0);
    cairo_rotate(cr, -M_PI / 2.0);
    text(cr, 0.0, 0.0, unit, 13.0, Align::centre);
    cairo_restore(cr);
    cairo_rectangle(cr, kPlotLeft, plot.top, kPlotRight - kPlotLeft, kPlotHeight);
    cairo_stroke(cr);
}

// One value a window, drawn at the window's middle; NaN leaves a gap.
void drawSeries(cairo_t* cr, const Plot& plot, const std::vector<double>& values, double windowSeconds,
                const Colour& colour)
{
    setColour(cr, colour);
    cairo_set_line_width(cr, 2.0);
    bool drawing = false;
    for (std::size_t index = 0; index < values.size(); ++index)
    {
        if (std::isnan(values[index]))
        {
            drawing = false;
            continue;
        }
        const double x = plotX(plot, std::min((index + 0.5) * windowSeconds, plot.seconds));
        const double y = plotY(plot, std::clamp(values[index], plot.low, plot.high));
        drawing ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
        drawing = true;
    }
    cairo_stroke(cr);
}

void drawLegend(cairo_t* cr, const Plot& plot)
{
    double x = kPlotRight - 190.0;
    for (const auto& [colour, label] : {std::pair{kInputColour, "input"}, std::pair{kOutputColour, "output"}})
    {
        setColour(cr, colour);
        cairo_set_line_width(cr, 3.0);
        line(cr, x, plot.top - 19.0, x + 26.0, plot.top - 19.0);
        setColour(cr, kInk);
        text(cr, x + 32.0, plot.top - 14.0, label, 14.0);
        x += 100.0;
    }
}

// A range for the side-to-mid plot holding every finite value, in steps of
// ten dB, its floor no lower than kSideToMidFloorDb.
Plot sideToMidPlot(const std::vector<double>& input, const std::vector<double>& output, double seconds)
{
    double low = 0.0, high = 0.0;
    bool any = false;
    for (const std::vector<double>* values : {&input, &output})
        for (const double value : *values)
            if (std::isfinite(value))
            {
                low = any ? std::min(low, value) : value;
                high = any ? std::max(high, value) : value;
                any = true;
            }
    if (!any)
        low = kSideToMidFloorDb, high = 0.0;
    low = std::max(kSideToMidFloorDb, std::floor(low / 10.0) * 10.0);
    high = std::max(low + 10.0, std::ceil(high / 10.0) * 10.0);
    // Minus infinity (no side at all) rests on the floor.
    for (const std::vector<double>* values : {&input, &output})
        for (const double value : *values)
            if (std::isinf(value) && value < 0)
                low = std::min(low, kSideToMidFloorDb);
    return {kSideToMidTop, low, high, seconds};
}

void drawCaption(cairo_t* cr, const std::string& caption)
{
    setColour(cr, kInk);
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13.0);
    std::istringstream lines(caption);
    double y = kCaptionTop;
    for (std::string row; std::getline(lines, row); y += kCaptionLineHeight)
    {
        cairo_move_to(cr, kMargin, y);
        cairo_show_text(cr, row.c_str());
    }
}
}  // namespace

bool drawStereoPicture(const std::string& path, const StereoImageRecorder& image, const std::string& title,
                       const std::string& caption, std::string& error)
{
    const std::unique_ptr<cairo_surface_t, Release> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureWidth, kPictureHeight));
    const std::unique_ptr<cairo_t, Release> context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    setColour(cr, kInk);
    text(cr, kMargin, 40.0, title, 22.0, Align::left, true);
    const double scale = scopeScale(image);
    drawScope(cr, kMargin, image.input(), scale, kInputColour, "Input");
    drawScope(cr, kPictureWidth - kMargin - kScopeSize, image.output(), scale, kOutputColour, "Output");

    const double seconds = static_cast<double>(image.input().windows.size()) * image.windowSeconds();
    const Plot correlationPlot = {kCorrelationTop, -1.0, 1.0, seconds};
    drawAxes(cr, correlationPlot, "Correlation of left and right (+1 mono, 0 unrelated, -1 opposed)", "correlation",
             0.5);
    drawSeries(cr, correlationPlot, correlationSeries(image.input()), image.windowSeconds(), kInputColour);
    drawSeries(cr, correlationPlot, correlationSeries(image.output()), image.windowSeconds(), kOutputColour);
    drawLegend(cr, correlationPlot);

    const std::vector<double> inputSideToMid = sideToMidSeries(image.input());
    const std::vector<double> outputSideToMid = sideToMidSeries(image.output());
    const Plot sideToMid = sideToMidPlot(inputSideToMid, outputSideToMid, seconds);
    drawAxes(cr, sideToMid, "Side to mid energy (higher is wider; no side at all rests on the floor)", "dB",
             niceStep(sideToMid.high - sideToMid.low, 5));
    drawSeries(cr, sideToMid, inputSideToMid, image.windowSeconds(), kInputColour);
    drawSeries(cr, sideToMid, outputSideToMid, image.windowSeconds(), kOutputColour);
    drawLegend(cr, sideToMid);

    drawCaption(cr, caption);
    cairo_surface_flush(surface.get());
    return tools::writePngFile(surface.get(), path, error);
}
}  // namespace render
