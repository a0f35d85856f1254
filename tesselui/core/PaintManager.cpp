// PaintManager: window messages to controls (mouse, keyboard, focus), the
// control lists and redraw requests.
#include "PaintManager.h"

#include <algorithm>

#include "ControlFactory.h"
#include "MControlFont.h"
#include "MDialog.h"
#include "MShadow.h"
#include "Manager.h"
#include "platform/draw/Image.h"
#include "platform/window/Window.h"

namespace TesselUI {

namespace W = platform;
namespace D = platform::draw;

namespace {

PaintManager::AirBladderFactory& BalloonFactory() {
    static PaintManager::AirBladderFactory f;
    return f;
}

}  // namespace

void PaintManager::SetAirBladderFactory(AirBladderFactory factory) { BalloonFactory() = std::move(factory); }

PaintManager::PaintManager() = default;

PaintManager::~PaintManager() {
    // The shared timer calls OnMTimer on this object: stop it before anything goes.
    MTimerBase::KillTimer();
    DestroyData();
    // A manager that never got a window skipped DestroyData's clean-up, yet may
    // have loaded skin images and private fonts; after DestroyData both are empty
    // and these clear nothing, so nothing is freed twice.
    ClearImgResInfo();
    ClearTempFont();
    delete airBladder_;
    airBladder_ = nullptr;
}

void PaintManager::Init(HWND hwnd, MWindow* window) {
    hwnd_ = hwnd;
    window_ = window;
    paintDC_ = &windowDC_;
    // The program's own "Arial" stand-in becomes the private "Arial" when it ships.
    const CString fontFile = Manager::GetProgramDir() + L"font/Arial.ttf";
    AddTempFont(L"Arial", fontFile);
    // Files dropped on the window arrive as WM_DROPFILES; a window the layer
    // cannot make a drop target simply takes no drops.
    W::DragAcceptFiles(hwnd, TRUE);
    AddGDITempFont(106);
    scrollV_ = 102;
    scrollH_ = 101;
    initialized_ = TRUE;
}

void PaintManager::Invalidate() {
    if (hwnd_) W::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rect, BOOL erase) {
    if (!hwnd_) return;
    if (layered_) W::InvalidateRect(hwnd_, nullptr, erase);
    else W::InvalidateRect(hwnd_, &rect, erase);
}

CRect PaintManager::GetClientRect() const {
    RECT r{};
    if (hwnd_) W::GetClientRect(hwnd_, &r);
    return r;
}

CRect PaintManager::GetWindowRect() const {
    RECT r{};
    if (hwnd_) W::GetWindowRect(hwnd_, &r);
    return r;
}

CSize PaintManager::GetClientSize() const {
    const CRect r = GetClientRect();
    return CSize(r.Width(), r.Height());
}

void PaintManager::SetCapture() {
    if (!hwnd_) return;
    W::SetCapture(hwnd_);
    captured_ = TRUE;
}

void PaintManager::ReleaseCapture() {
    if (captured_) W::ReleaseCapture();
    captured_ = FALSE;
}

void PaintManager::SetLayeredWindow(BOOL layered) {
    layered_ = layered;
    if (!hwnd_) return;
    const auto ex = static_cast<DWORD>(W::GetWindowLongPtrW(hwnd_, W::GWL_EXSTYLE));
    W::SetWindowLongPtrW(hwnd_, W::GWL_EXSTYLE,
                         static_cast<std::intptr_t>(layered ? (ex | W::WS_EX_LAYERED) : (ex & ~W::WS_EX_LAYERED)));
    Invalidate();
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM w, LPARAM l) { return hwnd_ ? W::SendMessageW(hwnd_, msg, w, l) : 0; }
LRESULT PaintManager::PostMessageW(UINT msg, WPARAM w, LPARAM l) { return hwnd_ ? W::SendMessageW(hwnd_, msg, w, l) : 0; }

MDialog* PaintManager::GetMDialog() const { return dynamic_cast<MDialog*>(window_); }

// --- Controls ------------------------------------------------------------------------

MControl* PaintManager::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int a, int b) {
    MControl* c = ControlFactory::Create(ControlFactory::Window, parent, className, id, rect, title, a, b);
    if (!c) return nullptr;
    c->SetManager(this);
    if (kind == 0) {
        std::lock_guard lock(areaLock_);
        areas_.push_back(c);
    } else if (kind == 1) {
        std::lock_guard lock(controlLock_);
        controls_.push_back(c);
    }
    return c;
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int a, int b) {
    return CreateControl(0, parent, className, id, rect, title, a, b);
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int a, int b) {
    return CreateControl(1, parent, className, id, rect, title, a, b);
}

