#include "render/progress_bar.h"

#include "common/component_trace.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace render
{
namespace
{
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(bool wanted, std::int64_t totalFrames)
    : active(wanted && totalFrames > 0 && isatty(fileno(tools::userErrors()))), total(totalFrames)
{}

void ProgressBar::update(std::int64_t framesDone)
{
    if (!active)
        return;
    const int percent = static_cast<int>(std::clamp<std::int64_t>(framesDone * 100 / total, 0, 100));
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    char bar[kBarWidth + 1];
    const int filled = percent * kBarWidth / 100;
    std::fill(bar, bar + filled, '#');
    std::fill(bar + filled, bar + kBarWidth, '.');
    bar[kBarWidth] = '\0';
    std::fprintf(tools::userErrors(), "\rRendering [%s] %3d%%", bar, percent);
}

void ProgressBar::finish()
{
    if (!active)
        return;
    active = false;
    std::fprintf(tools::userErrors(), "\r\033[K");
}
}  // namespace render
