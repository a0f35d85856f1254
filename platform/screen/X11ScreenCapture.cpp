// X11 backend of the screen capture. The connection stays open between captures.
//
// The picture is that of the primary monitor (RandR's primary, else its first
// monitor): the root window spans every monitor side by side, and the keys are
// to follow the screen the user works on, not a squeezed strip of all of them.
// Without RandR the whole root window is taken.
//
// Where the server has the RENDER extension (and the build has its library), the
// server itself samples the root window down to the small picture with a
// nearest-pixel transform, and only that small picture crosses to us: a capture
// then costs a fraction of copying the whole screen. Otherwise the whole screen
// is read, and only the pixels of the small picture are picked from it. Either
// image is read through a MIT-SHM segment when the server offers one, else with
// a plain XGetImage.
#include "platform/screen/ScreenCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#if KEYLOFT_HAVE_XRENDER
#include <X11/extensions/Xrender.h>
#endif
#if KEYLOFT_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace keyloft::platform {

namespace {

// Xlib's default error handler ends the process. A capture that fails (the
// screen changed size under us, the segment went away) must only fail, so errors
// on the connection that the calling thread is capturing on are counted, and all
// others go to the handler that was installed before ours.
std::mutex g_errorMutex;
XErrorHandler g_previousHandler = nullptr;
int g_ourDisplays = 0;
thread_local Display* t_capturing = nullptr;
thread_local int t_errors = 0;

int OnXError(Display* display, XErrorEvent* event) {
    if (display == t_capturing) {
        ++t_errors;
        return 0;
    }
    return g_previousHandler ? g_previousHandler(display, event) : 0;
}

int ChannelShift(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// One image of a fixed size, read through shared memory when possible.
class ImageReader {
public:
    ImageReader(Display* d, Visual* v, int depth) : display_(d), visual_(v), depth_(depth) {
        useShm_ = XShmQueryExtension(display_);
    }
    ~ImageReader() { Release(); }

    // Reads w x h pixels of `drawable` from (x, y). The image stays valid until
    // the next Read or Release; null on failure.
    XImage* Read(Drawable drawable, int x, int y, int w, int h) {
        if (plain_) {
            XDestroyImage(plain_);
            plain_ = nullptr;
        }
        if (useShm_ && Ensure(w, h)) {
            t_errors = 0;
            if (XShmGetImage(display_, drawable, shm_, x, y, AllPlanes) && t_errors == 0) return shm_;
            // The server refused the segment: plain requests from now on.
            Release();
            useShm_ = false;
        }
        t_errors = 0;
        plain_ = XGetImage(display_, drawable, x, y, w, h, AllPlanes, ZPixmap);
        XSync(display_, False);
        if (plain_ && t_errors) {
            XDestroyImage(plain_);
            plain_ = nullptr;
        }
        return plain_;
    }

    void Release() {
        if (plain_) {
            XDestroyImage(plain_);
            plain_ = nullptr;
        }
        if (!shm_) return;
        if (attached_) {
            XShmDetach(display_, &info_);
            XSync(display_, False);
            shmdt(info_.shmaddr);
        }
        shm_->data = nullptr;
        XDestroyImage(shm_);
        shm_ = nullptr;
        attached_ = false;
    }

private:
    bool Ensure(int w, int h) {
        if (shm_ && shm_->width == w && shm_->height == h) return true;
        Release();
        shm_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &info_, w, h);
        if (!shm_) return false;
        info_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(shm_->bytes_per_line) * shm_->height, IPC_CREAT | 0600);
        if (info_.shmid < 0) {
            XDestroyImage(shm_);
            shm_ = nullptr;
            return false;
        }
        info_.shmaddr = shm_->data = static_cast<char*>(shmat(info_.shmid, nullptr, 0));
        info_.readOnly = False;
        t_errors = 0;
        const bool mapped = info_.shmaddr != reinterpret_cast<char*>(-1);
        const bool attached = mapped && XShmAttach(display_, &info_);
        XSync(display_, False);
        // Marked for removal at once: it goes away with the last detach, also
        // when the program is killed.
        shmctl(info_.shmid, IPC_RMID, nullptr);
        if (!attached || t_errors) {
            if (mapped) shmdt(info_.shmaddr);
            shm_->data = nullptr;
            XDestroyImage(shm_);
            shm_ = nullptr;
            return false;
        }
        attached_ = true;
        return true;
    }

    Display* display_;
    Visual* visual_;
    int depth_;
    bool useShm_ = false;
    bool attached_ = false;
    XImage* shm_ = nullptr;
    XImage* plain_ = nullptr;
    XShmSegmentInfo info_{};
};