void PaintManager::AddControl(MControl* control, UINT kind) {
    if (!control) return;
    control->SetManager(this);
    if (kind == 0) {
        std::lock_guard lock(areaLock_);
        areas_.push_back(control);
    } else {
        std::lock_guard lock(controlLock_);
        controls_.push_back(control);
    }
}

MControl* PaintManager::GetControl(UINT id) {
    {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_) {
            if (c->GetControlID() == id) return c;
            if (MControl* f = c->GetControl(id)) return f;
        }
    }
    std::lock_guard lock(areaLock_);
    for (MControl* c : areas_) {
        if (c->GetControlID() == id) return c;
        if (MControl* f = c->GetControl(id)) return f;
    }
    return nullptr;
}

BOOL PaintManager::RemoveControl(MControl* control) {
    if (!control) return FALSE;
    bool found = false;
    {
        std::lock_guard lock(controlLock_);
        auto it = std::find(controls_.begin(), controls_.end(), control);
        if (it != controls_.end()) {
            controls_.erase(it);
            found = true;
        }
    }
    if (!found) {
        std::lock_guard lock(areaLock_);
        auto it = std::find(areas_.begin(), areas_.end(), control);
        if (it != areas_.end()) {
            areas_.erase(it);
            found = true;
        }
    }
    if (!found) return FALSE;
    if (focus_ == control) SetFocusControl(nullptr);
    if (hover_ == control) hover_ = nullptr;
    KillTimer(control);
    DeleteFSTimer(control);
    delete control;
    return TRUE;
}

void PaintManager::ClearAreaControls() {
    std::vector<MControl*> doomed;
    {
        std::lock_guard lock(areaLock_);
        doomed.swap(areas_);
    }
    for (MControl* c : doomed) {
        KillTimer(c);
        DeleteFSTimer(c);
        delete c;
    }
}

void PaintManager::ClearControls() {
    std::vector<MControl*> doomed;
    {
        std::lock_guard lock(controlLock_);
        doomed.swap(controls_);
        hover_ = nullptr;
        focus_ = nullptr;
    }
    for (MControl* c : doomed) {
        KillTimer(c);
        DeleteFSTimer(c);
        delete c;
    }
}

void PaintManager::ClearAllControls() {
    ClearAreaControls();
    ClearControls();
}

void PaintManager::SetFocusControl(MControl* control) {
    if (control == focus_) return;
    MControl* old = focus_;
    focus_ = control;
    if (old) old->SetControlFocus(FALSE);
    if (control) control->SetControlFocus(TRUE);
}

