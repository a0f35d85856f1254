// MRender: the toolkit's static drawing helpers over the drawing layer: image
// loading (files, embedded resources, icons), colour fills and gradients, the
// nine-grid and picture show modes, rounded rectangles, text layout and measuring,
// the line-by-line transitions, the pre-rendered state cells of skinned controls,
// and thin wrappers of device contexts and bitmaps.
//
// Every operation is stateless apart from the resource registry (locked) and may
// be called from any thread on surfaces that thread owns. Loaders answer null on
// failure and hand ownership to the caller; drawing with a null image or surface
// does nothing. Pixel rows of the bitmaps made here are stored top-down.
#pragma once

#include <cstddef>
#include <functional>

#include "TesselTypes.h"
#include "platform/draw/GraphicsPath.h"
#include "platform/draw/StringFormat.h"

namespace TesselUI {

class MControl;
class PaintManager;

// How a picture shows its first cell (MPicture, CPhotoFrame, CSliderPicture).
enum enumShowMode : int {
    SHOW_MODE_NORMAL = 0,   // own size, placed by the alignment
    SHOW_MODE_TILE = 1,     // tiled from the top-left, last row and column clipped
    SHOW_MODE_STRETCH = 2,  // stretched to the control
    SHOW_MODE_FRAME = 3,    // nine-grid with one corner size
    SHOW_MODE_FRAME_MID = 4,// nine-grid with four sizes
    SHOW_MODE_PART = 5,     // a source sub-rectangle stretched to the control
};

// Everything a picture's show mode needs besides the image.
struct ShowModeParams {
    int mode = SHOW_MODE_NORMAL;
    int corner = 4;                       // modes 3
    int left = 0, top = 0, right = 0, bottom = 0;  // mode 4
    CRect source;                         // mode 5, in image pixels
    UINT hAlign = 0;                      // mode 0: 0 left, 1 centre, 2 right
    UINT vAlign = 0;                      // mode 0: 0 top, 4 centre, 8 bottom
};

class MRender {
public:
    // --- Images -------------------------------------------------------------------
    static Gdiplus::Image* LoadImageFromFile(const CString& path);
    // From the PNG (or other image) resource `id` of `type` in `module`: the
    // library's own module (LibraryModule()) or the application's (any other value,
    // including null). Null when the resource is missing or not an image.
    static Gdiplus::Image* LoadImageFromIDResource(UINT id, const CString& type, HINSTANCE module);
    // The first icon of an icon or image file; null for anything else.
    static Gdiplus::Image* LoadIconFromFile(const CString& path);

    // --- Resources ------------------------------------------------------------------
    // The library's own resource module: PNG 101 and 102 (scroll bars) and TTF 106.
    static HINSTANCE LibraryModule();
    // The application registers its resources under Manager::GetInstance() (null is
    // fine). The bytes are not copied and must stay valid. Types compare without case.
    static bool RegisterResource(HINSTANCE module, UINT id, const CString& type, const void* data,
                                 std::size_t size);
    static bool FindResource(HINSTANCE module, UINT id, const CString& type, const void** data,
                             std::size_t* size);

    // --- Skin paths -----------------------------------------------------------------
    // The skin folder plus `name`, with "\" and "//" read as one "/".
    static CString SkinPath(const CString& name);
    static CString NormalizeSkinName(const CString& name);

    // --- Colours ----------------------------------------------------------------------
    // Pure black (low 24 bits 0) becomes 1 so it never equals the transparent value.
    static void CheckAlphaColor(DWORD& colour);
    static void FillSolidRect(HDC& hdc, const RECT* rect, COLORREF colour);
    static void FillSolidRect(HDC& hdc, int x, int y, int w, int h, COLORREF colour);
    // Fills with an ARGB colour, blended; nothing when the colour has no alpha part.
    static void DrawColor(HDC hdc, const RECT& rect, DWORD argb);
    // Two-colour gradient whose alpha is the mean of both alphas (nothing when 0),
    // blended over the target below 255. `steps` only matters for the banded form.
    static void DrawGradient(HDC hdc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps);
    // The banded gradient (2^k solid bands, k from the step count) that stands in
    // where no smooth gradient fill exists; DrawGradient uses the smooth one.
    static void DrawGradientBands(HDC hdc, const RECT& rect, DWORD from, DWORD to, bool vertical, int steps);
    static int GradientBandCount(int steps);

