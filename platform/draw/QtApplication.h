// The Qt application object that fonts, text and windows need.
//
// EnsureQtApplication creates it on first call when nothing else has (with the
// program name "keyloft" and no arguments) and answers true when one exists
// afterwards. Call it on the thread that will run the UI, before any font or text
// work; the window layer calls it before creating windows. Safe to call repeatedly.
#pragma once

namespace platform::draw {

bool EnsureQtApplication();

}  // namespace platform::draw
