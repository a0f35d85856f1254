// The desktop's "open" for programs, documents and web addresses, and marking a
// downloaded file as a program.
//
// ShellOpen behaves like double-clicking the target: an executable file (a path,
// or a bare name found on PATH) is started directly, in its own directory, in a
// new session so it outlives this process; a web address ("scheme://...",
// "mailto:...", or "www." without a scheme, which gets "http://") and an existing
// document or folder go to xdg-open. Nothing waits for the started program.
// Returns false for an empty target, a file that does not exist, or when the
// program (or xdg-open) could not be started.
//
// Any thread may call these; they touch no shared state of the program.
#pragma once

#include <string>

namespace keyloft::platform {

bool ShellOpen(const std::wstring& target);

// Adds execute permission for every class that may read the file (like
// "chmod +x" within the file's read bits). False when the file is missing, is not
// a regular file, or the mode cannot be changed.
bool MarkExecutable(const std::wstring& path);

}  // namespace keyloft::platform
