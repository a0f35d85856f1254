#include "CGifPicture.h"

#include "ControlFactory.h"
#include "ImgResInfo.h"
#include "MRender.h"
#include "PaintManager.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Image.h"

namespace TesselUI {

namespace D = platform::draw;

namespace {

// The frame advances on every fifth tick of the shared animation timer.
constexpr int kTicksPerFrame = 5;

}  // namespace

CGifPicture::CGifPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled) {}

BOOL CGifPicture::SetImage(const wchar_t* fileName, int) {
    if (!manager_) return FALSE;
    ImgResInfo* info = manager_->AddImgResInfo(fileName, 4);
    if (!info) return FALSE;
    info_ = info;
    imagePath_ = fileName;
    frameCount_ = info->GetImage() ? info->GetImage()->FrameCount() : 0;
    if (frameCount_ <= 0) {
        // An image without frames is dropped; the cache keeps (and later frees) it.
        image_ = nullptr;
        frameCount_ = 0;
    } else {
        image_ = info->GetImage();
        imageCellWidth_ = info->GetCellWidth();
        imageHeight_ = info->GetHeight();
        imageCount_ = info->GetCount();
    }
    UpdateControl(TRUE, FALSE);
    return TRUE;
}

BOOL CGifPicture::SetImage(UINT resourceId, const CString& resourceType, int count) {
    const BOOL ok = MControlFont::SetImage(resourceId, resourceType, count);
    frameCount_ = ok && image_ ? image_->FrameCount() : frameCount_;
    return ok;
}

int CGifPicture::SetRunState(BOOL run, int frame) {
    if (frameCount_ <= 1 || !image_) return 0;
    SetRunTimer(run);
    ticks_ = 0;
    SelectActiveFrame(frame);
    return 1;
}

int CGifPicture::GetActiveFrame() const { return image_ ? image_->ActiveFrame() : 0; }

void CGifPicture::ActiveNextFrame() {
    if (!image_ || frameCount_ <= 0) return;
    // Read the frame from the shared image: every control on this file moves the
    // same frame on.
    SelectActiveFrame((image_->ActiveFrame() + 1) % frameCount_);
}

BOOL CGifPicture::SelectActiveFrame(int frame) {
    if (!image_ || !image_->SelectActiveFrame(frame)) return FALSE;
    UpdateControl(TRUE, FALSE);
    return TRUE;
}

BOOL CGifPicture::OnControlTimer() {
    if (!IsRunTimer() || !visible_ || frameCount_ <= 1) return FALSE;
    if (++ticks_ % kTicksPerFrame != 0) return FALSE;
    ActiveNextFrame();
    return TRUE;
}

BOOL CGifPicture::OnControlMouseMove(UINT, CPoint point) {
    if (!hoverMode_ || !enabled_ || frameCount_ <= 1) return FALSE;
    if (rect_.PtInRect(point)) {
        SetRunState(TRUE, 0);
    } else if (IsRunTimer()) {
        SetRunState(FALSE, 0);
    }
    return FALSE;
}

void CGifPicture::DrawControl(HDC& hdc, CRect) {
    if (!update_) {
        MRender::RebuildStateCells(*this, hdc, 1, [this](HDC, Gdiplus::Graphics& g, const CRect& cell, int) {
            if (!image_) return;
            g.SetInterpolationMode(platform::draw::InterpolationMode::Bilinear);
            g.DrawImage(*image_, D::Rect(cell.left, cell.top, cell.right, cell.bottom),
                        D::Rect(0, 0, image_->Width(), image_->Height()));
        });
    }
    MRender::CopyStateCell(*this, hdc, 0);
}

TESSELUI_REGISTER_CONTROL(L"CGifPicture", [](const ControlFactory::Args& a) -> MControl* {
    return new CGifPicture(a.parent, a.id, a.rect, a.a, a.b);
});

}  // namespace TesselUI
