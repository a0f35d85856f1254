// MControl: a control drawn by the toolkit itself, a plain object with a
// rectangle in the client coordinates of its window (also when nested).
//
// Ownership: a control owns the children of its two lists, the area list
// (non-interactive children drawn under the control's own content) and the
// control list (interactive children drawn over it, later ones on top), and frees
// them in its destructor. Its parent (an MObject) and manager are not owned.
// Threads: input, focus and drawing run on the window's thread; every traversal of
// either child list holds that list's own lock, so the list may be walked from
// another thread (redraw requests, timer ticks) at the same time. Failures are
// answers (0, null), never exceptions.
#pragma once

#include <mutex>
#include <vector>

#include "MObject.h"

namespace TesselUI {

class PaintManager;

// A position inside a span: kind 0 = offset from the start (from the end when
// fromEnd), 1 = offset from the middle (negated when fromEnd), 2 = percentage of
// the span from the start, capped at the end.
struct FS_POSITION_ITEM {
    int kind = 0;
    BOOL fromEnd = FALSE;
    float value = 0.0f;
};

// An off-screen image of a control: the bitmap and the surface drawing into it.
struct MemoryDC {
    CSize size;
    platform::draw::Image* bitmap = nullptr;  // owned
    platform::draw::Dc dc;
    HBITMAP oldBitmap = nullptr;
};

// Notification codes a control sends up to its window.
enum : UINT {
    kNotifyPress = 1,
    kNotifyClick = 2,
    kNotifyDoubleClick = 3,
    kNotifyRightClick = 5,
    kNotifyKeyCheck = 7,
    kNotifyScroll = 8,
    kNotifyButtonPart = 9,
    kNotifyKey = 14,
    kNotifyEditChanged = 26,
    kNotifyColour = 27,
    kNotifySpin = 28,
    kNotifyEditClosed = 29,
    kNotifyEditOpened = 30,
    kNotifyEditButtonUp = 31,
};

class MControl : public MObject {
public:
    MControl(MObject* parent, UINT id, CRect rect, int visible = 1, int enabled = 1);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassNameW() const override { return L"FSControl"; }

