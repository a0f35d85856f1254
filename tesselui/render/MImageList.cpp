#include "MImageList.h"

#include <algorithm>

#include "MRender.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Image.h"

namespace TesselUI {

namespace D = platform::draw;

std::unique_ptr<ImageListItem> MImageList::Load(const wchar_t* path, int id, int count) {
    if (!path || !*path) return nullptr;
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(path));
    if (!image) return nullptr;
    auto item = std::make_unique<ImageListItem>();
    item->count = count > 0 ? count : 1;
    item->cellWidth = image->Width() / item->count;
    item->height = image->Height();
    item->id = id;
    item->path = path;
    item->image = std::move(image);
    return item;
}

int MImageList::AddImage(const wchar_t* path, int id, int count) {
    auto item = Load(path, id, count);
    if (!item) return -1;
    std::lock_guard lock(lock_);
    items_.push_back(std::move(item));
    return static_cast<int>(items_.size()) - 1;
}

int MImageList::InsertImage(int index, const wchar_t* path, int id, int count) {
    if (!path) return -1;
    std::lock_guard lock(lock_);
    const int n = static_cast<int>(items_.size());
    if (index < -1 || index > n) return -1;
    auto item = Load(path, id, count);
    if (!item) return -1;
    if (index == -1 || index == n) {
        items_.push_back(std::move(item));
        return n;
    }
    items_.insert(items_.begin() + index, std::move(item));
    return -1;
}

void MImageList::Draw(Gdiplus::Graphics& g, CRect rect, int index, int state) {
    std::lock_guard lock(lock_);
    if (index < 0 || index >= static_cast<int>(items_.size()) || rect.IsRectEmpty()) return;
    const ImageListItem& item = *items_[static_cast<size_t>(index)];
    if (!item.image || item.cellWidth <= 0) return;
    const int cell = std::clamp(state, 0, item.count - 1);
    g.DrawImage(*item.image, rect.ToDraw(), D::Rect::FromXYWH(cell * item.cellWidth, 0, item.cellWidth, item.height));
}

void MImageList::DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index) { Draw(g, rect, index, 0); }
void MImageList::DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index, int state) { Draw(g, rect, index, state); }

void MImageList::SetDrawImgSize(int w, int h) {
    std::lock_guard lock(lock_);
    drawSize_ = CSize(w, h);
}

CSize MImageList::GetIconSize() const {
    std::lock_guard lock(lock_);
    return drawSize_;
}

ImageListItem* MImageList::GetItemImageData(int index) {
    std::lock_guard lock(lock_);
    if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

ImageListItem* MImageList::GetImageDataByID(int id) {
    std::lock_guard lock(lock_);
    for (auto& item : items_)
        if (item->id == id) return item.get();
    return nullptr;
}

CString MImageList::GetImagePath(int index) {
    ImageListItem* item = GetItemImageData(index);
    return item ? item->path : CString();
}

CString MImageList::GetImagePathByID(int id) {
    ImageListItem* item = GetImageDataByID(id);
    return item ? item->path : CString();
}

int MImageList::GetImageCount() {
    std::lock_guard lock(lock_);
    return static_cast<int>(items_.size());
}

void MImageList::DelAllImages() {
    std::lock_guard lock(lock_);
    items_.clear();
}

}  // namespace TesselUI
