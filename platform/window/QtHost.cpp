// The Qt side of the window layer: one QRasterWindow per native window, Qt's
// input turned into the layer's messages, and the window's picture put on screen.
// Runs only on the thread that owns the Qt application.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QPainter>
#include <QRasterWindow>
#include <QRegion>
#include <QScreen>
#include <QStyleHints>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include <atomic>
#include <cstdlib>
#include <map>

#include "platform/draw/QtApplication.h"
#include "platform/window/Window.h"
#include "platform/window/WindowInternal.h"

namespace platform::detail {
namespace {

std::atomic<QAbstractEventDispatcher*> g_dispatcher{nullptr};
std::atomic<QThread*> g_qtThread{nullptr};

UINT VirtualKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<UINT>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<UINT>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<UINT>(0x70 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Meta: return 0x5B;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Slash: return 0xBF;
    case Qt::Key_QuoteLeft: return 0xC0;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_Apostrophe: return 0xDE;
    default: return 0;
    }
}

WPARAM MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    WPARAM f = 0;
    if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
    if (buttons & Qt::RightButton) f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
    if (mods & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

class HostWindow;
std::vector<HostWindow*> g_graveyard;

class HostWindow final : public QRasterWindow {
public:
    explicit HostWindow(HWND hwnd) : hwnd_(hwnd) {
        QSurfaceFormat f = format();
        f.setAlphaBufferSize(8);
        setFormat(f);
    }

    HWND hwnd_;
    int busy_ = 0;
    Qt::WindowFlags flags_;
    std::wstring tipText_;
    bool tipActive_ = false;
    QTimer* tipTimer_ = nullptr;
    qint64 lastPressMs_ = -100000;
    QPoint lastPressPos_;
    Qt::MouseButton lastPressButton_ = Qt::NoButton;
    QRect appliedGeometry_;

protected:
    bool event(QEvent* e) override {
        struct Busy {
            int& n;
            explicit Busy(int& c) : n(c) { ++n; }
            ~Busy() { --n; }
        } busy(busy_);
        if (!hwnd_) return QRasterWindow::event(e);
        switch (e->type()) {
        case QEvent::Expose:
            if (isExposed()) InvalidateRect(hwnd_, nullptr, FALSE);
            break;
        case QEvent::Close:
            e->ignore();
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            return true;
        case QEvent::Leave:
            Leave();
            break;
        case QEvent::FocusIn:
            Focus(true);
            break;
        case QEvent::FocusOut:
            Focus(false);
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDragMoveEvent*>(e);
            if (IsDropTarget(hwnd_) && !LocalFiles(d->mimeData()).empty()) d->acceptProposedAction();
            else d->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            const QPoint at = d->position().toPoint();
            if (DropFilesOnWindow(hwnd_, LocalFiles(d->mimeData()), POINT{at.x(), at.y()})) d->acceptProposedAction();
            else d->ignore();
            return true;
        }
        default:
            break;
        }
        return QRasterWindow::event(e);
    }

    // Only files on this machine can be opened; other links are ignored.
    static std::vector<std::wstring> LocalFiles(const QMimeData* data) {
        std::vector<std::wstring> paths;
        if (!data || !data->hasUrls()) return paths;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdWString());
        return paths;
    }

