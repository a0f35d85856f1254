// The control tree: drawing order, redraw requests, and mouse, keyboard and timer
// routing down the tree.
#include "MControl.h"

#include <algorithm>

#include "PaintManager.h"
#include "platform/window/Window.h"

namespace TesselUI {

MControl::MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : parent_(parent), id_(id), rect_(rect), visible_(visible ? TRUE : FALSE), enabled_(enabled ? TRUE : FALSE) {}

MControl::~MControl() {
    RemoveAllControl();
    delete memDC_.bitmap;
    delete animateDC_.bitmap;
}

BOOL MControl::PtInRect(CPoint point) {
    if (!visible_) return FALSE;
    return rect_.PtInRect(point) ? TRUE : FALSE;
}

void MControl::DrawSubControls(HDC& hdc, CRect update) {
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_)
        if (c->IsVisible()) c->Draw(hdc, update);
}

void MControl::SetUpdate(BOOL current, DWORD colour) {
    update_ = current;
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_)
        if (c->GetRect().Intersects(rect_)) c->SetUpdate(current, colour);
}

void MControl::SetControlFocus(BOOL focus) {
    focused_ = focus;
    if (!focus) {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_)
            if (c->IsFocused()) c->SetControlFocus(FALSE);
    }
}

BOOL MControl::OnControlSetCursor(UINT, CPoint point) {
    if (cursor_ && rect_.PtInRect(point)) {
        platform::SetCursor(cursor_);
        return TRUE;
    }
    return FALSE;
}

BOOL MControl::OnControlKeyDown(UINT key, UINT, UINT modifiers) {
    return (accelKey_ != 0 && key == accelKey_ && modifiers == accelModifiers_) ? TRUE : FALSE;
}

void MControl::InvalidateRect(const RECT* rect, BOOL erase) {
    if (!manager_) return;
    manager_->InvalidateRect(rect ? CRect(*rect) : rect_, erase);
}

void MControl::SetRect(CRect rect) {
    const CRect old = rect_;
    SetControlRect(rect);
    if (visible_ && parent_) {
        CRect u;
        u.UnionRect(old, rect_);
        parent_->OnControlUpdate(u, TRUE, this);
    }
}

void MControl::SetVisible(BOOL visible) {
    if ((visible != 0) == (visible_ != 0)) return;
    SetControlVisible(visible ? TRUE : FALSE);
    // Hiding asks too: what lay under the control must be painted again.
    if (parent_) parent_->OnControlUpdate(rect_, TRUE, this);
}

void MControl::SetVisible(BOOL visible, BOOL redraw) {
    if ((visible != 0) == (visible_ != 0)) return;
    SetControlVisible(visible ? TRUE : FALSE);
    if (redraw && parent_) parent_->OnControlUpdate(rect_, TRUE, this);
}

BOOL MControl::IsParentVisible() {
    MObject* p = parent_;
    if (!p) return FALSE;
    while (p) {
        if (p->IsClass(L"MDialog")) return TRUE;
        auto* c = dynamic_cast<MControl*>(p);
        if (!c) return TRUE;  // another kind of owner (a menu window) counts as shown
        if (!c->IsVisible()) return FALSE;
        p = c->GetParantObject();
    }
    return TRUE;
}

void MControl::SetEnabled(BOOL enabled) {
    if ((enabled != 0) == (enabled_ != 0)) return;
    SetControlEnabled(enabled ? TRUE : FALSE);
    if (visible_) UpdateControl(TRUE, FALSE);
}

void MControl::SetManager(PaintManager* manager) {
    manager_ = manager;
    InitControl(manager);
}

MControl* MControl::GetControl(UINT id) {
    {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_) {
            if (c->GetControlID() == id) return c;
            if (MControl* found = c->GetControl(id)) return found;
        }
    }
    std::lock_guard lock(areaLock_);
    for (MControl* c : areas_) {
        if (c->GetControlID() == id) return c;
        if (MControl* found = c->GetControl(id)) return found;
    }
    return nullptr;
}

