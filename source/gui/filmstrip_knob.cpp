#include "gui/filmstrip_knob.h"

#include <cmath>

namespace gui
{
FilmstripKnob::FilmstripKnob(const Rect& size_, ControlListener* listener_, std::int32_t tag_,
                             std::int32_t subImageCount_, double subImageHeight_, Bitmap* strip, Point offset_)
    : Knob(size_, listener_, tag_, strip), subImageCount(subImageCount_), subImageHeight(subImageHeight_),
      offset(offset_)
{}

double FilmstripKnob::getSubImageTop() const
{
    if (!(value >= 0.0f) || subImageHeight <= 0.0 || subImageCount < 1)
        return 0.0;
    const double shown = inverseFlag ? 1.0 - value : value;
    const auto y = static_cast<long>(std::floor(subImageHeight * (subImageCount - 1) * shown));
    const auto height = static_cast<long>(subImageHeight);
    return static_cast<double>(height > 0 ? y - y % height : 0);
}

void FilmstripKnob::draw(DrawContext& context)
{
    if (background)
        background->draw(context, size, {offset.x, offset.y + getSubImageTop()}, 1.0f);
    setDirty(false);
}
}  // namespace gui
