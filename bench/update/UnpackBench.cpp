// Unpacking an update archive the size of an installer: 8 MiB in 40 files
// across nested folders, deflated, so both inflating and the link-safe folder
// walk are measured.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <zip.h>
#include <zlib.h>

#include "base/WideString.h"
#include "update/ArchiveUnpacker.h"

namespace {

namespace fs = std::filesystem;

std::string MakeArchive(const fs::path& dir) {
    std::string path = (dir / "bench.zip").string();
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    std::string data(200 * 1024, '\0');
    unsigned seed = 1;
    for (int file = 0; file < 40; ++file) {
        // Half random, half repeated: compresses like a program does.
        for (std::size_t i = 0; i < data.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            data[i] = i % 2048 < 1024 ? static_cast<char>(seed >> 16) : static_cast<char>(i & 0x3f);
        }
        std::string name = "lib/" + std::to_string(file % 5) + "/part/" + std::to_string(file) + ".bin";
        zip_fileinfo info{};
        zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    return path;
}

void BM_UnpackArchive(benchmark::State& state) {
    std::string pattern = (fs::temp_directory_path() / "keyloft-unpack-bench-XXXXXX").string();
    fs::path dir = mkdtemp(pattern.data());
    const std::wstring archive = keyloft::Utf8ToWide(MakeArchive(dir));
    const fs::path work = dir / "work";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(work);
        fs::create_directory(work);
        state.ResumeTiming();
        benchmark::DoNotOptimize(keyloft::UnpackArchive(archive, keyloft::Utf8ToWide(work.string())));
    }
    state.SetBytesProcessed(state.iterations() * 40 * 200 * 1024);
    fs::remove_all(dir);
}
BENCHMARK(BM_UnpackArchive)->Unit(benchmark::kMillisecond);

}  // namespace