BOOL MControl::RemoveControl(MControl* control) {
    if (!control) return FALSE;
    {
        std::lock_guard lock(controlLock_);
        auto it = std::find(controls_.begin(), controls_.end(), control);
        if (it == controls_.end()) return FALSE;
        controls_.erase(it);
        if (capture_ == control) capture_ = nullptr;
    }
    if (manager_) {
        if (manager_->GetFocusControl() == control) manager_->SetFocusControl(nullptr);
        manager_->KillTimer(control);
        manager_->DeleteFSTimer(control);
    }
    delete control;
    return TRUE;
}

void MControl::RemoveAllControl() {
    std::vector<MControl*> doomed;
    {
        std::lock_guard lock(controlLock_);
        doomed.swap(controls_);
        capture_ = nullptr;
    }
    {
        std::lock_guard lock(areaLock_);
        doomed.insert(doomed.end(), areas_.begin(), areas_.end());
        areas_.clear();
    }
    for (MControl* c : doomed) {
        if (manager_) {
            if (manager_->GetFocusControl() == c) manager_->SetFocusControl(nullptr);
            manager_->KillTimer(c);
            manager_->DeleteFSTimer(c);
        }
        delete c;
    }
}

void MControl::AddChild(MControl* child, UINT kind) {
    if (!child) return;
    if (kind == 0) {
        std::lock_guard lock(areaLock_);
        areas_.push_back(child);
    } else if (kind == 1) {
        std::lock_guard lock(controlLock_);
        controls_.push_back(child);
    }
}

void MControl::UpdateControl(BOOL rebuild, BOOL force) {
    if ((visible_ || force) && parent_) parent_->OnControlUpdate(rect_, rebuild, this);
}

void MControl::UpdateControl(CRect rect, BOOL rebuild, BOOL force) {
    if ((visible_ || force) && parent_) parent_->OnControlUpdate(rect, rebuild, this);
}

void MControl::UpdateAControl(BOOL immediate, BOOL force) {
    animate_ = immediate ? FALSE : TRUE;
    UpdateControl(FALSE, force);
}

LRESULT MControl::SendMessageW(UINT code, WPARAM w, LPARAM l) {
    return parent_ ? parent_->OnBaseMessage(id_, code, w, l) : 0;
}

void MControl::SetTooltip(const CString& text, CRect rect) {
    if (!manager_) return;
    manager_->SetTooltip(text.c_str(), rect);
    manager_->SetTooltipCtrlID(static_cast<int>(id_));
}

void MControl::ClearTooltip() {
    if (manager_) manager_->ClearTooltip();
}

int MControl::SetCursorEx(const wchar_t* name) {
    if (!name) return 0;
    static const struct {
        const wchar_t* name;
        std::uintptr_t id;
    } kCursors[] = {
        {L"arrow", platform::IDC_ARROW}, {L"wait", platform::IDC_WAIT},     {L"cross", platform::IDC_CROSS},
        {L"sizewe", platform::IDC_SIZEWE}, {L"sizens", platform::IDC_SIZENS}, {L"hand", platform::IDC_HAND},
        {L"help", platform::IDC_HELP},
    };
    for (const auto& c : kCursors)
        if (std::wstring(name) == c.name) cursor_ = platform::LoadCursorW(nullptr, c.id);
    return 0;
}

BOOL MControl::AddMTimer() { return manager_ ? manager_->AddMTimer(this) : FALSE; }

BOOL MControl::IsFocusControl() { return manager_ && manager_->GetFocusControl() == this; }

void MControl::Draw(HDC& hdc, CRect update) {
    if (!visible_ || !rect_.Intersects(update)) return;
    {
        std::lock_guard lock(areaLock_);
        for (MControl* a : areas_)
            if (a->GetRect().Intersects(rect_)) a->Draw(hdc, update);
    }
    DrawControl(hdc, update);
    DrawSubControls(hdc, update);
}

void MControl::UpdateMemDC(HDC&, int cx, int cy) {
    if (!memDC_.bitmap || memDC_.size.cx != cx || memDC_.size.cy != cy) {
        delete memDC_.bitmap;
        memDC_.bitmap = new platform::draw::Image(cx, cy);
        memDC_.oldBitmap = memDC_.dc.SelectImage(memDC_.bitmap);
        memDC_.size = CSize(cx, cy);
    }
    update_ = TRUE;
}

