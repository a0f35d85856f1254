// PaintManager services: the paint pass, the banner message, control timers,
// the shared animation timer, the caret, drop bitmaps and the background.
#include <algorithm>
#include <chrono>
#include <thread>

#include "MControlFont.h"
#include "MRender.h"
#include "MShadow.h"
#include "Manager.h"
#include "PaintManager.h"
#include "platform/window/Window.h"

namespace TesselUI {

namespace W = platform;
namespace D = platform::draw;

namespace {

D::RectF F(const CRect& r) { return D::RectF(float(r.left), float(r.top), float(r.Width()), float(r.Height())); }

void FillExact(D::Image& image, const CRect& r, Gdiplus::ARGB argb) {
    D::Graphics g(image);
    g.SetCompositingMode(D::CompositingMode::SourceCopy);
    g.FillRectangle(D::Brush::Solid(argb), F(r));
}

// The nine-grid: corners at their size, edges and centre stretched.
void DrawFrame(D::Graphics& g, const D::Image& img, const CRect& dst, int c) {
    const int sw = img.Width(), sh = img.Height();
    c = std::max(0, std::min({c, sw / 2, sh / 2, dst.Width() / 2, dst.Height() / 2}));
    const int l = dst.left, t = dst.top, r = dst.right, b = dst.bottom;
    auto part = [&](int sx, int sy, int sW, int sH, int dx, int dy, int dW, int dH) {
        if (sW > 0 && sH > 0 && dW > 0 && dH > 0)
            g.DrawImage(img, D::Rect::FromXYWH(dx, dy, dW, dH), D::Rect::FromXYWH(sx, sy, sW, sH));
    };
    part(0, 0, c, c, l, t, c, c);
    part(0, c, c, sh - 2 * c, l, t + c, c, b - t - 2 * c);
    part(0, sh - c, c, c, l, b - c, c, c);
    part(c, 0, sw - 2 * c, c, l + c, t, r - l - 2 * c, c);
    part(sw - c, 0, c, c, r - c, t, c, c);
    part(sw - c, c, c, sh - 2 * c, r - c, t + c, c, b - t - 2 * c);
    part(sw - c, sh - c, c, c, r - c, b - c, c, c);
    part(c, sh - c, sw - 2 * c, c, l + c, b - c, r - l - 2 * c, c);
    part(c, c, sw - 2 * c, sh - 2 * c, l + c, t + c, r - l - 2 * c, b - t - 2 * c);
}

}  // namespace

// --- Paint pass --------------------------------------------------------------------

void PaintManager::OnPaint() {
    if (!hwnd_ || W::IsIconic(hwnd_)) return;
    RECT ur;
    if (!W::GetUpdateRect(hwnd_, &ur, FALSE)) return;
    W::ValidateRect(hwnd_, nullptr);
    const CSize size = GetClientSize();
    if (size.cx <= 0 || size.cy <= 0) return;
    const CRect client(0, 0, size.cx, size.cy);
    CRect update;
    update.IntersectRect(ur, client);
    auto frame = std::make_unique<D::Image>(size.cx, size.cy);
    D::Dc memDC(frame.get());
    HDC hdc = &memDC;
    // A fresh frame is transparent everywhere, which is what a layered window's
    // update rectangle has to start from.
    if (backImage_ && !backImage_->IsNull()) {
        D::Graphics g(*frame);
        if (backMode_ == BACK_MODE_FRAME) DrawFrame(g, *backImage_, client, backCorner_);
        else g.DrawImage(*backImage_, 0, 0);
    } else {
        FillExact(*frame, client, ColorRefToArgb(borderColour_, 254));
        CRect inner = client;
        inner.DeflateRect(1, 1);
        FillExact(*frame, inner, ColorRefToArgb(backColour_, 254));
    }
    const CRect drawArea = layered_ ? client : update;
    {
        std::lock_guard lock(areaLock_);
        for (MControl* c : areas_) c->Draw(hdc, drawArea);
    }
    {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_) c->Draw(hdc, drawArea);
    }
    if (caretPhase_) DrawCaret(hdc, update);
    if (layered_) {
        // GDI-style drawing can leave colour with no alpha: make it opaque, but keep
        // exactly transparent black as it is.
        for (int y = update.top; y < update.bottom; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(frame->Bits()) +
                                                         static_cast<size_t>(y) * frame->Stride());
            for (int x = update.left; x < update.right; ++x)
                if ((row[x] >> 24) == 0 && (row[x] & 0xFFFFFF) != 0) row[x] |= 0xFF000000u;
        }
    }
    if (msgAlpha_ > 10 && !msgText_.IsEmpty()) PaintBanner(memDC);
    if (layered_) {
        const auto ex = static_cast<DWORD>(W::GetWindowLongPtrW(hwnd_, W::GWL_EXSTYLE));
        if (!(ex & W::WS_EX_LAYERED)) W::SetWindowLongPtrW(hwnd_, W::GWL_EXSTYLE, ex | W::WS_EX_LAYERED);
        W::UpdateLayeredWindowPixels(hwnd_, frame->Bits(), frame->Width(), frame->Height(), frame->Stride(), false,
                                     255);
    } else {
        W::PresentPixels(hwnd_, frame->Bits(), frame->Width(), frame->Height(), frame->Stride(), false, update);
    }
    lastFrame_ = std::move(frame);
    if (paintPauseMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(paintPauseMs_));
}

