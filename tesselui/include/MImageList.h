// MImageList: a list of icon strips loaded from full paths, each with its cell
// geometry and an id, drawn by index. The list owns its images and has its own
// lock, so any thread may add, look up or draw. Out-of-range indexes draw nothing
// and answer null; adding a file that cannot be loaded answers -1 and adds nothing.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "TesselTypes.h"

namespace TesselUI {

struct ImageListItem {
    std::unique_ptr<Gdiplus::Image> image;
    int cellWidth = 0;
    int height = 0;
    int id = 0;
    int count = 1;
    CString path;
};

class MImageList {
public:
    MImageList() = default;
    ~MImageList() = default;
    MImageList(const MImageList&) = delete;
    MImageList& operator=(const MImageList&) = delete;

    // Appends; answers the new index.
    int AddImage(const wchar_t* path, int id, int count);
    // Inserts before `index` (-1 appends). Answers the new index when appending and
    // -1 when inserting in the middle (the image is inserted all the same), for a
    // null path and for an index out of range (nothing inserted).
    int InsertImage(int index, const wchar_t* path, int id, int count);
    // Cell 0 scaled into the rectangle; with a state, cell min(state, count - 1).
    void DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index);
    void DrawItemIcon(Gdiplus::Graphics& g, CRect rect, int index, int state);
    void SetDrawImgSize(int w, int h);
    CSize GetIconSize() const;
    ImageListItem* GetItemImageData(int index);
    ImageListItem* GetImageDataByID(int id);
    CString GetImagePath(int index);
    CString GetImagePathByID(int id);
    int GetImageCount();
    void DelAllImages();

private:
    static std::unique_ptr<ImageListItem> Load(const wchar_t* path, int id, int count);
    void Draw(Gdiplus::Graphics& g, CRect rect, int index, int state);

    mutable std::recursive_mutex lock_;
    std::vector<std::unique_ptr<ImageListItem>> items_;
    CSize drawSize_;
};

}  // namespace TesselUI
