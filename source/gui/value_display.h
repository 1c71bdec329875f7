#pragma once
// A control that shows a text: its value formatted, or (TextLabel) a fixed
// text. Style bits choose frame, shadow and whether text is drawn at all.

#include <string>

#include "gui/control.h"
#include "gui/draw_context.h"

namespace gui
{
inline constexpr std::int32_t kShadowText = 0x4;
inline constexpr std::int32_t k3DIn = 0x80;
inline constexpr std::int32_t kNoTextStyle = 0x800;
inline constexpr std::int32_t kNoFrame = 0x100;
inline constexpr std::int32_t k3DOut = 0x4000;

class ValueDisplay : public Control
{
public:
    using ValueToString = bool (*)(float value, char* text, std::size_t textSize);

    ValueDisplay(const Rect& size, Bitmap* background = nullptr, std::int32_t style = 0);

    void setFont(const Font& newFont) { font = newFont; }
    void setFontColor(Color color) { fontColor = color; }
    void setBackColor(Color color) { backColor = color; }
    void setFrameColor(Color color) { frameColor = color; }
    void setShadowColor(Color color) { shadowColor = color; }
    void setAntialias(bool enabled) { antialiasFlag = enabled; }
    void setTransparency(bool enabled) { transparentFlag = enabled; }
    void setHoriAlign(HorizontalAlign align) { horizontalAlign = align; }
    void setValueToString(ValueToString function) { valueToString = function; }

    void draw(DrawContext& context) override;

protected:
    virtual std::string getDisplayText() const;

    std::int32_t style;

private:
    Font font = gNormalFont;
    HorizontalAlign horizontalAlign = HorizontalAlign::center;
    Color fontColor = kWhiteColor;
    Color backColor = kBlackColor;
    Color frameColor = kBlackColor;
    Color shadowColor = kRedColor;
    bool antialiasFlag = true;
    bool transparentFlag = false;  // a label shows its box unless asked not to
    ValueToString valueToString = nullptr;
};

class TextLabel : public ValueDisplay
{
public:
    TextLabel(const Rect& size, const char* text, Bitmap* background = nullptr, std::int32_t style = 0);

    // A null text is stored as an empty one.
    void setText(const char* newText);

protected:
    std::string getDisplayText() const override { return text; }

private:
    std::string text;
    bool hasText = false;
};
}  // namespace gui
