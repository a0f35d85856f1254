#include "MPanel.h"

#include "ControlFactory.h"
#include "PaintManager.h"

namespace TesselUI {
namespace {

MPanel::ScrollBarFactory& BarFactory() {
    static MPanel::ScrollBarFactory factory;
    return factory;
}

}  // namespace

void MPanel::SetScrollBarFactory(ScrollBarFactory factory) { BarFactory() = std::move(factory); }

MPanel::MPanel(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled) {
    if (BarFactory()) {
        vscroll_ = BarFactory()(this, 1, CRect(rect.right - kScrollThickness, rect.top, rect.right, rect.bottom), true);
        hscroll_ = BarFactory()(this, 2, CRect(rect.left, rect.bottom - kScrollThickness, rect.right, rect.bottom), false);
        if (vscroll_) AddChild(vscroll_, 1);
        if (hscroll_) AddChild(hscroll_, 1);
        LayoutScrollBars();
    }
}

MPanel::~MPanel() = default;

MControl* MPanel::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b) {
    return CreateControl(0, this, className, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b) {
    return CreateControl(1, this, className, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                const wchar_t* title, int a, int b) {
    MControl* c = ControlFactory::Create(ControlFactory::Panel, parent, className, id, rect, title, a, b);
    if (!c) return nullptr;
    if (manager_) c->SetManager(manager_);
    AddChild(c, kind);
    return c;
}

bool MPanel::ContentScrolls() const {
    return enableScroll_ && (virtualHeight_ > rect_.Height() || virtualWidth_ > rect_.Width());
}

void MPanel::DrawSubControls(HDC& hdc, CRect update) {
    if (!ContentScrolls()) {
        MControl::DrawSubControls(hdc, update);
        return;
    }
    // With scrolled content the subclass draws its items; the bars are still ours.
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_)
        if ((c == vscroll_ || c == hscroll_) && c->IsVisible()) c->Draw(hdc, update);
}

void MPanel::LayoutScrollBars() {
    if (vscroll_) {
        vscroll_->SetRect(CRect(rect_.right - kScrollThickness, rect_.top, rect_.right, rect_.bottom));
        vscroll_->SetVisible(rect_.Height() < virtualHeight_ ? TRUE : FALSE);
        vscroll_->SetScrollRange(virtualHeight_);
    }
    if (hscroll_) {
        hscroll_->SetRect(CRect(rect_.left, rect_.bottom - kScrollThickness, rect_.right, rect_.bottom));
        hscroll_->SetVisible(rect_.Width() < virtualWidth_ ? TRUE : FALSE);
        hscroll_->SetScrollRange(virtualWidth_);
    }
}

void MPanel::SetControlRect(CRect rect) {
    rect_ = rect;
    virtualHeight_ = 0;
    virtualWidth_ = 0;
    LayoutScrollBars();
}

int MPanel::GetScrollOffsetY() const {
    if (!enableScroll_ || virtualHeight_ <= rect_.Height() || !vscroll_) return 0;
    const int range = vscroll_->GetScrollRange();
    if (range == 0) return 0;
    return (rect_.top + virtualHeight_ - rect_.bottom) * vscroll_->GetScrollPos() / range;
}

int MPanel::GetScrollOffsetX() const {
    if (!enableScroll_ || virtualWidth_ <= rect_.Width() || !hscroll_) return 0;
    const int range = hscroll_->GetScrollRange();
    if (range == 0) return 0;
    return (rect_.left + virtualWidth_ - rect_.right) * hscroll_->GetScrollPos() / range;
}

void MPanel::OnMousePointChange(CPoint& point) {
    point.x += GetScrollOffsetX();
    point.y += GetScrollOffsetY();
}

BOOL MPanel::OnControlScroll(int, UINT direction, CPoint) {
    if (!enableScroll_ || virtualHeight_ < rect_.Height() || !vscroll_) return FALSE;
    const int range = vscroll_->GetScrollRange();
    const int old = vscroll_->GetScrollPos();
    const int next = std::clamp(direction == 1 ? old + 1 : old - 1, 0, range);
    if (next != old) {
        vscroll_->SetScrollPos(next);
        UpdateControl(TRUE, FALSE);
        vscroll_->UpdateControl(TRUE, FALSE);
    }
    return TRUE;
}

void MPanel::SetControlEnabled(BOOL enabled) {
    enabled_ = enabled;
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_) {
        if ((c->IsEnabled() != 0) == (enabled != 0)) continue;
        c->SetControlEnabled(enabled);
        if (c->IsVisible()) c->UpdateControl(TRUE, FALSE);
    }
}

void MPanel::SetControlVisible(BOOL visible) {
    visible_ = visible;
    SetControlWndVisible(visible);
}

LRESULT MPanel::OnWindowMessage(UINT msg, WPARAM w, LPARAM l) {
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_)
        if (c->OnWindowMessage(msg, w, l)) return 1;
    return 0;
}

LRESULT MPanel::OnBaseMessage(UINT id, UINT code, WPARAM w, LPARAM l) { return OnMessage(id, code, w, l); }

LRESULT MPanel::OnMessage(UINT id, UINT code, WPARAM w, LPARAM l) {
    return parent_ ? parent_->OnBaseMessage(id, code, w, l) : 0;
}

LRESULT MPanel::OnControlUpdate(CRect rect, BOOL update, MControl* control) {
    CRect dirty = rect;
    {
        std::lock_guard lock(controlLock_);
        bool after = control == nullptr;
        for (MControl* c : controls_) {
            if (c == control) {
                if (update) c->SetUpdate(FALSE, 0);
                after = true;
                continue;
            }
            if (after && c->IsVisible() && c->GetRect().Intersects(dirty)) {
                c->SetUpdate(FALSE, 0);
                dirty.UnionRect(dirty, c->GetRect());
            }
        }
    }
    dirty.OffsetRect(-GetScrollOffsetX(), -GetScrollOffsetY());
    dirty.UnionRect(dirty, rect_);
    InvalidateRect(&dirty, FALSE);
    return 0;
}

}  // namespace TesselUI
