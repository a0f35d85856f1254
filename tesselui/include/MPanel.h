// MPanel: a container with two scroll bars, the base of the list-like controls.
//
// The panel owns its children; the scroll bars (vertical id 1 along the right
// edge, horizontal id 2 along the bottom, 7 pixels thick) are made by the scroll
// bar classes registered with SetScrollBarFactory and live in the control list.
// Until those classes exist the panel simply has no bars. The content size (0 =
// fits the panel) decides whether the bars show and how the mouse point is shifted.
// Thread: the window's thread.
#pragma once

#include <functional>

#include "MControlFont.h"

namespace TesselUI {

// What a panel needs of a scroll bar; the concrete classes supply it.
class MScrollBarBase : public MControlFont {
public:
    using MControlFont::MControlFont;
    virtual int GetScrollPos() const = 0;
    virtual void SetScrollPos(int pos) = 0;
    virtual int GetScrollRange() const = 0;
    virtual void SetScrollRange(int range) = 0;
};

class MPanel : public MControlFont {
public:
    MPanel(MObject* parent, UINT id, CRect rect, int visible = 1, int enabled = 1);
    ~MPanel() override;

    static constexpr int kScrollThickness = 7;

    // --- Virtual operations, in table order --------------------------------------
    virtual MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a, int b);
    virtual MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title, int a, int b);
    virtual MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int a,
                                    int b);
    virtual BOOL OnControlKeyUp(UINT key, UINT repeat, UINT modifiers) { return FALSE; }

    // --- MControl overrides ---------------------------------------------------------
    void DrawControl(HDC& hdc, CRect update) override {}
    void DrawSubControls(HDC& hdc, CRect update) override;
    void SetControlRect(CRect rect) override;
    void OnMousePointChange(CPoint& point) override;
    BOOL OnControlScroll(int bar, UINT direction, CPoint point) override;
    void SetControlEnabled(BOOL enabled) override;
    void SetControlVisible(BOOL visible) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM w, LPARAM l) override;
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM w, LPARAM l) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM w, LPARAM l) override;
    LRESULT OnControlUpdate(CRect rect, BOOL update, MControl* control) override;

    void SetVirtualHeight(int h) { virtualHeight_ = h; }
    void SetVirtualWidth(int w) { virtualWidth_ = w; }
    int GetVirtualHeight() const { return virtualHeight_; }
    int GetVirtualWidth() const { return virtualWidth_; }
    void SetEnableScroll(BOOL on) { enableScroll_ = on; }
    BOOL GetEnableScroll() const { return enableScroll_; }
    MScrollBarBase* GetScrollVertical() const { return vscroll_; }
    MScrollBarBase* GetScrollHorizontal() const { return hscroll_; }
    // Current content offsets from the scroll positions (0 when everything fits).
    int GetScrollOffsetY() const;
    int GetScrollOffsetX() const;

    // The scroll bar classes register how to make them (vertical when `vertical`).
    using ScrollBarFactory = std::function<MScrollBarBase*(MObject* parent, UINT id, CRect rect, bool vertical)>;
    static void SetScrollBarFactory(ScrollBarFactory factory);

protected:
    void LayoutScrollBars();
    bool ContentScrolls() const;

    int virtualWidth_ = 0;
    int virtualHeight_ = 0;
    BOOL enableScroll_ = TRUE;
    MScrollBarBase* vscroll_ = nullptr;
    MScrollBarBase* hscroll_ = nullptr;
};

}  // namespace TesselUI
