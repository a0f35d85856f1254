// The library's own resources, built into the shared library, and the registry
// through which the application offers its resources to the loaders.
//
// PNG 101 and 102 are the default horizontal and vertical scroll bar images drawn
// by the skin generator; TTF 106 is the Open Sans Semibold face the tip windows
// use. The bytes are linked in with .incbin so no file is needed at run time.
#include <cstring>
#include <cwctype>
#include <map>
#include <mutex>
#include <tuple>

#include "MRender.h"

// The paths come from the build as string literals (see sources.cmake).
#define TESSELUI_EMBED(symbol, path)                                  \
    __asm__(".section .rodata\n"                                     \
            ".balign 16\n"                                           \
            ".global " #symbol "\n"                                  \
            ".hidden " #symbol "\n" #symbol ":\n"                    \
            ".incbin \"" path "\"\n"                                 \
            ".global " #symbol "_end\n"                              \
            ".hidden " #symbol "_end\n" #symbol "_end:\n"            \
            ".byte 0\n"                                              \
            ".previous\n")

TESSELUI_EMBED(tesselui_res_png_101, TESSELUI_RES_SCROLL_H);
TESSELUI_EMBED(tesselui_res_png_102, TESSELUI_RES_SCROLL_V);
TESSELUI_EMBED(tesselui_res_ttf_106, TESSELUI_RES_FONT);

extern "C" {
__attribute__((visibility("hidden"))) extern const unsigned char tesselui_res_png_101[];
__attribute__((visibility("hidden"))) extern const unsigned char tesselui_res_png_101_end[];
__attribute__((visibility("hidden"))) extern const unsigned char tesselui_res_png_102[];
__attribute__((visibility("hidden"))) extern const unsigned char tesselui_res_png_102_end[];
__attribute__((visibility("hidden"))) extern const unsigned char tesselui_res_ttf_106[];
__attribute__((visibility("hidden"))) extern const unsigned char tesselui_res_ttf_106_end[];
}

namespace TesselUI {
namespace {

int g_libraryModuleTag;

std::wstring Lower(const CString& s) {
    std::wstring out(s);
    for (auto& c : out) c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

using Key = std::tuple<HINSTANCE, UINT, std::wstring>;
struct Blob {
    const void* data;
    std::size_t size;
};

struct Registry {
    std::mutex lock;
    std::map<Key, Blob> resources;
    Registry() {
        HINSTANCE lib = &g_libraryModuleTag;
        resources[{lib, 101, L"png"}] = {tesselui_res_png_101,
                                        std::size_t(tesselui_res_png_101_end - tesselui_res_png_101)};
        resources[{lib, 102, L"png"}] = {tesselui_res_png_102,
                                        std::size_t(tesselui_res_png_102_end - tesselui_res_png_102)};
        resources[{lib, 106, L"ttf"}] = {tesselui_res_ttf_106,
                                        std::size_t(tesselui_res_ttf_106_end - tesselui_res_ttf_106)};
    }
};

Registry& R() {
    static Registry* r = new Registry;  // lives to the end; resources may be asked for at exit
    return *r;
}

}  // namespace

HINSTANCE MRender::LibraryModule() { return &g_libraryModuleTag; }

bool MRender::RegisterResource(HINSTANCE module, UINT id, const CString& type, const void* data, std::size_t size) {
    if (module == LibraryModule() || !data || size == 0) return false;
    std::lock_guard lock(R().lock);
    R().resources[{module, id, Lower(type)}] = {data, size};
    return true;
}

bool MRender::FindResource(HINSTANCE module, UINT id, const CString& type, const void** data, std::size_t* size) {
    std::lock_guard lock(R().lock);
    auto it = R().resources.find({module, id, Lower(type)});
    if (it == R().resources.end()) return false;
    if (data) *data = it->second.data;
    if (size) *size = it->second.size;
    return true;
}

}  // namespace TesselUI
