// Private: the data behind an Image, shared by the drawing layer's sources.
#pragma once

#include <QImage>
#include <QPainter>
#include <vector>

#include "platform/draw/Image.h"

namespace platform::draw {

struct Image::Impl {
    std::vector<QImage> frames;  // each Format_ARGB32_Premultiplied
    std::vector<int> delays;
    int active = 0;
    // The painter that is drawing into the active frame right now, shared by every
    // Graphics and GDI-style call on this image (Qt allows one painter per image).
    QPainter* painter = nullptr;
    int painterUsers = 0;

    QImage& Current() { return frames[static_cast<size_t>(active)]; }
};

// The active frame, or a shared null image.
QImage& CurrentFrame(Image& image);
const QImage& CurrentFrame(const Image& image);

}  // namespace platform::draw