MControl* PaintManager::GetNextFocusableControl() {
    std::lock_guard lock(controlLock_);
    auto eligible = [](MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    auto cur = std::find(controls_.begin(), controls_.end(), focus_);
    if (cur != controls_.end()) {
        for (auto it = cur + 1; it != controls_.end(); ++it)
            if (eligible(*it)) return *it;
        // Wrap around; a control before the focus counts only when there was none.
        for (auto it = controls_.begin(); it != cur; ++it)
            if (eligible(*it)) return *it;
        return nullptr;
    }
    for (MControl* c : controls_)
        if (eligible(c)) return c;
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl() {
    std::lock_guard lock(controlLock_);
    auto eligible = [](MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    auto cur = std::find(controls_.rbegin(), controls_.rend(), focus_);
    if (cur != controls_.rend()) {
        for (auto it = cur + 1; it != controls_.rend(); ++it)
            if (eligible(*it)) return *it;
        for (auto it = controls_.rbegin(); it != cur; ++it)
            if (eligible(*it)) return *it;
        return nullptr;
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (eligible(*it)) return *it;
    return nullptr;
}

LRESULT PaintManager::OnControlUpdate(CRect rect, BOOL update, MControl* control) {
    CRect dirty = rect;
    if (update && control) control->SetUpdate(FALSE, backColour_);
    // Every skinned control captured the pixels under it when it built its image,
    // so whatever is drawn after the requester over the same place must rebuild too.
    auto sweep = [&](std::vector<MControl*>& list, bool& after) {
        for (MControl* c : list) {
            if (c == control) {
                after = true;
                continue;
            }
            if (after && c->IsVisible() && c->GetRect().Intersects(dirty)) {
                c->SetUpdate(FALSE, backColour_);
                dirty.UnionRect(dirty, c->GetRect());
            }
        }
    };
    bool after = control == nullptr;
    {
        std::lock_guard lock(areaLock_);
        sweep(areas_, after);
    }
    {
        std::lock_guard lock(controlLock_);
        sweep(controls_, after);
    }
    InvalidateRect(dirty, FALSE);
    return 0;
}

// --- Messages ------------------------------------------------------------------------

// A drop ends the drag with a left-button release at the drop point, then hands
// the first file, decoded as a picture, to the window as STM_SETIMAGE. The
// window keeps the picture it is given and answers the one it held before, which
// is freed here. A file that is no picture sends nothing.
void PaintManager::OnDropFiles(W::HDROP drop) {
    if (!hwnd_ || !drop) return;
    POINT at{};
    W::DragQueryPoint(drop, &at);
    W::SendMessageW(hwnd_, W::WM_LBUTTONUP, 0, W::MAKELPARAM(at.x, at.y));
    std::wstring path;
    if (!hwnd_ || !W::DragQueryFileW(drop, 0, &path)) return;
    std::unique_ptr<D::Image> picture = D::Image::FromFile(path);
    if (!picture) return;
    HBITMAP previous = reinterpret_cast<HBITMAP>(
        W::SendMessageW(hwnd_, W::STM_SETIMAGE, W::IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.release())));
    delete previous;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM w, LPARAM l) {
    if (msg == kTickMessage) {
        TickAnimations();
        return 1;
    }
    {
        std::lock_guard lock(controlLock_);
        for (MControl* c : controls_)
            if (c->OnWindowMessage(msg, w, l)) return 0;
    }
    const CPoint point(l);
    switch (msg) {
    case W::WM_PAINT:
        OnPaint();
        return 1;
    case W::WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(l);
        if (!info) return 1;
        if (minSize_.cx > 0) info->ptMinTrackSize.x = minSize_.cx;
        if (minSize_.cy > 0) info->ptMinTrackSize.y = minSize_.cy;
        if (maxSize_.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = maxSize_.cx;
        if (maxSize_.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = maxSize_.cy;
        return 1;
    }
    case W::WM_CREATE:
    case W::WM_DESTROY:
    case W::WM_SIZE:
    case W::WM_CHAR:
    case W::WM_MOUSEHOVER:
        return 1;
    case W::WM_NCDESTROY:
        DestroyData();
        return 1;
    case W::WM_DROPFILES:
        OnDropFiles(reinterpret_cast<W::HDROP>(w));
        return 1;
    case W::WM_NCACTIVATE:
        OnNcActivate(static_cast<BOOL>(w));
        return 0;
    case W::WM_KEYDOWN:
    case W::WM_SYSKEYDOWN:
        OnKeyDown(static_cast<UINT>(w));
        return 1;
    case W::WM_KEYUP:
    case W::WM_SYSKEYUP:
        return 0;
    case W::WM_TIMER:
        OnTimer(static_cast<UINT>(w));
        return 0;
    case W::WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(w), point); return 1;
    case W::WM_MOUSELEAVE: OnMouseLeave(); return 1;
    case W::WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(w), point); return 1;
    case W::WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(w), point); return 1;
    case W::WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(w), point); return 1;
    case W::WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(w), point); return 1;
    case W::WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(w), point); return 1;
    case W::WM_RBUTTONDBLCLK: OnRButtonDblClk(static_cast<UINT>(w), point); return 1;
    case W::WM_MOUSEWHEEL: OnMouseWheel(w, l); return 1;
    case W::WM_COMMAND:
    case W::WM_CTLCOLOREDIT:
    case W::WM_CTLCOLORSTATIC: {
        HWND child = reinterpret_cast<HWND>(l);
        if (child && W::IsWindow(child)) return W::SendMessageW(child, msg + 0x2000, w, l);
        return 0;
    }
    default:
        return 0;
    }
}

BOOL PaintManager::PreTranslateMessage(MSG* msg) {
    if (!msg) return FALSE;
    if ((msg->message == W::WM_KEYDOWN || msg->message == W::WM_SYSKEYDOWN) && msg->wParam == W::VK_TAB) {
        const bool ctrl = W::GetKeyState(W::VK_CONTROL) < 0;
        const bool alt = W::GetKeyState(W::VK_MENU) < 0 || msg->message == W::WM_SYSKEYDOWN;
        if (ctrl || alt) return FALSE;
        const bool shift = W::GetKeyState(W::VK_SHIFT) < 0;
        MControl* next = shift ? GetPrevFocusableControl() : GetNextFocusableControl();
        if (!next || next == focus_) return FALSE;
        SetFocusControl(next);
        return TRUE;
    }
    switch (msg->message) {
    case W::WM_MOUSEMOVE:
    case W::WM_LBUTTONDOWN:
    case W::WM_LBUTTONUP:
    case W::WM_RBUTTONDOWN:
    case W::WM_RBUTTONUP:
    case W::WM_MBUTTONDOWN:
    case W::WM_MBUTTONUP:
    case W::WM_MOUSEWHEEL:
        if (msg->hwnd == hwnd_) W::RelayTipEvent(*msg);
        break;
    default:
        break;
    }
    return FALSE;
}