    void paintEvent(QPaintEvent*) override {
        if (!hwnd_) return;
        QImage image;
        bool perPixel = false;
        bool colorKey = false;
        COLORREF key = 0;
        {
            std::lock_guard lock(LayerMutex());
            auto win = FindLocked(hwnd_);
            if (!win || win->pixelWidth <= 0) return;
            image = QImage(reinterpret_cast<const uchar*>(win->pixels.data()), win->pixelWidth, win->pixelHeight,
                           win->pixelWidth * 4, QImage::Format_ARGB32_Premultiplied)
                        .copy();
            perPixel = (win->exStyle & WS_EX_LAYERED) && win->perPixelAlpha;
            colorKey = (win->exStyle & WS_EX_LAYERED) && (win->layeredFlags & LWA_COLORKEY);
            key = win->colorKey;
        }
        if (!perPixel) {
            // An ordinary window ignores alpha: show every pixel opaque.
            for (int y = 0; y < image.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) row[x] |= 0xFF000000u;
            }
        }
        if (colorKey) {
            const QRgb k = qRgb(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF);
            for (int y = 0; y < image.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    if ((row[x] & 0xFFFFFF) == (k & 0xFFFFFF)) row[x] = 0;
            }
        }
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image);
    }

    void mousePressEvent(QMouseEvent* e) override { Button(e, true); }
    void mouseReleaseEvent(QMouseEvent* e) override { Button(e, false); }
    void mouseDoubleClickEvent(QMouseEvent*) override {}  // made from presses, see Button
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!Enabled()) return;
        const QPoint p = e->position().toPoint();
        PostMessageW(hwnd_, WM_MOUSEMOVE, MouseFlags(e->buttons(), e->modifiers()), MAKELPARAM(p.x(), p.y()));
    }
    void wheelEvent(QWheelEvent* e) override {
        if (!Enabled()) return;
        const int delta = e->angleDelta().y();
        if (delta == 0) return;
        const QPoint g = e->globalPosition().toPoint();
        const WPARAM w = (MouseFlags(e->buttons(), e->modifiers()) & 0xFFFF) |
                         (static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(delta))) << 16);
        PostMessageW(hwnd_, WM_MOUSEWHEEL, w, MAKELPARAM(g.x(), g.y()));
    }
    void keyPressEvent(QKeyEvent* e) override { Key(e, true); }
    void keyReleaseEvent(QKeyEvent* e) override { Key(e, false); }

    void resizeEvent(QResizeEvent* e) override {
        if (!hwnd_) return;
        const QSize s = e->size();
        bool changed = false;
        {
            std::lock_guard lock(LayerMutex());
            auto win = FindLocked(hwnd_);
            if (!win) return;
            if (win->rect.right - win->rect.left != s.width() || win->rect.bottom - win->rect.top != s.height()) {
                win->rect.right = win->rect.left + s.width();
                win->rect.bottom = win->rect.top + s.height();
                changed = true;
            }
        }
        if (changed) {
            CallProc(hwnd_, WM_SIZE, IsZoomed(hwnd_) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     MAKELPARAM(s.width(), s.height()));
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
    }
    void moveEvent(QMoveEvent* e) override {
        if (!hwnd_) return;
        const QPoint p = e->pos();
        bool changed = false;
        {
            std::lock_guard lock(LayerMutex());
            auto win = FindLocked(hwnd_);
            if (!win) return;
            if (win->rect.left != p.x() || win->rect.top != p.y()) {
                const int w = win->rect.right - win->rect.left, h = win->rect.bottom - win->rect.top;
                win->rect = RECT{p.x(), p.y(), p.x() + w, p.y() + h};
                changed = true;
            }
        }
        if (changed) CallProc(hwnd_, WM_MOVE, 0, MAKELPARAM(p.x(), p.y()));
    }

private:
    bool Enabled() { return hwnd_ && IsWindowEnabled(hwnd_); }

    void Button(QMouseEvent* e, bool down) {
        if (!Enabled()) return;
        UINT base;
        switch (e->button()) {
        case Qt::LeftButton: base = WM_LBUTTONDOWN; break;
        case Qt::RightButton: base = WM_RBUTTONDOWN; break;
        case Qt::MiddleButton: base = WM_MBUTTONDOWN; break;
        default: return;
        }
        const QPoint p = e->position().toPoint();
        UINT msg = down ? base : base + 1;
        if (down) {
            // Double-clicks are made here from two presses, so the message order is
            // the classic down, up, double-click, up, and only for classes that ask.
            const qint64 now = static_cast<qint64>(timeGetTimeMs());
            UINT classStyle = 0;
            {
                std::lock_guard lock(LayerMutex());
                auto win = FindLocked(hwnd_);
                if (win) classStyle = win->classStyle;
            }
            const bool again = e->button() == lastPressButton_ &&
                               now - lastPressMs_ <= static_cast<qint64>(HostDoubleClickTime()) &&
                               std::abs(p.x() - lastPressPos_.x()) <= 4 && std::abs(p.y() - lastPressPos_.y()) <= 4;
            if (again && (classStyle & CS_DBLCLKS)) {
                msg = base + 2;
                lastPressMs_ = -100000;
            } else {
                lastPressMs_ = now;
                lastPressPos_ = p;
                lastPressButton_ = e->button();
            }
        }
        PostMessageW(hwnd_, msg, MouseFlags(e->buttons(), e->modifiers()), MAKELPARAM(p.x(), p.y()));
    }

    static DWORD timeGetTimeMs() {
        static const auto start = Steady::now();
        return static_cast<DWORD>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
    }

    void Key(QKeyEvent* e, bool down) {
        if (!Enabled()) return;
        const UINT vk = VirtualKey(e->key());
        const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
        if (vk) {
            LPARAM l = 1 | (static_cast<LPARAM>(e->nativeScanCode() & 0xFF) << 16);
            if (alt) l |= (1 << 29);
            if (e->isAutoRepeat()) l |= (1 << 30);
            if (!down) l |= (static_cast<LPARAM>(3) << 30);
            const bool sys = alt || vk == VK_MENU || vk == 0x79;
            UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
            PostMessageW(hwnd_, msg, vk, l);
        }
        if (down && !e->text().isEmpty() && !(e->modifiers() & Qt::ControlModifier)) {
            const std::u32string text = e->text().toStdU32String();
            for (char32_t c : text)
                if (c >= 0x20 && c != 0x7F) PostMessageW(hwnd_, alt ? WM_SYSCHAR : WM_CHAR, c, 1);
        }
    }

    void Leave() {
        bool post = false;
        {
            std::lock_guard lock(LayerMutex());
            auto win = FindLocked(hwnd_);
            if (win && win->trackLeave) {
                win->trackLeave = false;
                win->trackHover = false;
                post = true;
            }
        }
        if (post) PostMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
        if (tipTimer_) tipTimer_->stop();
        QToolTip::hideText();
    }

    void Focus(bool in) {
        PostMessageW(hwnd_, WM_NCACTIVATE, in ? 1 : 0, 0);
        PostMessageW(hwnd_, WM_ACTIVATE, in ? 1 : 0, 0);
        HostFocusChanged(hwnd_, in);
    }
};

