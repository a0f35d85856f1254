// Test support for the input services, kept out of the program's library:
// a second X client that presses keys through the server's test extension,
// a Qt application on a chosen X display, and reading the clipboard the way
// another program would (by asking its owner for UTF-8 text).
//
// For tests on a private X server; one thread (the test's). Failures are
// results: ok() false, empty text.
#pragma once

#include <memory>
#include <string>

namespace keyloft::platform::testing {

class SyntheticKeyboard {
public:
    explicit SyntheticKeyboard(const std::string& display);
    ~SyntheticKeyboard();
    SyntheticKeyboard(const SyntheticKeyboard&) = delete;
    SyntheticKeyboard& operator=(const SyntheticKeyboard&) = delete;

    bool ok() const;
    // `keysym` is an X key symbol name: "a", "KP_Home", "Control_R", "Tab".
    void Key(const char* keysym, bool press);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Creates the Qt application on `display` (xcb) unless one exists; true when
// there is one afterwards.
bool EnsureQtOnDisplay(const std::string& display);
// Runs the Qt event loop for `ms` milliseconds.
void RunQtEvents(int ms);

// What another client gets when it pastes: the CLIPBOARD owner's UTF-8 text,
// or empty when there is no owner. Keeps the Qt event loop running meanwhile,
// so that an owner inside this process can answer.
std::wstring ReadClipboardAsPeer(const std::string& display, int timeoutMs);

}  // namespace keyloft::platform::testing