bool PaintManager::HoverTakes(CPoint point) const {
    return hover_ && hover_->IsVisible() && hover_->GetRresponse() && hover_->PtInRect(point) &&
           hover_->OnCheckMouseResponse(0, point);
}

void PaintManager::OnMouseMove(UINT flags, CPoint point) {
    if (!tracking_ && hwnd_) {
        W::TRACKMOUSEEVENT t;
        t.dwFlags = W::TME_LEAVE | W::TME_HOVER;
        t.hwndTrack = hwnd_;
        t.dwHoverTime = 400;
        tracking_ = W::TrackMouseEvent(&t) ? TRUE : FALSE;
    }
    if (dragPending_ && (flags & W::MK_LBUTTON)) {
        // A drag out of the window needs the system's drag service; within this
        // port the drag stays pending until the button comes up.
        dragLast_ = point;
    }
    std::lock_guard lock(controlLock_);
    if (hover_ && hover_->PtInRect(point) && hover_->OnCheckMouseResponse(flags, point) && tracking_) {
        hover_->OnMouseMove(flags, point);
        return;
    }
    ClearTooltip();
    if (buttonDown_) return;
    MControl* last = nullptr;
    for (MControl* c : controls_) {
        c->OnMouseMove(flags, point);
        if (c->PtInRect(point) && c->GetRresponse()) last = c;
    }
    hover_ = last;
}

void PaintManager::OnMouseLeave() {
    ClearTooltip();
    tracking_ = FALSE;
    if (buttonDown_) return;
    std::lock_guard lock(controlLock_);
    if (hover_) hover_->OnMouseMove(0, CPoint(-1, -1));
    hover_ = nullptr;
}

void PaintManager::OnLButtonDown(UINT flags, CPoint point) {
    std::unique_lock lock(controlLock_);
    if (focus_ && focus_ != hover_) SetFocusControl(nullptr);
    if (HoverTakes(point)) {
        if (hover_->IsDragDrop() && hover_->IsEnabled()) {
            dragPending_ = TRUE;
            dragLast_ = point;
            dragBitmap_.reset(hover_->GetDropBitmap());
        }
        buttonDown_ = TRUE;
        SetFocusControl(hover_);
        MControl* target = hover_;
        target->OnLButtonDown(flags, point);
        if (!captured_ && target == hover_ && target->PtInRect(point) && target->OnCheckMouseResponse(flags, point))
            SetCapture();
        return;
    }
    lock.unlock();
    if (dragMove_ && hwnd_) {
        ReleaseCapture();
        POINT screen{point.x, point.y};
        W::ClientToScreen(hwnd_, &screen);
        W::SendMessageW(hwnd_, W::WM_NCLBUTTONDOWN, W::HTCAPTION, W::MAKELPARAM(screen.x, screen.y));
    }
}

void PaintManager::OnLButtonUp(UINT flags, CPoint point) {
    ReleaseCapture();
    dragPending_ = FALSE;
    std::lock_guard lock(controlLock_);
    if (hover_ && hover_->IsVisible() && hover_->GetRresponse()) {
        const CRect before = hover_->GetRect();
        hover_->OnLButtonUp(flags, point);
        if (!before.PtInRect(point)) hover_ = nullptr;
    }
    buttonDown_ = FALSE;
}

void PaintManager::OnLButtonDblClk(UINT flags, CPoint point) {
    std::lock_guard lock(controlLock_);
    if (hover_ && hover_->IsVisible() && hover_->GetRresponse()) {
        hover_->OnLButtonDblClk(flags, point);
        if (hover_ && !hover_->GetRect().PtInRect(point)) hover_ = nullptr;
    }
}

void PaintManager::OnRButtonDown(UINT flags, CPoint point) {
    std::lock_guard lock(controlLock_);
    if (focus_ && focus_ != hover_) SetFocusControl(nullptr);
    if (!HoverTakes(point)) return;
    buttonDown_ = TRUE;
    SetFocusControl(hover_);
    MControl* target = hover_;
    target->OnRButtonDown(flags, point);
    if (!captured_ && target->PtInRect(point) && target->OnCheckMouseResponse(flags, point)) SetCapture();
}