void MControl::UpdateAnimateDC(HDC&, int cx, int cy) {
    delete animateDC_.bitmap;
    animateDC_.bitmap = new platform::draw::Image(cx, cy);
    animateDC_.oldBitmap = animateDC_.dc.SelectImage(animateDC_.bitmap);
    animateDC_.size = CSize(cx, cy);
    animate_ = TRUE;
}

int MControl::PositionItem2Value(const FS_POSITION_ITEM& item, int a, int b) {
    switch (item.kind) {
    case 0:
        return item.fromEnd ? b - static_cast<int>(item.value) : a + static_cast<int>(item.value);
    case 1: {
        const int mid = (a + b) / 2;
        return item.fromEnd ? mid - static_cast<int>(item.value) : mid + static_cast<int>(item.value);
    }
    case 2:
        return std::min(b, a + static_cast<int>((b - a) * item.value / 100.0f));
    default:
        return 0;
    }
}

CPoint MControl::ChildPoint(MControl* child, CPoint original, CPoint translated) {
    const UINT id = child->GetControlID();
    return (id == 1 || id == 2) ? original : translated;
}

void MControl::TakeWindowFocus() {
    if (manager_) {
        manager_->SetFocusControl(this);
    } else {
        SetControlFocus(TRUE);
    }
}

BOOL MControl::ButtonDown(bool left, UINT flags, CPoint point) {
    if (!visible_ || !response_) return FALSE;
    const CPoint original = point;
    OnMousePointChange(point);
    pressedInside_ = rect_.PtInRect(original) ? TRUE : FALSE;
    MControl* target = nullptr;
    {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_) {
            const CPoint p = ChildPoint(c, original, point);
            if (c->PtInRect(p) && c->IsVisible() && c->IsEnabled() && c->GetRresponse()) target = c;
        }
        capture_ = target;
    }
    if (target) {
        const CPoint p = ChildPoint(target, original, point);
        return left ? target->OnLButtonDown(flags, p) : target->OnRButtonDown(flags, p);
    }
    TakeWindowFocus();
    return left ? OnControlLButtonDown(flags, point) : OnControlRButtonDown(flags, point);
}

BOOL MControl::ButtonUp(bool left, UINT flags, CPoint point) {
    if (!visible_ || !response_) return FALSE;
    const CPoint original = point;
    OnMousePointChange(point);
    pressedInside_ = FALSE;
    MControl* target = capture_;
    if (target) {
        const CPoint p = ChildPoint(target, original, point);
        return left ? target->OnLButtonUp(flags, p) : target->OnRButtonUp(flags, p);
    }
    return left ? OnControlLButtonUp(flags, point) : OnControlRButtonUp(flags, point);
}

BOOL MControl::ButtonDblClk(bool left, UINT flags, CPoint point) {
    if (!visible_ || !response_) return FALSE;
    const CPoint original = point;
    OnMousePointChange(point);
    pressedInside_ = FALSE;
    MControl* target = capture_;
    if (target) {
        const CPoint p = ChildPoint(target, original, point);
        BOOL used = left ? target->OnLButtonDblClk(flags, p) : target->OnRButtonDblClk(flags, p);
        if (!used && !target->GetDblClk())
            used = left ? target->OnLButtonDown(flags, p) : target->OnRButtonDown(flags, p);
        return used;
    }
    if (!dblClk_) return left ? OnControlLButtonDown(flags, point) : OnControlRButtonDown(flags, point);
    if (notifyDblClk_ && rect_.PtInRect(original)) {
        CPoint copy = point;
        SendMessageW(kNotifyDoubleClick, flags, reinterpret_cast<LPARAM>(&copy));
    }
    return left ? OnControlLButtonDblClk(flags, point) : OnControlRButtonDblClk(flags, point);
}

