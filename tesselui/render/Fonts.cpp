// The window's private fonts. Every text of the toolkit uses one family, named by
// Manager::GetFontName(): a private font registered under that name wins, else an
// installed family of that name, kept in the same map; null when neither exists
// (text then uses the drawing layer's default family).
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "platform/draw/Font.h"

namespace TesselUI {

namespace D = platform::draw;

Gdiplus::FontFamily* PaintManager::FindTempFont() {
    std::lock_guard lock(fontLock_);
    const std::wstring name = Manager::GetFontName();
    auto it = tempFonts_.find(name);
    if (it != tempFonts_.end()) return it->second;
    const D::FontFamily family = D::FontFamily::Installed(name);
    if (!family.IsValid()) return nullptr;
    auto* kept = new Gdiplus::FontFamily(family);
    tempFonts_[name] = kept;
    return kept;
}

namespace {

// Registers the first family a font handle brought under `name`.
BOOL Keep(PaintManager& pm, const CString& name, int handle, const std::vector<std::wstring>& families) {
    if (handle < 0 || families.empty()) return FALSE;
    const D::FontFamily family = D::FontFamily::Installed(families.front());
    if (!family.IsValid()) {
        D::RemovePrivateFont(handle);
        return FALSE;
    }
    std::lock_guard lock(pm.FontLock());
    auto& fonts = pm.TempFonts();
    delete fonts[name];
    fonts[name] = new Gdiplus::FontFamily(family);
    // The handle is released with the other private fonts in ClearTempFont.
    pm.GdiTempFonts().push_back(handle);
    return TRUE;
}

}  // namespace

BOOL PaintManager::AddTempFont(const CString& name, const CString& path) {
    std::vector<std::wstring> families;
    const int handle = D::AddPrivateFontFile(path, &families);
    return Keep(*this, name, handle, families);
}

BOOL PaintManager::AddTempFont(const CString& name, UINT id) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (!MRender::FindResource(MRender::LibraryModule(), id, L"ttf", &data, &size)) return FALSE;
    std::vector<std::wstring> families;
    const int handle = D::AddPrivateFontData(data, size, &families);
    return Keep(*this, name, handle, families);
}

BOOL PaintManager::AddGDITempFont(UINT id) {
    const void* data = nullptr;
    std::size_t size = 0;
    if (!MRender::FindResource(MRender::LibraryModule(), id, L"ttf", &data, &size)) return FALSE;
    std::vector<std::wstring> families;
    const int handle = D::AddPrivateFontData(data, size, &families);
    if (handle < 0) return FALSE;
    std::lock_guard lock(fontLock_);
    gdiFonts_.push_back(handle);
    return TRUE;
}

void PaintManager::ClearTempFont() {
    std::lock_guard lock(fontLock_);
    for (auto& [name, family] : tempFonts_) delete family;
    tempFonts_.clear();
    for (int handle : gdiFonts_) D::RemovePrivateFont(handle);
    gdiFonts_.clear();
}

}  // namespace TesselUI
