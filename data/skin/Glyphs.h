// Line-style pictograms drawn from vector paths on a 24 x 24 design grid, scaled
// to any box, so every icon of the skin has the same stroke and proportions.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skin {

enum class Glyph {
    Home, Keyboard, Macro, Light, Config, Pc, Calculator, Email, Music, PlayPause, Stop, Prev,
    Next, VolDown, VolUp, VolMute, Refresh, WebStop, Back, Forward, Star, Search, Plus, Trash,
    Pencil, Import, Export, Clock, ArrowUp, ArrowDown, ArrowLeft, ArrowRight, Close, Minimise,
    Globe, Usb, Wireless, Bolt, Check, Chevron,
};

// Draws `glyph` centred in `box` (kept square) in `colour`; `stroke` is the line
// width in design units (24 per box side).
void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour, qreal stroke = 1.8);

}  // namespace skin
