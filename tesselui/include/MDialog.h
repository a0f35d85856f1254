// MDialog: the skinned top-level window the application derives its dialogs from.
//
// It owns its PaintManager, which owns the window's controls. Notifications of
// the controls arrive in OnMessage with the control's id, the code and w and l.
// The result buttons (DoOK ... DoNo) post the result message, which turns into a
// WM_CLOSE carrying the result, so ShowModal answers it. Thread: the window's
// thread; DoOK and its relatives only post, so any thread may end a dialog.
#pragma once

#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"

namespace TesselUI {

class MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // --- Virtual operations after MWindow's, in table order ----------------------
    virtual CPoint GetAirBladderPoint(MControl* control, UINT placement);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect client) {}
    virtual void UISize(CRect client) {}
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM w, LPARAM l) { return 0; }
    virtual LRESULT OnUserCloseWindow(WPARAM w, LPARAM l);
    virtual LRESULT OnCreate(CREATESTRUCTW* cs);
    virtual LRESULT OnSize(UINT type, int cx, int cy);
    virtual LRESULT OnMouseMove(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnMouseLeave() { return 0; }
    virtual LRESULT OnMouseHover(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnMouseWheel(UINT flags, short delta, CPoint point) { return 0; }
    virtual LRESULT OnLButtonDown(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnLButtonUp(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnLButtonDblClk(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnRButtonDown(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnRButtonUp(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnRButtonDblClk(UINT flags, CPoint point) { return 0; }
    virtual LRESULT OnKeyDown(UINT key, UINT repeat, UINT flags) { return 0; }
    virtual LRESULT OnNcHitTest(CPoint point) { return 0; }
    virtual LRESULT OnGetMinMaxInfo(MINMAXINFO* info) { return 0; }
    virtual LRESULT OnNcCalcSize(int calc, void* params) { return 0; }
    virtual LRESULT OnNcActivate(int active) { return 0; }
    virtual LRESULT OnWindowPosChanging(void* pos) { return 1; }
    virtual LRESULT OnWindowPosChanged(void* pos) { return 1; }
    virtual LRESULT OnPaint() { return 0; }
    virtual void OnTimer(UINT id) {}
    virtual LRESULT OnNcPaint() { return 0; }
    virtual LRESULT OnClose() { return 1; }
    virtual LRESULT OnDestroy() { return 0; }
    virtual LRESULT PostNcDestroy() { return 0; }

    // --- MWindow and MObject --------------------------------------------------------
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) override;
    BOOL PreTranslateMessage(MSG* msg) override { return paintManager_.PreTranslateMessage(msg); }
    BOOL OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;
    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM w, LPARAM l) override { return OnMessage(id, code, w, l); }
    LRESULT OnControlUpdate(CRect rect, BOOL update, MControl* control) override {
        return paintManager_.OnControlUpdate(rect, update, control);
    }

    PaintManager& GetPaintManager() { return paintManager_; }
    PaintManager* GetPaintManagerPtr() { return &paintManager_; }

    BOOL LoadBKImage(const CString& fileName) { return paintManager_.LoadBKImage(fileName); }
    BOOL LoadBKImage(UINT id, const CString& type) { return paintManager_.LoadBKImage(id, type); }
    void SetBackMode(enumBackMode mode, int corner) { paintManager_.SetBackMode(mode, corner); }
    void SetBackColor(COLORREF background, COLORREF border) { paintManager_.SetBackColor(background, border); }
    void SetLayeredWindow(BOOL layered) { paintManager_.SetLayeredWindow(layered); }
    void EnableWndDrag(BOOL on) { paintManager_.EnableWndDrag(on); }
    void SetScrollResID(UINT v, UINT h) { paintManager_.SetScrollResID(v, h); }
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b) {
        return paintManager_.CreateArea(this, className, id, rect, title, a, b);
    }
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b) {
        return paintManager_.CreateControl(this, className, id, rect, title, a, b);
    }
    MControl* GetControl(UINT id) { return paintManager_.GetControl(id); }
    std::vector<MControl*>& GetControls() { return paintManager_.GetControls(); }
    void SetFocusControl(MControl* control) { paintManager_.SetFocusControl(control); }
    void SetTooltip(const CString& text, CRect rect) { paintManager_.SetTooltip(text.c_str(), rect); }
    void ClearTooltip() { paintManager_.ClearTooltip(); }
    void SetTooltipCtrlID(int id) { paintManager_.SetTooltipCtrlID(id); }
    int GetTooltipCtrlID() const { return paintManager_.GetTooltipCtrlID(); }
    // Refused (0) for a point with x or y equal to 0.
    BOOL SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type);
    UINT SetMTimer(UINT ms) { return paintManager_.SetMTimer(ms); }
    void KillMTimer(UINT id) { paintManager_.KillMTimer(id); }
    // An empty rectangle becomes a 200-pixel box centred near the bottom.
    void SetMessage(const CString& text, CRect rect, MsgLevel level);
    void SetProgress(int pos, const CString& text, CRect rect) { paintManager_.SetProgress(pos, text, rect); }
    void SetMessageOffset(int offset) { messageOffset_ = offset; }
    BOOL CreateShadow(BOOL show, bool force = false) { return paintManager_.CreateShadow(show, force); }
    BOOL SetSize(int size) { return paintManager_.SetSize(size); }
    BOOL SetSharpness(UINT v) { return paintManager_.SetSharpness(v); }
    BOOL SetDarkness(UINT v) { return paintManager_.SetDarkness(v); }
    BOOL SetPosition(int x, int y) { return paintManager_.SetPosition(x, y); }
    BOOL SetShadowColor(COLORREF c) { return paintManager_.SetShadowColor(c); }
    BOOL SetShadowImage(const wchar_t* name, CRect corner) { return paintManager_.SetShadowImage(name, corner); }
    BOOL SetShadowShow(BOOL show) { return paintManager_.SetShadowShow(show); }
    // Constant alpha below 255: layered with that alpha; else a colour key other
    // than 0xFFFFFF: layered with that key; else nothing.
    void SetupBackTranslucent();
    void SetColorKey(COLORREF key) { colorKey_ = key; }
    void SetWindowAlpha(BYTE alpha) { alpha_ = alpha; }
    CRect GetClientRectCached() const { return clientRect_; }

    void DoOK() { PostMessageW(WM_TESSEL_RESULT, IDOK, 0); }
    void DoCancel() { PostMessageW(WM_TESSEL_RESULT, IDCANCEL, 0); }
    void DoClose() { PostMessageW(WM_TESSEL_RESULT, IDCANCEL, 0); }
    void DoYes() { PostMessageW(WM_TESSEL_RESULT, IDYES, 0); }
    void DoNo() { PostMessageW(WM_TESSEL_RESULT, IDNO, 0); }

protected:
    PaintManager paintManager_;
    CRect clientRect_;
    COLORREF colorKey_ = 0xFFFFFF;
    BYTE alpha_ = 255;
    int messageOffset_ = 0;
};

}  // namespace TesselUI
