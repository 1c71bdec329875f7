#include "gui/value_display.h"

#include <cstdio>

namespace gui
{
ValueDisplay::ValueDisplay(const Rect& size_, Bitmap* background_, std::int32_t style_)
    : Control(size_, nullptr, -1, background_), style(style_)
{}

std::string ValueDisplay::getDisplayText() const
{
    char text[256] = "";
    if (!valueToString || !valueToString(value, text, sizeof text))
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    return text;
}

void ValueDisplay::draw(DrawContext& context)
{
    if (background)
        background->draw(context, size, {}, 1.0f);
    else if (!transparentFlag)
    {
        context.fillRect(size, backColor);
        if (!(style & (k3DIn | kNoFrame | k3DOut)))
            context.frameRect(size, frameColor);
    }

    const std::string displayText = getDisplayText();
    if (!(style & kNoTextStyle) && !displayText.empty())
    {
        if (style & kShadowText)
            context.drawString(displayText, size.moved(1.0, 1.0), font, shadowColor, horizontalAlign, antialiasFlag);
        context.drawString(displayText, size, font, fontColor, horizontalAlign, antialiasFlag);
    }
    setDirty(false);
}

TextLabel::TextLabel(const Rect& size_, const char* text_, Bitmap* background_, std::int32_t style_)
    : ValueDisplay(size_, background_, style_)
{
    setText(text_);
}

void TextLabel::setText(const char* newText)
{
    const char* stored = newText ? newText : "";
    if (hasText && text == stored)
        return;
    text = stored;
    hasText = true;
    setDirty(true);
}
}  // namespace gui
