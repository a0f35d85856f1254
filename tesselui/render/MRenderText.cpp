// Text layout and measuring of the toolkit.
#include <cmath>

#include "MRender.h"
#include "PaintManager.h"
#include "platform/draw/Dc.h"
#include "platform/draw/Font.h"
#include "platform/draw/GraphicsPath.h"

namespace TesselUI {

namespace D = platform::draw;

namespace {

bool Fractional(double v) { return v != std::floor(v); }

D::RectF PathBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, float layoutWidth,
                    const CString& text) {
    D::GraphicsPath path;
    path.AddString(text, font.Family(), font.Style(), font.SizePx(), D::RectF(0, 0, layoutWidth, 0), format);
    return path.GetBounds();
}

}  // namespace

CSize MRender::GetTextBounds(const Gdiplus::Font& font, const CString& text) {
    Gdiplus::StringFormat format(D::kStringFormatNoWrap | D::kStringFormatMeasureTrailingSpaces);
    format.alignment = D::StringAlignment::Near;
    return GetTextBounds(font, format, text);
}

CSize MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, const CString& text) {
    const D::RectF bounds = PathBounds(font, format, 0, text);
    const double line = font.GetHeight();
    const int width = static_cast<int>(std::ceil(bounds.width));
    const int height = static_cast<int>(line + (Fractional(line) ? 4 : 1));
    return CSize(width, height);
}

CSize MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, int layoutWidth,
                             const CString& text) {
    const D::RectF bounds = PathBounds(font, format, static_cast<float>(layoutWidth), text);
    const double line = font.GetHeight();
    const int t = static_cast<int>(line + (Fractional(line) ? 2 : 1));
    const int u = static_cast<int>(bounds.height + (Fractional(bounds.height) ? 2 : 1));
    const int width = static_cast<int>(std::ceil(bounds.width));
    return CSize(width, t < u ? u + 5 : t + 1);
}

Gdiplus::StringFormat MRender::MakeStringFormat(UINT hAlign, UINT vAlign, bool multiLine) {
    Gdiplus::StringFormat f(multiLine ? (D::kStringFormatNoClip | D::kStringFormatMeasureTrailingSpaces)
                                      : (D::kStringFormatNoWrap | D::kStringFormatMeasureTrailingSpaces));
    f.alignment = hAlign == 1 ? D::StringAlignment::Center : hAlign == 2 ? D::StringAlignment::Far
                                                                          : D::StringAlignment::Near;
    f.lineAlignment = vAlign == 4 ? D::StringAlignment::Center : vAlign == 8 ? D::StringAlignment::Far
                                                                              : D::StringAlignment::Near;
    return f;
}

Gdiplus::Font MRender::MakeFont(PaintManager* manager, int sizePx, int style) {
    Gdiplus::FontFamily* family = manager ? manager->FindTempFont() : nullptr;
    return Gdiplus::Font(family ? *family : D::FontFamily::Default(), static_cast<float>(sizePx), style);
}

void MRender::DrawControlText(Gdiplus::Graphics& g, PaintManager* manager, const CString& text, CRect rect,
                              int sizePx, int style, int hint, UINT hAlign, UINT vAlign, bool multiLine,
                              Gdiplus::Color colour) {
    if (text.IsEmpty() || rect.IsRectEmpty()) return;
    const Gdiplus::Font font = MakeFont(manager, sizePx, style);
    const int previousHint = g.GetTextRenderingHint();
    g.SetTextRenderingHint(hint);
    g.DrawString(text, font, D::RectF(rect.ToDraw()), MakeStringFormat(hAlign, vAlign, multiLine),
                 D::Brush::Solid(colour.GetValue()));
    g.SetTextRenderingHint(previousHint);
}

int MRender::DrawTextW(HDC hdc, CRect& rect, const wchar_t* text, COLORREF colour, HFONT font, UINT format) {
    if (!hdc || !text) return 0;
    D::Rect r = rect.ToDraw();
    const int height = D::DrawText(*hdc, text, r, colour, font, format);
    if (format & D::kDtCalcRect) rect = CRect(r);
    return height;
}

}  // namespace TesselUI
