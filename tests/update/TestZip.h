// Builds zip archives for the update tests with minizip's writing side, so a
// test can make exactly the entries it needs, hostile ones included.
#pragma once

#include <string>
#include <vector>

namespace keyloft::test {

struct ZipEntry {
    std::string name;
    std::string data;
    // Unix st_mode of the entry (S_IFLNK | 0777 for a link, whose data is the
    // target); 0 writes an entry as made on a system without Unix modes.
    unsigned unixMode = 0;
    // Stored instead of deflated: the data then appears verbatim in the
    // archive, where a test can damage it.
    bool stored = false;
    // When not 0, the data is deflated here and the entry claims this many
    // bytes (with the data's real checksum) instead of its true size.
    unsigned long claimedSize = 0;
};

bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

}  // namespace keyloft::test
