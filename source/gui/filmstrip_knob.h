#pragma once
// A knob drawn from a vertical strip of equally high images: sub-image
// floor(value x (count - 1)) shows, the first at 0.0 and the last at 1.0.

#include "gui/knob.h"

namespace gui
{
class FilmstripKnob : public Knob
{
public:
    FilmstripKnob(const Rect& size, ControlListener* listener, std::int32_t tag, std::int32_t subImageCount,
                  double subImageHeight, Bitmap* strip, Point offset = {});

    double getSubImageHeight() const { return subImageHeight; }
    void setInverseBitmap(bool inverse) { inverseFlag = inverse; }
    // Top of the sub-image shown for the current value, in strip pixels.
    double getSubImageTop() const;

    void draw(DrawContext& context) override;

private:
    std::int32_t subImageCount;
    double subImageHeight;
    Point offset;
    bool inverseFlag = false;
};
}  // namespace gui