void PaintManager::PaintBanner(D::Dc& dc) {
    D::Image* target = dc.GetImage();
    if (!target) return;
    D::Graphics g(*target);
    const int a = std::clamp(msgAlpha_, 0, 255);
    auto argb = [a](Gdiplus::ARGB rgb) { return (static_cast<Gdiplus::ARGB>(a) << 24) | (rgb & 0xFFFFFF); };
    const CRect r = msgRect_;
    g.FillRectangle(D::Brush::Solid(argb(0xE6E6E6)), F(r));
    CRect inner = r;
    inner.DeflateRect(2, 2);
    g.FillRectangle(D::Brush::Solid(argb(0xFEFEFE)), F(inner));
    g.SetTextRenderingHint(D::kTextClearTypeGridFit);
    Gdiplus::FontFamily* family = FindTempFont();
    const D::Font font = family ? D::Font(*family, 12.0f) : D::Font(Manager::GetFontName(), 12.0f);
    D::StringFormat format(D::kStringFormatNoWrap | D::kStringFormatMeasureTrailingSpaces);
    format.lineAlignment = D::StringAlignment::Center;
    if (msgTarget_ <= 0 && msgProgress_ <= 0) {
        g.DrawString(msgText_, font, D::RectF(float(r.left + 5), float(r.top + 5), 190.0f, 50.0f), format,
                     D::Brush::Solid(argb(0x050505)));
        return;
    }
    format.alignment = D::StringAlignment::Center;
    g.DrawString(msgText_, font, D::RectF(float(r.left + 5), float(r.top + 5), float(r.Width() - 10), 30.0f), format,
                 D::Brush::Solid(argb(0x050505)));
    g.DrawLine(D::Pen(0xC8C8C8C8), float(r.left + 10), float(r.bottom - 15), float(r.right - 20),
               float(r.bottom - 15));
    const float width = float(msgProgress_) * float(r.Width() - 20) / 100.0f;
    g.FillRectangle(D::Brush::Solid(0xFEFFE100), D::RectF(float(r.left + 10), float(r.bottom - 16), width, 3.0f));
}

// --- Banner message ------------------------------------------------------------------

void PaintManager::SetMessage(const CString& text, CRect rect, MsgLevel level) {
    if (!hwnd_) return;
    W::KillTimer(hwnd_, kBannerHoldTimer);
    W::KillTimer(hwnd_, kBannerFadeTimer);
    msgAlpha_ = 255;
    msgText_ = text;
    msgLevel_ = level;
    msgRect_ = rect;
    msgProgress_ = 0;
    msgTarget_ = 0;
    InvalidateRect(rect, FALSE);
    W::SetTimer(hwnd_, kBannerHoldTimer, 3000, nullptr);
}

void PaintManager::SetProgress(int pos, const CString& text, CRect rect) {
    if (!hwnd_ || pos == msgTarget_) return;
    if (pos < 5) W::KillTimer(hwnd_, kBannerFadeTimer);
    msgAlpha_ = 255;
    msgText_ = text;
    if (rect.IsRectEmpty()) {
        const CRect c = GetClientRect();
        rect = CRect(c.left, c.bottom - 60, c.right, c.bottom - 2);
    }
    msgRect_ = rect;
    msgTarget_ = pos;
    if (msgTarget_ - msgProgress_ < 6) {
        msgProgress_ = msgTarget_;
        InvalidateRect(msgRect_, FALSE);
        if (msgProgress_ >= 100) W::SetTimer(hwnd_, kBannerFadeTimer, 50, nullptr);
    } else {
        W::SetTimer(hwnd_, kBannerProgressTimer, 10, nullptr);
    }
}

