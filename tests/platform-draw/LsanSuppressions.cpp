// Leak reports this suite cannot act on: fontconfig keeps its configuration and
// pattern caches for the life of the process. LeakSanitizer reads this hook when
// the suite runs under ASan; other builds never call it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
