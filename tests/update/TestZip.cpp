#include "TestZip.h"

#include <zip.h>
#include <zlib.h>

namespace keyloft::test {

bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const ZipEntry& entry : entries) {
        zip_fileinfo info{};
        unsigned long madeBy = 20;  // version 2.0, "MS-DOS" attributes
        if (entry.unixMode != 0) {
            info.external_fa = static_cast<uLong>(entry.unixMode) << 16;
            madeBy |= 3u << 8;  // Unix
        }
        int method = entry.stored ? 0 : Z_DEFLATED;
        int level = entry.stored ? 0 : Z_DEFAULT_COMPRESSION;
        ok = ok &&
             zipOpenNewFileInZip4(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                  method, level, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                  nullptr, 0, madeBy, 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, entry.data.data(),
                                       static_cast<unsigned>(entry.data.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace keyloft::test
