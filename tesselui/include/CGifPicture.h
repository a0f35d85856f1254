// CGifPicture: an animated picture. The GIF comes from the window's image cache,
// so every control showing the same file shares one image and one current frame.
// It ticks with the shared animation timer (AddMTimer) while running: every fifth
// tick advances the shared frame (one frame per 50 ms at the 10 ms timer, whatever
// delays the file stores). In hover mode a mouse move over the enabled control
// restarts it at frame 0 and leaving stops it at frame 0.
//
// Thread: the window's thread (the paint manager brings timer ticks there).
// A missing file leaves the previous image; a file without frames leaves none.
#pragma once

#include "MControlFont.h"

namespace TesselUI {

class ImgResInfo;

class CGifPicture : public MControlFont {
public:
    CGifPicture(MObject* parent, UINT id, CRect rect, int visible = 1, int enabled = 1);

    // Through the file cache; the count is ignored (4 is used). Answers 0 when the
    // file cannot be loaded or the control has no manager yet.
    BOOL SetImage(const wchar_t* fileName, int count) override;
    BOOL SetImage(UINT resourceId, const CString& resourceType, int count) override;
    // Starts or stops at `frame`; only for images with more than one frame (else 0).
    int SetRunState(BOOL run, int frame);
    void SetMouseMoveActive(bool on) { hoverMode_ = on; }
    bool IsMouseMoveActive() const { return hoverMode_; }
    // More than one frame.
    BOOL IsAnimate() const { return frameCount_ > 1; }
    int GetFrameCount() const { return frameCount_; }
    int GetActiveFrame() const;
    // Next frame of the shared image (back to 0 after the last) and a rebuild.
    void ActiveNextFrame();
    BOOL SelectActiveFrame(int frame);

    void DrawControl(HDC& hdc, CRect update) override;
    BOOL OnControlTimer() override;
    BOOL OnControlMouseMove(UINT flags, CPoint point) override;

private:
    ImgResInfo* info_ = nullptr;
    int frameCount_ = 0;
    int ticks_ = 0;
    bool hoverMode_ = false;
};

}  // namespace TesselUI