void PaintManager::OnBannerTimer(UINT id) {
    if (id == kBannerHoldTimer) {
        W::KillTimer(hwnd_, kBannerHoldTimer);
        W::SetTimer(hwnd_, kBannerFadeTimer, 50, nullptr);
    } else if (id == kBannerFadeTimer) {
        msgAlpha_ -= 10;
        if (msgAlpha_ < 20) {
            msgAlpha_ = 0;
            msgProgress_ = 0;
            msgTarget_ = 0;
            W::KillTimer(hwnd_, kBannerFadeTimer);
            Invalidate();
        } else {
            InvalidateRect(msgRect_, FALSE);
        }
    } else if (id == kBannerProgressTimer) {
        msgProgress_ += 2;
        if (msgProgress_ >= msgTarget_) {
            msgProgress_ = msgTarget_;
            W::KillTimer(hwnd_, kBannerProgressTimer);
            if (msgProgress_ >= 100) W::SetTimer(hwnd_, kBannerFadeTimer, 50, nullptr);
        }
        InvalidateRect(msgRect_, FALSE);
    }
}

// --- Window timers ------------------------------------------------------------------

void PaintManager::OnTimer(UINT id) {
    if (id == kCaretTimer) {
        caretPhase_ = caretPhase_ ? FALSE : TRUE;
        InvalidateRect(caretRect_, FALSE);
        return;
    }
    if (id == kBannerHoldTimer || id == kBannerFadeTimer || id == kBannerProgressTimer) {
        OnBannerTimer(id);
        return;
    }
    std::lock_guard lock(timerLock_);
    std::vector<MControl*> due;
    for (const ControlTimer& t : timers_)
        if (t.id == id && t.hwnd == hwnd_ && !t.stopped) due.push_back(t.control);
    for (MControl* c : due) {
        // A tick may remove timers (even the control's own); tick only what is still there.
        const bool live = std::any_of(timers_.begin(), timers_.end(),
                                      [&](const ControlTimer& t) { return t.control == c && t.id == id && !t.stopped; });
        if (live) c->OnTimer();
    }
}

UINT PaintManager::NextTimerId() {
    // Control timers live in [4096, 65535], clear of the paint manager's own ids.
    for (int tries = 0; tries < 0x10000; ++tries) {
        ++timerCounter_;
        if (timerCounter_ > 0xFFFF) timerCounter_ = kFirstControlTimer;
        if (timerCounter_ == kCaretTimer) continue;
        const UINT id = timerCounter_;
        if (std::none_of(timers_.begin(), timers_.end(), [&](const ControlTimer& t) { return t.id == id; }))
            return id;
    }
    return 0;
}

BOOL PaintManager::SetTimer(MControl* control, UINT key, UINT ms) {
    if (!hwnd_ || !control) return FALSE;
    std::lock_guard lock(timerLock_);
    for (ControlTimer& t : timers_) {
        if (t.control != control || t.key != key || t.hwnd != hwnd_) continue;
        if (!t.stopped) return FALSE;
        if (!W::SetTimer(hwnd_, t.id, ms, nullptr)) return FALSE;
        t.stopped = FALSE;
        return TRUE;
    }
    const UINT id = NextTimerId();
    if (id == 0 || !W::SetTimer(hwnd_, id, ms, nullptr)) return FALSE;
    timers_.push_back(ControlTimer{hwnd_, key, id, FALSE, control});
    return TRUE;
}

BOOL PaintManager::KillTimer(MControl* control, UINT key) {
    std::lock_guard lock(timerLock_);
    for (ControlTimer& t : timers_) {
        if (t.control != control || t.key != key) continue;
        if (!t.stopped && t.hwnd) W::KillTimer(t.hwnd, t.id);
        t.stopped = TRUE;
        return TRUE;
    }
    return FALSE;
}

