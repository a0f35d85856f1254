// Fallbacks for the skin-image cache and private fonts, which belong to the
// rendering code (tesselui/render). They are weak definitions: when the
// rendering sources are part of the library, theirs replace these. Without them
// the toolkit still runs: no skin image loads (controls draw their background
// copy and text only, as they do for a missing image), and fonts resolve by name
// from the installed fonts and from font files.
#include "MControlFont.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "platform/draw/Font.h"

#define TESSELUI_WEAK __attribute__((weak))

namespace TesselUI {

TESSELUI_WEAK ImgResInfo* PaintManager::AddImgResInfo(const wchar_t*, int) { return nullptr; }
TESSELUI_WEAK ImgResInfo* PaintManager::AddImgResInfo(UINT, const CString&, int, BOOL) { return nullptr; }
TESSELUI_WEAK void PaintManager::ClearImgResInfo() {}

TESSELUI_WEAK BOOL PaintManager::LoadBKImage(UINT, const CString&) { return FALSE; }
// Resources are found by the rendering code; without it no resource image loads.
TESSELUI_WEAK Gdiplus::Image* MRender::LoadImageFromIDResource(UINT, const CString&, HINSTANCE) { return nullptr; }

TESSELUI_WEAK Gdiplus::FontFamily* PaintManager::FindTempFont() {
    std::lock_guard lock(fontLock_);
    const std::wstring name = Manager::GetFontName();
    auto it = tempFonts_.find(name);
    if (it != tempFonts_.end()) return it->second;
    const auto family = platform::draw::FontFamily::Installed(name);
    if (!family.IsValid()) return nullptr;
    auto* kept = new Gdiplus::FontFamily(family);
    tempFonts_[name] = kept;
    return kept;
}

TESSELUI_WEAK BOOL PaintManager::AddTempFont(const CString& name, const CString& path) {
    std::vector<std::wstring> families;
    const int handle = platform::draw::AddPrivateFontFile(path, &families);
    if (handle < 0 || families.empty()) return FALSE;
    std::lock_guard lock(fontLock_);
    delete tempFonts_[name];
    tempFonts_[name] = new Gdiplus::FontFamily(platform::draw::FontFamily::Installed(families.front()));
    gdiFonts_.push_back(handle);
    return TRUE;
}

TESSELUI_WEAK BOOL PaintManager::AddTempFont(const CString&, UINT) { return FALSE; }
TESSELUI_WEAK BOOL PaintManager::AddGDITempFont(UINT) { return FALSE; }

TESSELUI_WEAK void PaintManager::ClearTempFont() {
    std::lock_guard lock(fontLock_);
    for (auto& [name, family] : tempFonts_) delete family;
    tempFonts_.clear();
    for (int handle : gdiFonts_) platform::draw::RemovePrivateFont(handle);
    gdiFonts_.clear();
}

TESSELUI_WEAK BOOL MControlFont::SetImage(UINT, const CString&, int) { return FALSE; }
TESSELUI_WEAK BOOL MControlFont::SetImage(const wchar_t*, int) { return FALSE; }

}  // namespace TesselUI