    // --- Virtual operations, in table order --------------------------------------
    virtual void InitControl(PaintManager* manager) {}
    virtual BOOL PtInRect(CPoint point);
    virtual void DrawControl(HDC& hdc, CRect update) {}
    virtual void DrawSubControls(HDC& hdc, CRect update);
    virtual BOOL IsDraw(CPoint point) { return FALSE; }
    // Sets the update flag and passes both values to every child overlapping this one.
    virtual void SetUpdate(BOOL current, DWORD colour);
    virtual void SetControlFocus(BOOL focus);
    virtual void InitUI(CRect rect) {}
    virtual void OnMousePointChange(CPoint& point) {}
    virtual BOOL OnCheckMouseResponse(UINT flags, CPoint point) { return TRUE; }
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) { return 0; }
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM w, LPARAM l) { return 0; }
    virtual void SetControlRect(CRect rect) { rect_ = rect; }
    virtual void SetControlVisible(BOOL visible) { visible_ = visible; }
    virtual void SetControlWndVisible(BOOL visible) {}
    virtual void SetControlEnabled(BOOL enabled) { enabled_ = enabled; }
    virtual BOOL OnControlTimer() { return FALSE; }
    virtual HBITMAP GetControlDropBitmap() { return nullptr; }
    virtual BOOL OnControlMouseMove(UINT flags, CPoint point) { return FALSE; }
    virtual BOOL OnControlSetCursor(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonDown(UINT flags, CPoint point) { return FALSE; }
    virtual BOOL OnControlLButtonUp(UINT flags, CPoint point) { return FALSE; }
    virtual BOOL OnControlLButtonDblClk(UINT flags, CPoint point) { return FALSE; }
    virtual BOOL OnControlScroll(int bar, UINT direction, CPoint point) { return FALSE; }
    virtual BOOL OnControlRButtonDown(UINT flags, CPoint point) { return FALSE; }
    virtual BOOL OnControlRButtonUp(UINT flags, CPoint point) { return FALSE; }
    virtual BOOL OnControlRButtonDblClk(UINT flags, CPoint point) { return FALSE; }
    // True for the accelerator key with exactly its modifier mask.
    virtual BOOL OnControlKeyDown(UINT key, UINT repeat, UINT modifiers);
    virtual void OnPositionChange() {}
    // Invalidates the control's rectangle (the whole window when it is layered).
    virtual void InvalidateRect(const RECT* rect, BOOL erase);

    // --- Geometry and state -------------------------------------------------------
    void SetRect(CRect rect);
    void SetRect(int x, int y, int w, int h) { SetRect(CRect(x, y, x + w, y + h)); }
    CRect GetRect() const { return rect_; }
    void SetVisible(BOOL visible);
    void SetVisible(BOOL visible, BOOL redraw);
    BOOL IsVisible() const { return visible_; }
    BOOL IsEnabled() const { return enabled_; }
    void SetEnabled(BOOL enabled);
    // Up the parents: true at the first "MDialog", else all parents visible; false
    // without a parent.
    BOOL IsParentVisible();
    UINT GetControlID() const { return id_; }
    MObject* GetParantObject() const { return parent_; }
    void SetParent(MObject* parent) { parent_ = parent; }
    PaintManager* GetManager() const { return manager_; }
    // Stores the manager and calls InitControl.
    void SetManager(PaintManager* manager);

    void SetDragDrop(BOOL on) { dragDrop_ = on; }
    BOOL IsDragDrop() const { return dragDrop_; }
    void SetRresponse(BOOL on) { response_ = on; }
    BOOL GetRresponse() const { return response_; }
    void SetTabStop(BOOL on) { tabStop_ = on; }
    BOOL IsTabStop() const { return tabStop_; }
    void SetDblClk(BOOL on) { dblClk_ = on; }
    BOOL GetDblClk() const { return dblClk_; }
    BOOL IsKeyDown() const { return keyDown_; }
    BOOL IsFocused() const { return focused_; }
    void SetAccelerator(UINT key, UINT modifiers) { accelKey_ = key; accelModifiers_ = modifiers; }
    void SetUpdate(BOOL current) { SetUpdate(current, 0); }
    BOOL GetUpdate() const { return update_; }
    BOOL IsAnimate() const { return animate_; }
    void SetRunTimer(BOOL on) { runTimer_ = on; }
    BOOL IsRunTimer() const { return runTimer_; }
    BOOL IsRunning() const { return running_; }
    void SetRunning(BOOL on) { running_ = on; }
    void SetUseImageECM(BOOL on) { useImageECM_ = on; }
    BOOL UseImageECM() const { return useImageECM_; }
    void SetTrackEnterLeave(BOOL on) { trackEnterLeave_ = on; }
    BOOL IsMouseOutside() const { return mouseOutside_; }
    // Public setters for the two notify flags (the toolkit sets them in subclasses).
    void SetNotifyDblClk(BOOL on) { notifyDblClk_ = on; }
    void SetNotifyKeys(BOOL on) { notifyKeys_ = on; }

    // --- Children -----------------------------------------------------------------
    std::vector<MControl*>& GetControls() { return controls_; }
    std::vector<MControl*>& GetAreas() { return areas_; }
    std::recursive_mutex& ControlLock() { return controlLock_; }
    std::recursive_mutex& AreaLock() { return areaLock_; }
    // Depth first: the control list (each child, then its subtree), then the area list.
    MControl* GetControl(UINT id);
    // Takes the focus from the child first when it has it; deletes the child.
    BOOL RemoveControl(MControl* control);
    void RemoveAllControl();
    // Appends an already made child (kind 0: area list, 1: control list).
    void AddChild(MControl* child, UINT kind);
    MControl* GetCaptureChild() const { return capture_; }

    // --- Redraw -------------------------------------------------------------------
    void UpdateControl(BOOL rebuild = TRUE, BOOL force = FALSE);
    void UpdateControl(CRect rect, BOOL rebuild, BOOL force);
    void UpdateAControl(BOOL immediate, BOOL force = FALSE);

    // --- Notifications, tooltips, cursor, timers -----------------------------------
    LRESULT SendMessageW(UINT code, WPARAM w, LPARAM l);
    void SetTooltip(const wchar_t* text) { tooltip_ = text; }
    void SetTooltip(const CString& text, CRect rect);
    void ClearTooltip();
    const CString& GetTooltip() const { return tooltip_; }
    // "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help"; others change nothing.
    int SetCursorEx(const wchar_t* name);
    HCURSOR GetCursorEx() const { return cursor_; }
    // Registers with the window's shared animation timer.
    BOOL AddMTimer();

    // --- Focus --------------------------------------------------------------------
    void OnFocus(BOOL focus) { SetControlFocus(focus); }
    BOOL IsFocusControl();
    MControl* GetFocusControl() { return nullptr; }
    MControl* GetNextFocusableControl() { return nullptr; }
    MControl* GetPrevFocusableControl() { return nullptr; }

    // --- Drawing ------------------------------------------------------------------
    void Draw(HDC& hdc, CRect update);
    // Makes the memory image current; re-creates the bitmap only when the size changes.
    void UpdateMemDC(HDC& hdc, int cx, int cy);
    // Always re-creates the animation image and sets the animate flag.
    void UpdateAnimateDC(HDC& hdc, int cx, int cy);
    MemoryDC& GetMemDC() { return memDC_; }
    MemoryDC& GetAnimateDC() { return animateDC_; }
    HBITMAP GetDropBitmap() { return GetControlDropBitmap(); }

    static int PositionItem2Value(const FS_POSITION_ITEM& item, int a, int b);

    // --- Routing (answer whether the event was used) --------------------------------
    BOOL OnMouseMove(UINT flags, CPoint point);
    BOOL OnLButtonDown(UINT flags, CPoint point);
    BOOL OnLButtonUp(UINT flags, CPoint point);
    BOOL OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnRButtonDown(UINT flags, CPoint point);
    BOOL OnRButtonUp(UINT flags, CPoint point);
    BOOL OnRButtonDblClk(UINT flags, CPoint point);
    BOOL OnScroll(int bar, UINT direction, CPoint point);
    BOOL OnKeyDown(UINT key, UINT repeat, UINT modifiers);
    BOOL OnKeyUp(UINT key, UINT repeat, UINT modifiers) { return FALSE; }
    BOOL OnTimer();

protected:
    // The point a child receives: scroll bars (ids 1 and 2) get the window point.
    static CPoint ChildPoint(MControl* child, CPoint original, CPoint translated);
    BOOL ButtonDown(bool left, UINT flags, CPoint point);
    BOOL ButtonUp(bool left, UINT flags, CPoint point);
    BOOL ButtonDblClk(bool left, UINT flags, CPoint point);
    void TakeWindowFocus();

    MObject* parent_ = nullptr;
    PaintManager* manager_ = nullptr;
    UINT id_ = 0;
    CRect rect_;
    BOOL visible_ = TRUE;
    BOOL enabled_ = TRUE;
    BOOL dragDrop_ = FALSE;
    BOOL response_ = TRUE;
    BOOL tabStop_ = FALSE;
    BOOL dblClk_ = FALSE;
    BOOL pressedInside_ = FALSE;
    BOOL keyDown_ = FALSE;
    BOOL focused_ = FALSE;
    UINT accelKey_ = 0;
    UINT accelModifiers_ = 0;
    BOOL update_ = FALSE;
    BOOL animate_ = FALSE;
    BOOL runTimer_ = FALSE;
    BOOL running_ = FALSE;
    BOOL useImageECM_ = FALSE;
    std::vector<MControl*> areas_;
    std::recursive_mutex areaLock_;
    std::vector<MControl*> controls_;
    std::recursive_mutex controlLock_;
    MControl* capture_ = nullptr;
    MemoryDC memDC_;
    MemoryDC animateDC_;
    CString tooltip_;
    HCURSOR cursor_ = nullptr;
    BOOL trackEnterLeave_ = FALSE;
    BOOL mouseOutside_ = TRUE;
    BOOL notifyDblClk_ = FALSE;
    BOOL notifyKeys_ = FALSE;
};

}  // namespace TesselUI
