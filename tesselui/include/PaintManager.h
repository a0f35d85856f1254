// PaintManager: one per toolkit window. It owns the window's top-level controls
// (area list and control list), turns window messages into control events (mouse
// with hover, capture and drag-to-move; keyboard with Tab focus order), runs the
// double-buffered paint pass, and offers the window services: control timers, the
// shared animation timer, the banner message, tooltips, the caret and the optional
// drop shadow. The skin-image caches and private fonts live here too; their
// operations are defined with the rendering code.
//
// Threads: everything runs on the window's thread except InvalidateRect,
// Invalidate, OnControlUpdate, PostMessageW, AddMTimer / DeleteFSTimer and the
// shared timer's tick, which may come from any thread. The shared animation timer
// fires on the timer thread; the paint manager carries each tick over to the
// window's thread (one pending tick at a time) and ticks the controls there, so a
// control's OnTimer never runs concurrently with its own drawing or input.
// Failures are answers (0, null); nothing throws.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "MControl.h"
#include "MTimerBase.h"
#include "TesselEnums.h"

namespace platform {
struct DropFiles;
}

namespace TesselUI {

class MWindow;
class MDialog;
class MControlFont;
class MShadow;
class ImgResInfo;

// What the paint manager needs of a balloon tip window (the balloon class supplies it).
class AirBladderHost {
public:
    virtual ~AirBladderHost() = default;
    virtual BOOL SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type) = 0;
    virtual void ShowAirBladder(BOOL show) = 0;
};

class PaintManager : public MTimerBase {
public:
    PaintManager();
    ~PaintManager() override;

    // --- Window -------------------------------------------------------------------
    // Takes the window, loads the fonts and sets the default scroll images.
    void Init(HWND hwnd, MWindow* window);
    BOOL IsInitialized() const { return initialized_; }
    void Invalidate();
    // The whole window when it is layered.
    void InvalidateRect(CRect rect, BOOL erase);
    HDC GetPaintDC() { return paintDC_; }
    HWND GetPaintWnd() const { return hwnd_; }
    HWND GetToolTipWnd() const { return hwnd_; }
    MWindow* GetWindow() const { return window_; }
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    CSize GetClientSize() const;
    void SetCaptionRect(CRect rect) { captionRect_ = rect; }
    CRect GetCaptionRect() const { return captionRect_; }
    void SetWindowMaxSize(int cx, int cy) { maxSize_ = CSize(cx, cy); }
    CSize GetWindowManSize() const { return maxSize_; }
    void SetWindowMixSize(int cx, int cy) { minSize_ = CSize(cx, cy); }
    CSize GetWindowMinSize() const { return minSize_; }
    void SetCapture();
    void ReleaseCapture();
    BOOL IsCaptured() const { return captured_; }
    void SetLayeredWindow(BOOL layered);
    BOOL IsLayered() const { return layered_; }
    void EnableWndDrag(BOOL on) { dragMove_ = on; }
    BOOL IsWndDrag() const { return dragMove_; }
    // Both deliver synchronously to the window.
    LRESULT SendMessageW(UINT msg, WPARAM w, LPARAM l);
    LRESULT PostMessageW(UINT msg, WPARAM w, LPARAM l);
    MDialog* GetMDialog() const;

