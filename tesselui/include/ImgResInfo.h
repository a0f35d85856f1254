// ImgResInfo: one image of a window's skin cache, with the cell geometry fixed by
// the first request. The entry owns its image; the paint manager owns the entry
// (ClearImgResInfo frees both). Controls keep plain pointers and never free them.
// The fields are written once, under the cache lock, before the entry is
// published; readers on any thread may then use them freely.
#pragma once

#include <memory>

#include "TesselTypes.h"

namespace TesselUI {

class ImgResInfo {
public:
    ImgResInfo(std::unique_ptr<Gdiplus::Image> image, int count, const CString& name, UINT resourceId);

    Gdiplus::Image* GetImage() const { return image_.get(); }
    int GetCellWidth() const { return cellWidth_; }
    int GetHeight() const { return height_; }
    int GetCount() const { return count_; }
    const CString& GetName() const { return name_; }
    UINT GetResourceID() const { return resourceId_; }

private:
    std::unique_ptr<Gdiplus::Image> image_;
    int cellWidth_;   // image width / count, rounded down
    int height_;
    int count_;       // as requested on first load
    CString name_;    // file images
    UINT resourceId_; // resource images
};

}  // namespace TesselUI