class X11ScreenCapture final : public ScreenCapture {
public:
    X11ScreenCapture(Display* display, bool serverScaling)
        : display_(display),
          screen_(DefaultScreen(display)),
          root_(RootWindow(display, screen_)),
          visual_(DefaultVisual(display, screen_)),
          depth_(DefaultDepth(display, screen_)),
          reader_(display, visual_, depth_) {
        {
            std::lock_guard<std::mutex> lock(g_errorMutex);
            if (g_ourDisplays++ == 0) g_previousHandler = XSetErrorHandler(&OnXError);
        }
        width_ = DisplayWidth(display_, screen_);
        height_ = DisplayHeight(display_, screen_);
        redShift_ = ChannelShift(visual_->red_mask);
        greenShift_ = ChannelShift(visual_->green_mask);
        blueShift_ = ChannelShift(visual_->blue_mask);
#if KEYLOFT_HAVE_XRENDER
        int event, error;
        render_ = serverScaling && XRenderQueryExtension(display_, &event, &error);
#else
        (void)serverScaling;
#endif
#if KEYLOFT_HAVE_XRANDR
        int rrEvent, rrError, major = 0, minor = 0;
        monitors_ = XRRQueryExtension(display_, &rrEvent, &rrError) && XRRQueryVersion(display_, &major, &minor) &&
                    (major > 1 || (major == 1 && minor >= 5));
#endif
        RefreshSize();
    }

    ~X11ScreenCapture() override {
        ReleaseScaler();
        reader_.Release();
        XCloseDisplay(display_);
        std::lock_guard<std::mutex> lock(g_errorMutex);
        if (--g_ourDisplays == 0) XSetErrorHandler(g_previousHandler);
    }

    int ScreenWidth() const override { return width_; }
    int ScreenHeight() const override { return height_; }

    bool Capture(int width, int height, std::uint32_t* pixels) override {
        if (width <= 0 || height <= 0) return false;
        t_capturing = display_;
        RefreshSize();
        bool done = false;
        if (width_ > 0 && height_ > 0) {
#if KEYLOFT_HAVE_XRENDER
            if (render_) done = CaptureScaledByServer(width, height, pixels);
#endif
            if (!done) {
                XImage* image = reader_.Read(root_, left_, top_, width_, height_);
                if (image) {
                    Sample(image, width_, height_, width, height, pixels);
                    done = true;
                }
            }
        }
        t_capturing = nullptr;
        return done;
    }

private:
    // The screen may have been resized or rearranged since the last capture (a
    // monitor was plugged in, the resolution or the primary monitor changed):
    // the capture must follow it.
    void RefreshSize() {
        Window root;
        int x = 0, y = 0;
        unsigned int w = 0, h = 0, border, depth;
        if (!XGetGeometry(display_, root_, &root, &x, &y, &w, &h, &border, &depth)) return;
        int left = 0, top = 0, width = static_cast<int>(w), height = static_cast<int>(h);
#if KEYLOFT_HAVE_XRANDR
        if (monitors_) {
            int count = 0;
            XRRMonitorInfo* list = XRRGetMonitors(display_, root_, True, &count);
            const XRRMonitorInfo* chosen = nullptr;
            for (int i = 0; i < count; ++i) {
                if (list[i].width <= 0 || list[i].height <= 0) continue;
                if (!chosen || (list[i].primary && !chosen->primary)) chosen = &list[i];
            }
            if (chosen) {
                // Kept inside the root window: a read beyond it fails as a whole.
                left = std::clamp(chosen->x, 0, width);
                top = std::clamp(chosen->y, 0, height);
                width = std::min(chosen->width, width - left);
                height = std::min(chosen->height, height - top);
            }
            if (list) XRRFreeMonitors(list);
        }
#endif
        if (left == left_ && top == top_ && width == width_ && height == height_) return;
        left_ = left;
        top_ = top;
        width_ = width;
        height_ = height;
        ReleaseScaler();
    }

#if KEYLOFT_HAVE_XRENDER
    bool CaptureScaledByServer(int width, int height, std::uint32_t* pixels) {
        if (!EnsureScaler(width, height)) {
            render_ = false;
            return false;
        }
        t_errors = 0;
        XRenderComposite(display_, PictOpSrc, source_, None, target_, 0, 0, 0, 0, 0, 0, width, height);
        XImage* image = reader_.Read(pixmap_, 0, 0, width, height);
        if (!image || t_errors) {
            // This server cannot do it after all: read whole screens from now on.
            ReleaseScaler();
            render_ = false;
            return false;
        }
        Sample(image, width, height, width, height, pixels);
        return true;
    }