    // --- Controls -----------------------------------------------------------------
    // kind 0: area list, 1: control list, other: no list (the caller owns it).
    MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* title, int a, int b);
    MControl* CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int a, int b);
    MControl* CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int a, int b);
    // Appends a control made elsewhere (its manager is set and InitControl called).
    void AddControl(MControl* control, UINT kind);
    MControl* GetControl(UINT id);
    BOOL RemoveControl(MControl* control);
    void ClearAreaControls();
    void ClearControls();
    void ClearAllControls();
    std::vector<MControl*>& GetControls() { return controls_; }
    std::vector<MControl*>& GetAreas() { return areas_; }
    std::recursive_mutex& ControlLock() { return controlLock_; }
    std::recursive_mutex& AreaLock() { return areaLock_; }
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return focus_; }
    MControl* GetHoverControl() const { return hover_; }
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();
    // A control asks to be redrawn: rebuild flags for it and for every later
    // visible control overlapping the rectangle, then invalidate their union.
    LRESULT OnControlUpdate(CRect rect, BOOL update, MControl* control);

    // --- Messages -----------------------------------------------------------------
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l);
    BOOL PreTranslateMessage(MSG* msg);
    BOOL IsButtonDown() const { return buttonDown_; }
    BOOL IsMouseTracking() const { return tracking_; }

    // --- Background ---------------------------------------------------------------
    void SetBackMode(enumBackMode mode, int corner) { backMode_ = mode; backCorner_ = corner; }
    enumBackMode GetBackMode() const { return backMode_; }
    void SetBackColor(COLORREF background, COLORREF border) { backColour_ = background; borderColour_ = border; }
    COLORREF GetBackColor() const { return backColour_; }
    COLORREF GetBorderColor() const { return borderColour_; }
    // From the skin folder, or from the application's resources; the previous image is freed.
    BOOL LoadBKImage(const CString& fileName);
    BOOL LoadBKImage(UINT id, const CString& type);
    Gdiplus::Image* GetBKImage() const { return backImage_.get(); }
    void SetScrollResID(UINT vertical, UINT horizontal) { scrollV_ = vertical; scrollH_ = horizontal; }
    UINT GetScrollVID() const { return scrollV_; }
    UINT GetScrollHID() const { return scrollH_; }
    void SetDefaultEnabledColor(COLORREF c) { enabledColour_ = c; }
    COLORREF GetDefaultEnabledColor() const { return enabledColour_; }

    // --- Control timers (WM_TIMER) -------------------------------------------------
    BOOL SetTimer(MControl* control, UINT key, UINT ms);
    BOOL KillTimer(MControl* control, UINT key);
    void KillTimer(MControl* control);
    void ClearTimers();
    // The window-timer id of a control timer, 0 when there is none (tests, tools).
    UINT GetControlTimerId(MControl* control, UINT key);

    // --- Shared animation timer ----------------------------------------------------
    UINT SetMTimer(UINT ms);
    void KillMTimer(UINT id);
    void KillMTimer();
    BOOL AddMTimer(MControl* control);
    BOOL DeleteFSTimer(MControl* control);
    UINT GetMTimerId() const { return mtimerId_.load(); }
    // Whether the shared timer is parked because no control is registered.
    BOOL IsMTimerParked() { return MTimerBase::IsTimerParked(mtimerId_.load()); }
    void OnMTimer(UINT id) override;
    // Ticks the registered controls now (on the window's thread).
    void TickAnimations();

    // --- Banner message ------------------------------------------------------------
    void SetMessage(const CString& text, CRect rect, MsgLevel level);
    void SetProgress(int pos, const CString& text, CRect rect);
    int GetMessageAlpha() const { return msgAlpha_; }
    int GetShownProgress() const { return msgProgress_; }
    int GetTargetProgress() const { return msgTarget_; }
    CRect GetMessageRect() const { return msgRect_; }
    const CString& GetMessageText() const { return msgText_; }

    // --- Tooltips and balloon ------------------------------------------------------
    void SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();
    void SetTooltipCtrlID(int id) { tooltipOwner_ = id; }
    int GetTooltipCtrlID() const { return tooltipOwner_; }
    const CString& GetTooltipText() const { return tooltipText_; }
    BOOL SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type);
    void ShowAirBladder(BOOL show, int owner);
    using AirBladderFactory = std::function<AirBladderHost*(PaintManager*)>;
    static void SetAirBladderFactory(AirBladderFactory factory);

    // --- Caret ---------------------------------------------------------------------
    BOOL CreateCaret(HBITMAP bitmap, int width, int height);
    BOOL SetCaretPos(MControlFont* owner, int x, int y);
    void ShowCaret(BOOL show);
    MControlFont* GetCurrentCaretObject() const { return caretOwner_; }
    void DrawCaret(HDC hdc, const CRect& update);
    CRect GetCaretRect() const { return caretRect_; }
    BOOL IsCaretVisiblePhase() const { return caretPhase_; }

    // --- Drag source -----------------------------------------------------------------
    // Draws the control into a bitmap of the rectangle's size, overlaid with
    // `colour` when that has an alpha part. The caller owns the bitmap.
    HBITMAP GetDropBitmap(MControl* control, const CRect& rect, DWORD colour);
    BOOL IsDragPending() const { return dragPending_; }

    // --- Shadow ----------------------------------------------------------------------
    BOOL CreateShadow(BOOL show, bool force);
    BOOL SetSize(int size);
    BOOL SetSharpness(UINT sharpness);
    BOOL SetDarkness(UINT darkness);
    BOOL SetPosition(int x, int y);
    BOOL SetShadowColor(COLORREF colour);
    BOOL SetShadowImage(const wchar_t* name, CRect corner);
    BOOL SetShadowImage(UINT resourceId, CRect corner);
    BOOL SetShadowShow(BOOL show);
    void DisableShadow(BOOL disable);
    MShadow* GetShadow() const { return shadow_.get(); }

    // --- Skin images and fonts (defined with the rendering code) ---------------------
    ImgResInfo* AddImgResInfo(const wchar_t* name, int count);
    ImgResInfo* AddImgResInfo(UINT id, const CString& type, int count, BOOL fromApplication);
    void ClearImgResInfo();
    Gdiplus::FontFamily* FindTempFont();
    BOOL AddTempFont(const CString& name, const CString& path);
    BOOL AddTempFont(const CString& name, UINT id);
    BOOL AddGDITempFont(UINT id);
    void ClearTempFont();
    // The window's private fonts by name (FontFamily objects owned here).
    std::recursive_mutex& FontLock() { return fontLock_; }
    std::map<std::wstring, Gdiplus::FontFamily*>& TempFonts() { return tempFonts_; }
    std::vector<int>& GdiTempFonts() { return gdiFonts_; }
    std::recursive_mutex& ImageLock() { return imageLock_; }
    std::map<std::wstring, ImgResInfo*>& FileImages() { return fileImages_; }
    std::map<UINT, ImgResInfo*>& AppImages() { return appImages_; }
    std::map<UINT, ImgResInfo*>& LibImages() { return libImages_; }

    // Frees everything the window holds (image, timers, controls, caches); only
    // once, and only after Init.
    void DestroyData();

    // Each paint pass ends with this pause (15 ms), which caps a continuously
    // invalidated window at about 60 frames per second. 0 turns it off.
    void SetPaintPause(int ms) { paintPauseMs_ = ms; }
    int GetPaintPause() const { return paintPauseMs_; }

    // The paint pass writes the frame it composed here as well; tests read it.
    const Gdiplus::Bitmap* GetLastFrame() const { return lastFrame_.get(); }

    // Message numbers the paint manager keeps for itself.
    static constexpr UINT kTickMessage = 0xC0DE;
    // Window-timer ids the paint manager itself uses.
    static constexpr UINT kCaretTimer = 6553;
    static constexpr UINT kBannerHoldTimer = 66;
    static constexpr UINT kBannerFadeTimer = 88;
    static constexpr UINT kBannerProgressTimer = 99;
    // Control timers take ids from here on, clear of the fixed ones above.
    static constexpr UINT kFirstControlTimer = 4096;

