#include "platform/input/TextPaster.h"

#include "base/Clock.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace keyloft::platform {
namespace {

// Keeps the event loop running for `ms`, so that paste requests are answered.
void ServeEvents(int ms) {
    const auto until = keyloft::NowMs() + ms;
    while (keyloft::NowMs() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        keyloft::SleepMs(2);
    }
}

}  // namespace

bool PasteText(const std::wstring& text) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || text.empty()) return false;
    // The display the program's windows are on; $DISPLAY (XWayland) otherwise.
    const char* name = nullptr;
    if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>()) {
        if (x11->display()) name = DisplayString(x11->display());
    }
    Display* d = XOpenDisplay(name);
    if (!d) return false;
    int event, error, major, minor;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) {
        XCloseDisplay(d);
        return false;
    }
    const QString qtext = QString::fromStdWString(text);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(qtext, QClipboard::Clipboard);
    QCoreApplication::processEvents();

    const KeyCode ctrl = XKeysymToKeycode(d, XK_Control_L);
    const KeyCode v = XKeysymToKeycode(d, XK_v);
    XTestFakeKeyEvent(d, ctrl, True, CurrentTime);
    XTestFakeKeyEvent(d, v, True, CurrentTime);
    XFlush(d);
    ServeEvents(kPasteHoldMs);
    XTestFakeKeyEvent(d, v, False, CurrentTime);
    XTestFakeKeyEvent(d, ctrl, False, CurrentTime);
    XFlush(d);
    XCloseDisplay(d);

    QPointer<QClipboard> guard(clipboard);
    QTimer::singleShot(kPasteClearAfterMs, app, [guard, qtext] {
        if (guard && guard->text(QClipboard::Clipboard) == qtext) guard->clear(QClipboard::Clipboard);
    });
    return true;
}

}  // namespace keyloft::platform
