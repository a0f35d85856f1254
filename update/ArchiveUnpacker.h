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
// A small download can claim to hold far more than any installer does (a "zip
// bomb"), so unpacking works within limits: an entry that would take the total
// past the byte limit is not written (or removed again when it turns out larger
// than it claimed), and entries after the entry limit are not looked at. The
// entries that fit are unpacked as usual; this counts as a failure of single
// entries, not of the archive.
//
// Any thread; one call at a time per directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace keyloft {

// An installer or firmware tool is tens of megabytes in a few hundred files.
inline constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{1} << 30;
inline constexpr std::size_t kMaxUnpackedEntries = 65535;

struct UnpackLimits {
    std::uint64_t maxBytes = kMaxUnpackedBytes;      // file contents, all entries together
    std::size_t maxEntries = kMaxUnpackedEntries;    // files and folders, skipped ones included
};

// True when the archive could be opened and the directory exists; failures of
// single entries are not reported (what can be unpacked is).
bool UnpackArchive(const std::wstring& archive, const std::wstring& directory);
bool UnpackArchive(const std::wstring& archive, const std::wstring& directory,
                   const UnpackLimits& limits);

}  // namespace keyloft