void PaintManager::KillTimer(MControl* control) {
    std::lock_guard lock(timerLock_);
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->control == control) {
            if (!it->stopped && it->hwnd) W::KillTimer(it->hwnd, it->id);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void PaintManager::ClearTimers() {
    std::lock_guard lock(timerLock_);
    for (const ControlTimer& t : timers_)
        if (!t.stopped && t.hwnd) W::KillTimer(t.hwnd, t.id);
    timers_.clear();
}

UINT PaintManager::GetControlTimerId(MControl* control, UINT key) {
    std::lock_guard lock(timerLock_);
    for (const ControlTimer& t : timers_)
        if (t.control == control && t.key == key) return t.id;
    return 0;
}

// --- Shared animation timer ----------------------------------------------------------

UINT PaintManager::SetMTimer(UINT ms) {
    // One shared timer per window: a second call replaces the first instead of
    // leaving it running unreachable.
    if (const UINT old = mtimerId_.exchange(0)) MTimerBase::KillTimer(old);
    const UINT id = MTimerBase::SetTimer(ms, CString(), FALSE);
    mtimerId_ = id;
    if (id) {
        std::lock_guard lock(animationLock_);
        UpdateMTimerPark();
    }
    return id;
}

// Called with animationLock_ held. While no control is registered the shared
// timer is parked, so the timer thread sleeps instead of waking every period
// only to find nothing to tick.
void PaintManager::UpdateMTimerPark() {
    if (const UINT id = mtimerId_.load()) MTimerBase::ParkTimer(id, animations_.empty());
}

void PaintManager::KillMTimer(UINT id) {
    UINT expected = id;
    mtimerId_.compare_exchange_strong(expected, 0);
    MTimerBase::KillTimer(id);
}

void PaintManager::KillMTimer() {
    mtimerId_ = 0;
    MTimerBase::KillTimer();
}

BOOL PaintManager::AddMTimer(MControl* control) {
    if (!control) return FALSE;
    std::lock_guard lock(animationLock_);
    animations_.push_back(control);
    if (animations_.size() == 1) UpdateMTimerPark();
    return TRUE;
}

BOOL PaintManager::DeleteFSTimer(MControl* control) {
    std::lock_guard lock(animationLock_);
    const auto before = animations_.size();
    animations_.erase(std::remove(animations_.begin(), animations_.end(), control), animations_.end());
    if (animations_.empty() && before != 0) UpdateMTimerPark();
    return animations_.size() != before;
}

void PaintManager::OnMTimer(UINT id) {
    // Timer thread. The controls are ticked on the window's thread; an idle window
    // (nothing registered) is not woken at all.
    if (id == 0 || id != mtimerId_.load()) return;
    {
        std::lock_guard lock(animationLock_);
        if (animations_.empty()) return;
    }
    if (!tickPending_.exchange(true)) {
        HWND h = hwnd_;
        if (!h || !W::PostMessageW(h, kTickMessage, id, 0)) tickPending_ = false;
    }
}

void PaintManager::TickAnimations() {
    tickPending_ = false;
    std::lock_guard lock(animationLock_);
    const std::vector<MControl*> snapshot = animations_;
    for (size_t i = 0; i < snapshot.size(); ++i) {
        MControl* c = snapshot[i];
        // A tick may unregister or delete controls: tick only what is still listed
        // (a control listed twice is ticked twice).
        const auto listed = std::count(animations_.begin(), animations_.end(), c);
        const auto seen = std::count(snapshot.begin(), snapshot.begin() + static_cast<long>(i), c);
        if (seen >= listed) continue;
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible()) c->OnTimer();
    }
}

// --- Caret ---------------------------------------------------------------------------

BOOL PaintManager::CreateCaret(HBITMAP, int width, int height) {
    caretRect_.right = caretRect_.left + width;
    caretRect_.bottom = caretRect_.top + height;
    return TRUE;
}

BOOL PaintManager::SetCaretPos(MControlFont* owner, int x, int y) {
    if (!hwnd_) return FALSE;
    const CRect old = caretRect_;
    caretRect_ = CRect(x, y, x + old.Width(), y + old.Height());
    caretOwner_ = owner;
    InvalidateRect(old, FALSE);
    InvalidateRect(caretRect_, FALSE);
    return TRUE;
}

void PaintManager::ShowCaret(BOOL show) {
    if ((show != 0) == (caretShown_ != 0) || !hwnd_) return;
    caretShown_ = show ? TRUE : FALSE;
    if (show) {
        W::SetTimer(hwnd_, kCaretTimer, W::GetCaretBlinkTime(), nullptr);
        if (!caretPhase_) {
            InvalidateRect(caretRect_, FALSE);
            caretPhase_ = TRUE;
        }
    } else {
        W::KillTimer(hwnd_, kCaretTimer);
        if (caretPhase_) InvalidateRect(caretRect_, FALSE);
        caretPhase_ = FALSE;
    }
}

