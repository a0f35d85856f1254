// Private to platform/: the Qt objects behind the drawing layer's plain types, for
// the window layer (putting a painted image on screen, wrapping a captured screen)
// and the drawing layer's own sources. Nothing outside platform/ includes this.
#pragma once

#include <QFont>
#include <QImage>

#include "platform/draw/Font.h"
#include "platform/draw/Image.h"

namespace platform::draw {

// The active frame of an image, Format_ARGB32_Premultiplied (null for a null image).
// The reference stays valid until the image is destroyed or its frame changes; do
// not change its format or size.
QImage& QtImage(Image& image);
const QImage& QtImage(const Image& image);

// An Image taking over a QImage (converted to premultiplied ARGB when needed).
std::unique_ptr<Image> ImageFromQImage(QImage image);

// The QFont of a Font (family, pixel size, style bits).
QFont QtFont(const Font& font);

}  // namespace platform::draw
