#include "platform/draw/QtApplication.h"

#include <QApplication>
#include <QCoreApplication>

#include <mutex>

namespace platform::draw {

bool EnsureQtApplication() {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    if (QCoreApplication::instance()) return true;
    // The application object lives for the rest of the process: tearing it down
    // at exit while windows or fonts may still be referenced buys nothing.
    static int argc = 1;
    static char name[] = "keyloft";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return QCoreApplication::instance() != nullptr;
}

}  // namespace platform::draw