BOOL MControl::OnLButtonDown(UINT flags, CPoint point) { return ButtonDown(true, flags, point); }
BOOL MControl::OnRButtonDown(UINT flags, CPoint point) { return ButtonDown(false, flags, point); }
BOOL MControl::OnLButtonUp(UINT flags, CPoint point) { return ButtonUp(true, flags, point); }
BOOL MControl::OnRButtonUp(UINT flags, CPoint point) { return ButtonUp(false, flags, point); }
BOOL MControl::OnLButtonDblClk(UINT flags, CPoint point) { return ButtonDblClk(true, flags, point); }
BOOL MControl::OnRButtonDblClk(UINT flags, CPoint point) { return ButtonDblClk(false, flags, point); }

BOOL MControl::OnMouseMove(UINT flags, CPoint point) {
    if (!visible_ || !response_) return FALSE;
    const CPoint original = point;
    OnMousePointChange(point);
    MControl* captured = capture_;
    if (captured) {
        const CPoint p = ChildPoint(captured, original, point);
        if ((captured->PtInRect(p) && captured->OnCheckMouseResponse(flags, p)) || pressedInside_)
            return captured->OnMouseMove(flags, p);
    }
    const bool hadCapture = captured != nullptr;
    capture_ = nullptr;
    const bool inside = rect_.PtInRect(original) && OnCheckMouseResponse(flags, point);
    if (!tooltip_.IsEmpty() && inside && manager_ && manager_->GetTooltipCtrlID() != static_cast<int>(id_)) {
        manager_->SetTooltip(tooltip_.c_str(), rect_);
        manager_->SetTooltipCtrlID(static_cast<int>(id_));
    }
    OnControlSetCursor(flags, point);
    BOOL used = OnControlMouseMove(flags, point);
    if (trackEnterLeave_) mouseOutside_ = rect_.PtInRect(original) ? FALSE : TRUE;
    if (!pressedInside_) {
        std::lock_guard lock(controlLock_);
        MControl* last = nullptr;
        for (MControl* c : controls_) {
            const CPoint p = ChildPoint(c, original, point);
            if (c->OnMouseMove(flags, p)) {
                used = TRUE;
                if (c->PtInRect(p)) last = c;
            }
        }
        capture_ = last;
    }
    if (hadCapture || capture_) return TRUE;
    return used;
}

BOOL MControl::OnScroll(int bar, UINT direction, CPoint point) {
    if (!visible_ || !response_ || !enabled_) return FALSE;
    const CPoint original = point;
    OnMousePointChange(point);
    if (MControl* c = capture_) {
        const CPoint p = ChildPoint(c, original, point);
        if (c->PtInRect(p) && c->OnCheckMouseResponse(0, p)) return c->OnScroll(bar, direction, p);
    }
    if (!rect_.PtInRect(original)) return FALSE;
    if (OnControlScroll(bar, direction, point)) return TRUE;
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_) {
        const CPoint p = ChildPoint(c, original, point);
        if (c->PtInRect(p) && c->OnScroll(bar, direction, p)) return TRUE;
    }
    return FALSE;
}

BOOL MControl::OnKeyDown(UINT key, UINT repeat, UINT modifiers) {
    if (!visible_ || !response_) return FALSE;
    BOOL used = FALSE;
    MControl* focusedChild = nullptr;
    {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_)
            if (c->IsFocused()) {
                focusedChild = c;
                break;
            }
    }
    if (focusedChild) {
        used = focusedChild->OnKeyDown(key, repeat, modifiers);
    } else {
        if (capture_ && capture_->OnKeyDown(key, repeat, modifiers)) {
            used = TRUE;
        } else {
            used = OnControlKeyDown(key, repeat, modifiers);
            if (!used) {
                std::lock_guard lock(controlLock_);
                for (MControl* c : controls_)
                    if (c->OnKeyDown(key, repeat, modifiers)) {
                        used = TRUE;
                        break;
                    }
            }
        }
    }
    if (notifyKeys_) SendMessageW(kNotifyKey, key, modifiers);
    return used;
}

BOOL MControl::OnTimer() {
    BOOL changed = OnControlTimer();
    std::lock_guard lock(controlLock_);
    for (MControl* c : controls_)
        if (c->IsRunTimer() && c->IsVisible() && c->OnTimer()) changed = TRUE;
    return changed;
}

}  // namespace TesselUI