private:
    struct ControlTimer {
        HWND hwnd;
        UINT key;
        UINT id;
        BOOL stopped;
        MControl* control;
    };

    void OnPaint();
    void PaintBanner(platform::draw::Dc& dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnRButtonDblClk(UINT flags, CPoint point);
    void OnMouseWheel(WPARAM w, LPARAM l);
    void OnNcActivate(BOOL active);
    void OnKeyDown(UINT key);
    void OnTimer(UINT id);
    void OnBannerTimer(UINT id);
    bool HoverTakes(CPoint point) const;
    UINT NextTimerId();

    // Window.
    HWND hwnd_ = nullptr;
    HDC paintDC_ = nullptr;
    MWindow* window_ = nullptr;
    BOOL initialized_ = FALSE;
    // Background.
    std::unique_ptr<Gdiplus::Image> backImage_;
    CSize backSize_;
    enumBackMode backMode_ = BACK_MODE_IMAGE;
    int backCorner_ = 4;
    COLORREF backColour_ = platform::RGB(9, 13, 19);
    COLORREF borderColour_ = platform::RGB(255, 0, 0);
    // Geometry.
    CRect captionRect_;
    CSize maxSize_;
    CSize minSize_;
    // Modes.
    BOOL layered_ = FALSE;
    BOOL dragMove_ = TRUE;
    BOOL captured_ = FALSE;
    BOOL buttonDown_ = FALSE;
    BOOL tracking_ = FALSE;
    // Controls.
    std::vector<MControl*> areas_;
    std::recursive_mutex areaLock_;
    std::vector<MControl*> controls_;
    std::recursive_mutex controlLock_;
    MControl* hover_ = nullptr;
    MControl* focus_ = nullptr;
    // Timers.
    std::vector<ControlTimer> timers_;
    std::recursive_mutex timerLock_;
    UINT timerCounter_ = kFirstControlTimer;
    void UpdateMTimerPark();
    void OnDropFiles(platform::DropFiles* drop);
    std::vector<MControl*> animations_;
    std::recursive_mutex animationLock_;
    std::atomic<UINT> mtimerId_{0};
    std::atomic<bool> tickPending_{false};
    // Tooltips and balloon.
    int tooltipOwner_ = 0;
    CString tooltipText_;
    AirBladderHost* airBladder_ = nullptr;
    int airBladderOwner_ = 0;
    // Skin.
    std::recursive_mutex imageLock_;
    std::map<std::wstring, ImgResInfo*> fileImages_;
    std::map<UINT, ImgResInfo*> appImages_;
    std::map<UINT, ImgResInfo*> libImages_;
    std::recursive_mutex fontLock_;
    std::map<std::wstring, Gdiplus::FontFamily*> tempFonts_;
    std::vector<int> gdiFonts_;
    UINT scrollV_ = 102;
    UINT scrollH_ = 101;
    COLORREF enabledColour_ = 0x808080;
    // Banner message.
    CString msgText_;
    MsgLevel msgLevel_ = MSG_LEVEL_INFO;
    int msgAlpha_ = 0;
    CRect msgRect_;
    int msgProgress_ = 0;
    int msgTarget_ = 0;
    // Caret.
    CRect caretRect_;
    MControlFont* caretOwner_ = nullptr;
    BOOL caretShown_ = FALSE;
    BOOL caretPhase_ = FALSE;
    // Drag source.
    BOOL dragPending_ = FALSE;
    CPoint dragLast_;
    std::unique_ptr<Gdiplus::Bitmap> dragBitmap_;
    // Shadow.
    std::unique_ptr<MShadow> shadow_;
    // The last composed frame (premultiplied ARGB).
    std::unique_ptr<Gdiplus::Bitmap> lastFrame_;
    platform::draw::Dc windowDC_;
    int paintPauseMs_ = 15;
};

}  // namespace TesselUI