HostWindow* HostOf(HWND hwnd) {
    std::lock_guard lock(LayerMutex());
    auto win = FindLocked(hwnd);
    return win ? static_cast<HostWindow*>(win->host) : nullptr;
}

void BuryDead() {
    for (auto it = g_graveyard.begin(); it != g_graveyard.end();) {
        if ((*it)->busy_ == 0) {
            delete *it;
            it = g_graveyard.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

bool HostEnsureApplication() {
    if (!QCoreApplication::instance()) {
        // Without a display, fall back to the offscreen platform instead of
        // aborting: the windows still work, they are just not seen.
        if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
        platform::draw::EnsureQtApplication();
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return false;
    if (!g_dispatcher.load()) {
        g_qtThread = app->thread();
        g_dispatcher = QAbstractEventDispatcher::instance(app->thread());
    }
    return true;
}

}  // namespace platform::detail

namespace platform {

std::string PlatformName() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? QGuiApplication::platformName().toStdString() : std::string();
}

}  // namespace platform

namespace platform::detail {

bool HostIsQtThread() {
    QThread* t = g_qtThread.load();
    return t && QThread::currentThread() == t;
}

void HostWake() {
    if (auto* d = g_dispatcher.load()) d->wakeUp();
}

void HostProcessEvents(int waitMs) {
    BuryDead();
    if (waitMs < 0) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        static QTimer* wakeTimer = nullptr;
        if (!wakeTimer) {
            wakeTimer = new QTimer;
            wakeTimer->setSingleShot(true);
            wakeTimer->setTimerType(Qt::PreciseTimer);
        }
        wakeTimer->start(waitMs);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        wakeTimer->stop();
    }
    BuryDead();
}

void* HostCreate(HWND hwnd) { return new HostWindow(hwnd); }

void HostDestroy(void* host) {
    auto* w = static_cast<HostWindow*>(host);
    w->hwnd_ = nullptr;
    w->hide();
    // Deleting a window inside one of its own event handlers would pull the
    // object out from under Qt; the graveyard frees it once it is idle.
    g_graveyard.push_back(w);
    if (w->busy_ == 0) BuryDead();
}

void HostApplyState(HWND hwnd) {
    HostWindow* host = HostOf(hwnd);
    if (!host) return;
    DWORD style, ex;
    RECT r;
    std::wstring name;
    bool visible, minimized, maximized;
    HostWindow* parent = nullptr;
    std::vector<RECT> region;
    BYTE alpha;
    DWORD lwa;
    {
        std::lock_guard lock(LayerMutex());
        auto win = FindLocked(hwnd);
        if (!win) return;
        style = win->style;
        ex = win->exStyle;
        r = win->rect;
        name = win->name;
        visible = win->visible && !win->destroying;
        minimized = win->minimized;
        maximized = win->maximized;
        region = win->region;
        alpha = win->alpha;
        lwa = win->layeredFlags;
        if (auto p = FindLocked(win->parent)) parent = static_cast<HostWindow*>(p->host);
    }
    Qt::WindowFlags flags = (ex & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    if (!(style & WS_CAPTION)) flags |= Qt::FramelessWindowHint;
    if (ex & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    if (ex & WS_EX_TRANSPARENT) flags |= Qt::WindowTransparentForInput;
    if (ex & WS_EX_NOACTIVATE) flags |= Qt::WindowDoesNotAcceptFocus;
    if (flags != host->flags_) {
        host->flags_ = flags;
        host->setFlags(flags);
    }
    if (host->transientParent() != parent) host->setTransientParent(parent);
    const QString title = QString::fromStdWString(name);
    if (host->title() != title) host->setTitle(title);
    const QRect g(r.left, r.top, std::max(1, static_cast<int>(r.right - r.left)),
                  std::max(1, static_cast<int>(r.bottom - r.top)));
    if (g != host->appliedGeometry_) {
        host->appliedGeometry_ = g;
        host->setGeometry(g);
    }
    QRegion mask;
    for (const RECT& rr : region) mask += QRect(rr.left, rr.top, rr.right - rr.left, rr.bottom - rr.top);
    if (host->mask() != mask) host->setMask(mask);
    const qreal opacity = ((ex & WS_EX_LAYERED) && (lwa & LWA_ALPHA)) ? alpha / 255.0 : 1.0;
    if (host->opacity() != opacity) host->setOpacity(opacity);
    if (!visible) {
        if (host->isVisible()) host->hide();
    } else if (minimized) {
        if (host->windowState() != Qt::WindowMinimized) host->showMinimized();
    } else if (maximized) {
        if (host->windowState() != Qt::WindowMaximized) host->showMaximized();
    } else if (!host->isVisible() || host->windowState() != Qt::WindowNoState) {
        host->showNormal();
    }
}

void HostRepaint(HWND hwnd) {
    if (HostWindow* host = HostOf(hwnd)) host->update();
}

void HostStartSystemMove(HWND hwnd) {
    if (HostWindow* host = HostOf(hwnd)) host->startSystemMove();
}

void HostActivate(HWND hwnd) {
    HostWindow* host = HostOf(hwnd);
    if (host && host->isVisible()) host->requestActivate();
}

void HostSetCursor(HWND hwnd, std::uintptr_t id) {
    HostWindow* host = HostOf(hwnd);
    if (!host) return;
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (id) {
    case IDC_IBEAM: shape = Qt::IBeamCursor; break;
    case IDC_WAIT: shape = Qt::WaitCursor; break;
    case IDC_CROSS: shape = Qt::CrossCursor; break;
    case IDC_SIZEWE: shape = Qt::SizeHorCursor; break;
    case IDC_SIZENS: shape = Qt::SizeVerCursor; break;
    case IDC_HAND: shape = Qt::PointingHandCursor; break;
    case IDC_HELP: shape = Qt::WhatsThisCursor; break;
    default: break;
    }
    host->setCursor(QCursor(shape));
}

RECT HostWorkArea(POINT p) {
    if (HostIsQtThread()) {
        QScreen* s = QGuiApplication::screenAt(QPoint(p.x, p.y));
        if (!s) s = QGuiApplication::primaryScreen();
        if (s) {
            const QRect a = s->availableGeometry();
            return RECT{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
        }
    }
    return RECT{0, 0, 1920, 1080};
}

POINT HostCursorPos() {
    if (!HostIsQtThread()) return POINT{};
    const QPoint p = QCursor::pos();
    return POINT{p.x(), p.y()};
}

UINT HostDoubleClickTime() {
    if (!HostIsQtThread()) return 500;
    return static_cast<UINT>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

void HostSetTip(HWND owner, const std::wstring& text, bool active) {
    HostWindow* host = HostOf(owner);
    if (!host) return;
    host->tipText_ = text;
    host->tipActive_ = active && !text.empty();
    if (!host->tipActive_) {
        if (host->tipTimer_) host->tipTimer_->stop();
        QToolTip::hideText();
    }
}

void HostRelayTip(const MSG& msg) {
    HostWindow* host = HostOf(msg.hwnd);
    if (!host) return;
    if (msg.message != WM_MOUSEMOVE) {
        if (host->tipTimer_) host->tipTimer_->stop();
        QToolTip::hideText();
        return;
    }
    if (!host->tipActive_) return;
    if (!host->tipTimer_) {
        host->tipTimer_ = new QTimer(host);
        host->tipTimer_->setSingleShot(true);
        QObject::connect(host->tipTimer_, &QTimer::timeout, host, [host] {
            if (host->tipActive_) QToolTip::showText(QCursor::pos(), QString::fromStdWString(host->tipText_));
        });
    }
    host->tipTimer_->start(500);
}

bool HostSavePng(const std::vector<std::uint32_t>& pixels, int w, int h, bool keepAlpha, const std::string& path) {
    QImage image(reinterpret_cast<const uchar*>(pixels.data()), w, h, w * 4, QImage::Format_ARGB32_Premultiplied);
    QImage out = keepAlpha ? image.convertToFormat(QImage::Format_ARGB32) : image.convertToFormat(QImage::Format_RGB32);
    return out.save(QString::fromStdString(path), "PNG");
}

}  // namespace platform::detail