    // --- Nine-grid and pictures ---------------------------------------------------------
    static void DrawImageFrame(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect dest, int srcX, int srcY,
                               int srcW, int srcH, int corner);
    static void DrawImageFrameMID(Gdiplus::Graphics& g, Gdiplus::Image* image, CRect dest, int srcX, int srcY,
                                  int srcW, int srcH, int left, int top, int right, int bottom);
    // The first cell (cellW x cellH at (0, 0)) of `image` into `dest` by a show mode.
    static void DrawShowMode(Gdiplus::Graphics& g, Gdiplus::Image* image, int cellW, int cellH, CRect dest,
                             const ShowModeParams& params);

    // --- Shapes --------------------------------------------------------------------------
    static void DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int r, Gdiplus::Color fill);
    static void DrawRoundRectange(Gdiplus::Graphics& g, int x, int y, int w, int h, int r, Gdiplus::Color pen,
                                  float penWidth, bool fill, Gdiplus::Color fillColour);
    static platform::draw::GraphicsPath RoundRectPath(float x, float y, float w, float h, float rx, float ry);

    // --- Text ------------------------------------------------------------------------------
    static CSize GetTextBounds(const Gdiplus::Font& font, const CString& text);
    static CSize GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, const CString& text);
    static CSize GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format, int layoutWidth,
                               const CString& text);
    // The string format of control text: alignment 0/1/2 and 0/4/8 to near, centre,
    // far; single line 0x1800, multi-line 0x4800 (wraps).
    static Gdiplus::StringFormat MakeStringFormat(UINT hAlign, UINT vAlign, bool multiLine);
    // The toolkit's font: the window's family (FindTempFont) or the default family.
    static Gdiplus::Font MakeFont(PaintManager* manager, int sizePx, int style);
    // A control's text: the window's family at `sizePx` and `style`, the rendering
    // hint, alignment 0/1/2 and 0/4/8 in `rect`, one line or wrapped, in `colour`.
    static void DrawControlText(Gdiplus::Graphics& g, PaintManager* manager, const CString& text, CRect rect,
                                int sizePx, int style, int hint, UINT hAlign, UINT vAlign, bool multiLine,
                                Gdiplus::Color colour);
    static CPoint GetOriginPoint(int containerW, int containerH, int contentW, int contentH, UINT hAlign,
                                 UINT vAlign);
    static CPoint GetOriginPoint(CRect container, int contentW, int contentH, UINT hAlign, UINT vAlign);
    // GDI text with a transparent background; nothing for a null text.
    static int DrawTextW(HDC hdc, CRect& rect, const wchar_t* text, COLORREF colour, HFONT font, UINT format);

    // --- Transitions -------------------------------------------------------------------------
    // Line i of n gets the constant alpha S + i (E - S) / n with S and E the opacities
    // of `from` and `to` (percent transparency); answers the last line's alpha (255
    // without lines).
    static int DrawVerticalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int from, int to);
    static int DrawHorizontalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int from, int to);
    static int TransitionAlpha(int line, int lines, int from, int to);
    static void DrawRightBottomTransition(HDC& dst, HDC& src, CRect rect, int size, DWORD unused);

    // --- Pre-rendered state cells ------------------------------------------------------------
    // Rebuilds the control's memory image as `count` cells of its size: each cell
    // starts as a copy of the target's pixels under the control, then `drawCell`
    // paints state i into it (cell rectangle in memory-image pixels). Marks the image
    // current.
    using CellPainter = std::function<void(HDC cellDC, Gdiplus::Graphics& g, const CRect& cell, int index)>;
    static void RebuildStateCells(MControl& control, HDC& target, int count, const CellPainter& drawCell);
    // Copies cell `index` of the memory image onto the control's place in the target.
    static void CopyStateCell(MControl& control, HDC& target, int index);
    // Draws skin cell `index` of a strip (cellW x cellH each) into `dest`: as a
    // nine-grid with `corner`, or at its own size at dest's top-left when corner < 0.
    static void DrawSkinCell(Gdiplus::Graphics& g, Gdiplus::Image* strip, int cellW, int cellH, int index,
                             CRect dest, int corner);

    // --- Surfaces ------------------------------------------------------------------------------
    static HDC CreateCompatibleDC(HDC hdc);
    static void DeleteDC(HDC hdc);
    static HBITMAP CreateCompatibleBitmap(HDC hdc, int w, int h);
    static void DeleteObject(HBITMAP bitmap);
    static BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop = 0x00CC0020);
    // A 32-bit ARGB bitmap, all transparent; *bits (when given) points at its pixels.
    static HBITMAP CreateARGB32Bitmap(HDC hdc, int w, int h, BYTE** bits);
    // A BMP file at 24 bits, the depth every desktop here shows; false when it
    // cannot be created.
    static BOOL SaveBitmapToFile(HBITMAP bitmap, const CString& path);
};

}  // namespace TesselUI