void PaintManager::OnRButtonUp(UINT flags, CPoint point) {
    ReleaseCapture();
    std::lock_guard lock(controlLock_);
    if (hover_ && hover_->IsVisible() && hover_->GetRresponse()) {
        const CRect before = hover_->GetRect();
        hover_->OnRButtonUp(flags, point);
        if (!before.PtInRect(point)) hover_ = nullptr;
    }
    buttonDown_ = FALSE;
}

void PaintManager::OnRButtonDblClk(UINT flags, CPoint point) {
    std::lock_guard lock(controlLock_);
    if (hover_ && hover_->IsVisible() && hover_->GetRresponse()) {
        hover_->OnRButtonDblClk(flags, point);
        if (hover_ && !hover_->GetRect().PtInRect(point)) hover_ = nullptr;
    }
}

void PaintManager::OnMouseWheel(WPARAM w, LPARAM l) {
    POINT p{W::GET_X_LPARAM(l), W::GET_Y_LPARAM(l)};
    if (hwnd_) W::ScreenToClient(hwnd_, &p);
    const CPoint point(p);
    const int delta = W::GET_WHEEL_DELTA_WPARAM(w);
    const int steps = std::abs(delta / W::WHEEL_DELTA);
    const UINT down = delta <= 0 ? 1 : 0;
    std::lock_guard lock(controlLock_);
    for (int i = 0; i < steps; ++i) {
        if (hover_ && hover_->OnScroll(1, down, point)) continue;
        for (MControl* c : controls_)
            if (c->OnScroll(1, down, point)) break;
    }
}

void PaintManager::OnNcActivate(BOOL active) {
    if (!active) {
        tracking_ = FALSE;
        captured_ = FALSE;
        std::lock_guard lock(controlLock_);
        if (hover_) {
            if (buttonDown_) hover_->OnLButtonUp(0, CPoint(-1, -1));
            else hover_->OnMouseMove(0, CPoint(-1, -1));
        }
        buttonDown_ = FALSE;
        hover_ = nullptr;
    }
    Invalidate();
}

void PaintManager::OnKeyDown(UINT key) {
    UINT modifiers = 0;
    if (W::GetKeyState(W::VK_MENU) < 0) modifiers = 18;
    else if (W::GetKeyState(W::VK_SHIFT) < 0) modifiers = 16;
    if (W::GetKeyState(W::VK_CONTROL) < 0) modifiers |= 17;
    std::lock_guard lock(controlLock_);
    if (hover_ && hover_->OnKeyDown(key, 1, modifiers)) return;
    for (MControl* c : controls_)
        if (c->OnKeyDown(key, 1, modifiers)) return;
}

// --- Tooltips and balloon --------------------------------------------------------------

void PaintManager::SetTooltip(const wchar_t* text, CRect) {
    if (!text || !*text) {
        ClearTooltip();
        return;
    }
    tooltipText_ = text;
    if (hwnd_) W::SetTipText(hwnd_, tooltipText_, true);
}

void PaintManager::ClearTooltip() {
    const bool had = !tooltipText_.IsEmpty() || tooltipOwner_ != 0;
    tooltipText_.Empty();
    tooltipOwner_ = 0;
    if (had && hwnd_) W::SetTipText(hwnd_, L"", false);
}

BOOL PaintManager::SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type) {
    if (!airBladder_ && BalloonFactory()) airBladder_ = BalloonFactory()(this);
    return airBladder_ ? airBladder_->SetAirBladderMsg(text, point, type) : FALSE;
}

void PaintManager::ShowAirBladder(BOOL show, int owner) {
    airBladderOwner_ = owner;
    if (airBladder_) airBladder_->ShowAirBladder(show);
}

// --- Life ------------------------------------------------------------------------------

void PaintManager::DestroyData() {
    if (!initialized_) return;
    initialized_ = FALSE;
    MTimerBase::KillTimer();
    mtimerId_ = 0;
    {
        std::lock_guard lock(animationLock_);
        animations_.clear();
    }
    ClearTimers();
    backImage_.reset();
    shadow_.reset();
    ClearAllControls();
    ClearImgResInfo();
    ClearTempFont();
    dragBitmap_.reset();
    paintDC_ = nullptr;
    hwnd_ = nullptr;
}

}  // namespace TesselUI
