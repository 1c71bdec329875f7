#pragma once
// Points and rectangles in pixels, y growing downwards. A view's rectangle is
// given in its parent's coordinates.

#include <algorithm>

namespace gui
{
struct Point
{
    double x = 0.0;
    double y = 0.0;

    bool operator==(const Point&) const = default;
};

struct Rect
{
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    bool operator==(const Rect&) const = default;

    static Rect fromSize(double width, double height) { return {0.0, 0.0, width, height}; }

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    bool isEmpty() const { return width() <= 0.0 || height() <= 0.0; }

    Rect moved(double dx, double dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }

    // Right and bottom edges are outside, so neighbouring views never share a pixel.
    bool pointInside(Point where) const
    {
        return where.x >= left && where.x < right && where.y >= top && where.y < bottom;
    }

    bool overlaps(const Rect& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }

    Rect intersection(const Rect& other) const
    {
        Rect result{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                    std::min(bottom, other.bottom)};
        if (result.isEmpty())
            return {};
        return result;
    }

    Rect united(const Rect& other) const
    {
        if (isEmpty())
            return other;
        if (other.isEmpty())
            return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
};
}  // namespace gui
