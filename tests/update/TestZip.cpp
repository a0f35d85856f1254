#include "TestZip.h"

#include <zip.h>
#include <zlib.h>

namespace keyloft::test {
namespace {

// A raw deflate stream of `data`, as a zip entry holds it.
std::string Deflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return rc == Z_STREAM_END ? out : std::string();
}

}  // namespace

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
        const bool raw = entry.claimedSize != 0;
        const std::string payload = raw ? Deflate(entry.data) : entry.data;
        ok = ok &&
             zipOpenNewFileInZip4(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                  raw ? Z_DEFLATED : method, level, raw ? 1 : 0, -MAX_WBITS,
                                  DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, madeBy,
                                  0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, payload.data(),
                                       static_cast<unsigned>(payload.size())) == ZIP_OK;
        if (raw) {
            uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(entry.data.data()),
                              static_cast<uInt>(entry.data.size()));
            ok = ok && zipCloseFileInZipRaw(zip, entry.claimedSize, crc) == ZIP_OK;
        } else {
            ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
        }
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace keyloft::test
