// The look of the skin in one place: colours, corner radii and the drawing helpers
// every image of the generator shares, so buttons, boxes and icons agree.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <functional>

namespace skin {

// Dark navy surfaces with one red accent: the window frame, the selection colour
// and the highlighted texts of the program are red, the panels are navy.
namespace colour {
inline const QColor kBgDeep(0x06, 0x0A, 0x12);
inline const QColor kBg(0x0B, 0x12, 0x21);
inline const QColor kBgRaised(0x10, 0x1A, 0x2D);
inline const QColor kFace(0x17, 0x23, 0x38);
inline const QColor kFaceTop(0x1C, 0x2A, 0x43);
inline const QColor kFaceHover(0x21, 0x33, 0x54);
inline const QColor kFacePressed(0x0E, 0x17, 0x27);
inline const QColor kFaceDisabled(0x12, 0x18, 0x23);
inline const QColor kBorder(0x2C, 0x3D, 0x5B);
inline const QColor kBorderHover(0x45, 0x5C, 0x84);
inline const QColor kBorderDisabled(0x1E, 0x27, 0x36);
inline const QColor kAccent(0xE8, 0x24, 0x3A);
inline const QColor kAccentHi(0xFF, 0x45, 0x58);
inline const QColor kAccentLo(0xA8, 0x16, 0x28);
inline const QColor kGlyph(0xD9, 0xE1, 0xEE);
inline const QColor kGlyphDim(0x8A, 0x95, 0xAB);
inline const QColor kGlyphDisabled(0x46, 0x50, 0x63);
inline const QColor kWhite(0xFF, 0xFF, 0xFF);
}  // namespace colour

// Corner radii: controls 5, small toggles 4, panels and dialogs 10.
constexpr qreal kRadius = 5;
constexpr qreal kRadiusSmall = 4;
constexpr qreal kRadiusPanel = 10;

// The four base states of a strip cell, left to right.
enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

// A transparent ARGB image of the given size.
QImage NewImage(int w, int h);

// Draws `cells` cells of cellW x cellH side by side, calling `draw` once per cell
// with the painter translated to the cell's top-left.
QImage Strip(int cellW, int cellH, int cells, const std::function<void(QPainter&, int cell)>& draw);

// A painter with antialiasing on.
void Smooth(QPainter& p);

// A rounded rectangle filled with a vertical gradient and outlined by a 1-pixel
// border that sits on the pixel grid (crisp at 1:1).
void Panel(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& border);

// The face of a push-style control in one of the four base states.
void ButtonFace(QPainter& p, const QRectF& r, qreal radius, int state, bool accent = false);

// The open-source UI font (Open Sans Semibold when installed) at a pixel size.
QFont UiFont(int px, bool bold = false);

}  // namespace skin
