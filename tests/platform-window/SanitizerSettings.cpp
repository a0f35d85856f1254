// Sanitizer settings of the toolkit test programs.
//
// The font system (fontconfig) keeps a small allocation for the life of the
// process: the leak checker is told not to report it. Qt's own libraries are not
// built for the thread sanitizer, so their internal thread pool (used while
// painting) looks racy to it; reports whose stacks run through Qt are dropped.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\nrace:libQt6Gui.so\nrace:libQt6Widgets.so\nrace:libglib-2.0.so\n";
}