void PaintManager::DrawCaret(HDC hdc, const CRect&) {
    if (!caretPhase_ || !caretOwner_ || !hdc || !hdc->GetImage()) return;
    if (caretOwner_->IsFocused() && W::GetFocus() == hwnd_) {
        D::Graphics g(*hdc->GetImage());
        const Gdiplus::ARGB c = (caretOwner_->GetTextColor().GetValue() & 0xFFFFFF) | 0xFE000000u;
        g.FillRectangle(D::Brush::Solid(c), F(caretRect_));
    } else {
        W::KillTimer(hwnd_, kCaretTimer);
        caretShown_ = FALSE;
        caretPhase_ = FALSE;
        InvalidateRect(caretRect_, FALSE);
    }
}

// --- Drag source ---------------------------------------------------------------------

HBITMAP PaintManager::GetDropBitmap(MControl* control, const CRect& rect, DWORD colour) {
    if (!control || rect.IsRectEmpty()) return nullptr;
    const CSize size = GetClientSize();
    D::Image whole(std::max<int>(size.cx, rect.right), std::max<int>(size.cy, rect.bottom));
    D::Dc dc(&whole);
    HDC hdc = &dc;
    control->Draw(hdc, rect);
    auto* out = new D::Image(rect.Width(), rect.Height());
    D::Dc outDC(out);
    D::BitBlt(outDC, 0, 0, rect.Width(), rect.Height(), dc, rect.left, rect.top);
    if (colour > 0xFFFFFF) {
        D::Graphics g(*out);
        g.FillRectangle(D::Brush::Solid(colour), D::RectF(0, 0, float(rect.Width()), float(rect.Height())));
    }
    return out;
}

// --- Background ----------------------------------------------------------------------

BOOL PaintManager::LoadBKImage(const CString& fileName) {
    backImage_ = D::Image::FromFile(Manager::GetSkinDir() + fileName);
    backSize_ = backImage_ ? CSize(backImage_->Width(), backImage_->Height()) : CSize();
    Invalidate();
    return backImage_ ? TRUE : FALSE;
}

// --- Shadow --------------------------------------------------------------------------

BOOL PaintManager::CreateShadow(BOOL show, bool) {
    if (!hwnd_) return FALSE;
    if (!show) {
        shadow_.reset();
        return TRUE;
    }
    if (!shadow_) {
        shadow_ = std::make_unique<MShadow>(hwnd_);
        if (!shadow_->CreateShadowWindow()) {
            shadow_.reset();
            return FALSE;
        }
    }
    shadow_->Follow();
    return TRUE;
}

BOOL PaintManager::SetSize(int size) { return shadow_ ? shadow_->SetSize(size) : FALSE; }
BOOL PaintManager::SetSharpness(UINT v) { return shadow_ ? shadow_->SetSharpness(v) : FALSE; }
BOOL PaintManager::SetDarkness(UINT v) { return shadow_ ? shadow_->SetDarkness(v) : FALSE; }
BOOL PaintManager::SetPosition(int x, int y) { return shadow_ ? shadow_->SetPosition(x, y) : FALSE; }
BOOL PaintManager::SetShadowColor(COLORREF c) { return shadow_ ? shadow_->SetColor(c) : FALSE; }
BOOL PaintManager::SetShadowImage(const wchar_t* name, CRect corner) {
    return shadow_ ? shadow_->SetShadowImage(name, corner) : FALSE;
}
// A PNG resource of the application.
BOOL PaintManager::SetShadowImage(UINT resourceId, CRect corner) {
    if (!shadow_) return FALSE;
    std::unique_ptr<Gdiplus::Image> image(
        MRender::LoadImageFromIDResource(resourceId, CString(L"PNG"), Manager::GetInstance()));
    return shadow_->SetShadowImage(std::move(image), corner);
}
BOOL PaintManager::SetShadowShow(BOOL show) {
    if (!shadow_) return FALSE;
    shadow_->SetShow(show);
    return TRUE;
}
void PaintManager::DisableShadow(BOOL disable) {
    if (shadow_) shadow_->SetShow(disable ? FALSE : TRUE);
}

}  // namespace TesselUI
