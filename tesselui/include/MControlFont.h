// MControlFont: the base of every control that shows a title or a skin image.
// It adds the title, the font settings (only size, style and rendering hint take
// effect: every text is drawn with the toolkit's one font family), the text colour
// and brush, alignment, and the skin image with its state-cell geometry.
//
// The image normally comes from the window's image cache and is never freed by
// the control. The GDI font is built on demand and owned by the control.
// Thread: the window's thread. SetImage answers 0 without a manager or image.
#pragma once

#include <memory>

#include "MControl.h"

namespace TesselUI {

class MControlFont : public MControl {
public:
    MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible = 1, int enabled = 1);
    ~MControlFont() override;

    // --- Virtual operations, in table order --------------------------------------
    virtual void SetTextFont(const CString& face) { fontFace_ = face; }
    virtual void SetTextColor(Gdiplus::Color colour);
    virtual BOOL SetImage(UINT resourceId, const CString& resourceType, int count);
    virtual BOOL SetImage(const wchar_t* fileName, int count);
    virtual void SetControlTitle(const wchar_t* title) { title_ = title; }
    virtual CString GetControlTitle() { return title_; }

    // --- Non-virtual ----------------------------------------------------------------
    void SetTitle(const wchar_t* title);
    const CString& GetTitle() const { return title_; }
    void SetAlignment(UINT h);
    void SetVAlignment(UINT v);
    void SetAlignment(UINT h, UINT v);
    UINT GetAlignment() const { return hAlign_; }
    UINT GetVAlignment() const { return vAlign_; }
    void SetFont(const CString& face, int size, Gdiplus::FontStyle style);
    void SetFontStyle(Gdiplus::FontStyle style) { fontStyle_ = style; }
    Gdiplus::FontStyle GetFontStyle() const { return fontStyle_; }
    const CString& GetTextFont() const { return fontFace_; }
    void SetFontWidth(int size) { fontSize_ = size; }
    int GetFontWidth() const { return fontSize_; }
    void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) { renderingHint_ = hint; }
    Gdiplus::TextRenderingHint GetTextRenderingHint() const { return renderingHint_; }
    Gdiplus::Color GetTextColor() const { return textColour_; }
    const Gdiplus::Brush& GetTextBrush() const { return textBrush_; }
    // The family of `face` among the window's private fonts; null when it has none.
    Gdiplus::FontFamily* GetFontFamily(const CString& face);
    Gdiplus::FontFamily* GetFontFamily() const { return fontFamily_; }
    // A GDI font: the toolkit face (at most 32 characters), the font size, bold for
    // style bit 1, italic for 2, underline for 4. Cached until the title changes.
    HFONT GetGDIFont();
    void ClearGDIFont();
    const CString& GetImagePath() const { return imagePath_; }
    CSize GetImageSize() const { return CSize(imageCellWidth_, imageHeight_); }
    void SetImageCount(int count) { imageCount_ = count; }
    int GetImageCount() const { return imageCount_; }
    Gdiplus::Image* GetImage() const { return image_; }

protected:
    CString title_;
    CString fontFace_;
    CString imagePath_;
    int fontSize_;
    Gdiplus::Color textColour_{0xFFFFFFFF};
    Gdiplus::Brush textBrush_;
    Gdiplus::FontStyle fontStyle_ = 0;
    Gdiplus::FontFamily* fontFamily_ = nullptr;
    UINT hAlign_ = 0;
    UINT vAlign_ = 4;
    Gdiplus::TextRenderingHint renderingHint_ = 5;
    std::unique_ptr<platform::draw::Font> gdiFont_;
    Gdiplus::Image* image_ = nullptr;
    int imageCellWidth_ = 0;
    int imageHeight_ = 0;
    int imageCount_ = 4;
};

}  // namespace TesselUI
