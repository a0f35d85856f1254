// The window's skin-image caches: file images by name, application and library
// resources by id. The first request decides an entry's cell count; later requests
// get the same entry whatever count they give. A failed load leaves no entry, so a
// file that appears later is found on the next request.
#include "ImgResInfo.h"
#include "MControlFont.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

namespace TesselUI {

ImgResInfo::ImgResInfo(std::unique_ptr<Gdiplus::Image> image, int count, const CString& name, UINT resourceId)
    : image_(std::move(image)),
      cellWidth_(image_ && count > 0 ? image_->Width() / count : 0),
      height_(image_ ? image_->Height() : 0),
      count_(count),
      name_(name),
      resourceId_(resourceId) {}

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* name, int count) {
    if (!name || !*name) return nullptr;
    std::lock_guard lock(imageLock_);
    const std::wstring key(name);
    auto it = fileImages_.find(key);
    if (it != fileImages_.end()) return it->second;
    // A count below 1 would make every cell width meaningless; treat it as one cell.
    const int cells = count > 0 ? count : 1;
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(MRender::SkinPath(name)));
    if (!image) return nullptr;
    auto* info = new ImgResInfo(std::move(image), cells, name, 0);
    fileImages_.emplace(key, info);
    return info;
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, const CString& type, int count, BOOL fromApplication) {
    std::lock_guard lock(imageLock_);
    auto& cache = fromApplication ? appImages_ : libImages_;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    const int cells = count > 0 ? count : 1;
    HINSTANCE module = fromApplication ? Manager::GetInstance() : MRender::LibraryModule();
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromIDResource(id, type, module));
    if (!image) return nullptr;
    auto* info = new ImgResInfo(std::move(image), cells, CString(), id);
    cache.emplace(id, info);
    return info;
}

void PaintManager::ClearImgResInfo() {
    std::lock_guard lock(imageLock_);
    for (auto& [name, info] : fileImages_) delete info;
    for (auto& [id, info] : appImages_) delete info;
    for (auto& [id, info] : libImages_) delete info;
    fileImages_.clear();
    appImages_.clear();
    libImages_.clear();
}

BOOL PaintManager::LoadBKImage(UINT id, const CString& type) {
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
    if (!image) return FALSE;
    backSize_ = CSize(image->Width(), image->Height());
    backImage_ = std::move(image);
    Invalidate();
    return TRUE;
}

BOOL MControlFont::SetImage(const wchar_t* fileName, int count) {
    if (!manager_) return FALSE;
    ImgResInfo* info = manager_->AddImgResInfo(fileName, count);
    if (!info) return FALSE;
    // The entry's geometry, not the request's: the first request decided it.
    image_ = info->GetImage();
    imageCellWidth_ = info->GetCellWidth();
    imageHeight_ = info->GetHeight();
    imageCount_ = info->GetCount();
    imagePath_ = fileName;
    if (visible_) UpdateControl(TRUE, FALSE);
    return TRUE;
}

BOOL MControlFont::SetImage(UINT resourceId, const CString& resourceType, int count) {
    if (!manager_) return FALSE;
    ImgResInfo* info = manager_->AddImgResInfo(resourceId, resourceType, count, TRUE);
    if (!info) return FALSE;
    image_ = info->GetImage();
    imageCellWidth_ = info->GetCellWidth();
    imageHeight_ = info->GetHeight();
    imageCount_ = info->GetCount();
    imagePath_.Empty();
    if (visible_) UpdateControl(TRUE, FALSE);
    return TRUE;
}

}  // namespace TesselUI
