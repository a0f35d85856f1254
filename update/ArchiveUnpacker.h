// Unpacking a downloaded update archive (zip) into the work directory.
//
// Entry names are relative paths below `directory` ("/" and "\" both separate
// folders). Nothing is ever written outside it: entries with absolute names, a
// drive letter or a ".." part, symbolic links and other special files are
// skipped, and the folders are walked one at a time without following links, so
// a link already lying in the work directory cannot lead out of it either. An
// existing file of the same name is replaced (unlinked, never written through).
// An entry that cannot be read completely or fails its checksum is removed
// again, so no damaged program is left to be started. Unix execute bits of an
// entry are kept; set-id bits never are.
//
// Any thread; one call at a time per directory.
#pragma once

#include <string>

namespace keyloft {

// True when the archive could be opened and the directory exists; failures of
// single entries are not reported (what can be unpacked is).
bool UnpackArchive(const std::wstring& archive, const std::wstring& directory);

}  // namespace keyloft
