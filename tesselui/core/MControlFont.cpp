#include "MControlFont.h"

#include "Manager.h"
#include "PaintManager.h"

namespace TesselUI {

MControlFont::MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled),
      title_(title),
      fontFace_(Manager::GetFontName()),
      fontSize_(Manager::GetFontWidth()),
      textBrush_(Gdiplus::Brush::Solid(0xFFFFFFFF)) {}

MControlFont::~MControlFont() = default;

void MControlFont::SetTextColor(Gdiplus::Color colour) {
    textColour_ = colour;
    textBrush_ = Gdiplus::Brush::Solid(colour.GetValue());
}

void MControlFont::SetTitle(const wchar_t* title) {
    ClearGDIFont();
    SetControlTitle(title);
    if (visible_) UpdateControl(TRUE, FALSE);
}

void MControlFont::SetAlignment(UINT h) {
    if (h == hAlign_) return;
    hAlign_ = h;
    UpdateControl(TRUE, FALSE);
}

void MControlFont::SetVAlignment(UINT v) {
    if (v == vAlign_) return;
    vAlign_ = v;
    UpdateControl(TRUE, FALSE);
}

void MControlFont::SetAlignment(UINT h, UINT v) {
    if (h == hAlign_ && v == vAlign_) return;
    hAlign_ = h;
    vAlign_ = v;
    UpdateControl(TRUE, FALSE);
}

void MControlFont::SetFont(const CString& face, int size, Gdiplus::FontStyle style) {
    fontFace_ = face;
    fontSize_ = size;
    fontStyle_ = style;
    ClearGDIFont();
}

Gdiplus::FontFamily* MControlFont::GetFontFamily(const CString& face) {
    if (!manager_) return nullptr;
    std::lock_guard lock(manager_->FontLock());
    auto& fonts = manager_->TempFonts();
    auto it = fonts.find(face);
    return it == fonts.end() ? nullptr : it->second;
}

HFONT MControlFont::GetGDIFont() {
    if (!gdiFont_) {
        std::wstring face = Manager::GetFontName();
        if (face.size() > 32) face.resize(32);
        // Underline has no counterpart in the drawing layer's font; bold and italic do.
        gdiFont_ = std::make_unique<platform::draw::Font>(face, static_cast<float>(fontSize_),
                                                          fontStyle_ & (platform::draw::kFontBold |
                                                                        platform::draw::kFontItalic |
                                                                        platform::draw::kFontUnderline));
    }
    return gdiFont_.get();
}

void MControlFont::ClearGDIFont() { gdiFont_.reset(); }

}  // namespace TesselUI