    bool EnsureScaler(int width, int height) {
        if (source_ && scaledWidth_ == width && scaledHeight_ == height) return true;
        ReleaseScaler();
        XRenderPictFormat* format = XRenderFindVisualFormat(display_, visual_);
        if (!format) return false;
        t_errors = 0;
        XRenderPictureAttributes attributes{};
        attributes.subwindow_mode = IncludeInferiors;  // the windows on the screen, not just the root
        source_ = XRenderCreatePicture(display_, root_, format, CPSubwindowMode, &attributes);
        pixmap_ = XCreatePixmap(display_, root_, width, height, depth_);
        target_ = XRenderCreatePicture(display_, pixmap_, format, 0, nullptr);
        // Target pixel x takes source pixel floor(x * screen width / width), as
        // a plain stretching copy does: the transform maps the target pixel's
        // centre (x + 0.5) to just past the left edge of that source pixel.
        const double sx = static_cast<double>(width_) / width;
        const double sy = static_cast<double>(height_) / height;
        const double nudge = 1.0 / 256;
        XTransform transform = {{
            {XDoubleToFixed(sx), XDoubleToFixed(0), XDoubleToFixed(left_ + nudge - 0.5 * sx)},
            {XDoubleToFixed(0), XDoubleToFixed(sy), XDoubleToFixed(top_ + nudge - 0.5 * sy)},
            {XDoubleToFixed(0), XDoubleToFixed(0), XDoubleToFixed(1)},
        }};
        XRenderSetPictureTransform(display_, source_, &transform);
        XRenderSetPictureFilter(display_, source_, FilterNearest, nullptr, 0);
        XSync(display_, False);
        if (t_errors) {
            ReleaseScaler();
            return false;
        }
        scaledWidth_ = width;
        scaledHeight_ = height;
        return true;
    }
#endif

    void ReleaseScaler() {
#if KEYLOFT_HAVE_XRENDER
        if (source_) XRenderFreePicture(display_, source_);
        if (target_) XRenderFreePicture(display_, target_);
        if (pixmap_) XFreePixmap(display_, pixmap_);
        source_ = target_ = 0;
        pixmap_ = 0;
        scaledWidth_ = scaledHeight_ = 0;
#endif
    }

    // Picks pixel (x * sw / width, y * sh / height) of the sw x sh image.
    void Sample(XImage* image, int sw, int sh, int width, int height, std::uint32_t* pixels) {
        const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
        const bool standardMasks =
            visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 && visual_->blue_mask == 0xFF;
        if (direct && standardMasks && sw == width && sh == height) {
            // Already sampled by the server and already in our pixel order.
            for (int y = 0; y < height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(image->data + y * image->bytes_per_line);
                std::uint32_t* out = pixels + static_cast<std::size_t>(y) * width;
                for (int x = 0; x < width; ++x) out[x] = row[x] | 0xFF000000u;
            }
            return;
        }
        columns_.resize(width);
        for (int x = 0; x < width; ++x) columns_[x] = static_cast<int>(static_cast<long long>(x) * sw / width);
        for (int y = 0; y < height; ++y) {
            const int sy = static_cast<int>(static_cast<long long>(y) * sh / height);
            std::uint32_t* out = pixels + static_cast<std::size_t>(y) * width;
            if (direct) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(image->data + sy * image->bytes_per_line);
                for (int x = 0; x < width; ++x) out[x] = ToArgb(row[columns_[x]]);
            } else {
                for (int x = 0; x < width; ++x)
                    out[x] = ToArgb(static_cast<std::uint32_t>(XGetPixel(image, columns_[x], sy)));
            }
        }
    }

    std::uint32_t ToArgb(std::uint32_t p) const {
        const std::uint32_t r = (p & visual_->red_mask) >> redShift_;
        const std::uint32_t g = (p & visual_->green_mask) >> greenShift_;
        const std::uint32_t b = (p & visual_->blue_mask) >> blueShift_;
        return 0xFF000000u | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
    }

    Display* display_;
    int screen_;
    Window root_;
    Visual* visual_;
    int depth_;
    ImageReader reader_;
    int left_ = 0, top_ = 0;  // the captured monitor's place on the root window
    int width_ = 0, height_ = 0;
    int redShift_, greenShift_, blueShift_;
    std::vector<int> columns_;
#if KEYLOFT_HAVE_XRANDR
    bool monitors_ = false;
#endif
#if KEYLOFT_HAVE_XRENDER
    bool render_ = false;
    Picture source_ = 0, target_ = 0;
    Pixmap pixmap_ = 0;
    int scaledWidth_ = 0, scaledHeight_ = 0;
#endif
};

}  // namespace

std::unique_ptr<ScreenCapture> OpenX11ScreenCapture(const char* display, bool serverScaling) {
    Display* d = XOpenDisplay(display);
    if (!d) return nullptr;
    return std::make_unique<X11ScreenCapture>(d, serverScaling);
}

}  // namespace keyloft::platform
