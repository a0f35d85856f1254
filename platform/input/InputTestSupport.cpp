#include "platform/input/InputTestSupport.h"

#include "base/Clock.h"
#include "base/WideString.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <vector>

namespace keyloft::platform::testing {

struct SyntheticKeyboard::Impl {
    Display* display = nullptr;
};

SyntheticKeyboard::SyntheticKeyboard(const std::string& display) : impl_(std::make_unique<Impl>()) {
    impl_->display = XOpenDisplay(display.c_str());
}

SyntheticKeyboard::~SyntheticKeyboard() {
    if (impl_->display) XCloseDisplay(impl_->display);
}

bool SyntheticKeyboard::ok() const { return impl_->display != nullptr; }

void SyntheticKeyboard::Key(const char* keysym, bool press) {
    if (!impl_->display) return;
    const KeyCode code = XKeysymToKeycode(impl_->display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(impl_->display, code, press ? True : False, CurrentTime);
    XSync(impl_->display, False);
}

bool EnsureQtOnDisplay(const std::string& display) {
    if (QCoreApplication::instance()) return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    static std::vector<std::string> args;
    static std::vector<char*> argv;
    static int argc = 0;
    args = {"keyloft-tests", "-platform", "xcb", "-display", display};
    argv.clear();
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    argc = static_cast<int>(args.size());
    new QGuiApplication(argc, argv.data());  // lives until the test process ends
    return true;
}

void RunQtEvents(int ms) {
    const auto until = keyloft::NowMs() + ms;
    while (keyloft::NowMs() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        keyloft::SleepMs(2);
    }
}

std::wstring ReadClipboardAsPeer(const std::string& displayName, int timeoutMs) {
    Display* d = XOpenDisplay(displayName.c_str());
    if (!d) return {};
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom property = XInternAtom(d, "KEYLOFT_PASTE", False);
    std::wstring text;
    if (XGetSelectionOwner(d, clipboard) != None) {
        XConvertSelection(d, clipboard, utf8, property, w, CurrentTime);
        XFlush(d);
        const auto until = keyloft::NowMs() + timeoutMs;
        bool answered = false;
        while (!answered && keyloft::NowMs() < until) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (XPending(d) > 0) {
                XEvent ev;
                XNextEvent(d, &ev);
                if (ev.type != SelectionNotify) continue;
                answered = true;
                if (ev.xselection.property == None) break;
                Atom type;
                int format;
                unsigned long items, left;
                unsigned char* data = nullptr;
                if (XGetWindowProperty(d, w, property, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                                       &items, &left, &data) == Success && data) {
                    text = keyloft::Utf8ToWide(std::string(reinterpret_cast<char*>(data), items));
                    XFree(data);
                }
            }
            keyloft::SleepMs(2);
        }
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
    return text;
}

}  // namespace keyloft::platform::testing
