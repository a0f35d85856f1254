// Private: a QPainter on an image's active frame, begun on first use and shared by
// every user until the last one lets go. Each user sets the painter state it needs
// (clip, transform, composition, hints) before drawing, so users never see each
// other's settings.
#pragma once

#include <QPainter>

#include "platform/draw/Image.h"
#include "platform/draw/ImageImpl.h"

namespace platform::draw {

class SharedPainter {
public:
    explicit SharedPainter(Image& image) : impl_(image.impl()) {
        if (!impl_->painter) {
            impl_->painter = new QPainter(&impl_->Current());
        }
        ++impl_->painterUsers;
    }
    ~SharedPainter() {
        if (--impl_->painterUsers == 0) {
            impl_->painter->end();
            delete impl_->painter;
            impl_->painter = nullptr;
        }
    }
    SharedPainter(const SharedPainter&) = delete;
    SharedPainter& operator=(const SharedPainter&) = delete;

    QPainter& get() { return *impl_->painter; }

private:
    Image::Impl* impl_;
};

}  // namespace platform::draw
